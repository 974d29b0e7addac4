#include "runtime/release.h"

#include "runtime/nodes.h"
#include "runtime/runtime_state.h"

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

}  // namespace uvt
