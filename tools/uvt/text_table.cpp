#include "text_table.h"

#include <algorithm>
#include <utility>

namespace uvt_tool {

TextTable::TextTable(std::vector<std::string> headings, std::vector<bool> rightAligned)
    : right_(std::move(rightAligned)) {
    right_.resize(headings.size(), false);
    lines_.push_back(std::move(headings));
}

void TextTable::add(std::vector<std::string> cells) {
    cells.resize(right_.size());
    lines_.push_back(std::move(cells));
}

void TextTable::print(std::ostream& out) const {
    std::vector<std::size_t> widths(right_.size(), 0);
    for (const auto& line : lines_) {
        for (std::size_t c = 0; c < line.size(); ++c) widths[c] = std::max(widths[c], line[c].size());
    }
    for (const auto& line : lines_) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            const std::string pad(widths[c] - line[c].size(), ' ');
            if (c > 0) text += "  ";
            text += right_[c] ? pad + line[c] : line[c] + (c + 1 < line.size() ? pad : std::string());
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out << text << '\n';
    }
}

}  // namespace uvt_tool
