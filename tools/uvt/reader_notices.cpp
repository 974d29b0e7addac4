#include "reader_notices.h"

#include "uvt.h"

#include <algorithm>

namespace uvt_tool {
namespace {

const char* columnName(int32_t column) {
    switch (column) {
        case UVT_COLUMN_NAME: return "name";
        case UVT_COLUMN_TYPE: return "type";
        case UVT_COLUMN_DIMENSION: return "dimension";
        case UVT_COLUMN_DEPTH: return "depth";
        case UVT_COLUMN_IO: return "IO";
        default: return "cell";
    }
}

// The grid's messages are written for a dialog box: their line breaks become
// blanks here.
std::string oneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            out += code;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

}  // namespace

std::string ReaderNotices::where(uvt::ReadPosition position) const {
    if (unit_ == Unit::Line) return "line " + std::to_string(position);
    return "byte " + std::to_string(static_cast<long long>(firstByte_) + position + 1);
}

void ReaderNotices::cellChanged(const uvt::CellReport& report) {
    std::string message = "row " + std::to_string(report.row + 1) + " " + columnName(report.column) +
                          ": the file holds " + quoted(report.held);
    if (!report.message.empty()) message += ", refused with \"" + oneLine(report.message) + "\"";
    message += "; the row has " + (report.result.empty() ? std::string("nothing") : quoted(report.result));
    items_.push_back({report.position, std::move(message)});
}

void ReaderNotices::construct(const uvt::ConstructReport& report) {
    std::string message;
    switch (report.kind) {
        case uvt::FileConstruct::PastColumn72: {
            std::string text;
            const auto index = static_cast<std::size_t>(report.position - 1);
            if (lines_ != nullptr && index < lines_->size() && (*lines_)[index].size() > 72) {
                // Appended, not prefixed: GCC 12 misreads the temporary of " " + text.
                text = " ";
                text += quoted((*lines_)[index].substr(72, 8));
            }
            message = "text in columns 73 and after" + text +
                      ", which FORTRAN compilers ignore, is read by the library as part of the statement";
            break;
        }
        case uvt::FileConstruct::CommentMarker: {
            const auto index = static_cast<std::size_t>(report.position - 1);
            const std::string marker =
                lines_ != nullptr && index < lines_->size() && !(*lines_)[index].empty() ? (*lines_)[index].substr(0, 1)
                                                                                          : "?";
            message = quoted(marker) +
                      " in column 1 marks a comment for FORTRAN compilers; the library reads the line from column 7 "
                      "as a statement (only \"C\" marks a comment for it)";
            break;
        }
        case uvt::FileConstruct::LowerCaseKeyword:
            message = "the keyword " + report.text +
                      " in lower case: the library takes keywords in upper case only and passes over it";
            break;
        case uvt::FileConstruct::TabInLabelField:
            message = "a tab in columns 1 to 6: FORTRAN compilers start the statement after it, the library counts it "
                      "as one column and skips the line's first six characters";
            break;
        case uvt::FileConstruct::InlineComment:
            message = "\"!\" in column ";
            message += std::to_string(report.column);
            message += " begins a comment for FORTRAN compilers; the library reads the rest of the line, without its "
                       "blanks, ";
            message += report.text == "rows" ? "as row data of the DATA IVARIABLES list"
                                             : "as statement text in which it looks for its keywords";
            break;
        case uvt::FileConstruct::LongRowName:
            message = "a row name of " + report.text +
                      " bytes, longer than a row name can be (19): the library stops reading here";
            break;
        case uvt::FileConstruct::MalformedValue:
            message = "the " + report.text + " of a row is not a number; the library stops reading here";
            break;
    }
    items_.push_back({report.position, std::move(message)});
}

void ReaderNotices::headerChanged(const uvt::HeaderReport& report) {
    const bool name = report.field == uvt::HeaderField::FunctionName;
    std::string message = name ? "function name: " : "time stamp: ";
    switch (report.change) {
        case uvt::HeaderChange::Cut:
            // The table holds as many characters as the library keeps.
            message += "the file holds " + quoted(report.held) + ", longer than the " +
                       std::to_string(report.result.size()) + " characters the library keeps";
            break;
        case uvt::HeaderChange::EndsEarly:
            message += "the file ends within it, after " + quoted(report.held);
            break;
        case uvt::HeaderChange::Rewritten:
            message += "the file holds " + quoted(report.held) +
                       (name ? ", which the library ends at its first NUL byte"
                        : unit_ == Unit::Line
                            ? ", past the largest 32-bit number, where the library stops"
                            : ", which the library does not read as written (it counts a byte other than a digit "
                              "as 0 and wraps past 32 bits)");
            break;
        case uvt::HeaderChange::Missing:
            message += "the file holds none (the header ends after the host value)";
            break;
    }
    message += "; the table has " + (report.result.empty() ? std::string("nothing") : quoted(report.result));
    items_.push_back({report.position, std::move(message)});
}

std::vector<ReadNotice> ReaderNotices::notices() const {
    std::vector<Item> ordered = items_;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Item& a, const Item& b) { return a.position < b.position; });
    std::vector<ReadNotice> out;
    out.reserve(ordered.size());
    for (const Item& item : ordered) out.push_back({where(item.position), item.message});
    return out;
}

}  // namespace uvt_tool
