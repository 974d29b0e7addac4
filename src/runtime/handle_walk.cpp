#include "runtime/handle_walk.h"

#include "runtime/nodes.h"
#include "uvt.h"

namespace uvt {

uintptr_t nextMatchingLeaf(uintptr_t start, int32_t filter) {
    const RuntimeNode* startNode = resolveNode(start);
    if (startNode == nullptr) return 0;
    uintptr_t context = startNode->parent == 0 ? start : startNode->parent;
    uintptr_t current = startNode->parent == 0 ? startNode->firstChild : startNode->nextSibling;
    for (;;) {
        while (current == 0) {
            // The end of a sibling list: go on after the group that held it.
            const RuntimeNode* group = resolveNode(context);
            if (group == nullptr || group->parent == 0) return 0;
            current = group->nextSibling;
            context = group->parent;
        }
        const RuntimeNode* node = resolveNode(current);
        if (node == nullptr) return 0;
        if (node->kind == kValueLeaf) {
            if (leafMatchesFilter(*node, filter)) return current;
            current = node->nextSibling;
        } else {
            context = current;
            current = node->firstChild;
        }
    }
}

}  // namespace uvt
