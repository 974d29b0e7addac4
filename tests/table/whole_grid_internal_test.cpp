// What the tool reads whole grids with: the one-walk check of every row and
// the cell reads that find dimension rows through one index of the ids. On
// any table they answer what the row-by-row check and dfnGetValue answer
// in row order, and leave the same repairs behind.
#include "test_host.h"

#include "table/cell_values.h"
#include "table/completeness.h"
#include "table/row_numbers.h"
#include "table/table_access.h"

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

TEST_F(EveryRowCheckTest, IndexedCellReadsAnswerAsDfnGetValue) {
    // Dimensions that name rows by id: rows that exist, ids given twice (the
    // first row answers), ids of no row and of unnamed rows (read as Scalar
    // and repaired), besides the host codes.
    const char* const names[] = {"N", "M", "", "K", "N"};
    std::mt19937 random(1516);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const int count = 1 + static_cast<int>(random() % 12);
        std::vector<RecordSpec> records;
        for (int r = 0; r < count; ++r) {
            RecordSpec spec{static_cast<int32_t>(random() % 3 == 0 ? random() % count : r), names[random() % 5]};
            spec.type = static_cast<int32_t>(random() % 4);
            const uint32_t kind = random() % 3;
            spec.dimension = kind == 0 ? -1 - static_cast<int32_t>(random() % 3) : static_cast<int32_t>(random() % (count + 2));
            records.push_back(spec);
        }
        const uintptr_t plain = CreateUVT(nullptr);
        const uintptr_t indexed = CreateUVT(nullptr);
        ASSERT_EQ(fillFromRecords(plain, records), 1);
        ASSERT_EQ(fillFromRecords(indexed, records), 1);
        uvt::RowNumbers rowNumbers(*uvt::resolveTable(indexed));
        for (int r = 0; r <= count; ++r) {  // the trailing row as well
            for (int32_t column = UVT_COLUMN_NAME; column <= UVT_COLUMN_IO; ++column) {
                EXPECT_EQ(take(uvt::getCellValue(indexed, column, r, rowNumbers)), getCell(plain, column, r))
                    << "row " << r << ", column " << column;
            }
            if (r < count) {
                EXPECT_EQ(row(indexed, r).dimension, row(plain, r).dimension) << "row " << r;
            }
        }
        DeleteUVT(plain);
        DeleteUVT(indexed);
    }
}

TEST_F(EveryRowCheckTest, TableThatDoesNotResolveHasNoRows) { EXPECT_TRUE(uvt::checkEveryRow(0).empty()); }

}  // namespace
}  // namespace uvt_test
