// Reading the grid of a table: its cells as dfnGetValue shows them and each
// row's completeness.
#include "grid.h"

#include "ole_text.h"

#include "table/cell_values.h"
#include "table/completeness.h"
#include "table/row_numbers.h"
#include "table/table_access.h"

#include <string>

namespace uvt_tool {

std::vector<GridRow> readGrid(uintptr_t table) {
    std::vector<GridRow> rows;
    const int32_t count = dfnCountRows(table);
    rows.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    // What dfnIsRowComplete answers for each row, in one walk of the table:
    // asked row by row, each answer walks the rows before it.
    const std::vector<const char16_t*> problems = uvt::checkEveryRow(table);
    // The cells as dfnGetValue gives them, with the rows that dimensions
    // name found through one index of the row ids.
    const uvt::TableHeader* header = uvt::resolveTable(table);
    if (header == nullptr) return rows;
    uvt::RowNumbers rowNumbers(*header);
    for (int32_t r = 0; r < count; ++r) {
        GridRow row;
        std::string* cells[] = {&row.name, &row.type, &row.dimension, &row.depth, &row.io};
        for (int32_t column = 0; column < 5; ++column) {
            *cells[column] = takeText(uvt::getCellValue(table, column, r, rowNumbers)).value_or(std::string());
        }
        const auto index = static_cast<std::size_t>(r);
        const char16_t* problem = index < problems.size() ? problems[index] : u"Empty Row";
        if (problem != nullptr) {
            row.problem = fromWide(reinterpret_cast<const OLECHAR*>(problem), std::char_traits<char16_t>::length(problem));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string tableProblem(uintptr_t table) { return takeText(dfnIsComplete(table)).value_or(std::string()); }

}  // namespace uvt_tool
