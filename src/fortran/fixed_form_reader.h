// Reads the statement text of a fixed-form FORTRAN file: labels and
// continuation marks (columns 1 to 6), comment lines and blanks are passed
// over, so that continuation lines join their statements.
#pragma once

#include <cstdint>
#include <cstdio>

namespace uvt {

class FixedFormReader {
public:
    // Character value of the end of the file; every byte, 255 included,
    // reads as a character.
    static constexpr int kEnd = EOF;

    explicit FixedFormReader(std::FILE* file) : file_(file) {}

    // The next statement character (0 to 255) or kEnd.
    int next();
    // Whether the character that next() returned last was the first one
    // returned from its line.
    bool atLineStart() const { return lastAtLineStart_; }

    // Reads a decimal integer straight from the file, past the line rules:
    // white space (line ends too) is skipped, then an optional sign and
    // digits. False when no digit follows. Values beyond 32 bits saturate.
    bool readInteger(int32_t* value);

private:
    int readByte();

    std::FILE* file_;
    int column_ = 0;              // column of the byte just read, 1 = first
    bool lineStartPending_ = true;  // nothing returned yet from this line
    bool lastAtLineStart_ = false;
    bool ended_ = false;
};

}  // namespace uvt
