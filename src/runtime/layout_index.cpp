#include "runtime/layout_index.h"

#include "host/host_routines.h"
#include "runtime/nodes.h"
#include "table/table_access.h"

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

// Room to spare in every table of a new index: enough for a write that adds
// a few values to be followed in place, and a share of the size, so that a
// table that keeps growing is made anew only after every 64th part it grows
// by (the cost of making it, spread over those writes, stays flat). Kept
// small, for the block to stay near the size of one without room.
int32_t spareRoom(int32_t count) { return 16 + count / 64; }

void gatherLeaf(uintptr_t handle, const RuntimeNode& node, IndexGathering& out) {
    const int32_t type = leafArrayIndex(node);
    if (type < 0) {
        out.usable = false;
        return;
    }
    const int32_t io = node.leaf.io;
    IndexedLeaf leaf{handle, out.typeCounts[type]++, type, -1, -1};
    if (io == 1 || io == 3) leaf.inputRow = out.rowCounts[0]++;
    if (io == 2 || io == 3) leaf.outputRow = out.rowCounts[1]++;
    uint8_t passes = 0;
    for (int f = 0; f < kFilters; ++f) passes |= leafMatchesFilter(node, f) ? uint8_t(1u << f) : uint8_t(0);
    const int32_t seq = out.seqBase + static_cast<int32_t>(out.leaves.size());
    out.nodes.push_back(IndexedNode{handle, seq, seq + 1, 0});
    out.leaves.push_back(leaf);
    out.filters.push_back(passes);
}

