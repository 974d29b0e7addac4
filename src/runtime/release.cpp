#include "runtime/release.h"

#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "runtime/layout_index.h"
#include "runtime/nodes.h"

namespace uvt {
namespace {

bool deferring = false;
bool deferralExists = false;
uintptr_t kept = 0;  // the kept chains, the latest first

// Appends the sibling chain starting at `head` to the end of the child list
// of `parent`.
bool appendChildren(uintptr_t parent, uintptr_t head) {
    RuntimeNode* group = resolveNode(parent);
    if (group == nullptr) return false;
    if (group->firstChild == 0) {
        group->firstChild = head;
        return true;
    }
    RuntimeNode* last = resolveNode(group->firstChild);
    while (last != nullptr && last->nextSibling != 0) last = resolveNode(last->nextSibling);
    if (last == nullptr) return false;
    last->nextSibling = head;
    return true;
}

}  // namespace

bool deferRelease(uintptr_t head) {
    if (!deferring) return false;
    RuntimeNode* tail = resolveNode(head);
    if (tail == nullptr) return false;
    while (tail->nextSibling != 0) {
        RuntimeNode* next = resolveNode(tail->nextSibling);
        if (next == nullptr) return false;
        tail = next;
    }
    tail->nextSibling = kept;
    kept = head;
    return true;
}

ReleaseDeferral::ReleaseDeferral() : owner_(!deferralExists) {
    if (!owner_) return;  // one deferral at a time; an inner one stays inert
    deferralExists = true;
    deferring = true;
    kept = 0;
}

ReleaseDeferral::~ReleaseDeferral() {
    if (!owner_) return;
    releaseKept();
    deferralExists = false;
}

void ReleaseDeferral::stop() {
    if (owner_) deferring = false;
}

void ReleaseDeferral::releaseKept() {
    if (!owner_) return;
    deferring = false;
    releaseTree(kept);
}

void ReleaseDeferral::restoreKept() {
    if (!owner_) return;
    deferring = false;
    uintptr_t head = kept;
    kept = 0;
    while (head != 0) {
        RuntimeNode* first = resolveNode(head);
        if (first == nullptr) return;
        // The run of nodes with the same parent is one list's cut-off part
        // (or several of them, the later cut first, which is their order).
        const uintptr_t parent = first->parent;
        RuntimeNode* last = first;
        while (last->nextSibling != 0) {
            const RuntimeNode* next = resolveNode(last->nextSibling);
            if (next == nullptr || next->parent != parent) break;
            last = resolveNode(last->nextSibling);
        }
        const uintptr_t rest = last->nextSibling;
        last->nextSibling = 0;
        if (!appendChildren(parent, head)) releaseTree(head);
        head = rest;
    }
}

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
