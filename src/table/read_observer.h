// What a reader of a stored table can tell a caller that wants to know how
// the file was read: every cell the grid refused or changed, and the pieces
// of the file it read differently from what a FORTRAN compiler would make of
// them. The exports never pass an observer; only callers inside the build
// (the command-line tool) do, so the readers behave the same either way.
#pragma once

#include <cstdint>
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

class ReadObserver {
public:
    virtual ~ReadObserver() = default;
    virtual void cellChanged(const CellReport& report) = 0;
    virtual void construct(const ConstructReport& report) = 0;
};

}  // namespace uvt
