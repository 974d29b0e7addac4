#include "runtime/sync_pass.h"

#include "host/host_routines.h"
#include "runtime/layout_index.h"
#include "runtime/nodes.h"
#include "table/table_access.h"
#include "uvt.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace uvt {
namespace {

bool sameState(const ElementSlot& slot, const LeafPart& leaf) {
    if (slot.hasValue == 0 && leaf.valueSet == 0) return true;
    if (slot.hasValue == 0 || leaf.valueSet == 0 || slot.valueType != leaf.valueType) return false;
    switch (leaf.valueType) {
        case kInteger: return slot.value.integer == leaf.value.integer;
        case kReal: return slot.value.real == leaf.value.real;
        default: return slot.value.text == leaf.value.text;
    }
}

void takeState(ElementSlot& slot, const LeafPart& leaf) {
    slot.valueType = leaf.valueType;
    if (leaf.valueSet != 0) {
        slot.hasValue = 1;
        slot.value = leaf.value;
    } else {
        slot.hasValue = 0;
    }
}

// The counting walk: recomputes every group's counters and compares each
// value leaf with the slot at its place, in place; leaves past the end of an
// array are gathered as new slots. It recurses into groups only, whose depth
// the structure nesting bounds; siblings are walked in a loop.
class CountingWalk {
public:
    CountingWalk(ElementSlot* const slots[3], const int32_t counts[3]) {
        for (int i = 0; i < 3; ++i) {
            slots_[i] = slots[i];
            counts_[i] = slots[i] == nullptr ? 0 : counts[i];
        }
    }

    void walkGroup(RuntimeNode& group) {
        std::fill_n(group.counters, 6, 0);
        for (uintptr_t child = group.firstChild; child != 0;) {
            RuntimeNode* node = resolveNode(child);
            if (node == nullptr) break;
            if (node->kind == kGroupNode) {
                walkGroup(*node);
                for (int c = 0; c < 6; ++c) group.counters[c] += node->counters[c];
            } else if (const int32_t type = leafArrayIndex(*node); type >= 0) {
                visitLeaf(type, node->leaf);
                ++group.counters[kValueCount];
                ++group.counters[typeCounter(type)];
                if (node->leaf.io == UVT_IO_INPUT || node->leaf.io == UVT_IO_BOTH) ++group.counters[kInputCount];
                if (node->leaf.io == UVT_IO_OUTPUT || node->leaf.io == UVT_IO_BOTH) ++group.counters[kOutputCount];
            }
            child = node->nextSibling;
        }
    }

    std::vector<ElementSlot>& added(int32_t type) { return added_[type]; }

private:
    void visitLeaf(int32_t type, const LeafPart& leaf) {
        const int32_t position = positions_[type]++;
        if (position < counts_[type]) {
            ElementSlot& slot = slots_[type][position];
            if (sameState(slot, leaf)) {
                slot.changed = 0;
            } else {
                slot.changed = 1;
                takeState(slot, leaf);
            }
            return;
        }
        ElementSlot slot;
        std::memset(static_cast<void*>(&slot), 0, sizeof slot);
        slot.changed = 1;
        takeState(slot, leaf);
        added_[type].push_back(slot);
    }

    ElementSlot* slots_[3];
    int32_t counts_[3];
    int32_t positions_[3] = {0, 0, 0};
    std::vector<ElementSlot> added_[3];
};

const void* valueAddress(const ElementSlot& slot, int32_t array) {
    if (slot.hasValue == 0) return nullptr;
    if (array != kCharacter) return &slot.value;
    const char* text = textOf(slot.value.text);
    return text == nullptr ? "" : text;
}

}  // namespace

