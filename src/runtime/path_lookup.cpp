#include "runtime/path_lookup.h"

#include "runtime/node_access.h"

#include <cstring>

namespace uvt {
namespace {

bool isSeparator(char c) { return c == '.' || c == '(' || c == ')'; }

// The first child of `group` whose name is exactly the `length` bytes at `component`.
uintptr_t childNamed(uintptr_t group, const char* component, std::size_t length) {
    const RuntimeNode* node = resolveNode(group);
    if (node == nullptr) return 0;
    for (uintptr_t child = node->firstChild; child != 0;) {
        const RuntimeNode* childNode = resolveNode(child);
        if (childNode == nullptr) return 0;
        const char* name = nodeName(*childNode);
        if (std::strlen(name) == length && std::memcmp(name, component, length) == 0) return child;
        child = childNode->nextSibling;
    }
    return 0;
}

}  // namespace

uintptr_t findByPath(uintptr_t root, const char* path) {
    if (path == nullptr) return 0;
    uintptr_t current = root;
    const char* position = path;
    for (;;) {
        if (*position == '\0') return 0;
        while (isSeparator(*position)) ++position;
        const char* component = position;
        while (*position != '\0' && !isSeparator(*position)) ++position;
        const std::size_t length = static_cast<std::size_t>(position - component);
        if (length == 0) return 0;
        const uintptr_t found = childNamed(current, component, length);
        if (found == 0) return 0;
        while (*position == ')') ++position;
        if (*position == '\0') return found;
        current = found;
    }
}

}  // namespace uvt
