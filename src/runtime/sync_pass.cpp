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

// What a counting pass found: per array the slots at the end that the tree
// has beyond the array, and, when the pass looked at only some places, the
// places it found changed (ascending); all others mirror their node.
struct CountedChanges {
    std::vector<ElementSlot> added[3];
    std::vector<int32_t> changed[3];
    bool everyPlace = true;
};

// Compares one value leaf with the slot at its place, in place, or gathers
// it as a new slot past the end of the array.
void countLeaf(ElementSlot* slots, int32_t count, int32_t place, const LeafPart& leaf, std::vector<ElementSlot>& added,
               std::vector<int32_t>* changed) {
    if (place < count) {
        ElementSlot& slot = slots[place];
        if (sameState(slot, leaf)) {
            slot.changed = 0;
            return;
        }
        slot.changed = 1;
        takeState(slot, leaf);
        if (changed != nullptr) changed->push_back(place);
        return;
    }
    ElementSlot slot;
    std::memset(static_cast<void*>(&slot), 0, sizeof slot);
    slot.changed = 1;
    takeState(slot, leaf);
    added.push_back(slot);
    if (changed != nullptr) changed->push_back(place);
}

// The counting walk: recomputes every group's counters and compares each
// value leaf with the slot at its place, in place; leaves past the end of an
// array are gathered as new slots.
class CountingWalk {
public:
    CountingWalk(ElementSlot* const slots[3], const int32_t counts[3]) {
        for (int i = 0; i < 3; ++i) {
            slots_[i] = slots[i];
            counts_[i] = slots[i] == nullptr ? 0 : counts[i];
        }
    }

    void walkGroup(RuntimeNode& group) {
        recountGroup(group, [this](int32_t type, const LeafPart& leaf) { visitLeaf(type, leaf); });
    }

    CountedChanges& changes() { return changes_; }

private:
    void visitLeaf(int32_t type, const LeafPart& leaf) {
        countLeaf(slots_[type], counts_[type], positions_[type]++, leaf, changes_.added[type], nullptr);
    }

    ElementSlot* slots_[3];
    int32_t counts_[3];
    int32_t positions_[3] = {0, 0, 0};
    CountedChanges changes_;
};

const void* valueAddress(const ElementSlot& slot, int32_t array) {
    if (slot.hasValue == 0) return nullptr;
    if (array != kCharacter) return &slot.value;
    const char* text = textOf(slot.value.text);
    return text == nullptr ? "" : text;
}

// The host's side of a sync pass: per array, resizeArray, the array brought
// to the new count, storeElement for the values cut off and for the changed
// slots. `slots` hold the arrays as the counting left them.
const char* sendChanges(TableHeader& header, ElementSlot* const slots[3], const int32_t totals[3],
                        CountedChanges& changes, bool force) {
    const char* message = nullptr;
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t n = totals[i];
        const int32_t o = header.elementCounts[i];
        const uintptr_t kept = header.elementArrays[i];
        std::vector<ElementSlot>& added = changes.added[i];
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

        const auto send = [&](int32_t j) {
            const ElementSlot* slot = nullptr;
            if (!unsized || j < o) slot = base == nullptr ? nullptr : &base[j];
            else if (static_cast<std::size_t>(j - o) < added.size()) slot = &added[static_cast<std::size_t>(j - o)];
            if (slot == nullptr) return;
            if (slot->changed != 0 || force) message = storeElement(header.hostIds, i, j, valueAddress(*slot, i));
        };
        if (changes.everyPlace) {
            for (int32_t j = 0; j < n && message == nullptr; ++j) send(j);
        } else {
            for (const int32_t j : changes.changed[i]) {
                if (j >= n || message != nullptr) break;
                send(j);
            }
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

void openSlots(const TableHeader& header, ElementSlot* slots[3]) {
    for (int i = 0; i < 3; ++i) {
        slots[i] = header.elementCounts[i] > 0 ? resolveAs<ElementSlot>(header.elementArrays[i]) : nullptr;
    }
}

}  // namespace

const char* syncPass(TableHeader& header, bool force) {
    ElementSlot* slots[3];
    openSlots(header, slots);
    CountingWalk walk(slots, header.elementCounts);
    int32_t totals[3] = {0, 0, 0};
    if (RuntimeNode* root = resolveNode(header.runtimeRoot)) {
        walk.walkGroup(*root);
        for (int i = 0; i < 3; ++i) totals[i] = root->counters[typeCounter(i)];
    }
    return sendChanges(header, slots, totals, walk.changes(), force);
}

const char* syncStretch(TableHeader& header, uintptr_t written, int32_t writtenPlace, const IndexGathering& stretch) {
    ElementSlot* slots[3];
    openSlots(header, slots);
    int32_t counts[3];
    for (int i = 0; i < 3; ++i) counts[i] = slots[i] == nullptr ? 0 : header.elementCounts[i];
    CountedChanges changes;
    changes.everyPlace = false;
    if (const RuntimeNode* node = resolveNode(written); node != nullptr && leafArrayIndex(*node) == kInteger) {
        countLeaf(slots[kInteger], counts[kInteger], writtenPlace, node->leaf, changes.added[kInteger],
                  &changes.changed[kInteger]);
    }
    for (const IndexedLeaf& leaf : stretch.leaves) {
        const RuntimeNode* node = resolveNode(leaf.handle);
        if (node == nullptr) continue;
        countLeaf(slots[leaf.type], counts[leaf.type], leaf.place, node->leaf, changes.added[leaf.type],
                  &changes.changed[leaf.type]);
    }
    return sendChanges(header, slots, stretch.typeCounts, changes, false);
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
