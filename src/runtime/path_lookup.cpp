#include "runtime/path_lookup.h"

#include "runtime/layout_index.h"
#include "runtime/node_access.h"

#include <cstring>

namespace uvt {
namespace {

bool isSeparator(char c) { return c == '.' || c == '(' || c == ')'; }

// The element that a component names in an array known to the index (of
// values or of structures): elements are named "1", "2", ... in their
// order, so "k" is the k-th and anything else names none. False when the
// index cannot tell.
bool elementNamed(const LayoutIndex* index, uintptr_t group, const RuntimeNode& node, const char* component,
                  std::size_t length, uintptr_t& found) {
    const IndexedGroup* array = index == nullptr ? nullptr : index->group(group);
    if (array == nullptr) return false;
    const RuntimeNode* first = resolveNode(node.firstChild);
    if (first == nullptr || !isArrayElement(*first)) return false;
    found = 0;
    if (length == 0 || length > 9 || component[0] == '0') return true;
    int32_t number = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (component[i] < '0' || component[i] > '9') return true;
        number = number * 10 + (component[i] - '0');
    }
    found = index->child(*array, number - 1);
    return true;
}

// The first child of `group` whose name is exactly the `length` bytes at `component`.
uintptr_t childNamed(uintptr_t group, const char* component, std::size_t length, const LayoutIndex* index) {
    const RuntimeNode* node = resolveNode(group);
    if (node == nullptr) return 0;
    if (uintptr_t element = 0; elementNamed(index, group, *node, component, length, element)) return element;
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

uintptr_t findByPath(uintptr_t root, const char* path, const LayoutIndex* index) {
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
        const uintptr_t found = childNamed(current, component, length, index);
        if (found == 0) return 0;
        while (*position == ')') ++position;
        if (*position == '\0') return found;
        current = found;
    }
}

}  // namespace uvt
