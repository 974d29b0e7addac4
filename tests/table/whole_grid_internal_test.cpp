// What the tool reads and fills whole grids with: the one-walk check of
// every row, the cell reads that find dimension rows through one index of
// the ids, and the cell writes whose checks are answered from indexes. On
// any table they answer what the row-by-row check, dfnGetValue and
// dfnSetValue answer, and leave the same table behind.
#include "test_host.h"

#include "table/cell_values.h"
#include "table/completeness.h"
#include "table/grid_fill.h"
#include "table/row_numbers.h"
#include "table/table_access.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

class WholeGridTest : public UvtTest {};

TEST_F(WholeGridTest, AnswersAsTheRowByRowCheckOnRandomRecords) {
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
            RecordSpec record{static_cast<int32_t>(random() % 3 == 0 ? random() % count : r + 100), spelled[r].c_str()};
            record.type = static_cast<int32_t>(random() % 4);
            record.depth = static_cast<int32_t>(random() % 3);
            const uint32_t link = random() % 4;
            record.parentId = link == 0 ? -50 : link == 1 ? static_cast<int32_t>(random() % count) + 100 : 7777;
            records.push_back(record);
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

TEST_F(WholeGridTest, IndexedCellReadsAnswerAsDfnGetValue) {
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
            RecordSpec record{static_cast<int32_t>(random() % 3 == 0 ? random() % count : r), names[random() % 5]};
            record.type = static_cast<int32_t>(random() % 4);
            const uint32_t kind = random() % 3;
            record.dimension = kind == 0 ? -1 - static_cast<int32_t>(random() % 3) : static_cast<int32_t>(random() % (count + 2));
            records.push_back(record);
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

TEST_F(WholeGridTest, FilledCellsAnswerAsDfnSetValueInAnyOrder) {
    // Texts that are taken, refused and corrected in every column, set in a
    // random order of cells, so that names, types and depths change under
    // the indexes; duplicates and nested structures make the checks ask.
    const std::vector<std::vector<const char*>> texts = {
        {"N", "M", "S", "N", "", "1BAD", "m", "LONGNAMEOFSEVENTEEN"},
        {"Integer", "Real", "Structure", "Character", "Bogus"},
        {"Scalar", "N", "M", "Number of Components", "S", "NOSUCHROW", ""},
        {"0", "1", "2", "3", "-1", "x"},
        {"Input Only", "Output Only", "Input and Output", "7"},
    };
    std::mt19937 random(1517);
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        const int count = 1 + static_cast<int>(random() % 10);
        const uintptr_t plain = CreateUVT(nullptr);
        const uintptr_t filled = CreateUVT(nullptr);
        for (int r = 0; r < count; ++r) {
            ASSERT_NE(dfnInsertRow(plain, r), 0);
            ASSERT_NE(dfnInsertRow(filled, r), 0);
        }
        uvt::GridFill fill(filled);
        for (int edit = 0; edit < 6 * count; ++edit) {
            const auto column = static_cast<int32_t>(random() % 5);
            const auto r = static_cast<int32_t>(random() % (count + 1));  // one past the end as well
            const std::vector<const char*>& choices = texts[static_cast<std::size_t>(column)];
            const char* text = choices[random() % choices.size()];
            SCOPED_TRACE(std::string("row ") + std::to_string(r) + ", column " + std::to_string(column) + ": " + text);
            const std::string expected = setCell(plain, column, r, text);
            const std::u16string wide(text, text + std::strlen(text));
            BSTR copy = SysAllocString(reinterpret_cast<const OLECHAR*>(wide.c_str()));
            EXPECT_EQ(take(fill.setCell(column, r, copy)), expected);
            SysFreeString(copy);
        }
        for (int r = 0; r < count; ++r) {
            for (int32_t column = UVT_COLUMN_NAME; column <= UVT_COLUMN_IO; ++column) {
                EXPECT_EQ(getCell(filled, column, r), getCell(plain, column, r)) << "row " << r;
            }
            EXPECT_EQ(row(filled, r).parentId, row(plain, r).parentId) << "row " << r;
        }
        DeleteUVT(plain);
        DeleteUVT(filled);
    }
}

TEST_F(WholeGridTest, TableThatDoesNotResolveHasNoRows) { EXPECT_TRUE(uvt::checkEveryRow(0).empty()); }

}  // namespace
}  // namespace uvt_test
