#include "runtime/node_creation.h"

#include "host/host_routines.h"
#include "runtime/nodes.h"
#include "runtime/text_block.h"

#include <cstdio>
#include <cstring>

namespace uvt {
namespace {

// A zeroed node with its name block, or 0; the caller fills in the rest.
uintptr_t newNode(const char* name, RuntimeNode** node) {
    const uintptr_t nameBlock = makeTextBlock(name);
    if (nameBlock == 0) return 0;
    const uintptr_t handle = allocateBlock(kNodeSize);
    RuntimeNode* fresh = resolveAs<RuntimeNode>(handle);
    if (fresh == nullptr) {
        if (handle != 0) releaseBlock(handle, kNodeSize);
        releaseTextBlock(nameBlock);
        return 0;
    }
    std::memset(static_cast<void*>(fresh), 0, sizeof *fresh);
    fresh->name = nameBlock;
    *node = fresh;
    return handle;
}

}  // namespace

uintptr_t createNode(const VariableRow& row, uintptr_t parent, int32_t elementIndex) {
    const bool element = elementIndex != kNoElement;
    char number[16];
    const char* name = row.name;
    if (element) {
        std::snprintf(number, sizeof number, "%ld", static_cast<long>(elementIndex) + 1);
        name = number;
    }
    RuntimeNode* node = nullptr;
    const uintptr_t handle = newNode(name, &node);
    if (handle == 0) return 0;
    node->parent = parent;
    node->tag = element ? kElementTag : row.dimension;
    if (row.type == kStructure || (!element && row.dimension != kScalar)) {
        node->kind = kGroupNode;
    } else {
        node->kind = kValueLeaf;
        node->leaf.valueType = row.type;
        node->leaf.io = row.io;
        node->leaf.valueSet = 0;
    }
    return handle;
}

uintptr_t createRootNode() {
    RuntimeNode* node = nullptr;
    const uintptr_t handle = newNode(kRootName, &node);
    if (handle == 0) return 0;
    node->kind = kGroupNode;
    node->tag = kRootTag;
    return handle;
}

}  // namespace uvt