// Recurses into groups only, whose depth the structure nesting bounds.
void gather(uintptr_t handle, RuntimeNode& group, IndexGathering& out) {
    const std::size_t entry = out.nodes.size();
    const auto position = [&out] { return out.seqBase + static_cast<int32_t>(out.leaves.size()); };
    out.nodes.push_back(IndexedNode{handle, position(), 0, 1});
    bool leafChildren = true;
    for (uintptr_t child = group.firstChild; child != 0 && out.usable;) {
        RuntimeNode* node = resolveNode(child);
        if (node == nullptr) {
            out.usable = false;
            return;
        }
        if (node->kind == kGroupNode) {
            leafChildren = false;
            gather(child, *node, out);
        } else {
            gatherLeaf(child, *node, out);
        }
        child = node->nextSibling;
    }
    out.nodes[entry].end = position();
    out.nodes[entry].leafChildren = leafChildren && group.firstChild != 0 ? 1 : 0;
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

void insertEntry(IndexedNode* nodes, uint32_t mask, const IndexedNode& node) {
    uint32_t slot = slotOf(node.handle, mask);
    while (nodes[slot].handle != 0) slot = (slot + 1) & mask;
    nodes[slot] = node;
}

IndexedNode* findEntry(IndexedNode* nodes, uint32_t mask, uintptr_t handle) {
    for (uint32_t slot = slotOf(handle, mask);; slot = (slot + 1) & mask) {
        if (nodes[slot].handle == handle) return &nodes[slot];
        if (nodes[slot].handle == 0) return nullptr;
    }
}

// Removes an entry from the open-addressed table without leaving a gap that
// would end a later probe early: the entries after it in its run move up
// when their home slot allows it.
void eraseEntry(IndexedNode* nodes, uint32_t mask, uintptr_t handle) {
    IndexedNode* found = findEntry(nodes, mask, handle);
    if (found == nullptr) return;
    uint32_t hole = static_cast<uint32_t>(found - nodes);
    nodes[hole] = IndexedNode{0, 0, 0, 0};
    for (uint32_t slot = (hole + 1) & mask; nodes[slot].handle != 0; slot = (slot + 1) & mask) {
        const uint32_t home = slotOf(nodes[slot].handle, mask);
        // The entry may fill the hole when its home is not in (hole, slot].
        const bool homeBetween = hole <= slot ? (home > hole && home <= slot) : (home > hole || home <= slot);
        if (homeBetween) continue;
        nodes[hole] = nodes[slot];
        nodes[slot] = IndexedNode{0, 0, 0, 0};
        hole = slot;
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

void makeIndex(TableHeader& header, const IndexGathering& out, bool wholeLayout) {
    const int32_t leafCount = static_cast<int32_t>(out.leaves.size());
    int32_t filterCounts[kFilters] = {0, 0, 0, 0, 0};
    for (uint8_t passes : out.filters) {
        for (int f = 0; f < kFilters; ++f) filterCounts[f] += (passes >> f) & 1u;
    }
    const int32_t nodeCount = static_cast<int32_t>(out.nodes.size());
    uint32_t entries = 2;
    // At most half full when made; an update may fill it to three quarters,
    // which leaves room for half as many nodes again.
    while (entries < 2 * static_cast<uint64_t>(nodeCount)) entries *= 2;
    LayoutIndex shape{};
    shape.magic = kIndexMagic;
    shape.root = header.runtimeRoot;
    shape.leafCount = leafCount;
    std::memcpy(shape.typeCounts, out.typeCounts, sizeof shape.typeCounts);
    std::memcpy(shape.rowCounts, out.rowCounts, sizeof shape.rowCounts);
    std::memcpy(shape.filterCounts, filterCounts, sizeof shape.filterCounts);
    shape.nodeMask = entries - 1;
    shape.nodeCount = nodeCount;
    int64_t at = alignUp(sizeof(LayoutIndex));
    const auto place = [&at](int32_t& offset, int32_t& capacity, int32_t count, int64_t itemBytes) {
        capacity = count + spareRoom(count);
        offset = static_cast<int32_t>(at);
        at = alignUp(at + capacity * itemBytes);
    };
    place(shape.leavesAt, shape.leafCapacity, leafCount, sizeof(IndexedLeaf));
    for (int t = 0; t < 3; ++t) place(shape.placesAt[t], shape.placeCapacity[t], out.typeCounts[t], 4);
    for (int d = 0; d < 2; ++d) place(shape.rowsAt[d], shape.rowCapacity[d], out.rowCounts[d], 4);
    for (int f = 0; f < kFilters; ++f) place(shape.filterAt[f], shape.filterCapacity[f], filterCounts[f], 4);
    shape.nodesAt = static_cast<int32_t>(at);
    at = alignUp(at + int64_t{entries} * static_cast<int64_t>(sizeof(IndexedNode)));
    shape.wholeLayout = wholeLayout ? 1 : 0;
    shape.definitionRows = header.rowCount > 0 ? header.rowCount : 0;
    shape.definitionAt = static_cast<int32_t>(at);
    at += int64_t{shape.definitionRows} * kRowSize;
    const int64_t bytes = (at + 252) / 256 * 256 + 3;
    if (bytes > INT32_MAX) return;
    shape.bytes = static_cast<int32_t>(bytes);

    const uintptr_t handle = allocateBlock(shape.bytes);
    char* block = resolveAs<char>(handle);
    if (block == nullptr) {
        if (handle != 0) releaseBlock(handle, shape.bytes);
        return;
    }
    std::memset(block, 0, static_cast<std::size_t>(shape.bytes));
    std::memcpy(block, &shape, sizeof shape);
    auto& index = *reinterpret_cast<LayoutIndex*>(block);
    auto* leafTable = index.table<IndexedLeaf>(shape.leavesAt);
    int32_t filled[kFilters] = {0, 0, 0, 0, 0};
    for (int32_t seq = 0; seq < leafCount; ++seq) {
        const IndexedLeaf& leaf = out.leaves[static_cast<std::size_t>(seq)];
        leafTable[seq] = leaf;
        index.table<int32_t>(shape.placesAt[leaf.type])[leaf.place] = seq;
        if (leaf.inputRow >= 0) index.table<int32_t>(shape.rowsAt[0])[leaf.inputRow] = seq;
        if (leaf.outputRow >= 0) index.table<int32_t>(shape.rowsAt[1])[leaf.outputRow] = seq;
        for (int f = 0; f < kFilters; ++f) {
            if ((out.filters[static_cast<std::size_t>(seq)] >> f) & 1u) index.table<int32_t>(shape.filterAt[f])[filled[f]++] = seq;
        }
    }
    auto* nodes = index.table<IndexedNode>(shape.nodesAt);
    for (const IndexedNode& node : out.nodes) insertEntry(nodes, shape.nodeMask, node);
    auto* definition = index.table<VariableRow>(shape.definitionAt);
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

const IndexedNode* LayoutIndex::find(uintptr_t handle) const {
    if (handle == 0) return nullptr;
    return findEntry(const_cast<IndexedNode*>(table<IndexedNode>(nodesAt)), nodeMask, handle);
}

uintptr_t LayoutIndex::nextMatching(int32_t from, int32_t filter) const {
    if (from < 0 || from >= leafCount) return 0;
    if (filter == -1) return leaf(from).handle;
    if (filter < 0 || filter >= kFilters) return 0;
    const int32_t* passing = table<int32_t>(filterAt[filter]);
    const int32_t k = lowerBound(passing, filterCounts[filter], from);
    return k < filterCounts[filter] ? leaf(passing[k]).handle : 0;
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
    IndexGathering out;
    gather(header.runtimeRoot, *root, out);
    if (!out.usable || !mirrorMatches(header, out.typeCounts)) return;
    makeIndex(header, out, wholeLayout);
}

void gatherFrom(const LayoutIndex& index, uintptr_t start, uintptr_t parent, int32_t seqBase, IndexGathering& out) {
    out.seqBase = seqBase;
    for (int t = 0; t < 3; ++t) out.typeCounts[t] = index.placesBefore(t, seqBase);
    for (int d = 0; d < 2; ++d) {
        out.rowCounts[d] = lowerBound(index.table<int32_t>(index.rowsAt[d]), index.rowCounts[d], seqBase);
    }
    uintptr_t handle = start;
    uintptr_t up = parent;
    while (out.usable) {
        while (handle != 0 && out.usable) {
            RuntimeNode* node = resolveNode(handle);
            if (node == nullptr) {
                out.usable = false;
                return;
            }
            if (node->kind == kGroupNode) gather(handle, *node, out);
            else gatherLeaf(handle, *node, out);
            handle = node->nextSibling;
        }
        const RuntimeNode* group = resolveNode(up);
        if (group == nullptr) {
            out.usable = up == 0;
            return;
        }
        const int32_t end = out.seqBase + static_cast<int32_t>(out.leaves.size());
        out.closed.push_back(IndexedNode{up, 0, end, 0});
        handle = group->nextSibling;
        up = group->parent;
    }
}

void updateIndex(TableHeader& header, const IndexGathering& gathered, const std::vector<uintptr_t>& released,
                 bool wholeLayout) {
    const uintptr_t handle = storedHandle(header);
    LayoutIndex* index = const_cast<LayoutIndex*>(openIndex(header));
    if (index == nullptr || handle == 0 || !gathered.usable || !mirrorMatches(header, gathered.typeCounts)) {
        dropIndex(header);  // as a rebuild would end: no index of a tree the arrays do not mirror
        return;
    }
    const int32_t leafCount = gathered.seqBase + static_cast<int32_t>(gathered.leaves.size());
    int32_t filterKept[kFilters];
    int32_t filterCounts[kFilters];
    for (int f = 0; f < kFilters; ++f) {
        filterKept[f] = lowerBound(index->table<int32_t>(index->filterAt[f]), index->filterCounts[f], gathered.seqBase);
        filterCounts[f] = filterKept[f];
    }
    for (uint8_t passes : gathered.filters) {
        for (int f = 0; f < kFilters; ++f) filterCounts[f] += (passes >> f) & 1u;
    }
    // The entries after the change: every released node goes, every node
    // entered by the walk that the index does not know comes.
    int64_t nodeCount = index->nodeCount - static_cast<int64_t>(released.size());
    for (const IndexedNode& node : gathered.nodes) nodeCount += index->find(node.handle) == nullptr ? 1 : 0;
    bool room = leafCount <= index->leafCapacity && 4 * nodeCount <= 3 * (int64_t{index->nodeMask} + 1);
    for (int t = 0; t < 3; ++t) room = room && gathered.typeCounts[t] <= index->placeCapacity[t];
    for (int d = 0; d < 2; ++d) room = room && gathered.rowCounts[d] <= index->rowCapacity[d];
    for (int f = 0; f < kFilters; ++f) room = room && filterCounts[f] <= index->filterCapacity[f];
    if (!room) {
        rebuildIndex(header, wholeLayout);
        return;
    }

    index->leafCount = leafCount;
    std::memcpy(index->typeCounts, gathered.typeCounts, sizeof index->typeCounts);
    std::memcpy(index->rowCounts, gathered.rowCounts, sizeof index->rowCounts);
    std::memcpy(index->filterCounts, filterCounts, sizeof index->filterCounts);
    index->wholeLayout = wholeLayout ? 1 : 0;
    auto* leafTable = index->table<IndexedLeaf>(index->leavesAt);
    for (std::size_t k = 0; k < gathered.leaves.size(); ++k) {
        const int32_t seq = gathered.seqBase + static_cast<int32_t>(k);
        const IndexedLeaf& leaf = gathered.leaves[k];
        leafTable[seq] = leaf;
        index->table<int32_t>(index->placesAt[leaf.type])[leaf.place] = seq;
        if (leaf.inputRow >= 0) index->table<int32_t>(index->rowsAt[0])[leaf.inputRow] = seq;
        if (leaf.outputRow >= 0) index->table<int32_t>(index->rowsAt[1])[leaf.outputRow] = seq;
        for (int f = 0; f < kFilters; ++f) {
            if ((gathered.filters[k] >> f) & 1u) index->table<int32_t>(index->filterAt[f])[filterKept[f]++] = seq;
        }
    }
    auto* nodes = index->table<IndexedNode>(index->nodesAt);
    for (uintptr_t gone : released) eraseEntry(nodes, index->nodeMask, gone);
    for (const IndexedNode& node : gathered.nodes) {
        if (IndexedNode* entry = findEntry(nodes, index->nodeMask, node.handle)) *entry = node;
        else insertEntry(nodes, index->nodeMask, node);
    }
    for (const IndexedNode& node : gathered.closed) {
        IndexedNode* entry = findEntry(nodes, index->nodeMask, node.handle);
        const RuntimeNode* group = resolveNode(node.handle);
        if (entry == nullptr || group == nullptr) {
            rebuildIndex(header, wholeLayout);
            return;
        }
        const bool wasEmpty = entry->end == entry->first;
        entry->end = node.end;
        // The walk started inside these nodes, so only their later children
        // changed: a node keeps the kind of its children, except that one
        // may have lost all of them, or an empty array of values won some.
        const RuntimeNode* first = resolveNode(group->firstChild);
        if (first == nullptr) entry->leafChildren = 0;
        else if (wasEmpty && first->kind == kValueLeaf) entry->leafChildren = 1;
    }
    index->nodeCount = static_cast<int32_t>(nodeCount);
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
