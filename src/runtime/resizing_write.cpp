#include "runtime/resizing_write.h"

#include "host/host_routines.h"
#include "runtime/layout.h"
#include "runtime/nodes.h"
#include "runtime/release.h"
#include "runtime/sync_pass.h"
#include "table/table_access.h"
#include "uvt.h"

#include <algorithm>
#include <cstring>

namespace uvt {
namespace {

// Calls fn(k, row) for the member rows of Structure row `structure` (-1:
// the top-level rows), the rows a layout pass makes its members from.
template <class Fn>
void forEachMember(const TableHeader& header, int32_t structure, Fn fn) {
    int32_t start = 0;
    int32_t depth = 0;
    if (structure >= 0) {
        const VariableRow* row = rowAt(header, structure);
        if (row == nullptr) return;
        start = structure + 1;
        depth = row->depth + 1;
    }
    for (int32_t k = start; k < header.rowCount; ++k) {
        const VariableRow* row = rowAt(header, k);
        if (row == nullptr || row->depth > depth) continue;
        if (row->depth < depth) break;
        fn(k, *row);
    }
}

// The one member row of `structure` named `name`; -1 when there is none or
// more than one, which a name alone cannot tell apart.
int32_t memberNamed(const TableHeader& header, int32_t structure, const char* name) {
    int32_t found = -1;
    int32_t matches = 0;
    forEachMember(header, structure, [&](int32_t k, const VariableRow& row) {
        if (std::strcmp(row.name, name) != 0) return;
        found = k;
        ++matches;
    });
    return matches == 1 ? found : -1;
}

// The rows of the nodes of `chain`, from the root's child down: the row of
// an element is the row of its array. False when a name does not lead to
// exactly one row.
bool rowsAlongChain(const TableHeader& header, const NodeChain& chain, int32_t rows[kMaxChainLength],
                    int32_t& owner) {
    int32_t structure = -1;
    int32_t row = -1;
    owner = -1;
    for (int level = 1; level < chain.length; ++level) {
        const RuntimeNode* node = resolveNode(chain.handles[level]);
        if (node == nullptr) return false;
        if (isArrayElement(*node)) {
            if (row < 0) return false;
            structure = row;
        } else {
            owner = structure;
            row = memberNamed(header, structure, nodeName(*node));
            if (row < 0) return false;
            structure = row;
        }
        rows[level] = row;
    }
    return row >= 0;
}

int32_t sizingCount(const RuntimeNode& leaf) {
    return leaf.leaf.valueSet != 0 && leaf.leaf.value.integer >= 0 ? leaf.leaf.value.integer : 0;
}

// The nodes of a new element of an array of Structure row `structure`, when
// every layout pass would lay such an element out alike, and what the pass
// has seen of the Integers that size its arrays (`known`). That holds when
// every array in the subtree takes its size either from a scalar Integer
// of the subtree that comes before it, lies in no array there and is the
// first row of its id (a new element's Integers have no value, so each such
// array has no element), or, for an array of values, from a top-level
// scalar Integer: a pass over the whole table has seen those before the
// structure (their values are the counts) and no other (the arrays keep the
// none they have), a pass over a part of it none of them. The Integers of
// the subtree that size rows may size rows of the subtree only, or the
// elements would count for rows outside it. -1 otherwise.
int32_t elementRowsBelow(const TableHeader& header, int32_t structure, bool whole, std::vector<KnownCount>& known) {
    known.clear();
    const VariableRow* top = rowAt(header, structure);
    if (top == nullptr) return -1;
    int32_t end = structure + 1;
    for (; end < header.rowCount; ++end) {
        const VariableRow* row = rowAt(header, end);
        if (row == nullptr) return -1;
        if (row->depth <= top->depth) break;
    }
    // Per row of the subtree, whether it lies in an array of the subtree
    // (as an element's member); the rows of the open structures, by depth.
    std::vector<bool> inArray(static_cast<std::size_t>(end - structure), false);
    std::vector<int32_t> open;
    int32_t nodes = 0;
    for (int32_t k = structure + 1; k < end; ++k) {
        const VariableRow* row = rowAt(header, k);
        while (!open.empty() && rowAt(header, open.back())->depth >= row->depth) open.pop_back();
        const bool below = !open.empty() && (inArray[static_cast<std::size_t>(open.back() - structure)] ||
                                             rowAt(header, open.back())->dimension != kScalar);
        inArray[static_cast<std::size_t>(k - structure)] = below;
        if (row->type == kStructure) open.push_back(k);
        if (!below) ++nodes;
    }
    for (int32_t k = structure + 1; k < end; ++k) {
        const VariableRow* row = rowAt(header, k);
        if (row->dimension != kScalar) {
            if (row->dimension < kScalar) return -1;  // the host would be asked for every element's size
            const int32_t sizer = findRowById(header, row->dimension);
            if (sizer < 0 || (sizer > structure && sizer >= k)) return -1;
            if (sizer < structure || sizer >= end) {
                const VariableRow* outer = rowAt(header, sizer);
                if (outer == nullptr || outer->depth != 0 || outer->type != kInteger || outer->dimension != kScalar ||
                    row->type == kStructure || memberNamed(header, -1, outer->name) != sizer) {
                    return -1;
                }
                int32_t count = 0;
                if (whole && sizer < structure) {
                    const RuntimeNode* root = resolveNode(header.runtimeRoot);
                    const uintptr_t node =
                        root == nullptr ? 0 : childNamed(*root, outer->name, std::strlen(outer->name));
                    const RuntimeNode* leaf = resolveNode(node);
                    if (leaf == nullptr || leaf->kind != kValueLeaf) return -1;
                    count = sizingCount(*leaf);
                    const auto seen = [sizer](const KnownCount& entry) { return entry.row == sizer; };
                    if (std::none_of(known.begin(), known.end(), seen)) known.push_back(KnownCount{sizer, count});
                }
                if (!inArray[static_cast<std::size_t>(k - structure)]) nodes += count;
            }
        }
        bool sizes = false;
        for (int32_t j = 0; j < header.rowCount; ++j) {
            const VariableRow* other = rowAt(header, j);
            if (other == nullptr) return -1;
            if (other->dimension != row->id) continue;
            if (j <= k || j >= end) return -1;
            sizes = true;
        }
        if (!sizes) continue;
        if (row->type != kInteger || row->dimension != kScalar || inArray[static_cast<std::size_t>(k - structure)] ||
            findRowById(header, row->id) != k) {
            return -1;
        }
    }
    return nodes;
}

// Adds a node and every node below it to `out`. Recurses into groups only,
// whose depth the structure nesting bounds.
void noteSubtree(uintptr_t handle, std::vector<uintptr_t>& out) {
    out.push_back(handle);
    const RuntimeNode* node = resolveNode(handle);
    if (node == nullptr || node->kind != kGroupNode) return;
    for (uintptr_t child = node->firstChild; child != 0;) {
        const RuntimeNode* below = resolveNode(child);
        if (below == nullptr) return;
        if (below->kind == kGroupNode) noteSubtree(child, out);
        else out.push_back(child);
        child = below->nextSibling;
    }
}

}  // namespace

bool ResizingWrite::prepare(TableHeader& header, uintptr_t leafHandle) {
    header_ = &header;
    leaf_ = leafHandle;
    index_ = openIndex(header);
    const RuntimeNode* leaf = resolveNode(leafHandle);
    if (index_ == nullptr || leaf == nullptr || isArrayElement(*leaf) || !layoutFollowsRows(*index_, header, true)) {
        return false;
    }
    const int32_t seq = index_->leafPosition(leafHandle);
    NodeChain chain;
    if (seq < 0 || !climbToTop(leafHandle, chain) || chain.top() != header.runtimeRoot || chain.length < 2) return false;
    leafSeq_ = seq;
    leafPlace_ = index_->leaf(seq).place;

    int32_t rows[kMaxChainLength];
    int32_t owner = -1;  // the Structure row whose members hold the leaf's row
    if (!rowsAlongChain(header, chain, rows, owner)) return false;
    const int32_t z = rows[chain.length - 1];
    const VariableRow* sizing = rowAt(header, z);
    if (sizing == nullptr || sizing->type != kInteger || sizing->dimension != kScalar) return false;
    // The rows sized by an id take their count from the first row of that id.
    if (findRowById(header, sizing->id) != z) return false;

    // A pass from the leaf starts at its parent: the whole table for the
    // root, else the row of the parent (of its array, for an element),
    // found by name. That must be the parent's own row, and no row it lays
    // out may ask the host for its size.
    const uintptr_t parent = leaf->parent;
    const bool whole = parent == header.runtimeRoot;
    if (!whole) {
        int level = chain.length - 2;
        const RuntimeNode* parentNode = resolveNode(parent);
        if (parentNode == nullptr) return false;
        if (isArrayElement(*parentNode)) --level;
        if (level < 1) return false;
        const char* name = nodeName(chain.handles[level]);
        int32_t first = -1;
        for (int32_t k = 0; k < header.rowCount && first < 0; ++k) {
            const VariableRow* row = rowAt(header, k);
            if (row != nullptr && std::strcmp(row->name, name) == 0) first = k;
        }
        if (first != rows[level]) return false;
        const VariableRow* scope = rowAt(header, first);
        for (int32_t k = first; scope != nullptr && k < header.rowCount; ++k) {
            const VariableRow* row = rowAt(header, k);
            if (row == nullptr || (k > first && row->depth <= scope->depth)) break;
            if (row->dimension < kScalar) return false;
        }
    }

    // Every row sized by the leaf's row must be an array among the later
    // members of the same structure, of values or of structures whose new
    // elements every pass lays out alike, so that the count each of them
    // gets in any pass is the one of the leaf of its own group. A whole pass
    // also asks the host for the rows it sizes: those must be top-level
    // arrays, of values or of such structures.
    int32_t sized = 0;
    for (int32_t k = 0; k < header.rowCount; ++k) {
        const VariableRow* row = rowAt(header, k);
        if (row == nullptr) return false;
        if (row->dimension == sizing->id) ++sized;
        if (whole && row->dimension < kScalar && row->depth != 0) return false;
    }
    const RuntimeNode* group = resolveNode(parent);
    if (group == nullptr) return false;
    bool fits = true;
    int32_t members = 0;
    forEachMember(header, owner, [&](int32_t k, const VariableRow& row) {
        const bool hostSized = whole && row.dimension < kScalar;
        if (!fits || (row.dimension != sizing->id && !hostSized)) return;
        if (!hostSized) ++members;
        std::vector<KnownCount> known;
        const int32_t below = row.type == kStructure ? elementRowsBelow(header, k, whole, known) : 0;
        if ((!hostSized && k < z) || (row.type == kStructure && below < 0) ||
            memberNamed(header, owner, row.name) != k) {
            fits = false;
            return;
        }
        const uintptr_t node = childNamed(*group, row.name, std::strlen(row.name));
        // An array of values: the index lists its leaves as its children;
        // of an array of structures, the element groups.
        const IndexedGroup* entry = index_->group(node);
        const bool leavesAsChildren = entry != nullptr && entry->childrenAt < 0;
        const bool valuesListed = leavesAsChildren && entry->childCount == entry->end - entry->first;
        if (entry == nullptr || (row.type != kStructure && !valuesListed) ||
            (row.type == kStructure && leavesAsChildren && entry->childCount != 0)) {
            fits = false;
            return;
        }
        arrays_.push_back(SizedArray{node, &row, *entry, entry->childCount, {}, hostSized, k, below, std::move(known)});
    });
    // With no array to bring to a count the pass changes nothing, which a
    // whole pass without rows sized by the host has already been found to do.
    if (!fits || members != sized || (whole && arrays_.empty())) return false;
    count_ = sizingCount(*leaf);
    return true;
}

// The count a layout pass gives the array now: the host's answer, or the
// leaf's count for the arrays it sizes.
int32_t ResizingWrite::countFor(const SizedArray& array, int32_t leafCount) const {
    if (!array.hostSized) return leafCount;
    const int32_t answer = querySize(header_->hostIds, array.row->dimension);
    return answer < 0 ? 0 : answer;
}

uintptr_t ResizingWrite::element(const SizedArray& array, int32_t k) const {
    const int32_t old = oldLength(array);
    if (k < 0) return 0;
    if (k < old) return index_->child(array.entry, k);
    const auto made = static_cast<std::size_t>(k - old);
    return made < array.made.size() ? array.made[made] : 0;
}

// The link that holds what follows the first `count` elements: the array's
// first-child link for none, else the last one's sibling link.
uintptr_t* ResizingWrite::linkAfter(SizedArray& array, int32_t count) {
    RuntimeNode* node = resolveNode(count == 0 ? array.node : element(array, count - 1));
    if (node == nullptr) return nullptr;
    return count == 0 ? &node->firstChild : &node->nextSibling;
}

// Brings the array to `count` elements as a layout pass does: elements past
// it cut off through the tree release, missing ones made at the end until
// the host has no memory.
void ResizingWrite::bringTo(SizedArray& array, int32_t count, bool noteReleased) {
    if (count < array.length) {
        for (int32_t k = count; k < array.length; ++k) {
            const RuntimeNode* gone = resolveNode(element(array, k));
            if (gone == nullptr) continue;
            if (ofStructures(array)) {
                for (int c = 0; c < 6; ++c) array.counterChange[c] -= gone->counters[c];
                if (noteReleased) noteSubtree(element(array, k), released_);
            } else {
                addToCounters(array.counterChange, array.row->type, array.row->io, -1);
                if (noteReleased) released_.push_back(element(array, k));
            }
        }
        if (uintptr_t* link = linkAfter(array, count)) releaseTree(*link);
        array.made.resize(static_cast<std::size_t>(std::max(0, count - oldLength(array))));
        array.length = count;
        return;
    }
    uintptr_t* link = linkAfter(array, array.length);
    for (int32_t i = array.length; i < count && link != nullptr; ++i) {
        const uintptr_t made = ofStructures(array) ? layoutNewElement(*header_, array.node, array.rowIndex, i, link,
                                                                      array.known.data(), array.known.size())
                                                   : createNode(*array.row, array.node, i);
        RuntimeNode* node = resolveNode(made);
        if (node == nullptr) {  // no memory: the array ends here for now, as in a layout pass
            complete_ = false;
            return;
        }
        if (ofStructures(array)) {
            // A member the host had no memory for is missing, as in a layout pass.
            if (recountGroup(*node, [](int32_t, const LeafPart&) {}) != array.rowsBelow) complete_ = false;
            for (int c = 0; c < 6; ++c) array.counterChange[c] += node->counters[c];
        } else {
            *link = made;
            addToCounters(array.counterChange, array.row->type, array.row->io, 1);
        }
        array.made.push_back(made);
        ++array.length;
        link = &node->nextSibling;
    }
}

void ResizingWrite::layOut() {
    for (SizedArray& array : arrays_) bringTo(array, countFor(array, count_), true);
}

void ResizingWrite::addSizeChanges(int32_t sizes[3]) const {
    for (const SizedArray& array : arrays_) {
        for (int32_t t = 0; t < 3; ++t) sizes[t] += array.counterChange[typeCounter(t)];
    }
}

void ResizingWrite::sync() {
    const SizedArray* first = nullptr;
    for (const SizedArray& array : arrays_) {
        const int32_t change = array.length - oldLength(array);
        if (change == 0) continue;
        if (first == nullptr) first = &array;
        for (uintptr_t at = array.node; at != 0;) {
            RuntimeNode* node = resolveNode(at);
            if (node == nullptr) break;
            for (int c = 0; c < 6; ++c) node->counters[c] += array.counterChange[c];
            at = node->parent;
        }
    }
    if (first == nullptr) {
        // No array changed: the written leaf's slot is all there is to send.
        changed_ = false;
        syncValueChange(*header_, leaf_);
        return;
    }
    // The first changed array keeps its first elements (up to the smaller of
    // its lengths) where they were; from there on every value may move.
    const int32_t kept = std::min(first->length, oldLength(*first));
    const uintptr_t start = first->made.empty() ? 0 : first->made.front();
    const int32_t seqBase = kept == 0 ? first->entry.first : index_->subtreeEnd(element(*first, kept - 1));
    gatherFrom(*index_, start, first->node, kept, seqBase, gathered_);
    if (!gathered_.usable) {
        syncPass(*header_, false);
        return;
    }
    // A written leaf after an array the host sizes is in the stretch itself,
    // and compared there once.
    syncStretch(*header_, leafSeq_ < seqBase ? leaf_ : 0, leafPlace_, gathered_);
}

void ResizingWrite::followIndex() {
    if (!changed_) return;
    if (!gathered_.usable) {
        rebuildIndex(*header_, false);
        return;
    }
    updateIndex(*header_, gathered_, released_, complete_);
}

void ResizingWrite::takeBack() {
    const RuntimeNode* leaf = resolveNode(leaf_);
    const int32_t count = leaf == nullptr ? 0 : sizingCount(*leaf);
    bool asBefore = true;
    for (SizedArray& array : arrays_) {
        if (array.length < oldLength(array)) array.length = oldLength(array);  // the cut-off part is back
        bringTo(array, countFor(array, count), false);
        asBefore = asBefore && array.length == oldLength(array);
    }
    if (!asBefore) dropIndex(*header_);
}

}  // namespace uvt
