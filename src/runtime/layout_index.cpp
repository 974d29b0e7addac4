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

// What the build gathers from one walk of the tree, in tree order.
struct Gathered {
    std::vector<IndexedLeaf> leaves;
    std::vector<uint8_t> filters;  // bit f: the leaf passes handle filter f
    std::vector<IndexedNode> nodes;
    int32_t typeCounts[3] = {0, 0, 0};
    int32_t rowCounts[2] = {0, 0};
    bool usable = true;
};

// Recurses into groups only, whose depth the structure nesting bounds.
void gather(uintptr_t handle, RuntimeNode& group, Gathered& out) {
    const std::size_t entry = out.nodes.size();
    out.nodes.push_back(IndexedNode{handle, static_cast<int32_t>(out.leaves.size()), 0, 1});
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
            const int32_t type = leafArrayIndex(*node);
            if (type < 0) {
                out.usable = false;
                return;
            }
            const int32_t io = node->leaf.io;
            IndexedLeaf leaf{child, out.typeCounts[type]++, type, -1, -1};
            if (io == 1 || io == 3) leaf.inputRow = out.rowCounts[0]++;
            if (io == 2 || io == 3) leaf.outputRow = out.rowCounts[1]++;
            uint8_t passes = 0;
            for (int f = 0; f < kFilters; ++f) passes |= leafMatchesFilter(*node, f) ? uint8_t(1u << f) : uint8_t(0);
            const int32_t seq = static_cast<int32_t>(out.leaves.size());
            out.nodes.push_back(IndexedNode{child, seq, seq + 1, 0});
            out.leaves.push_back(leaf);
            out.filters.push_back(passes);
        }
        child = node->nextSibling;
    }
    out.nodes[entry].end = static_cast<int32_t>(out.leaves.size());
    out.nodes[entry].leafChildren = leafChildren && group.firstChild != 0 ? 1 : 0;
}

}  // namespace

int32_t LayoutIndex::atPlace(int32_t type, int32_t place) const {
    if (type < kInteger || type > kCharacter || place < 0 || place >= typeCounts[type]) return -1;
    int32_t offset = 0;
    for (int32_t t = 0; t < type; ++t) offset += typeCounts[t];
    return table<int32_t>(placesAt)[offset + place];
}

int32_t LayoutIndex::atRow(int32_t direction, int32_t row) const {
    if (direction < 0 || direction > 1 || row < 0 || row >= rowCounts[direction]) return -1;
    return table<int32_t>(rowsAt)[(direction == 0 ? 0 : rowCounts[0]) + row];
}

const IndexedNode* LayoutIndex::find(uintptr_t handle) const {
    if (handle == 0) return nullptr;
    const IndexedNode* nodes = table<IndexedNode>(nodesAt);
    for (uint32_t slot = slotOf(handle, nodeMask);; slot = (slot + 1) & nodeMask) {
        if (nodes[slot].handle == handle) return &nodes[slot];
        if (nodes[slot].handle == 0) return nullptr;
    }
}

