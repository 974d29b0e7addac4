#include "fortran/keyword_search.h"

#include <string>

namespace uvt {
namespace {
int lowerCase(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }
}  // namespace

bool findKeyword(FixedFormReader& reader, std::string_view keyword, bool firstAtLineStart) {
    if (keyword.empty()) return true;
    const int first = static_cast<unsigned char>(keyword[0]);
    // With an observer, a candidate may also open with the lower-case first
    // letter, so that the keyword written in lower case, which the search
    // passes over, can be reported. A candidate that opens so never equals
    // the keyword, and every upper-case first letter still opens one, so the
    // search stops where it would without the observer.
    const bool observing = reader.observer() != nullptr;
    const auto opens = [&](int c) {
        return (c == first || (observing && c == lowerCase(first))) && (!firstAtLineStart || reader.atLineStart());
    };
    for (;;) {
        int c = 0;
        do {
            c = reader.next();
            if (c == FixedFormReader::kEnd) return false;
        } while (!opens(c));
        // The candidate is compared as it grows: characters already read are
        // never looked at again, only a new first letter restarts it.
        std::size_t matched = 1;
        bool equal = c == first;
        bool equalInLowerCase = true;
        while (matched < keyword.size()) {
            c = reader.next();
            if (c == FixedFormReader::kEnd) return false;
            if (opens(c)) {
                matched = 1;
                equal = c == first;
                equalInLowerCase = true;
                continue;
            }
            const int wanted = static_cast<unsigned char>(keyword[matched]);
            if (c != wanted) equal = false;
            if (lowerCase(c) != lowerCase(wanted)) equalInLowerCase = false;
            ++matched;
        }
        if (equal) return true;
        if (observing && equalInLowerCase) {
            reader.note(FileConstruct::LowerCaseKeyword, 0, std::string(keyword).c_str());
        }
    }
}

}  // namespace uvt
