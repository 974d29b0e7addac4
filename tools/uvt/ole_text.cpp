#include "ole_text.h"

#include <cstdint>

namespace uvt_tool {

std::basic_string<OLECHAR> toWide(const std::string& utf8) {
    std::basic_string<OLECHAR> wide;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::uint32_t code = lead;
        std::size_t extra = 0;
        if (lead >= 0xF0 && lead < 0xF8) {
            code = lead & 0x07u;
            extra = 3;
        } else if (lead >= 0xE0) {
            code = lead & 0x0Fu;
            extra = 2;
        } else if (lead >= 0xC0) {
            code = lead & 0x1Fu;
            extra = 1;
        }
        if (lead >= 0x80 && extra == 0) {
            code = 0xFFFD;  // a stray continuation byte
        }
        ++i;
        for (std::size_t k = 0; k < extra; ++k, ++i) {
            if (i >= utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0u) != 0x80u) {
                code = 0xFFFD;
                break;
            }
            code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3Fu);
        }
        if (code >= 0x10000 && code <= 0x10FFFF) {
            code -= 0x10000;
            wide.push_back(static_cast<OLECHAR>(0xD800u + (code >> 10)));
            wide.push_back(static_cast<OLECHAR>(0xDC00u + (code & 0x3FFu)));
        } else {
            wide.push_back(static_cast<OLECHAR>(code > 0x10FFFF ? 0xFFFDu : code));
        }
    }
    return wide;
}

std::string fromWide(const OLECHAR* text, std::size_t length) {
    std::string utf8;
    for (std::size_t i = 0; i < length; ++i) {
        std::uint32_t code = static_cast<std::uint16_t>(text[i]);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < length) {
            const std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xF0 | (code >> 18)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}

VariantText::VariantText(const std::string& utf8) {
    VariantInit(&value_);
    const std::basic_string<OLECHAR> wide = toWide(utf8);
    value_.vt = VT_BSTR;
    value_.bstrVal = SysAllocStringLen(wide.data(), static_cast<uint32_t>(wide.size()));
}

VariantText::~VariantText() { VariantClear(&value_); }

std::optional<std::string> takeText(VARIANT result) {
    std::optional<std::string> text;
    if (result.vt == VT_BSTR) {
        text = result.bstrVal == nullptr ? std::string() : fromWide(result.bstrVal, SysStringLen(result.bstrVal));
    }
    VariantClear(&result);
    return text;
}

}  // namespace uvt_tool
