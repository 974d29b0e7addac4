// The table as the design grid shows it, read through dfnGetValue.
#pragma once

#include "uvt.h"

#include <string>
#include <vector>

namespace uvt_tool {

struct GridRow {
    std::string name;
    std::string type;       // "Integer", "Real", "Character", "Structure"
    std::string dimension;  // "Scalar", a host count's text or an Integer row's name
    std::string depth;
    std::string io;
    std::string problem;  // empty when the row is complete
};

std::vector<GridRow> readGrid(uintptr_t table);

// The message for the whole table: empty when complete, "Empty form" for a
// table without rows, else the first incomplete row's message.
std::string tableProblem(uintptr_t table);

}  // namespace uvt_tool
