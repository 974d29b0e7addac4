#include "runtime/runtime_state.h"

#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "runtime/layout_index.h"
#include "runtime/release.h"
#include "runtime/nodes.h"

namespace uvt {
namespace {

// Releases one node and its subtree. The subtree's depth is bounded by the
// structure nesting, but sibling lists can be long, so siblings are walked
// in a loop rather than by recursion.
void releaseSubtree(uintptr_t handle) {
    while (handle != 0) {
        RuntimeNode* node = resolveAs<RuntimeNode>(handle);
        if (node == nullptr) return;
        const uintptr_t next = node->nextSibling;
        releaseSubtree(node->firstChild);
        node->firstChild = 0;
        releaseTextBlock(node->name);
        if (node->kind == kValueLeaf && node->leaf.valueType == kCharacter) releaseTextBlock(node->leaf.value.text);
        releaseBlock(handle, kNodeSize);
        handle = next;
    }
}

}  // namespace

void releaseTree(uintptr_t& place) {
    const uintptr_t handle = place;
    if (handle == 0) return;
    CountedOperation operation;
    RuntimeNode* node = resolveAs<RuntimeNode>(handle);
    if (node != nullptr && node->parent != 0) {
        RuntimeNode* parent = resolveAs<RuntimeNode>(node->parent);
        if (parent != nullptr && parent->firstChild == handle) parent->firstChild = 0;
    }
    if (deferRelease(handle)) {  // kept aside by a write that may yet be taken back
        place = 0;
        return;
    }
    releaseSubtree(handle);
    place = 0;
    noteReleased();
}

void releaseElementArrays(TableHeader& header) {
    for (int i = 0; i < 3; ++i) {
        if (header.elementCounts[i] != 0 && header.elementArrays[i] != 0) {
            releaseBlock(header.elementArrays[i], header.elementCounts[i] * kSlotBytes);
        }
        header.elementArrays[i] = 0;
        header.elementCounts[i] = 0;
    }
}

void releaseRuntimeState(TableHeader& header) {
    dropIndex(header);
    releaseTree(header.runtimeRoot);
    releaseElementArrays(header);
}

}  // namespace uvt
