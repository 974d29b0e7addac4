#include "runtime/labels.h"

#include "runtime/addressing.h"
#include "runtime/nodes.h"
#include "runtime/runtime_messages.h"
#include "table/table_access.h"

#include <cstring>

namespace uvt {
namespace {

// Composes the label of a leaf found in the table's own tree.
bool labelOf(uintptr_t leaf, char (&label)[kLabelCapacity]) {
    NodeChain chain;
    if (!climbToTop(leaf, chain)) return false;
    composeLabel(chain, label);
    return true;
}

}  // namespace

const char* labelByRow(uintptr_t table, int32_t row, int32_t direction, char* buffer, int32_t length) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (!isDirection(direction)) return messages::kIoNotSupported;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    LocatedLeaf found;
    char label[kLabelCapacity];
    if (!locateRow(*header, direction, row, found) || !labelOf(found.handle, label)) {
        return messages::kRowOutOfBound;
    }
    if (buffer == nullptr) return messages::kInvalidArgument;
    copyLabelOut(label, buffer, length);
    return nullptr;
}

const char* labelByHandle(uintptr_t table, uintptr_t handle, char* buffer) {
    const RuntimeNode* node = isHandleValid(handle) ? resolveNode(handle) : nullptr;
    if (node == nullptr) return messages::kInvalidHandle;
    if (buffer == nullptr) return messages::kInvalidArgument;
    buffer[0] = '\0';
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return messages::kInvalidTable;
    if (layoutRoot(*header) == nullptr) return messages::kArraysNotInitialized;
    NodeChain chain;
    if (!climbToTop(handle, chain) || chain.top() != header->runtimeRoot) return messages::kInvalidTable;
    if (node->kind != kValueLeaf) return messages::kInvalidArgument;
    char label[kLabelCapacity];
    composeLabel(chain, label);
    copyLabelOut(label, buffer, 0);
    return nullptr;
}

char* labelByPlace(uintptr_t table, int32_t type, int32_t place, int32_t* ioOut, char* buffer, int32_t length) {
    if (ioOut != nullptr) *ioOut = 0;
    const TableHeader* header = resolveTable(table);
    LocatedLeaf found;
    char label[kLabelCapacity];
    if (header == nullptr || buffer == nullptr || !locatePlace(*header, type, place, found) ||
        !labelOf(found.handle, label)) {
        return nullptr;
    }
    copyLabelOut(label, buffer, length);
    if (ioOut != nullptr) *ioOut = found.node->leaf.io;
    return buffer;
}

void functionOf(uintptr_t table, char* nameOut, int32_t* timeStampOut) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr) return;
    if (timeStampOut != nullptr) *timeStampOut = header->timeStamp;
    if (nameOut == nullptr) return;
    // The field holds at most 15 characters and its NUL; a field without NUL
    // is cut there rather than read past.
    std::size_t length = 0;
    while (length < kFunctionNameCapacity - 1 && header->functionName[length] != '\0') ++length;
    std::memcpy(nameOut, header->functionName, length);
    nameOut[length] = '\0';
}

namespace {

class LabelWriter {
public:
    explicit LabelWriter(char (&label)[kLabelCapacity]) : label_(label) { label_[0] = '\0'; }

    void append(const char* text) {
        for (; *text != '\0' && length_ < kLabelCapacity - 1; ++text) label_[length_++] = *text;
        label_[length_] = '\0';
    }

private:
    char (&label_)[kLabelCapacity];
    int length_ = 0;
};

}  // namespace

void composeLabel(const NodeChain& chain, char (&label)[kLabelCapacity]) {
    LabelWriter writer(label);
    // The element-parent rule looks at the parent of the chain's own node.
    const int elementParentLevel = chain.length - 2;
    for (int level = 1; level < chain.length; ++level) {
        const RuntimeNode* node = resolveNode(chain.handles[level]);
        if (node == nullptr) return;
        if (isArrayElement(*node)) {
            if (level == elementParentLevel && node->kind == kGroupNode) writer.append(".");
            writer.append("(");
            writer.append(nodeName(*node));
            writer.append(")");
        } else {
            if (level > 1) writer.append(".");
            writer.append(nodeName(*node));
        }
    }
}

void copyLabelOut(const char* label, char* buffer, int32_t length) {
    const std::size_t size = std::strlen(label);
    if (length <= 0) {
        std::memcpy(buffer, label, size + 1);
        return;
    }
    const std::size_t room = static_cast<std::size_t>(length);
    const std::size_t copied = size < room ? size : room - 1;
    std::memcpy(buffer, label, copied);
    std::memset(buffer + copied, 0, room - copied);
}

}  // namespace uvt
