#include "fortran/fixed_form_reader.h"

namespace uvt {
namespace {
bool isLineEnd(int c) { return c == '\r' || c == '\n'; }
}  // namespace

int FixedFormReader::readByte() {
    if (ended_) return kEnd;
    const int c = std::fgetc(file_);
    if (c == EOF) ended_ = true;
    return c;
}

int FixedFormReader::next() {
    for (;;) {
        int c = readByte();
        if (c == kEnd) return kEnd;
        if (isLineEnd(c)) {
            column_ = 0;
            lineStartPending_ = true;
            continue;
        }
        ++column_;
        if (column_ == 1 && c == 'C') {
            // A comment runs to its line end, or to the end of the file.
            do {
                c = readByte();
                if (c == kEnd) return kEnd;
            } while (!isLineEnd(c));
            column_ = 0;
            lineStartPending_ = true;
            continue;
        }
        if (column_ <= 6 || c == ' ' || c == '\t') continue;
        lastAtLineStart_ = lineStartPending_;
        lineStartPending_ = false;
        return c;
    }
}

bool FixedFormReader::readInteger(int32_t* value) {
    int c = readByte();
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') c = readByte();
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        c = readByte();
    }
    if (c < '0' || c > '9') return false;
    // Accumulated as a magnitude that stops growing past the 32-bit range.
    constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
    int64_t magnitude = 0;
    for (; c >= '0' && c <= '9'; c = readByte()) {
        if (magnitude <= kLimit) magnitude = magnitude * 10 + (c - '0');
    }
    if (negative) {
        *value = magnitude >= kLimit ? INT32_MIN : static_cast<int32_t>(-magnitude);
    } else {
        *value = magnitude >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
    }
    // The byte after the number belongs to nothing the reader looks at.
    return true;
}

}  // namespace uvt
