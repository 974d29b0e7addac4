#include "runtime/node_chain.h"

#include "runtime/layout_index.h"
#include "runtime/nodes.h"
#include "table/records.h"

namespace uvt {

bool placeAlongChain(const NodeChain& chain, int32_t type, int32_t& place) {
    if (type < kInteger || type > kCharacter) return false;
    int32_t sum = 0;
    for (int level = 1; level < chain.length; ++level) {
        const RuntimeNode* parent = resolveNode(chain.handles[level - 1]);
        if (parent == nullptr) return false;
        const uintptr_t wanted = chain.handles[level];
        uintptr_t child = parent->firstChild;
        while (child != wanted) {
            const RuntimeNode* sibling = resolveNode(child);
            if (sibling == nullptr) return false;  // the end of the list, or a broken link
            if (sibling->kind == kGroupNode) sum += sibling->counters[typeCounter(type)];
            else if (leafArrayIndex(*sibling) == type) ++sum;
            child = sibling->nextSibling;
        }
    }
    place = sum;
    return true;
}

bool placeOfChainNode(const LayoutIndex* index, const NodeChain& chain, int32_t type, int32_t& place) {
    if (index != nullptr && chain.length > 0 && chain.top() == index->root) {
        const int32_t seq = index->leafPosition(chain.node());
        if (seq >= 0 && index->leaf(seq).type == type) {
            place = index->leaf(seq).place;
            return true;
        }
    }
    return placeAlongChain(chain, type, place);
}

}  // namespace uvt
