#include "fortran/keyword_search.h"

namespace uvt {

bool findKeyword(FixedFormReader& reader, std::string_view keyword, bool firstAtLineStart) {
    if (keyword.empty()) return true;
    const int first = static_cast<unsigned char>(keyword[0]);
    const auto opens = [&](int c) { return c == first && (!firstAtLineStart || reader.atLineStart()); };
    for (;;) {
        int c = 0;
        do {
            c = reader.next();
            if (c == FixedFormReader::kEnd) return false;
        } while (!opens(c));
        // The candidate is compared as it grows: characters already read are
        // never looked at again, only a new first letter restarts it.
        std::size_t matched = 1;
        bool equal = true;
        while (matched < keyword.size()) {
            c = reader.next();
            if (c == FixedFormReader::kEnd) return false;
            if (opens(c)) {
                matched = 1;
                equal = true;
                continue;
            }
            if (c != static_cast<unsigned char>(keyword[matched])) equal = false;
            ++matched;
        }
        if (equal) return true;
    }
}

}  // namespace uvt
