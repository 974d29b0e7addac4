#include "host/text_conversion.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#ifndef _WIN32
#include <uchar.h>
#endif

namespace uvt {

std::size_t wideLength(const OLECHAR* text) {
    std::size_t n = 0;
    if (text != nullptr) {
        while (text[n] != 0) ++n;
    }
    return n;
}

void upperCaseInPlace(OLECHAR* text) {
    if (text == nullptr) return;
    for (; *text != 0; ++text) {
        if (*text >= u'a' && *text <= u'z') *text = static_cast<OLECHAR>(*text - u'a' + u'A');
    }
}

void upperCaseInPlace(char* text) {
    if (text == nullptr) return;
    for (; *text != 0; ++text) {
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
    }
}

#ifdef _WIN32

// wchar_t is UTF-16 on Windows, so OLECHAR and wchar_t share one form.
NarrowResult narrowText(const OLECHAR* text, char* out, std::size_t capacity) {
    std::size_t used = 0;
    out[0] = 0;
    if (text == nullptr) return {Narrowing::Ok, 0};
    std::mbstate_t state{};
    char piece[MB_LEN_MAX];
    for (const OLECHAR* p = text; *p != 0; ++p) {
        const std::size_t n = std::wcrtomb(piece, static_cast<wchar_t>(*p), &state);
        if (n == static_cast<std::size_t>(-1)) {
            out[used] = 0;
            return {Narrowing::Unconvertible, used};
        }
        if (used + n > capacity - 1) {
            out[used] = 0;
            return {Narrowing::Truncated, used};
        }
        std::memcpy(out + used, piece, n);
        used += n;
    }
    out[used] = 0;
    return {Narrowing::Ok, used};
}

std::size_t widenText(const char* text, OLECHAR* out, std::size_t capacity) {
    std::size_t used = 0;
    out[0] = 0;
    if (text == nullptr) return 0;
    std::mbstate_t state{};
    const char* p = text;
    const std::size_t longest = MB_CUR_MAX;
    // The text is looked at only as far as the characters that fit need, so
    // a field without its terminator is never read to its end.
    while (used + 1 < capacity && *p != 0) {
        std::size_t left = 0;
        while (left < longest && p[left] != 0) ++left;
        wchar_t wide = 0;
        const std::size_t n = std::mbrtowc(&wide, p, left, &state);
        if (n == 0 || n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) break;
        out[used++] = static_cast<OLECHAR>(wide);
        p += n;
    }
    out[used] = 0;
    return used;
}

#else

NarrowResult narrowText(const OLECHAR* text, char* out, std::size_t capacity) {
    std::size_t used = 0;
    out[0] = 0;
    if (text == nullptr) return {Narrowing::Ok, 0};
    std::mbstate_t state{};
    char piece[MB_LEN_MAX];
    for (const OLECHAR* p = text; *p != 0; ++p) {
        const std::size_t n = c16rtomb(piece, *p, &state);
        if (n == static_cast<std::size_t>(-1)) {
            out[used] = 0;
            return {Narrowing::Unconvertible, used};
        }
        // n is 0 for the first half of a surrogate pair: nothing to emit yet.
        if (used + n > capacity - 1) {
            out[used] = 0;
            return {Narrowing::Truncated, used};
        }
        std::memcpy(out + used, piece, n);
        used += n;
    }
    if (!std::mbsinit(&state)) {  // a lone leading surrogate at the end
        out[used] = 0;
        return {Narrowing::Unconvertible, used};
    }
    out[used] = 0;
    return {Narrowing::Ok, used};
}

std::size_t widenText(const char* text, OLECHAR* out, std::size_t capacity) {
    std::size_t used = 0;
    out[0] = 0;
    if (text == nullptr) return 0;
    std::mbstate_t state{};
    const char* p = text;
    bool secondHalfDue = false;
    // Bytes go in one at a time, so the text is read only as far as the
    // characters that fit need: a field without its terminator is never read
    // to its end. A surrogate pair goes in whole or not at all.
    while (used + 1 < capacity) {
        char16_t unit = 0;
        if (secondHalfDue) {
            secondHalfDue = false;
            if (mbrtoc16(&unit, p, 0, &state) != static_cast<std::size_t>(-3)) break;
            out[used++] = unit;
            continue;
        }
        if (*p == 0) break;
        const std::size_t n = mbrtoc16(&unit, p, 1, &state);
        if (n == static_cast<std::size_t>(-2)) {  // within a longer sequence
            ++p;
            continue;
        }
        if (n != 1) break;  // a sequence the locale cannot read
        ++p;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (used + 2 >= capacity) break;
            secondHalfDue = true;
        }
        out[used++] = unit;
    }
    out[used] = 0;
    return used;
}

#endif

}  // namespace uvt
