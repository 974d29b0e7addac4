#include "runtime/value_writing.h"

#include "host/counted_operation.h"
#include "host/host_routines.h"
#include "runtime/addressing.h"
#include "runtime/layout_index.h"
#include "runtime/layout.h"
#include "runtime/name_lookup.h"
#include "runtime/nodes.h"
#include "runtime/release.h"
#include "runtime/runtime_messages.h"
#include "runtime/sync_pass.h"
#include "table/table_access.h"

#include <cstdio>

namespace uvt {
namespace {

// One buffer for the whole library: a refusal's text stays readable until
// the next refusal overwrites it.
char messageBuffer[512];

const char* const kArrayNames[3] = {"Integer", "Real", "Character"};

const char* formatSizeRefusal(int32_t array, const char* hostMessage) {
    std::snprintf(messageBuffer, sizeof messageBuffer,
                  "The storage of this value has resulted in the following error message while storing the size "
                  "of the %s array:\r\n%s",
                  kArrayNames[array], hostMessage);
    return messageBuffer;
}

int32_t finalFlag(const void* value) { return value != nullptr ? 1 : 0; }

const char* writeCharacter(TableHeader& header, uintptr_t leafHandle, RuntimeNode& leaf, const void* value, int32_t previousFlag,
                           WriteRule rule) {
    // The new block comes first: the sync pass tells a changed text by its
    // handle, which must not be the old one given back and handed out anew.
    const uintptr_t copy = makeTextBlock(static_cast<const char*>(value));
    if (copy == 0) {
        leaf.leaf.valueSet = previousFlag;
        return messages::kNotEnoughMemory;
    }
    const uintptr_t old = leaf.leaf.value.text;
    leaf.leaf.value.text = copy;
    releaseTextBlock(old);
    if (rule == WriteRule::byName) leaf.leaf.valueSet = finalFlag(value);
    syncValueChange(header, leafHandle);
    return nullptr;
}

const char* writeReal(TableHeader& header, uintptr_t leafHandle, RuntimeNode& leaf, const void* value,
                      int32_t previousFlag) {
    const double previous = leaf.leaf.value.real;
    leaf.leaf.value.real = value != nullptr ? *static_cast<const double*>(value) : 0.0;
    leaf.leaf.valueSet = finalFlag(value);
    const char* refusal = syncValueChange(header, leafHandle);
    if (refusal == nullptr) return nullptr;
    leaf.leaf.value.real = previous;
    leaf.leaf.valueSet = previousFlag;
    syncValueChange(header, leafHandle);  // the host gets the previous value back
    return refusal;
}

const char* writeInteger(uintptr_t table, TableHeader& header, uintptr_t leafHandle, RuntimeNode& leaf,
                         const void* value, int32_t previousFlag) {
    const int32_t previous = leaf.leaf.value.integer;
    leaf.leaf.value.integer = value != nullptr ? *static_cast<const int32_t*>(value) : 0;
    // The count a layout pass takes from the leaf for the rows it sizes: the
    // value with the flag the pass will see, a missing or negative one as 0.
    const auto sizingCount = [](int32_t flag, int32_t integer) { return flag != 0 && integer >= 0 ? integer : 0; };
    const bool countKept =
        sizingCount(previousFlag, previous) == sizingCount(leaf.leaf.valueSet, leaf.leaf.value.integer);
    if (const LayoutIndex* index = openIndex(header); index != nullptr && index->leafPosition(leafHandle) >= 0 &&
                                                       integerWriteKeepsLayout(*index, header, leaf, countKept)) {
        // The relayout would change nothing, so no size changes either: what
        // reaches the host is the one new value, as for a Real.
        leaf.leaf.valueSet = finalFlag(value);
        syncValueChange(header, leafHandle);
        return nullptr;
    }
    CountedOperation operation;

    const RuntimeNode* root = resolveNode(header.runtimeRoot);
    int32_t oldSizes[3] = {0, 0, 0};
    for (int32_t i = 0; i < 3 && root != nullptr; ++i) oldSizes[i] = root->counters[typeCounter(i)];

    // The row that holds the leaf is laid out again (the whole table for a
    // top-level variable). Whatever that cuts off is only kept aside until
    // the host has agreed to the new sizes.
    const uintptr_t start = leaf.parent;
    ReleaseDeferral deferral;
    layoutPass(table, nullptr, start);
    deferral.stop();

    int32_t newSizes[3] = {0, 0, 0};
    countValues(header.runtimeRoot, newSizes[0], newSizes[1], newSizes[2]);
    int32_t refused = -1;
    const char* hostMessage = nullptr;
    for (int32_t i = 0; i < 3 && refused < 0; ++i) {
        if (newSizes[i] == oldSizes[i]) continue;
        hostMessage = resizeArray(header.hostIds, i, newSizes[i]);
        if (hostMessage != nullptr) refused = i;
    }

    if (refused < 0) {
        RuntimeNode* written = resolveNode(leafHandle);
        if (written != nullptr) written->leaf.valueSet = finalFlag(value);
        syncPass(header, false);
        deferral.releaseKept();
        const RuntimeNode* startNode = resolveNode(start);
        rebuildIndex(header, startNode != nullptr && startNode->parent == 0);
        return nullptr;
    }

    // The host's text goes into the buffer at once: it need only live until
    // the host's routine is called again, as it is for the undo just below.
    const char* message = formatSizeRefusal(refused, hostMessage);
    for (int32_t k = refused; k >= 0; --k) resizeArray(header.hostIds, k, oldSizes[k]);
    deferral.restoreKept();
    RuntimeNode* written = resolveNode(leafHandle);
    if (written != nullptr) {
        written->leaf.value.integer = previous;
        written->leaf.valueSet = previousFlag;
    }
    layoutPass(table, nullptr, start);
    return message;
}

}  // namespace

const char* writeLeafValue(uintptr_t table, uintptr_t leafHandle, const void* value, WriteRule rule) {
    TableHeader* header = resolveTable(table);
    RuntimeNode* leaf = resolveNode(leafHandle);
    if (header == nullptr || leaf == nullptr || leaf->kind != kValueLeaf) return nullptr;
    const int32_t previousFlag = leaf->leaf.valueSet;
    if (rule == WriteRule::plain) {
        if (value == nullptr && previousFlag == 0) return nullptr;
        leaf->leaf.valueSet = finalFlag(value);
    } else {
        leaf->leaf.valueSet = 1;
    }
    switch (leaf->leaf.valueType) {
        case kInteger: return writeInteger(table, *header, leafHandle, *leaf, value, previousFlag);
        case kReal: return writeReal(*header, leafHandle, *leaf, value, previousFlag);
        case kCharacter: return writeCharacter(*header, leafHandle, *leaf, value, previousFlag, rule);
        default: return nullptr;
    }
}

const char* setValueAtPlace(uintptr_t table, int32_t type, int32_t place, const void* value) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    LocatedLeaf found;
    if (!locatePlace(*header, type, place, found)) return nullptr;
    return writeLeafValue(table, found.handle, value, WriteRule::plain);
}

