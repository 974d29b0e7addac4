// What a reader of a stored table can tell a caller that wants to know how
// the file was read: every cell the grid refused or changed, and the pieces
// of the file it read differently from what a FORTRAN compiler would make of
// them, and the header fields the table does not hold as the file does.
// The exports never pass an observer; only callers inside the build (the
// command-line tool) do, so the readers behave the same either way.
#pragma once

#include <cstdint>
#include <new>
#include <string>

namespace uvt {

// A position in the file: the line (from 1) of a FORTRAN file, the byte
// offset (from 0) of a field of the saved-state string.
using ReadPosition = int64_t;

struct CellReport {
    ReadPosition position = 0;
    int32_t row = 0;     // the table row the cell belongs to
    int32_t column = 0;  // UVT_COLUMN_NAME ... UVT_COLUMN_IO
    std::string held;     // the value as the file holds it
    std::string message;  // the grid's answer; empty when it gave none
    std::string result;   // the cell as the grid shows it afterwards
};

enum class FileConstruct {
    // Text in columns 73 and after: compilers ignore it, the reader reads it
    // as statement text.
    PastColumn72,
    // "c", "*" or "!" in column 1: a comment to compilers; the reader skips
    // columns 1 to 6 and reads the rest of the line as statement text.
    CommentMarker,
    // A keyword written in lower case: compilers take it, the reader passes
    // over it.
    LowerCaseKeyword,
    // A tab in columns 1 to 6: compilers start the statement after it, the
    // reader counts it as one column and skips the line's first six.
    TabInLabelField,
    // A "!" in columns 7 to 72, outside a quoted text, on a statement line:
    // compilers end the statement there and take the rest of the line for a
    // comment; the reader reads it as statement text: as row data within
    // the variables list (the text then holds "rows"), elsewhere as text
    // it searches for its keywords.
    InlineComment,
    // A row name of the saved-state string as long as the field that holds
    // it or longer (the text holds its length): the reader stops there.
    LongRowName,
    // A value of a row that is neither a number nor "-" (the text holds
    // which one): the reader stops there and the load fails.
    MalformedValue,
};

struct ConstructReport {
    ReadPosition position = 0;
    int32_t column = 0;  // the column (from 1) where it begins
    FileConstruct kind = FileConstruct::PastColumn72;
    std::string text;  // the keyword, or the column of a malformed value
};

enum class HeaderField { FunctionName, TimeStamp };

enum class HeaderChange {
    // More bytes than the table's field holds: the table keeps the first ones.
    Cut,
    // The data ends within the field: the table holds what arrived, or keeps
    // what it had.
    EndsEarly,
    // Bytes the reader does not take as written: a NUL in a name ends it for
    // the table; a time stamp that is no plain decimal 32-bit number (other
    // bytes count as digit 0, a value past the range wraps).
    Rewritten,
    // The header ends after the host value: the field is not in the string,
    // and the table keeps what it had.
    Missing,
};

struct HeaderReport {
    ReadPosition position = 0;  // the field's first byte
    HeaderField field = HeaderField::FunctionName;
    HeaderChange change = HeaderChange::Cut;
    std::string held;    // the field's bytes as the file holds them
    std::string result;  // the field as the table holds it afterwards
};

// Whether text is the plain decimal form of value: an optional "-" and
// digits, nothing else, within 32 bits; leading zeros change no value. A
// reader reports a number whose text is not, as the table does not hold
// what the file does.
inline bool isPlainDecimal(const std::string& text, int64_t value) {
    std::size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
    if (i >= text.size()) return false;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t{1} << 31) return false;
    }
    return (text[0] == '-' ? -magnitude : magnitude) == value;
}

class ReadObserver {
public:
    virtual ~ReadObserver() = default;
    virtual void cellChanged(const CellReport& report) = 0;
    virtual void construct(const ConstructReport& report) = 0;
    virtual void headerChanged(const HeaderReport& report) = 0;
};

inline void deliver(ReadObserver& observer, const CellReport& report) { observer.cellChanged(report); }
inline void deliver(ReadObserver& observer, const ConstructReport& report) { observer.construct(report); }
inline void deliver(ReadObserver& observer, const HeaderReport& report) { observer.headerChanged(report); }

// Hands the report that `make` builds to the observer, when there is one.
// The report is built only then. An observer without memory, or a report
// that cannot be built for want of it, is missed; the read goes on.
template <class Make>
void tellObserver(ReadObserver* observer, Make&& make) {
    if (observer == nullptr) return;
    try {
        deliver(*observer, make());
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace uvt
