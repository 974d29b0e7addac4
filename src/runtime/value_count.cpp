#include "runtime/value_count.h"

#include "runtime/nodes.h"

namespace uvt {
namespace {

// Recurses into groups only: the tree's depth is bounded by the structure
// nesting, while a sibling list (an array's elements) can be long.
void addValues(const RuntimeNode& group, int32_t counts[3]) {
    for (uintptr_t child = group.firstChild; child != 0;) {
        const RuntimeNode* node = resolveNode(child);
        if (node == nullptr) return;
        if (node->kind == kGroupNode) {
            addValues(*node, counts);
        } else if (const int32_t type = leafArrayIndex(*node); type >= 0) {
            ++counts[type];
        }
        child = node->nextSibling;
    }
}

}  // namespace

void countValues(uintptr_t node, int32_t& integers, int32_t& reals, int32_t& characters) {
    const RuntimeNode* group = resolveNode(node);
    if (group == nullptr || group->kind != kGroupNode) return;
    int32_t counts[3] = {0, 0, 0};
    addValues(*group, counts);
    integers = counts[0];
    reals = counts[1];
    characters = counts[2];
}

}  // namespace uvt