uintptr_t LayoutIndex::nextMatching(int32_t from, int32_t filter) const {
    if (from < 0 || from >= leafCount) return 0;
    if (filter == -1) return leaf(from).handle;
    if (filter < 0 || filter >= kFilters) return 0;
    const int32_t next = table<int32_t>(nextAt)[filter * (leafCount + 1) + from];
    return next < leafCount ? leaf(next).handle : 0;
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
    gather(header.runtimeRoot, *root, out);
    if (!out.usable) return;
    for (int t = 0; t < 3; ++t) {
        // The mirror must hold one slot per value, or a single-value sync
        // could not stand in for the whole pass.
        if (header.elementCounts[t] != out.typeCounts[t]) return;
        if (out.typeCounts[t] > 0 && resolveAs<void>(header.elementArrays[t]) == nullptr) return;
    }

    const int64_t leaves = static_cast<int64_t>(out.leaves.size());
    uint32_t entries = 2;
    while (entries < 2 * out.nodes.size()) entries *= 2;
    LayoutIndex shape{};
    shape.magic = kIndexMagic;
    shape.root = header.runtimeRoot;
    shape.leafCount = static_cast<int32_t>(leaves);
    std::memcpy(shape.typeCounts, out.typeCounts, sizeof shape.typeCounts);
    std::memcpy(shape.rowCounts, out.rowCounts, sizeof shape.rowCounts);
    shape.nodeMask = entries - 1;
    int64_t at = alignUp(sizeof(LayoutIndex));
    shape.leavesAt = static_cast<int32_t>(at);
    at = alignUp(at + leaves * static_cast<int64_t>(sizeof(IndexedLeaf)));
    shape.placesAt = static_cast<int32_t>(at);
    at = alignUp(at + leaves * 4);
    shape.rowsAt = static_cast<int32_t>(at);
    at = alignUp(at + (int64_t{out.rowCounts[0]} + out.rowCounts[1]) * 4);
    shape.nextAt = static_cast<int32_t>(at);
    at = alignUp(at + kFilters * (leaves + 1) * 4);
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
    auto* leafTable = reinterpret_cast<IndexedLeaf*>(block + shape.leavesAt);
    auto* places = reinterpret_cast<int32_t*>(block + shape.placesAt);
    auto* rows = reinterpret_cast<int32_t*>(block + shape.rowsAt);
    auto* next = reinterpret_cast<int32_t*>(block + shape.nextAt);
    auto* nodes = reinterpret_cast<IndexedNode*>(block + shape.nodesAt);
    int32_t typeOffsets[3] = {0, out.typeCounts[0], out.typeCounts[0] + out.typeCounts[1]};
    for (int32_t seq = 0; seq < shape.leafCount; ++seq) {
        const IndexedLeaf& leaf = out.leaves[static_cast<std::size_t>(seq)];
        leafTable[seq] = leaf;
        places[typeOffsets[leaf.type] + leaf.place] = seq;
        if (leaf.inputRow >= 0) rows[leaf.inputRow] = seq;
        if (leaf.outputRow >= 0) rows[out.rowCounts[0] + leaf.outputRow] = seq;
    }
    for (int f = 0; f < kFilters; ++f) {
        int32_t* column = next + f * (shape.leafCount + 1);
        column[shape.leafCount] = shape.leafCount;
        for (int32_t seq = shape.leafCount - 1; seq >= 0; --seq) {
            column[seq] = (out.filters[static_cast<std::size_t>(seq)] >> f) & 1u ? seq : column[seq + 1];
        }
    }
    for (const IndexedNode& node : out.nodes) {
        uint32_t slot = slotOf(node.handle, shape.nodeMask);
        while (nodes[slot].handle != 0) slot = (slot + 1) & shape.nodeMask;
        nodes[slot] = node;
    }
    auto* definition = reinterpret_cast<VariableRow*>(block + shape.definitionAt);
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

bool integerWriteKeepsLayout(const LayoutIndex& index, const TableHeader& header, const RuntimeNode& leaf,
                             bool countKept) {
    if (index.wholeLayout == 0 || leaf.tag == kElementTag || header.rowCount != index.definitionRows) return false;
    const auto* definition = index.table<VariableRow>(index.definitionAt);
    const char* name = nodeName(leaf);
    for (int32_t k = 0; k < index.definitionRows; ++k) {
        const VariableRow* row = rowAt(header, k);
        if (row == nullptr || std::memcmp(row, &definition[k], sizeof *row) != 0) return false;
        if (row->dimension < kScalar) return false;  // sized by the host, which is asked again
    }
    if (countKept) return true;
    for (int32_t k = 0; k < index.definitionRows; ++k) {
        if (std::strncmp(definition[k].name, name, kNameCapacity) != 0) continue;
        for (int32_t j = 0; j < index.definitionRows; ++j) {
            if (definition[j].dimension == definition[k].id) return false;
        }
    }
    return true;
}

}  // namespace uvt
