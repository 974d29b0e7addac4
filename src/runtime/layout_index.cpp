#include "runtime/layout_index.h"

#include "host/host_routines.h"
#include "runtime/nodes.h"
#include "table/table_access.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace uvt {
namespace {

constexpr uint32_t kIndexMagic = 0x58444955;  // "UIDX"
constexpr int kFilters = 5;                   // handle filters 0 .. 4; -1 passes every value

uintptr_t storedHandle(const TableHeader& header) {
    uintptr_t handle = 0;
    static_assert(sizeof(TableHeader::reserved) >= 2 * sizeof(int32_t) + sizeof(uintptr_t),
                  "spare words 2 and 3 hold a handle");
    std::memcpy(&handle, &header.reserved[2], sizeof handle);
    return handle;
}

void storeHandle(TableHeader& header, uintptr_t handle) { std::memcpy(&header.reserved[2], &handle, sizeof handle); }

uint32_t slotOf(uintptr_t handle, uint32_t mask) {
    return static_cast<uint32_t>((static_cast<uint64_t>(handle) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

int32_t alignUp(int64_t bytes) { return static_cast<int32_t>((bytes + 7) & ~int64_t{7}); }

// Per leaf, one byte: bit f for handle filter f, and whether the value has
// an input row and an output row.
constexpr uint8_t kInputRowBit = 1u << kFilters;
constexpr uint8_t kOutputRowBit = 1u << (kFilters + 1);

using Gathered = IndexGathering;

// Room to spare in the tables of a new index: enough for a write that adds
// a few values to be followed in place, and a share of the size, so that a
// table that keeps growing is made anew only after every 64th part it grows
// by (the cost of making it, spread over those writes, stays flat). Kept
// small, for the block to stay near the size of one without room.
int32_t spareRoom(int64_t count) { return static_cast<int32_t>(16 + count / 64); }

// The room a child list of `count` children is given: a 64th to spare, so
// that an array of structures that grows by an element keeps its list where
// it is, and nothing more for the short lists of structures.
int64_t listRoom(int64_t count) { return count + count / 64; }

// The filter and row bits of a leaf, which depend on its direction only.
uint8_t traitsOf(const RuntimeNode& leaf) {
    const int32_t io = leaf.leaf.io;
    uint8_t traits = 0;
    for (int f = 0; f < kFilters; ++f) traits |= leafMatchesFilter(leaf, f) ? uint8_t(1u << f) : uint8_t(0);
    if (io == 1 || io == 3) traits |= kInputRowBit;
    if (io == 2 || io == 3) traits |= kOutputRowBit;
    return traits;
}

// Adds a value leaf with the filter and row bits `traits` to the gathering;
// false for a leaf of no known type.
bool gatherLeaf(uintptr_t handle, const RuntimeNode& leaf, uint8_t traits, Gathered& out) {
    const int32_t type = leafArrayIndex(leaf);
    if (type < 0) return false;
    if (traits & kInputRowBit) ++out.rowCounts[0];
    if (traits & kOutputRowBit) ++out.rowCounts[1];
    out.leaves.push_back(IndexedLeaf{handle, out.typeCounts[type]++, type});
    out.traits.push_back(traits);
    return true;
}

// Recurses into groups only, whose depth the structure nesting bounds. A
// group's children are listed only from its first group child on (the
// leaves before it are copied in then): an array of values, the bulk of a
// large table, needs no list, its children being its leaves.
void gather(uintptr_t handle, const RuntimeNode& group, std::size_t depth, Gathered& out) {
    const std::size_t entry = out.groups.size();
    const auto first = static_cast<int32_t>(out.leaves.size());  // in out.leaves, which starts at seqBase
    out.groups.push_back(IndexedGroup{handle, out.seqBase + first, 0, 0, -1});
    if (out.pending.size() <= depth) out.pending.resize(depth + 1);
    bool listing = false;
    int32_t count = 0;
    // Traits are cached for the common directions 0 .. 3.
    uint8_t cached[4] = {0, 0, 0, 0};
    bool known[4] = {false, false, false, false};
    for (uintptr_t child = group.firstChild; child != 0 && out.usable; ++count) {
        const RuntimeNode* node = resolveNode(child);
        if (node == nullptr) {
            out.usable = false;
            return;
        }
        if (node->kind == kGroupNode) {
            if (!listing) {
                listing = true;
                std::vector<uintptr_t>& list = out.pending[depth];
                list.clear();
                for (auto seq = static_cast<std::size_t>(first); seq < out.leaves.size(); ++seq) {
                    list.push_back(out.leaves[seq].handle);
                }
            }
            out.pending[depth].push_back(child);
            gather(child, *node, depth + 1, out);
        } else {
            const int32_t io = node->leaf.io;
            uint8_t traits;
            if (io >= 0 && io < 4) {
                if (!known[io]) {
                    cached[io] = traitsOf(*node);
                    known[io] = true;
                }
                traits = cached[io];
            } else {
                traits = traitsOf(*node);
            }
            if (!gatherLeaf(child, *node, traits, out)) {
                out.usable = false;
                return;
            }
            if (listing) out.pending[depth].push_back(child);
        }
        child = node->nextSibling;
    }
    IndexedGroup& done = out.groups[entry];
    done.end = out.seqBase + static_cast<int32_t>(out.leaves.size());
    done.childCount = count;
    if (listing) {
        const std::vector<uintptr_t>& list = out.pending[depth];
        done.childrenAt = static_cast<int32_t>(out.children.size());
        out.children.insert(out.children.end(), list.begin(), list.end());
    }
}

// An entry of the slot table waiting to go in at its handle's slot: leaf
// seq as seq + 1, group g as -g - 1.
struct SlotEntry {
    uint32_t slot;
    int32_t entry;
};

// Every leaf and group of the tree as a slot entry, in the order of their
// slots, sorted by the stretch of the table they fall in: inserted in tree
// order, each would land on a random line of a table that outgrows the
// caches at a million values. Made before the block is had, so that running
// out of memory here leaves no block behind.
std::vector<SlotEntry> slotOrder(uint32_t mask, const Gathered& out) {
    const std::size_t leaves = out.leaves.size();
    const std::size_t total = leaves + out.groups.size();
    const auto entryAt = [&out, leaves, mask](std::size_t k) {
        return k < leaves ? SlotEntry{slotOf(out.leaves[k].handle, mask), static_cast<int32_t>(k) + 1}
                          : SlotEntry{slotOf(out.groups[k - leaves].handle, mask),
                                      -static_cast<int32_t>(k - leaves) - 1};
    };
    // At most 256 stretches, few enough for the sorting writes to stay in
    // the caches; a stretch of a million-value table holds 32 KiB of slots.
    int stretchBits = 0;
    while ((mask >> stretchBits) >= 256) ++stretchBits;
    const std::size_t stretches = (std::size_t{mask} >> stretchBits) + 1;
    std::vector<uint32_t> starts(stretches + 1, 0);
    for (std::size_t k = 0; k < total; ++k) ++starts[(entryAt(k).slot >> stretchBits) + 1];
    for (std::size_t b = 0; b < stretches; ++b) starts[b + 1] += starts[b];
    std::vector<SlotEntry> sorted(total);
    for (std::size_t k = 0; k < total; ++k) {
        const SlotEntry entry = entryAt(k);
        sorted[starts[entry.slot >> stretchBits]++] = entry;
    }
    return sorted;
}

// Fills the slot table: every entry at its slot or the next free one.
void fillSlots(int32_t* slots, uint32_t mask, const std::vector<SlotEntry>& sorted) {
    std::memset(slots, 0, (std::size_t{mask} + 1) * 4);
    for (const SlotEntry& pending : sorted) {
        uint32_t slot = pending.slot;
        while (slots[slot] != 0) slot = (slot + 1) & mask;
        slots[slot] = pending.entry;
    }
}

// The first of `count` ascending positions that is `seq` or more.
int32_t lowerBound(const int32_t* sorted, int32_t count, int32_t seq) {
    int32_t low = 0;
    int32_t high = count;
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (sorted[middle] < seq) low = middle + 1;
        else high = middle;
    }
    return low;
}

// How many children the list of a listed group has room for.
int64_t listRoomOf(const LayoutIndex& index, const IndexedGroup& group) {
    return static_cast<int64_t>(index.table<uintptr_t>(index.childListAt)[group.childrenAt - 1]);
}

// Writes leaf `seq` into the index's tables: its handle, place and type, its
// position at its place, in the run-time rows (`rows` holds the next entry
// of each direction) and in the filter bit sets.
void putLeaf(LayoutIndex& index, int32_t seq, const IndexedLeaf& leaf, uint8_t traits, int32_t rows[2]) {
    index.table<uintptr_t>(index.leavesAt)[seq] = leaf.handle;
    index.table<int32_t>(index.leafPlacesAt)[seq] = leaf.place;
    index.table<uint8_t>(index.leafTypesAt)[seq] = static_cast<uint8_t>(leaf.type);
    index.table<int32_t>(index.placesAt[leaf.type])[leaf.place] = seq;
    if (traits & kInputRowBit) index.table<int32_t>(index.rowsAt[0])[rows[0]++] = seq;
    if (traits & kOutputRowBit) index.table<int32_t>(index.rowsAt[1])[rows[1]++] = seq;
    uint64_t* bits = index.table<uint64_t>(index.filterBitsAt);
    for (int f = 0; f < kFilters; ++f) {
        if ((traits >> f) & 1u) bits[f * int64_t{index.filterWordCapacity} + (seq >> 6)] |= uint64_t{1} << (seq & 63);
    }
}

// Makes the skip tables of the first `words` filter words right from word
// `from` on, given that they were right before it for the bits as they
// were: from there on each word names the next word with a bit, and the
// words before it that named one past `from` are set again as far as that
// changes them.
void refreshSkips(LayoutIndex& index, int32_t words, int32_t from) {
    const int64_t wordCapacity = index.filterWordCapacity;
    const uint64_t* bits = index.table<uint64_t>(index.filterBitsAt);
    int32_t* nextWord = index.table<int32_t>(index.nextWordAt);
    for (int f = 0; f < kFilters; ++f) {
        int32_t* column = nextWord + f * (wordCapacity + 1);
        const uint64_t* filterBits = bits + f * wordCapacity;
        column[words] = words;
        for (int32_t w = words - 1; w >= from; --w) column[w] = filterBits[w] != 0 ? w : column[w + 1];
        for (int32_t w = std::min(from, words) - 1; w >= 0 && filterBits[w] == 0 && column[w] != column[w + 1]; --w) {
            column[w] = column[w + 1];
        }
    }
}

bool mirrorMatches(const TableHeader& header, const int32_t typeCounts[3]) {
    for (int t = 0; t < 3; ++t) {
        // The mirror must hold one slot per value, or a single-value sync
        // could not stand in for the whole pass.
        if (header.elementCounts[t] != typeCounts[t]) return false;
        if (typeCounts[t] > 0 && resolveAs<void>(header.elementArrays[t]) == nullptr) return false;
    }
    return true;
}

}  // namespace

int32_t LayoutIndex::atPlace(int32_t type, int32_t place) const {
    if (type < kInteger || type > kCharacter || place < 0 || place >= typeCounts[type]) return -1;
    return table<int32_t>(placesAt[type])[place];
}

int32_t LayoutIndex::atRow(int32_t direction, int32_t row) const {
    if (direction < 0 || direction > 1 || row < 0 || row >= rowCounts[direction]) return -1;
    return table<int32_t>(rowsAt[direction])[row];
}

int32_t LayoutIndex::placesBefore(int32_t type, int32_t seq) const {
    return lowerBound(table<int32_t>(placesAt[type]), typeCounts[type], seq);
}

int32_t LayoutIndex::entryOf(uintptr_t handle) const {
    if (handle == 0) return 0;
    const int32_t* slots = table<int32_t>(slotsAt);
    const IndexedGroup* groups = table<IndexedGroup>(groupsAt);
    for (uint32_t slot = slotOf(handle, slotMask);; slot = (slot + 1) & slotMask) {
        const int32_t entry = slots[slot];
        if (entry == 0) return 0;
        if (entry > 0 ? leafHandle(entry - 1) == handle : groups[-entry - 1].handle == handle) return entry;
    }
}

int32_t LayoutIndex::leafPosition(uintptr_t handle) const {
    const int32_t entry = entryOf(handle);
    return entry > 0 ? entry - 1 : -1;
}

const IndexedGroup* LayoutIndex::group(uintptr_t handle) const {
    const int32_t entry = entryOf(handle);
    return entry < 0 ? &table<IndexedGroup>(groupsAt)[-entry - 1] : nullptr;
}

int32_t LayoutIndex::subtreeEnd(uintptr_t handle) const {
    const int32_t entry = entryOf(handle);
    if (entry == 0) return -1;
    return entry > 0 ? entry : table<IndexedGroup>(groupsAt)[-entry - 1].end;
}

uintptr_t LayoutIndex::nextMatching(int32_t from, int32_t filter) const {
    if (from < 0 || from >= leafCount) return 0;
    if (filter == -1) return leafHandle(from);
    if (filter < 0 || filter >= kFilters) return 0;
    const uint64_t* bits = table<uint64_t>(filterBitsAt) + static_cast<std::ptrdiff_t>(filter) * filterWordCapacity;
    const int32_t* nextWord =
        table<int32_t>(nextWordAt) + static_cast<std::ptrdiff_t>(filter) * (filterWordCapacity + 1);
    int32_t word = from >> 6;
    uint64_t rest = bits[word] & (~uint64_t{0} << (from & 63));
    if (rest == 0) {
        word = nextWord[word + 1];
        if (word >= filterWords) return 0;
        rest = bits[word];
    }
    return leafHandle(word * 64 + __builtin_ctzll(rest));
}

const LayoutIndex* openIndex(const TableHeader& header) {
    const uintptr_t handle = storedHandle(header);
    if (handle == 0 || header.runtimeRoot == 0) return nullptr;
    const LayoutIndex* index = resolveAs<LayoutIndex>(handle);
    if (index == nullptr || index->magic != kIndexMagic || index->root != header.runtimeRoot) return nullptr;
    return index;
}

void dropIndex(TableHeader& header) {
    const uintptr_t handle = storedHandle(header);
    if (handle == 0) return;
    storeHandle(header, 0);
    if (const LayoutIndex* index = resolveAs<LayoutIndex>(handle); index != nullptr && index->magic == kIndexMagic) {
        releaseBlock(handle, index->bytes);
    }
}

void rebuildIndex(TableHeader& header, bool wholeLayout) {
    dropIndex(header);
    RuntimeNode* root = resolveNode(header.runtimeRoot);
    if (root == nullptr) return;
    Gathered out;
    // The root counts the values below it: the walk then grows no table.
    if (const int32_t values = root->counters[kValueCount]; values > 0) {
        out.leaves.reserve(static_cast<std::size_t>(values));
        out.traits.reserve(static_cast<std::size_t>(values));
    }
    gather(header.runtimeRoot, *root, 0, out);
    if (!out.usable || !mirrorMatches(header, out.typeCounts)) return;

    const int64_t leaves = static_cast<int64_t>(out.leaves.size());
    const int64_t groups = static_cast<int64_t>(out.groups.size());
    const int64_t words = (leaves + 63) / 64;
    uint32_t slots = 2;
    while (slots < 2 * (leaves + groups)) {
        if (slots > (1u << 30)) return;
        slots *= 2;
    }
    LayoutIndex shape{};
    shape.magic = kIndexMagic;
    shape.root = header.runtimeRoot;
    shape.leafCount = static_cast<int32_t>(leaves);
    std::memcpy(shape.typeCounts, out.typeCounts, sizeof shape.typeCounts);
    std::memcpy(shape.rowCounts, out.rowCounts, sizeof shape.rowCounts);
    shape.groupCount = static_cast<int32_t>(groups);
    shape.filterWords = static_cast<int32_t>(words);
    shape.slotMask = slots - 1;
    shape.leafCapacity = static_cast<int32_t>(leaves) + spareRoom(leaves);
    for (int t = 0; t < 3; ++t) shape.placeCapacity[t] = out.typeCounts[t] + spareRoom(out.typeCounts[t]);
    for (int d = 0; d < 2; ++d) shape.rowCapacity[d] = out.rowCounts[d] + spareRoom(out.rowCounts[d]);
    shape.filterWordCapacity = (shape.leafCapacity + 63) / 64;
    shape.groupCapacity = static_cast<int32_t>(groups) + spareRoom(groups);
    int64_t listWords = 0;  // every list with the word of its room before it
    for (const IndexedGroup& group : out.groups) {
        if (group.childrenAt >= 0) listWords += 1 + listRoom(group.childCount);
    }
    if (listWords + spareRoom(listWords) > INT32_MAX / 8) return;
    shape.childUsed = static_cast<int32_t>(listWords);
    shape.childCapacity = static_cast<int32_t>(listWords) + spareRoom(listWords);
    shape.freeGroup = -1;
    shape.freeGroups = 0;
    int64_t at = alignUp(sizeof(LayoutIndex));
    const auto place = [&at](int32_t& offset, int64_t bytes) {
        offset = static_cast<int32_t>(at < INT32_MAX ? at : INT32_MAX);
        at = alignUp(at + bytes);
    };
    const int64_t wordCapacity = shape.filterWordCapacity;
    place(shape.leavesAt, shape.leafCapacity * static_cast<int64_t>(sizeof(uintptr_t)));
    place(shape.leafPlacesAt, int64_t{shape.leafCapacity} * 4);
    place(shape.leafTypesAt, shape.leafCapacity);
    for (int t = 0; t < 3; ++t) place(shape.placesAt[t], int64_t{shape.placeCapacity[t]} * 4);
    for (int d = 0; d < 2; ++d) place(shape.rowsAt[d], int64_t{shape.rowCapacity[d]} * 4);
    place(shape.filterBitsAt, kFilters * wordCapacity * 8);
    place(shape.nextWordAt, kFilters * (wordCapacity + 1) * 4);
    place(shape.groupsAt, int64_t{shape.groupCapacity} * static_cast<int64_t>(sizeof(IndexedGroup)));
    place(shape.childListAt, int64_t{shape.childCapacity} * static_cast<int64_t>(sizeof(uintptr_t)));
    place(shape.slotsAt, int64_t{slots} * 4);
    shape.wholeLayout = wholeLayout ? 1 : 0;
    shape.definitionRows = header.rowCount > 0 ? header.rowCount : 0;
    shape.definitionAt = static_cast<int32_t>(at < INT32_MAX ? at : INT32_MAX);
    at += int64_t{shape.definitionRows} * kRowSize;
    const int64_t bytes = (at + 252) / 256 * 256 + 3;
    if (bytes > INT32_MAX) return;
    shape.bytes = static_cast<int32_t>(bytes);

    const std::vector<SlotEntry> sorted = slotOrder(shape.slotMask, out);
    const uintptr_t handle = allocateBlock(shape.bytes);
    char* block = resolveAs<char>(handle);
    if (block == nullptr) {
        if (handle != 0) releaseBlock(handle, shape.bytes);
        return;
    }
    std::memcpy(block, &shape, sizeof shape);
    auto& index = *reinterpret_cast<LayoutIndex*>(block);
    const auto tableAt = [block](int32_t offset) { return block + offset; };
    std::memset(tableAt(shape.filterBitsAt), 0, static_cast<std::size_t>(kFilters * wordCapacity * 8));
    int32_t rows[2] = {0, 0};
    for (int32_t seq = 0; seq < shape.leafCount; ++seq) {
        putLeaf(index, seq, out.leaves[static_cast<std::size_t>(seq)], out.traits[static_cast<std::size_t>(seq)], rows);
    }
    refreshSkips(index, shape.filterWords, 0);
    auto* groupTable = reinterpret_cast<IndexedGroup*>(tableAt(shape.groupsAt));
    auto* lists = reinterpret_cast<uintptr_t*>(tableAt(shape.childListAt));
    int32_t listAt = 0;
    for (std::size_t g = 0; g < out.groups.size(); ++g) {
        IndexedGroup entry = out.groups[g];
        if (entry.childrenAt >= 0) {
            const int64_t room = listRoom(entry.childCount);
            lists[listAt] = static_cast<uintptr_t>(room);
            std::memcpy(lists + listAt + 1, out.children.data() + entry.childrenAt,
                        static_cast<std::size_t>(entry.childCount) * sizeof(uintptr_t));
            entry.childrenAt = listAt + 1;
            listAt += static_cast<int32_t>(1 + room);
        }
        groupTable[g] = entry;
    }
    fillSlots(reinterpret_cast<int32_t*>(tableAt(shape.slotsAt)), shape.slotMask, sorted);
    auto* definition = reinterpret_cast<VariableRow*>(tableAt(shape.definitionAt));
    for (int32_t k = 0; k < shape.definitionRows; ++k) {
        const VariableRow* row = rowAt(header, k);
        if (row == nullptr) {
            releaseBlock(handle, shape.bytes);
            return;
        }
        definition[k] = *row;
    }
    storeHandle(header, handle);
}

void gatherFrom(const LayoutIndex& index, uintptr_t start, uintptr_t parent, int32_t keptChildren, int32_t seqBase,
                IndexGathering& out) {
    out.seqBase = seqBase;
    out.keptChildren = keptChildren;
    for (int t = 0; t < 3; ++t) out.typeCounts[t] = index.placesBefore(t, seqBase);
    for (int d = 0; d < 2; ++d) {
        out.rowCounts[d] = lowerBound(index.table<int32_t>(index.rowsAt[d]), index.rowCounts[d], seqBase);
    }
    uintptr_t handle = start;
    uintptr_t up = parent;
    bool first = true;  // walking the children of `parent`
    while (out.usable) {
        while (handle != 0 && out.usable) {
            RuntimeNode* node = resolveNode(handle);
            if (node == nullptr) {
                out.usable = false;
                return;
            }
            if (first) {
                out.tail.push_back(handle);
                out.tailHasGroups = out.tailHasGroups || node->kind == kGroupNode;
            }
            if (node->kind == kGroupNode) {
                gather(handle, *node, 1, out);
            } else if (!gatherLeaf(handle, *node, traitsOf(*node), out)) {
                out.usable = false;
                return;
            }
            handle = node->nextSibling;
        }
        const RuntimeNode* group = resolveNode(up);
        if (group == nullptr) {
            out.usable = up == 0;
            return;
        }
        const int32_t end = out.seqBase + static_cast<int32_t>(out.leaves.size());
        out.closed.push_back(IndexedGroup{up, 0, end, 0, -1});
        first = false;
        handle = group->nextSibling;
        up = group->parent;
    }
}

void updateIndex(TableHeader& header, const IndexGathering& gathered, const std::vector<uintptr_t>& released,
                 bool wholeLayout) {
    const uintptr_t handle = storedHandle(header);
    auto* index = const_cast<LayoutIndex*>(openIndex(header));
    if (index == nullptr || handle == 0 || !gathered.usable || !mirrorMatches(header, gathered.typeCounts)) {
        dropIndex(header);  // as a rebuild would end: no index of a tree the arrays do not mirror
        return;
    }
    const int32_t base = gathered.seqBase;
    const int32_t oldCount = index->leafCount;
    const int32_t leafCount = base + static_cast<int32_t>(gathered.leaves.size());
    const int32_t words = (leafCount + 63) / 64;
    bool room = leafCount <= index->leafCapacity && words <= index->filterWordCapacity;
    for (int t = 0; t < 3; ++t) room = room && gathered.typeCounts[t] <= index->placeCapacity[t];
    for (int d = 0; d < 2; ++d) room = room && gathered.rowCounts[d] <= index->rowCapacity[d];
    // Every group the walk only left must be one the index has; groups it
    // entered may be new, and lists that outgrow their room move to the end.
    for (const IndexedGroup& group : gathered.closed) room = room && index->group(group.handle) != nullptr;
    if (!room) {
        rebuildIndex(header, wholeLayout);
        return;
    }
    const auto movedListWords = [index](const IndexedGroup* known, int64_t count) -> int64_t {
        return known != nullptr && known->childrenAt >= 0 && listRoomOf(*index, *known) >= count ? 0
                                                                                                : 1 + listRoom(count);
    };
    int64_t releasedGroups = 0;
    for (const uintptr_t gone : released) releasedGroups += index->entryOf(gone) < 0 ? 1 : 0;
    int64_t newGroups = 0;
    int64_t listWords = 0;
    for (const IndexedGroup& group : gathered.groups) {
        const IndexedGroup* known = index->group(group.handle);
        newGroups += known == nullptr ? 1 : 0;
        if (group.childrenAt >= 0) listWords += movedListWords(known, group.childCount);
    }
    // The stretch's first parent keeps its first children and takes the
    // ones walked for the rest; it has a list when it has or gets groups.
    const IndexedGroup* parent = gathered.closed.empty() ? nullptr : index->group(gathered.closed.front().handle);
    const int64_t parentCount = gathered.keptChildren + static_cast<int64_t>(gathered.tail.size());
    const bool parentListed = parent != nullptr && (parent->childrenAt >= 0 || gathered.tailHasGroups);
    if (parentListed) listWords += movedListWords(parent, parentCount);
    const int64_t liveGroups = index->groupCount - index->freeGroups - releasedGroups + newGroups;
    room = 4 * (int64_t{leafCount} + liveGroups) <= 3 * (int64_t{index->slotMask} + 1) &&
           newGroups <= int64_t{index->groupCapacity} - index->groupCount + index->freeGroups + releasedGroups &&
           int64_t{index->childUsed} + listWords <= index->childCapacity;
    if (!room) {
        rebuildIndex(header, wholeLayout);
        return;
    }

    // The slots of the nodes cut off go, those of the leaves that stay are
    // found while the leaf table still holds their old positions.
    int32_t* slots = index->table<int32_t>(index->slotsAt);
    const uint32_t mask = index->slotMask;
    const auto findSlot = [&](uintptr_t node) -> int64_t {
        for (uint32_t slot = slotOf(node, mask);; slot = (slot + 1) & mask) {
            if (slots[slot] == 0) return -1;
            if (index->entryHandle(slots[slot]) == node) return slot;
        }
    };
    std::vector<int32_t> freed;  // the group entries of groups cut off
    for (const uintptr_t gone : released) {
        int64_t found = findSlot(gone);
        if (found < 0) continue;
        auto hole = static_cast<uint32_t>(found);
        if (slots[hole] < 0) freed.push_back(-slots[hole] - 1);
        slots[hole] = 0;
        // The entries after it in its run move up when their home allows.
        for (uint32_t slot = (hole + 1) & mask; slots[slot] != 0; slot = (slot + 1) & mask) {
            const uint32_t home = slotOf(index->entryHandle(slots[slot]), mask);
            const bool homeBetween = hole <= slot ? (home > hole && home <= slot) : (home > hole || home <= slot);
            if (homeBetween) continue;
            slots[hole] = slots[slot];
            slots[slot] = 0;
            hole = slot;
        }
    }
    auto* groups = index->table<IndexedGroup>(index->groupsAt);
    for (const int32_t g : freed) {
        groups[g] = IndexedGroup{0, index->freeGroup, 0, 0, -1};
        index->freeGroup = g;
        ++index->freeGroups;
    }
    std::vector<int64_t> kept(gathered.leaves.size());
    for (std::size_t k = 0; k < gathered.leaves.size(); ++k) kept[k] = findSlot(gathered.leaves[k].handle);

    int32_t rows[2];
    for (int d = 0; d < 2; ++d) rows[d] = lowerBound(index->table<int32_t>(index->rowsAt[d]), index->rowCounts[d], base);
    const int64_t wordCapacity = index->filterWordCapacity;
    auto* bits = index->table<uint64_t>(index->filterBitsAt);
    // The filter bits from the stretch on are set again from nothing.
    const int32_t firstWord = base >> 6;
    const int32_t lastWord = (std::max(oldCount, leafCount) + 63) / 64;
    for (int f = 0; f < kFilters; ++f) {
        uint64_t* filterBits = bits + f * wordCapacity;
        for (int32_t w = firstWord; w < lastWord; ++w) {
            filterBits[w] &= w == firstWord ? ~(~uint64_t{0} << (base & 63)) : uint64_t{0};
        }
    }
    for (std::size_t k = 0; k < gathered.leaves.size(); ++k) {
        const int32_t seq = base + static_cast<int32_t>(k);
        putLeaf(*index, seq, gathered.leaves[k], gathered.traits[k], rows);
        if (kept[k] >= 0) slots[kept[k]] = seq + 1;
    }
    const auto insertSlot = [slots, mask](uintptr_t node, int32_t entry) {
        uint32_t slot = slotOf(node, mask);
        while (slots[slot] != 0) slot = (slot + 1) & mask;
        slots[slot] = entry;
    };
    // New leaves go in once every entry names its new position.
    for (std::size_t k = 0; k < gathered.leaves.size(); ++k) {
        if (kept[k] < 0) insertSlot(gathered.leaves[k].handle, base + static_cast<int32_t>(k) + 1);
    }
    // The skip tables from the stretch on, and before it as far as a word
    // whose next word with a bit changes.
    refreshSkips(*index, words, firstWord);

    // A list of `count` children for a group, where it is when its room
    // allows, else at the end of the table of lists; the first `keep` of its
    // children are carried over when it moves.
    auto* lists = index->table<uintptr_t>(index->childListAt);
    const auto listFor = [index, lists](IndexedGroup& entry, int64_t count, int64_t keep) -> uintptr_t* {
        if (entry.childrenAt >= 0 && listRoomOf(*index, entry) >= count) return lists + entry.childrenAt;
        const int64_t roomWords = listRoom(count);
        uintptr_t* moved = lists + index->childUsed + 1;
        for (int64_t k = 0; k < keep; ++k) {
            moved[k] = entry.childrenAt >= 0 ? lists[entry.childrenAt + k]
                                             : index->leafHandle(entry.first + static_cast<int32_t>(k));
        }
        moved[-1] = static_cast<uintptr_t>(roomWords);
        entry.childrenAt = index->childUsed + 1;
        index->childUsed += static_cast<int32_t>(1 + roomWords);
        return moved;
    };
    for (const IndexedGroup& group : gathered.groups) {
        const int32_t known = index->entryOf(group.handle);
        int32_t g = -known - 1;
        if (known == 0) {
            if (index->freeGroup >= 0) {
                g = index->freeGroup;
                index->freeGroup = groups[g].first;
                --index->freeGroups;
            } else {
                g = index->groupCount++;
            }
            groups[g] = IndexedGroup{group.handle, 0, 0, 0, -1};
            insertSlot(group.handle, -g - 1);
        }
        IndexedGroup& entry = groups[g];
        entry.first = group.first;
        entry.end = group.end;
        entry.childCount = group.childCount;
        if (group.childrenAt < 0) {
            entry.childrenAt = -1;
        } else {
            uintptr_t* list = listFor(entry, group.childCount, 0);
            std::memcpy(list, gathered.children.data() + group.childrenAt,
                        static_cast<std::size_t>(group.childCount) * sizeof(uintptr_t));
        }
    }
    for (const IndexedGroup& group : gathered.closed) {
        IndexedGroup& entry = groups[-index->entryOf(group.handle) - 1];
        entry.end = group.end;
        // An array of values lists its leaves as its children.
        if (entry.childrenAt < 0 && !(parentListed && group.handle == gathered.closed.front().handle)) {
            entry.childCount = entry.end - entry.first;
        }
    }
    if (parentListed) {
        IndexedGroup& entry = groups[-index->entryOf(gathered.closed.front().handle) - 1];
        const int64_t keep = std::min<int64_t>(gathered.keptChildren, entry.childCount);
        uintptr_t* list = listFor(entry, parentCount, keep);
        std::copy(gathered.tail.begin(), gathered.tail.end(), list + gathered.keptChildren);
        entry.childCount = static_cast<int32_t>(parentCount);
    }
    index->leafCount = leafCount;
    std::memcpy(index->typeCounts, gathered.typeCounts, sizeof index->typeCounts);
    std::memcpy(index->rowCounts, gathered.rowCounts, sizeof index->rowCounts);
    index->filterWords = words;
    index->wholeLayout = wholeLayout ? 1 : 0;
}

bool layoutFollowsRows(const LayoutIndex& index, const TableHeader& header, bool hostSizesAllowed) {
    if (index.wholeLayout == 0 || header.rowCount != index.definitionRows) return false;
    const auto* definition = index.table<VariableRow>(index.definitionAt);
    for (int32_t k = 0; k < index.definitionRows; ++k) {
        const VariableRow* row = rowAt(header, k);
        if (row == nullptr || std::memcmp(row, &definition[k], sizeof *row) != 0) return false;
        if (row->dimension < kScalar && !hostSizesAllowed) return false;  // sized by the host, which is asked again
    }
    return true;
}

bool integerWriteKeepsLayout(const LayoutIndex& index, const TableHeader& header, const RuntimeNode& leaf,
                             bool countKept) {
    if (leaf.tag == kElementTag || !layoutFollowsRows(index, header, false)) return false;
    if (countKept) return true;
    const auto* definition = index.table<VariableRow>(index.definitionAt);
    const char* name = nodeName(leaf);
    for (int32_t k = 0; k < index.definitionRows; ++k) {
        if (std::strncmp(definition[k].name, name, kNameCapacity) != 0) continue;
        for (int32_t j = 0; j < index.definitionRows; ++j) {
            if (definition[j].dimension == definition[k].id) return false;
        }
    }
    return true;
}

}  // namespace uvt
