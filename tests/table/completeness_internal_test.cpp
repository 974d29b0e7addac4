// The one-walk check of every row, which the tool reads whole grids with:
// on any table it answers what the row-by-row check answers in row order
// and leaves the same parent links.
#include "test_host.h"

#include "table/completeness.h"

#include <random>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

class EveryRowCheckTest : public UvtTest {};

TEST_F(EveryRowCheckTest, AnswersAsTheRowByRowCheckOnRandomRecords) {
    // Records as the grid cannot make them: duplicate, empty and invalid
    // names, parents that are missing, not structures or at the wrong depth,
    // ids given twice.
    const char* const names[] = {"A", "B", "C", "S", "T", "", "1X", "A", "LONGNAMEOFSEVENTEEN"};
    std::mt19937 random(1515);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const int count = 1 + static_cast<int>(random() % 14);
        std::vector<std::string> spelled;
        std::vector<RecordSpec> records;
        for (int r = 0; r < count; ++r) spelled.push_back(names[random() % std::size(names)]);
        for (int r = 0; r < count; ++r) {
            RecordSpec spec{static_cast<int32_t>(random() % 3 == 0 ? random() % count : r + 100), spelled[r].c_str()};
            spec.type = static_cast<int32_t>(random() % 4);
            spec.depth = static_cast<int32_t>(random() % 3);
            const uint32_t link = random() % 4;
            spec.parentId = link == 0 ? -50 : link == 1 ? static_cast<int32_t>(random() % count) + 100 : 7777;
            records.push_back(spec);
        }
        const uintptr_t byRow = CreateUVT(nullptr);
        const uintptr_t walked = CreateUVT(nullptr);
        ASSERT_EQ(fillFromRecords(byRow, records), 1);
        ASSERT_EQ(fillFromRecords(walked, records), 1);
        std::vector<std::string> expected;
        for (int r = 0; r < count; ++r) expected.push_back(take(dfnIsRowComplete(byRow, r)));
        const std::vector<const char16_t*> problems = uvt::checkEveryRow(walked);
        ASSERT_EQ(problems.size(), static_cast<std::size_t>(count));
        for (int r = 0; r < count; ++r) {
            const char16_t* problem = problems[static_cast<std::size_t>(r)];
            EXPECT_EQ(problem == nullptr ? std::string() : toAscii(reinterpret_cast<const OLECHAR*>(problem)),
                      expected[static_cast<std::size_t>(r)])
                << "row " << r;
            EXPECT_EQ(row(walked, r).parentId, row(byRow, r).parentId) << "row " << r;
        }
        DeleteUVT(byRow);
        DeleteUVT(walked);
    }
}

TEST_F(EveryRowCheckTest, TableThatDoesNotResolveHasNoRows) { EXPECT_TRUE(uvt::checkEveryRow(0).empty()); }

}  // namespace
}  // namespace uvt_test
