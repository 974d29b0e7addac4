#include "grid.h"

#include "ole_text.h"

namespace uvt_tool {

std::vector<GridRow> readGrid(uintptr_t table) {
    std::vector<GridRow> rows;
    const int32_t count = dfnCountRows(table);
    rows.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int32_t r = 0; r < count; ++r) {
        GridRow row;
        std::string* cells[] = {&row.name, &row.type, &row.dimension, &row.depth, &row.io};
        for (int32_t column = 0; column < 5; ++column) {
            *cells[column] = takeText(dfnGetValue(table, column, r)).value_or(std::string());
        }
        row.problem = takeText(dfnIsRowComplete(table, r)).value_or(std::string());
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string tableProblem(uintptr_t table) { return takeText(dfnIsComplete(table)).value_or(std::string()); }

}  // namespace uvt_tool
