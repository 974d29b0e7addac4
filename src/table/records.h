// The table header and the variable row, laid out field by field as the host
// sees them in the blocks it hands out. With 32-bit pointers a header is 88
// bytes and a row 44; with wider pointers the handle fields widen.
#pragma once

#include <cstdint>

namespace uvt {

inline constexpr int32_t kNoParent = -50;
inline constexpr int kNameCapacity = 20;          // 19 characters and a terminator
inline constexpr int kFunctionNameCapacity = 16;  // 15 characters and a terminator

enum TypeCode : int32_t { kInteger = 0, kReal = 1, kCharacter = 2, kStructure = 3 };
inline constexpr int32_t kScalar = -1;

struct TableHeader {
    int32_t rowCount;
    int32_t hostIds[2];
    int32_t timeStamp;
    char functionName[kFunctionNameCapacity];
    uintptr_t rowArray;
    uintptr_t runtimeRoot;
    int32_t reserved[4];
    int32_t nextRowId;
    void* configInterface;
    uintptr_t elementArrays[3];
    int32_t elementCounts[3];
};

struct VariableRow {
    int32_t id;
    char name[kNameCapacity];
    int32_t type;
    int32_t dimension;
    int32_t depth;
    int32_t io;
    int32_t parentId;
};

inline constexpr int32_t kHeaderSize = static_cast<int32_t>(sizeof(TableHeader));
inline constexpr int32_t kRowSize = static_cast<int32_t>(sizeof(VariableRow));
inline constexpr int32_t kSlotSize = static_cast<int32_t>(sizeof(uintptr_t));

static_assert(sizeof(void*) != 4 || sizeof(TableHeader) == 88, "table header must be 88 bytes");
static_assert(sizeof(VariableRow) == 44, "variable row must be 44 bytes");

}  // namespace uvt