const char* setValueByRow(uintptr_t table, int32_t row, const void* value, int32_t direction) {
    if (!isDirection(direction)) return messages::kIoNotSupported;
    const TableHeader* header = resolveTable(table);
    LocatedLeaf found;
    if (header == nullptr || !locateRow(*header, direction, row, found)) return messages::kInvalidRowOrValue;
    return writeLeafValue(table, found.handle, value, WriteRule::plain);
}

const char* setValueByHandle(uintptr_t table, uintptr_t handle, const void* value) {
    if (!isHandleValid(handle) || resolveNode(handle) == nullptr) return messages::kInvalidHandle;
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    // Writing relays the table out and syncs its arrays: a node of another
    // table (or of no tree) must not be written through this one.
    NodeChain chain;
    if (!climbToTop(handle, chain) || chain.top() != header->runtimeRoot) return messages::kInvalidHandle;
    if (resolveNode(handle)->kind != kValueLeaf) return messages::kCannotSetStructure;
    return writeLeafValue(table, handle, value, WriteRule::plain);
}

const char* setValueByName(uintptr_t table, const char* name, const int32_t* indexes, const void* value) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr || resolveAs<void>(header->rowArray) == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    if (name == nullptr || indexes == nullptr) return messages::kMissingInformation;
    const uintptr_t found =
        lookUpVariable(header->runtimeRoot, name, indexes, FinalElement::wanted, openIndex(*header));
    const RuntimeNode* node = resolveNode(found);
    if (node == nullptr) return messages::kNameNotFound;
    if (node->kind != kValueLeaf) return messages::kCannotSetStructure;
    return writeLeafValue(table, found, value, WriteRule::byName);
}

}  // namespace uvt
