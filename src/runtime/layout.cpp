#include "runtime/layout.h"

#include "runtime/layout_index.h"
#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "runtime/nodes.h"
#include "runtime/release.h"
#include "table/row_numbers.h"
#include "table/table_access.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace uvt {
namespace {

inline constexpr int32_t kUnknownCount = -1;

// What one pass works with. The size cache holds, per row index, the value
// of each scalar Integer row as its node was refreshed in this pass (-1 while
// the row has not been seen). It covers every row of the table.
class LayoutContext {
public:
    LayoutContext(TableHeader& header, InitialValueSource* source) : header_(header), source_(source) {
        slots_ = resolveAs<const uintptr_t>(header.rowArray);
        if (header.rowCount > 0) {
            // The library's own scratch memory; without it every count that
            // comes from an Integer row reads as unknown, which keeps the
            // arrays as they are.
            cache_.reset(new (std::nothrow) int32_t[static_cast<std::size_t>(header.rowCount)]);
            if (cache_) std::fill_n(cache_.get(), header.rowCount, kUnknownCount);
        }
    }

    int32_t rowCount() const { return slots_ == nullptr ? 0 : header_.rowCount; }
    const VariableRow* row(int32_t index) const {
        return index < 0 || index >= rowCount() ? nullptr : resolveAs<const VariableRow>(slots_[index]);
    }
    int32_t* hostValues() { return header_.hostIds; }
    InitialValueSource* source() { return source_; }

    void cacheValue(int32_t index, int32_t value) {
        if (cache_ && index >= 0 && index < rowCount()) cache_[index] = value;
    }
    int32_t cachedValue(int32_t index) const {
        return cache_ && index >= 0 && index < rowCount() ? cache_[index] : kUnknownCount;
    }

    // Index of the first row, in row order, whose id is `id`; -1 when none.
    // Built once per pass on first use, so that arrays sized by Integer rows
    // do not cost a scan of the whole table each.
    int32_t indexOfId(int32_t id) { return rowNumbers_.of(id); }

private:
    TableHeader& header_;
    InitialValueSource* source_;
    const uintptr_t* slots_ = nullptr;
    std::unique_ptr<int32_t[]> cache_;
    RowNumbers rowNumbers_{header_};
};

void layoutMembers(LayoutContext& context, uintptr_t group, int32_t structureRow);

// Whether an old node can serve `row` again.
bool nodeMatchesRow(RuntimeNode& node, const VariableRow& row) {
    if (std::strcmp(nodeName(node), row.name) != 0) return false;
    if (rowNeedsValueLeaf(row)) return node.kind == kValueLeaf && node.leaf.valueType == row.type;
    if (node.kind != kGroupNode) return false;
    const bool rowIsArray = row.dimension != kScalar;
    const bool nodeIsArray = node.tag != kScalar;
    return rowIsArray == nodeIsArray;
}

// Takes the first node of the old list, from its head, that matches `row`
// off the list; 0 when none does.
uintptr_t takeMatch(uintptr_t& oldList, const VariableRow& row) {
    RuntimeNode* previous = nullptr;
    for (uintptr_t handle = oldList; handle != 0;) {
        RuntimeNode* node = resolveNode(handle);
        if (node == nullptr) return 0;
        if (nodeMatchesRow(*node, row)) {
            if (previous == nullptr) oldList = node->nextSibling;
            else previous->nextSibling = node->nextSibling;
            node->nextSibling = 0;
            if (node->kind == kValueLeaf) node->leaf.io = row.io;
            return handle;
        }
        previous = node;
        handle = node->nextSibling;
    }
    return 0;
}

void takeStartingValue(LayoutContext& context, RuntimeNode& node) {
    InitialValueSource* source = context.source();
    if (source == nullptr || node.kind != kValueLeaf) return;
    if (node.leaf.valueType == kInteger) {
        const int32_t cursor = source->integerCursor++;
        if (source->integers == nullptr) return;
        const int32_t value = source->integers[cursor];
        if (value == kNoValueMarker) return;
        node.leaf.value.integer = value;
        node.leaf.valueSet = 1;
    } else if (node.leaf.valueType == kReal) {
        const int32_t cursor = source->realCursor++;
        if (source->reals == nullptr) return;
        node.leaf.value.real = source->reals[cursor];
        node.leaf.valueSet = 1;
    }
}

int32_t elementCount(LayoutContext& context, const VariableRow& row) {
    if (row.dimension < kScalar) {
        const int32_t answer = querySize(context.hostValues(), row.dimension);
        return answer < 0 ? 0 : answer;
    }
    const int32_t index = context.indexOfId(row.dimension);
    return index < 0 ? 0 : context.cachedValue(index);
}

// Lays out element i of array node `array` (row `row`, index k): `element`
// when it is one, else a new node linked in at `place`. Returns the element,
// or 0 when a new one could not be made.
uintptr_t layoutElement(LayoutContext& context, uintptr_t array, int32_t k, const VariableRow& row, int32_t i,
                        uintptr_t element, uintptr_t* place) {
    if (element == 0) {
        element = createNode(row, array, i);
        if (resolveNode(element) == nullptr) return 0;
        *place = element;
    }
    if (row.type == kStructure) {
        layoutMembers(context, element, k);
    } else if (RuntimeNode* node = resolveNode(element); node != nullptr) {
        node->leaf.io = row.io;
        takeStartingValue(context, *node);
    }
    return element;
}

// Brings the element nodes of array node `array` (row `row`, index k) to
// `count` elements, or with an unknown count keeps those it has. Elements
// that no longer fit the row (its type changed under a kept array node) are
// dropped with everything after them and made anew.
void layoutElements(LayoutContext& context, uintptr_t array, int32_t k, const VariableRow& row, int32_t count) {
    RuntimeNode* arrayNode = resolveNode(array);
    if (arrayNode == nullptr) return;
    uintptr_t* place = &arrayNode->firstChild;
    for (int32_t i = 0; count == kUnknownCount || i < count; ++i) {
        uintptr_t element = *place;
        RuntimeNode* node = resolveNode(element);
        if (node != nullptr && !elementFitsRow(*node, row)) {
            releaseTree(*place);
            element = 0;
            node = nullptr;
        }
        if (node == nullptr && count == kUnknownCount) break;
        element = layoutElement(context, array, k, row, i, node == nullptr ? 0 : element, place);
        node = resolveNode(element);
        if (node == nullptr) break;  // no memory: the array ends here for now
        place = &node->nextSibling;
    }
    releaseTree(*place);
}

// Refreshes the node of row k (node 0: a new one under `parent`). Returns
// the node, or 0 when a new node could not be made.
uintptr_t refreshRowNode(LayoutContext& context, uintptr_t parent, int32_t k, const VariableRow& row,
                         uintptr_t handle) {
    if (handle == 0) handle = createNode(row, parent, kNoElement);
    RuntimeNode* node = resolveNode(handle);
    if (node == nullptr) return 0;
    if (node->kind == kValueLeaf) {
        takeStartingValue(context, *node);
        if (row.type == kInteger) {
            const bool usable = node->leaf.valueSet != 0 && node->leaf.value.integer >= 0;
            context.cacheValue(k, usable ? node->leaf.value.integer : 0);
        }
    }
    if (row.dimension == kScalar) {
        if (row.type == kStructure) layoutMembers(context, handle, k);
        return handle;
    }
    layoutElements(context, handle, k, row, elementCount(context, row));
    return handle;
}

// Lays out the members of group node `group`: the rows of depth 0 for the
// root (structureRow -1), else the rows that follow the Structure row one
// level deeper.
void layoutMembers(LayoutContext& context, uintptr_t group, int32_t structureRow) {
    int32_t start = 0;
    int32_t memberDepth = 0;
    if (structureRow >= 0) {
        const VariableRow* structure = context.row(structureRow);
        if (structure == nullptr) return;
        start = structureRow + 1;
        memberDepth = structure->depth + 1;
    }
    CountedOperation operation;
    RuntimeNode* groupNode = resolveNode(group);
    if (groupNode == nullptr) return;
    uintptr_t oldList = groupNode->firstChild;
    groupNode->firstChild = 0;
    uintptr_t last = 0;
    for (int32_t k = start; k < context.rowCount(); ++k) {
        const VariableRow* row = context.row(k);
        if (row == nullptr || row->depth > memberDepth) continue;
        if (row->depth < memberDepth) break;
        const uintptr_t member = refreshRowNode(context, group, k, *row, takeMatch(oldList, *row));
        RuntimeNode* memberNode = resolveNode(member);
        if (memberNode == nullptr) continue;
        memberNode->nextSibling = 0;
        RuntimeNode* lastNode = resolveNode(last);
        if (lastNode == nullptr) resolveNode(group)->firstChild = member;
        else lastNode->nextSibling = member;
        last = member;
    }
    releaseTree(oldList);
}

}  // namespace