const char* syncPass(TableHeader& header, bool force) {
    ElementSlot* slots[3];
    for (int i = 0; i < 3; ++i) {
        slots[i] = header.elementCounts[i] > 0 ? resolveAs<ElementSlot>(header.elementArrays[i]) : nullptr;
    }
    CountingWalk walk(slots, header.elementCounts);
    int32_t totals[3] = {0, 0, 0};
    if (RuntimeNode* root = resolveNode(header.runtimeRoot)) {
        walk.walkGroup(*root);
        for (int i = 0; i < 3; ++i) totals[i] = root->counters[typeCounter(i)];
    }

    const char* message = nullptr;
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t n = totals[i];
        const int32_t o = header.elementCounts[i];
        const uintptr_t kept = header.elementArrays[i];
        std::vector<ElementSlot>& added = walk.added(i);
        // Set when the array could not be brought to n slots: the values are
        // still sent from the old slots and the gathered ones, and then the
        // array is dropped, so that the next pass starts afresh and sends
        // everything again instead of trusting a mirror that is not there.
        bool unsized = false;
        ElementSlot* base = slots[i];

        if (n != o) {
            resizeArray(header.hostIds, i, n);
            if (n == 0) {
                if (kept != 0) releaseBlock(kept, o * kSlotBytes);
                header.elementArrays[i] = 0;
                header.elementCounts[i] = 0;
                base = nullptr;
            } else {
                const uintptr_t grown =
                    kept == 0 || o == 0 ? allocateBlock(n * kSlotBytes) : reallocateBlock(kept, o * kSlotBytes, n * kSlotBytes);
                ElementSlot* grownSlots = resolveAs<ElementSlot>(grown);
                if (grownSlots == nullptr) {
                    if (grown != 0) releaseBlock(grown, n * kSlotBytes);
                    unsized = true;
                } else {
                    base = grownSlots;
                    for (int32_t j = o; j < n; ++j) {
                        const std::size_t k = static_cast<std::size_t>(j - o);
                        if (k < added.size()) {
                            base[j] = added[k];
                        } else {
                            std::memset(static_cast<void*>(&base[j]), 0, sizeof base[j]);
                            base[j].changed = 1;
                        }
                    }
                    header.elementArrays[i] = grown;
                    header.elementCounts[i] = n;
                }
            }
            for (int32_t j = n; j < o; ++j) storeElement(header.hostIds, i, j, nullptr);
        }

        for (int32_t j = 0; j < n && message == nullptr; ++j) {
            const ElementSlot* slot = nullptr;
            if (!unsized || j < o) slot = base == nullptr ? nullptr : &base[j];
            else if (static_cast<std::size_t>(j - o) < added.size()) slot = &added[static_cast<std::size_t>(j - o)];
            if (slot == nullptr) continue;
            if (slot->changed != 0 || force) message = storeElement(header.hostIds, i, j, valueAddress(*slot, i));
        }

        if (unsized) {
            if (header.elementArrays[i] != 0 && header.elementCounts[i] > 0) {
                releaseBlock(header.elementArrays[i], header.elementCounts[i] * kSlotBytes);
            }
            header.elementArrays[i] = 0;
            header.elementCounts[i] = 0;
        }
    }
    return message;
}

const char* syncValueChange(TableHeader& header, uintptr_t leafHandle) {
    const LayoutIndex* index = openIndex(header);
    const int32_t seq = index == nullptr ? -1 : index->leafPosition(leafHandle);
    const RuntimeNode* node = resolveNode(leafHandle);
    if (seq < 0 || node == nullptr || node->kind != kValueLeaf) return syncPass(header, false);
    const IndexedLeaf& leaf = index->leaf(seq);
    ElementSlot* slots = resolveAs<ElementSlot>(header.elementArrays[leaf.type]);
    if (slots == nullptr || leaf.place >= header.elementCounts[leaf.type]) return syncPass(header, false);
    ElementSlot& slot = slots[leaf.place];
    if (sameState(slot, node->leaf)) {
        slot.changed = 0;
        return nullptr;
    }
    slot.changed = 1;
    takeState(slot, node->leaf);
    return storeElement(header.hostIds, leaf.type, leaf.place, valueAddress(slot, leaf.type));
}

const char* syncTable(uintptr_t table, bool force) {
    TableHeader* header = resolveTable(table);
    return header == nullptr ? nullptr : syncPass(*header, force);
}

}  // namespace uvt
