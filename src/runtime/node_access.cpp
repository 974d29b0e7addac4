#include "runtime/node_access.h"

#include "host/host_routines.h"
#include "runtime/text_block.h"

namespace uvt {

RuntimeNode* resolveNode(uintptr_t handle) { return resolveAs<RuntimeNode>(handle); }

const char* nodeName(const RuntimeNode& node) {
    const char* name = textOf(node.name);
    return name == nullptr ? "" : name;
}

const char* nodeName(uintptr_t handle) {
    const RuntimeNode* node = resolveNode(handle);
    return node == nullptr ? "" : nodeName(*node);
}

bool elementFitsRow(const RuntimeNode& element, const VariableRow& row) {
    if (element.tag != kElementTag) return false;
    if (row.type == kStructure) return element.kind == kGroupNode;
    return element.kind == kValueLeaf && element.leaf.valueType == row.type;
}

int32_t leafArrayIndex(const RuntimeNode& node) {
    if (node.kind != kValueLeaf) return -1;
    const int32_t type = node.leaf.valueType;
    return type >= kInteger && type <= kCharacter ? type : -1;
}

}  // namespace uvt
