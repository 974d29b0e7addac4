// Reads the statement text of a fixed-form FORTRAN file: labels and
// continuation marks (columns 1 to 6), comment lines and blanks are passed
// over, so that continuation lines join their statements.
#pragma once

#include "table/read_observer.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace uvt {

class FixedFormReader {
public:
    // Character value of the end of the file; every byte, 255 included,
    // reads as a character.
    static constexpr int kEnd = EOF;

    // With an observer, the lines that compilers read differently from
    // this reader are reported to it as they pass.
    FixedFormReader(std::FILE* file, ReadObserver* observer) : file_(file), observer_(observer) {}

    // The next statement character (0 to 255) or kEnd.
    int next();
    // The next call of next() returns the character it returned last once
    // more, as from the same place.
    void putBack() { putBack_ = true; }
    // Whether the character that next() returned last was the first one
    // returned from its line.
    bool atLineStart() const { return lastAtLineStart_; }
    // The line (from 1) of the byte read last.
    int64_t line() const { return line_; }
    ReadObserver* observer() const { return observer_; }
    // Whether the characters read next are the row data of the variables
    // list; an inline comment there is reported with the text "rows".
    void setInRowData(bool inRowData) { inRowData_ = inRowData; }
    // Reports a construct on the current line, when there is an observer.
    void note(FileConstruct kind, int32_t column, const char* text = "");

    // Reads a decimal integer straight from the file, past the line rules:
    // white space (line ends too) is skipped, then an optional sign and
    // digits. False when no digit follows. Values beyond 32 bits saturate;
    // `text`, when given, receives the sign and digits as the file holds
    // them.
    bool readInteger(int32_t* value, std::string* text = nullptr);

private:
    int readByte();
    int nextCharacter();
    void endLine();
    // With an observer: what the byte just read, at column_, tells it.
    void noteByte(int c);

    std::FILE* file_;
    ReadObserver* observer_;
    int64_t line_ = 1;
    bool lineEndPending_ = false;  // the byte read last ended its line
    bool afterReturn_ = false;     // ... and was a carriage return
    bool tabNoted_ = false;        // on this line
    bool pastNoted_ = false;       // on this line
    // With an observer: the line is a comment to compilers, or a "!" on it
    // was reported already, or a quoted text ("'" or '"') is open on it
    // (the quote, or 0). A quote stays open on a continuation line.
    bool commentNoted_ = false;
    char openQuote_ = 0;
    bool inRowData_ = false;
    bool putBack_ = false;
    int last_ = kEnd;
    int column_ = 0;              // column of the byte just read, 1 = first
    bool lineStartPending_ = true;  // nothing returned yet from this line
    bool lastAtLineStart_ = false;
    bool ended_ = false;
};

}  // namespace uvt
