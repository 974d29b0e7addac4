// Linux stand-ins for the part of OLE Automation that the library and its
// callers use: BSTR with its byte-length prefix, and VARIANT set-up and
// clean-up. They follow the Windows semantics so that host code written
// against the real system functions behaves the same here.
#include "uvt.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kPrefix = sizeof(uint32_t);

uint32_t* prefixOf(BSTR text) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}

std::size_t lengthOf(const OLECHAR* text) {
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

}  // namespace

extern "C" {

UVT_API BSTR SysAllocStringLen(const OLECHAR* text, uint32_t length) {
    // The byte length must fit the 32-bit prefix.
    if (length > (UINT32_MAX - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR)) return nullptr;
    const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
    char* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (block == nullptr) return nullptr;
    const uint32_t prefix = static_cast<uint32_t>(bytes);
    std::memcpy(block, &prefix, kPrefix);
    auto* result = reinterpret_cast<BSTR>(block + kPrefix);
    if (text != nullptr) {
        std::memcpy(result, text, bytes);
    } else {
        std::memset(result, 0, bytes);
    }
    result[length] = 0;
    return result;
}

UVT_API BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) return nullptr;
    const std::size_t length = lengthOf(text);
    if (length > UINT32_MAX) return nullptr;
    return SysAllocStringLen(text, static_cast<uint32_t>(length));
}

UVT_API void SysFreeString(BSTR text) {
    if (text != nullptr) std::free(prefixOf(text));
}

UVT_API uint32_t SysStringLen(BSTR text) {
    if (text == nullptr) return 0;
    uint32_t bytes = 0;
    std::memcpy(&bytes, prefixOf(text), kPrefix);
    return static_cast<uint32_t>(bytes / sizeof(OLECHAR));
}

UVT_API void VariantInit(VARIANT* variant) {
    if (variant == nullptr) return;
    variant->vt = VT_EMPTY;
    variant->wReserved1 = variant->wReserved2 = variant->wReserved3 = 0;
}

UVT_API int32_t VariantClear(VARIANT* variant) {
    if (variant == nullptr) return 0;
    if (variant->vt == VT_BSTR) SysFreeString(variant->bstrVal);
    std::memset(variant, 0, sizeof *variant);
    variant->vt = VT_EMPTY;
    return 0;
}

}  // extern "C"
