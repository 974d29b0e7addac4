#include "memory_budget.h"

#include "table_file.h"
#include "uvt.h"

#include <cstdlib>

namespace uvt_tool {

namespace {

// Handles are the blocks' addresses: the library only ever resolves them.
uint64_t gBudget = kDefaultMemoryBudget;
uint64_t gInUse = 0;  // the library's blocks and the tool's charges
bool gExceeded = false;

bool take(int32_t size) {
    if (size < 0 || gInUse + static_cast<uint64_t>(size) > gBudget) {
        gExceeded = true;
        return false;
    }
    gInUse += static_cast<uint64_t>(size);
    return true;
}

uintptr_t UVT_HOSTCALL allocateBlock(int32_t size) {
    if (!take(size)) return 0;
    void* block = std::calloc(1, size > 0 ? static_cast<std::size_t>(size) : 1);
    if (block == nullptr) gInUse -= static_cast<uint64_t>(size);
    return reinterpret_cast<uintptr_t>(block);
}

void UVT_HOSTCALL releaseBlock(uintptr_t handle, int32_t size) {
    if (handle == 0) return;
    std::free(reinterpret_cast<void*>(handle));
    if (size > 0) gInUse -= static_cast<uint64_t>(size) < gInUse ? static_cast<uint64_t>(size) : gInUse;
}

void* UVT_HOSTCALL resolveBlock(uintptr_t handle) { return reinterpret_cast<void*>(handle); }

uintptr_t UVT_HOSTCALL reallocateBlock(uintptr_t handle, int32_t oldSize, int32_t newSize) {
    if (newSize < 0 || oldSize < 0) return 0;
    if (newSize > oldSize && !take(newSize - oldSize)) return 0;
    void* block = std::realloc(reinterpret_cast<void*>(handle), newSize > 0 ? static_cast<std::size_t>(newSize) : 1);
    if (block == nullptr) {
        if (newSize > oldSize) gInUse -= static_cast<uint64_t>(newSize - oldSize);
        return 0;
    }
    if (newSize < oldSize) gInUse -= static_cast<uint64_t>(oldSize - newSize);
    return reinterpret_cast<uintptr_t>(block);
}

}  // namespace

std::optional<uint64_t> parseMemorySize(const std::string& text) {
    if (text.empty()) return std::nullopt;
    uint64_t unit = 1;
    std::string digits = text;
    switch (text.back()) {
        case 'K': case 'k': unit = uint64_t{1} << 10; break;
        case 'M': case 'm': unit = uint64_t{1} << 20; break;
        case 'G': case 'g': unit = uint64_t{1} << 30; break;
        default: break;
    }
    if (unit != 1) digits.pop_back();
    if (digits.empty() || digits.size() > 12 || digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const uint64_t value = std::stoull(digits);
    if (value == 0) return std::nullopt;
    return value * unit;
}

std::string memorySizeText(uint64_t bytes) {
    const char* const suffixes[] = {"G", "M", "K"};
    const int shifts[] = {30, 20, 10};
    for (int i = 0; i < 3; ++i) {
        const uint64_t unit = uint64_t{1} << shifts[i];
        if (bytes % unit == 0) return std::to_string(bytes / unit) + suffixes[i];
    }
    return std::to_string(bytes);
}

void installMemoryBudget(uint64_t bytes) {
    gBudget = bytes;
    gInUse = 0;
    gExceeded = false;
    const UvtMemoryRoutines routines = {&allocateBlock, &releaseBlock, &resolveBlock, &reallocateBlock};
    SetExtRoutines(&routines);
}

bool memoryBudgetExceeded() { return gExceeded; }

uint64_t memoryBudget() { return gBudget; }

void checkMemory(uint64_t bytes) {
    if (bytes > gBudget || gInUse + bytes > gBudget) {
        gExceeded = true;
        throw ToolError("the layout needs more memory than the budget of " + memorySizeText(gBudget) +
                        " (--max-memory)");
    }
}

void chargeToolMemory(uint64_t bytes) {
    checkMemory(bytes);
    gInUse += bytes;
}

}  // namespace uvt_tool