uintptr_t layoutNewElement(TableHeader& header, uintptr_t array, int32_t rowIndex, int32_t elementIndex,
                           uintptr_t* place, const KnownCount* known, std::size_t knownCount) {
    CountedOperation operation;
    LayoutContext context(header, nullptr);
    for (std::size_t k = 0; k < knownCount; ++k) context.cacheValue(known[k].row, known[k].count);
    const VariableRow* row = context.row(rowIndex);
    if (row == nullptr) return 0;
    return layoutElement(context, array, rowIndex, *row, elementIndex, 0, place);
}

void layoutPass(uintptr_t table, InitialValueSource* source, uintptr_t startNode) {
    if (source != nullptr) {
        source->integerCursor = 0;
        source->realCursor = 0;
    }
    TableHeader* header = resolveTable(table);
    if (header == nullptr || header->rowArray == 0) return;
    if (startNode == 0 && header->runtimeRoot == 0) return;
    dropIndex(*header);  // the tree may change shape
    CountedOperation operation;
    LayoutContext context(*header, source);

    if (startNode != 0) {
        uintptr_t handle = startNode;
        RuntimeNode* node = resolveNode(handle);
        if (node == nullptr) return;
        if (isArrayElement(*node)) {
            handle = node->parent;
            node = resolveNode(handle);
            if (node == nullptr) return;
        }
        if (node->parent != 0) {
            const char* name = nodeName(*node);
            for (int32_t k = 0; k < context.rowCount(); ++k) {
                const VariableRow* row = context.row(k);
                if (row == nullptr || std::strcmp(row->name, name) != 0) continue;
                if (nodeMatchesRow(*node, *row)) refreshRowNode(context, node->parent, k, *row, handle);
                return;
            }
            return;
        }
    }
    if (header->runtimeRoot != 0) layoutMembers(context, header->runtimeRoot, -1);
}

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
