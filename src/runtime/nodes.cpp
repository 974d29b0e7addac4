#include "runtime/nodes.h"

#include "host/host_routines.h"
#include "uvt.h"

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

RuntimeNode* resolveNode(uintptr_t handle) { return resolveAs<RuntimeNode>(handle); }

const char* nodeName(const RuntimeNode& node) {
    const char* name = textOf(node.name);
    return name == nullptr ? "" : name;
}

const char* nodeName(uintptr_t handle) {
    const RuntimeNode* node = resolveNode(handle);
    return node == nullptr ? "" : nodeName(*node);
}

uintptr_t childNamed(const RuntimeNode& group, const char* name, std::size_t length) {
    for (uintptr_t child = group.firstChild; child != 0;) {
        const RuntimeNode* node = resolveNode(child);
        if (node == nullptr) return 0;
        const char* own = nodeName(*node);
        if (std::strlen(own) == length && std::memcmp(own, name, length) == 0) return child;
        child = node->nextSibling;
    }
    return 0;
}

bool elementFitsRow(const RuntimeNode& element, const VariableRow& row) {
    if (element.tag != kElementTag) return false;
    if (row.type == kStructure) return element.kind == kGroupNode;
    return element.kind == kValueLeaf && element.leaf.valueType == row.type;
}

int32_t leafArrayIndex(const RuntimeNode& node) {
    if (node.kind != kValueLeaf) return -1;
    const int32_t type = node.leaf.valueType;
    return type >= kInteger && type <= kCharacter ? type : -1;
}

bool leafMatchesFilter(const RuntimeNode& leaf, int32_t filter) {
    if (leaf.kind != kValueLeaf) return false;
    const int32_t io = leaf.leaf.io;
    switch (filter) {
        case UVT_FILTER_ANY: return true;
        case UVT_FILTER_INPUT: return io != UVT_IO_OUTPUT;
        case UVT_FILTER_OUTPUT: return io != UVT_IO_INPUT;
        case UVT_FILTER_INPUT_ONLY: return io == UVT_IO_INPUT;
        case UVT_FILTER_OUTPUT_ONLY: return io == UVT_IO_OUTPUT;
        case UVT_FILTER_INPUT_AND_OUTPUT: return io == UVT_IO_BOTH;
        default: return false;
    }
}

bool climbToTop(uintptr_t handle, NodeChain& chain) {
    uintptr_t reversed[kMaxChainLength];
    int length = 0;
    for (uintptr_t current = handle; current != 0;) {
        const RuntimeNode* node = resolveNode(current);
        if (node == nullptr || length == kMaxChainLength) return false;
        reversed[length++] = current;
        current = node->parent;
    }
    if (length == 0) return false;
    chain.length = length;
    for (int i = 0; i < length; ++i) chain.handles[i] = reversed[length - 1 - i];
    return true;
}

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
