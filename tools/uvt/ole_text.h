// VARIANT text for the design-time exports: strings in, strings out.
#pragma once

#include "uvt.h"

#include <optional>
#include <string>

namespace uvt_tool {

// UTF-8 (file paths, names typed by the user) to the UTF-16 of a BSTR.
std::basic_string<OLECHAR> toWide(const std::string& utf8);
// UTF-16 back to UTF-8.
std::string fromWide(const OLECHAR* text, std::size_t length);

// A VT_BSTR VARIANT that frees its text when it goes.
class VariantText {
public:
    explicit VariantText(const std::string& utf8);
    ~VariantText();
    VariantText(const VariantText&) = delete;
    VariantText& operator=(const VariantText&) = delete;
    const VARIANT& get() const { return value_; }

private:
    VARIANT value_;
};

// Takes over a VARIANT result: its text, or nothing for VT_EMPTY. The
// VARIANT is cleared.
std::optional<std::string> takeText(VARIANT result);

}  // namespace uvt_tool
