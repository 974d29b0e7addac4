#include "text_table.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace uvt_tool {

std::string oneLine(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c == '\\') {
            shown += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            shown += code;
        } else {
            shown.push_back(c);
        }
    }
    return shown;
}

std::string flatMessage(const std::string& message) {
    std::string flat;
    bool blank = false;
    for (char c : message) {
        if (c == '\n' || c == '\r') {
            blank = true;
            continue;
        }
        if (blank && !flat.empty()) flat.push_back(' ');
        blank = false;
        flat.push_back(c);
    }
    return oneLine(flat);
}

TextTable::TextTable(std::vector<std::string> headings, std::vector<bool> rightAligned)
    : headings_(std::move(headings)), right_(std::move(rightAligned)) {
    right_.resize(headings_.size(), false);
    widths_.assign(headings_.size(), 0);
    measure(headings_);
}

void TextTable::add(std::vector<std::string> cells) {
    cells.resize(right_.size());
    measure(cells);
    lines_.push_back(std::move(cells));
}

void TextTable::measure(const std::vector<std::string>& cells) {
    for (std::size_t c = 0; c < cells.size() && c < widths_.size(); ++c) {
        widths_[c] = std::max(widths_[c], oneLine(cells[c]).size());
    }
}

void TextTable::printHeadings(std::ostream& out) const { printLine(out, headings_); }

void TextTable::printLine(std::ostream& out, const std::vector<std::string>& cells) const {
    std::string text;
    for (std::size_t c = 0; c < widths_.size(); ++c) {
        const std::string cell = c < cells.size() ? oneLine(cells[c]) : std::string();
        const std::string pad(widths_[c] > cell.size() ? widths_[c] - cell.size() : 0, ' ');
        if (c > 0) text += "  ";
        text += right_[c] ? pad + cell : cell + (c + 1 < widths_.size() ? pad : std::string());
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out << text << '\n';
}

void TextTable::print(std::ostream& out) const {
    printHeadings(out);
    for (const auto& line : lines_) printLine(out, line);
}

}  // namespace uvt_tool
