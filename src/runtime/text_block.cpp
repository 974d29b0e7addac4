#include "runtime/text_block.h"

#include "host/host_routines.h"

#include <cstring>

namespace uvt {

uintptr_t makeTextBlock(const char* text) {
    if (text == nullptr) text = "";
    const std::size_t length = std::strlen(text);
    const uintptr_t handle = allocateBlock(static_cast<int32_t>(length + 1));
    if (handle == 0) return 0;
    char* copy = resolveAs<char>(handle);
    if (copy == nullptr) {
        releaseBlock(handle, static_cast<int32_t>(length + 1));
        return 0;
    }
    std::memcpy(copy, text, length + 1);
    return handle;
}

void releaseTextBlock(uintptr_t handle) {
    if (handle == 0) return;
    const char* text = textOf(handle);
    const std::size_t length = text == nullptr ? 0 : std::strlen(text);
    releaseBlock(handle, static_cast<int32_t>(length + 1));
}

const char* textOf(uintptr_t handle) { return resolveAs<const char>(handle); }

}  // namespace uvt
