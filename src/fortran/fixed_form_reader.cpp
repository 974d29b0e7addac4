#include "fortran/fixed_form_reader.h"


namespace uvt {
namespace {
bool isLineEnd(int c) { return c == '\r' || c == '\n'; }
// Compilers read a fixed-form line up to this column.
constexpr int kLastStatementColumn = 72;
}  // namespace

int FixedFormReader::readByte() {
    if (ended_) return kEnd;
    const int c = std::fgetc(file_);
    if (c == EOF) {
        ended_ = true;
        return c;
    }
    // A line ends at "\n", "\r" or "\r\n"; the byte after the end opens the
    // next line.
    if (lineEndPending_) {
        if (afterReturn_ && c == '\n') {
            afterReturn_ = false;  // the second byte of "\r\n"; the end stays pending
            return c;
        }
        ++line_;
    }
    lineEndPending_ = isLineEnd(c);
    afterReturn_ = c == '\r';
    return c;
}

void FixedFormReader::endLine() {
    column_ = 0;
    lineStartPending_ = true;
    tabNoted_ = false;
    pastNoted_ = false;
    commentNoted_ = false;
}

void FixedFormReader::note(FileConstruct kind, int32_t column, const char* text) {
    tellObserver(observer_, [&] { return ConstructReport{line_, column, kind, text}; });
}

void FixedFormReader::noteByte(int c) {
    if (column_ == 1 && (c == 'c' || c == '*' || c == '!')) {
        note(FileConstruct::CommentMarker, 1);
        commentNoted_ = true;
    }
    // Column 6 marks a continuation line; any mark but a blank or "0" goes
    // on with the statement before it, and with a text left open on it.
    if (column_ == 6 && (c == ' ' || c == '0')) openQuote_ = 0;
    if (column_ > 6 && column_ <= kLastStatementColumn && !commentNoted_) {
        if (openQuote_ != 0) {
            if (c == openQuote_) openQuote_ = 0;
        } else if (c == '\'' || c == '"') {
            openQuote_ = static_cast<char>(c);
        } else if (c == '!') {
            // Compilers end the statement here; the rest of the line is a
            // comment to them.
            commentNoted_ = true;
            note(FileConstruct::InlineComment, column_, inRowData_ ? "rows" : "");
        }
    }
    if (column_ <= 6 && c == '\t' && !tabNoted_) {
        tabNoted_ = true;
        note(FileConstruct::TabInLabelField, column_);
    }
    if (column_ > kLastStatementColumn && c != ' ' && c != '\t' && !pastNoted_) {
        pastNoted_ = true;
        note(FileConstruct::PastColumn72, column_);
    }
}

int FixedFormReader::next() {
    if (putBack_) {
        putBack_ = false;
        return last_;
    }
    last_ = nextCharacter();
    return last_;
}

int FixedFormReader::nextCharacter() {
    for (;;) {
        int c = readByte();
        if (c == kEnd) return kEnd;
        if (isLineEnd(c)) {
            endLine();
            continue;
        }
        ++column_;
        if (observer_ != nullptr) noteByte(c);
        if (column_ == 1 && c == 'C') {
            // A comment runs to its line end, or to the end of the file.
            do {
                c = readByte();
                if (c == kEnd) return kEnd;
            } while (!isLineEnd(c));
            endLine();
            continue;
        }
        if (column_ <= 6 || c == ' ' || c == '\t') continue;
        lastAtLineStart_ = lineStartPending_;
        lineStartPending_ = false;
        return c;
    }
}

bool FixedFormReader::readInteger(int32_t* value, std::string* text) {
    int c = readByte();
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') c = readByte();
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        if (text != nullptr) text->push_back(static_cast<char>(c));
        c = readByte();
    }
    if (c < '0' || c > '9') return false;
    // Accumulated as a magnitude that stops growing past the 32-bit range.
    constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
    int64_t magnitude = 0;
    for (; c >= '0' && c <= '9'; c = readByte()) {
        if (text != nullptr) text->push_back(static_cast<char>(c));
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
