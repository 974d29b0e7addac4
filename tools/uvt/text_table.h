// Columns of text, padded to the widest cell, and the texts that go into
// them and into one-line messages.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace uvt_tool {

// The text on one line: a line feed, a tab and every other control byte
// become escapes such as \n and \x1B, and a backslash is doubled, so that
// a value can neither break a table nor pass for another.
std::string oneLine(const std::string& text);
// A library message on one line: its line breaks become one blank.
std::string flatMessage(const std::string& message);

class TextTable {
public:
    // rightAligned: one flag per column (numbers read better on the right).
    TextTable(std::vector<std::string> headings, std::vector<bool> rightAligned);
    // Keeps a line for print.
    void add(std::vector<std::string> cells);
    void print(std::ostream& out) const;

    // For tables too long to keep: measure every line first, then print
    // the headings and each line, made again, in the same order.
    void measure(const std::vector<std::string>& cells);
    void printHeadings(std::ostream& out) const;
    void printLine(std::ostream& out, const std::vector<std::string>& cells) const;

private:
    std::vector<std::string> headings_;
    std::vector<std::vector<std::string>> lines_;
    std::vector<bool> right_;
    std::vector<std::size_t> widths_;
};

}  // namespace uvt_tool
