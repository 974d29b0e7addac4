// The runtime node: one block per variable and per array element of the
// layout tree. 48 bytes with 32-bit pointers. Group nodes keep six counters
// where value leaves keep their value.
#pragma once

#include <cstdint>

namespace uvt {

enum NodeKind : int32_t { kGroupNode = 0, kValueLeaf = 1 };

inline constexpr int32_t kElementTag = -100;
inline constexpr int32_t kRootTag = -1;
inline constexpr const char* kRootName = "$TOP$";

union NodeValue {
    int32_t integer;
    double real;
    uintptr_t text;  // handle of a NUL-terminated block, or 0
};

struct LeafPart {
    NodeValue value;
    int32_t valueType;
    int32_t io;
    int32_t valueSet;
};

enum Counter { kValueCount = 0, kInputCount, kOutputCount, kIntegerCount, kRealCount, kCharacterCount };

struct alignas(8) RuntimeNode {
    int32_t kind;
    uintptr_t parent;
    uintptr_t nextSibling;
    uintptr_t firstChild;
    int32_t tag;
    uintptr_t name;
    union {
        LeafPart leaf;
        int32_t counters[6];
    };
};

inline constexpr int32_t kNodeSize = static_cast<int32_t>(sizeof(RuntimeNode));
static_assert(sizeof(void*) != 4 || sizeof(RuntimeNode) == 48, "runtime node must be 48 bytes");

// Element slot of the element arrays: what the host was last told of one value.
struct alignas(8) ElementSlot {
    int32_t changed;
    int32_t valueType;
    int32_t hasValue;
    NodeValue value;
};

inline constexpr int32_t kSlotBytes = static_cast<int32_t>(sizeof(ElementSlot));
static_assert(sizeof(ElementSlot) == 24, "element slot must be 24 bytes");

inline int32_t typeCounter(int32_t type) { return kIntegerCount + type; }

}  // namespace uvt
