// Columns of text, padded to the widest cell.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace uvt_tool {

class TextTable {
public:
    // rightAligned: one flag per column (numbers read better on the right).
    TextTable(std::vector<std::string> headings, std::vector<bool> rightAligned);
    void add(std::vector<std::string> cells);
    void print(std::ostream& out) const;

private:
    std::vector<std::vector<std::string>> lines_;
    std::vector<bool> right_;
};

}  // namespace uvt_tool
