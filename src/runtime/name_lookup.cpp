#include "runtime/name_lookup.h"

#include "runtime/layout_index.h"
#include "runtime/nodes.h"

#include <cstring>

namespace uvt {
namespace {

bool oneBasedMode = false;

bool isArrayNode(const RuntimeNode& node) {
    const RuntimeNode* first = resolveNode(node.firstChild);
    return first != nullptr && isArrayElement(*first);
}

bool allDigits(const char* text) {
    if (*text == '\0') return false;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9') return false;
    }
    return true;
}

// The first node in pre-order, the root included, whose name is `name`.
//
// Every element of an array holds the same named members as the first one,
// so below the first element the search only has to look at the elements'
// own names, which are decimal numbers. A name that is not one is therefore
// searched for in the first element of each array only, which keeps the
// cost independent of the arrays' lengths.
class PreorderSearch {
public:
    explicit PreorderSearch(const char* name) : name_(name), elementNamesPossible_(allDigits(name)) {}

    uintptr_t from(uintptr_t handle) {
        const RuntimeNode* node = resolveNode(handle);
        if (node == nullptr) return 0;
        if (std::strcmp(nodeName(*node), name_) == 0) return handle;
        return inChildren(*node);
    }

private:
    uintptr_t inChildren(const RuntimeNode& group) {
        if (group.kind != kGroupNode) return 0;
        bool firstElementSearched = false;
        for (uintptr_t child = group.firstChild; child != 0;) {
            const RuntimeNode* node = resolveNode(child);
            if (node == nullptr) return 0;
            if (isArrayElement(*node) && firstElementSearched && !elementNamesPossible_) return 0;
            if (std::strcmp(nodeName(*node), name_) == 0) return child;
            if (const uintptr_t found = inChildren(*node); found != 0) return found;
            firstElementSearched = firstElementSearched || isArrayElement(*node);
            child = node->nextSibling;
        }
        return 0;
    }

    const char* name_;
    bool elementNamesPossible_;
};

// The element of `array` that the index selects, 0 past the last element:
// at once through the layout index (arrays of values and of structures
// alike), else by stepping from the first element.
uintptr_t selectElement(uintptr_t arrayHandle, const RuntimeNode& array, int32_t index, const LayoutIndex* layout) {
    int64_t offset = static_cast<int64_t>(index) - (oneBasedMode ? 1 : 0);
    if (const IndexedGroup* entry = layout == nullptr ? nullptr : layout->group(arrayHandle)) {
        return layout->child(*entry, offset > 0 ? offset : 0);
    }
    uintptr_t element = array.firstChild;
    while (offset > 0 && element != 0) {
        const RuntimeNode* node = resolveNode(element);
        if (node == nullptr) return 0;
        element = node->nextSibling;
        --offset;
    }
    return element;
}

}  // namespace

uintptr_t lookUpVariable(uintptr_t root, const char* name, const int32_t* indexes, FinalElement final,
                         const LayoutIndex* layout) {
    if (name == nullptr) return 0;
    const uintptr_t found = PreorderSearch(name).from(root);
    if (found == 0) return 0;
    if (found == root) return root;

    // The way down: the named nodes from below the root to the one found.
    NodeChain chain;
    if (!climbToTop(found, chain) || chain.top() != root) return 0;
    const RuntimeNode* foundNode = resolveNode(found);
    if (foundNode == nullptr || isArrayElement(*foundNode)) return 0;  // a bare element number names no variable

    int32_t used = 0;
    uintptr_t current = root;
    for (int level = 1; level < chain.length; ++level) {
        const RuntimeNode* step = resolveNode(chain.handles[level]);
        if (step == nullptr) return 0;
        if (isArrayElement(*step)) continue;
        const RuntimeNode* node = resolveNode(current);
        if (node == nullptr) return 0;
        if (isArrayNode(*node)) {
            if (indexes == nullptr) return 0;
            current = selectElement(current, *node, indexes[used++], layout);
            node = resolveNode(current);
            if (node == nullptr) return 0;
        }
        const char* stepName = nodeName(*step);
        current = childNamed(*node, stepName, std::strlen(stepName));
        if (current == 0) return 0;
    }

    const RuntimeNode* named = resolveNode(current);
    if (named == nullptr) return 0;
    if (final == FinalElement::wanted && indexes != nullptr && isArrayNode(*named)) {
        return selectElement(current, *named, indexes[used], layout);
    }
    return current;
}

bool oneBasedIndexMode() { return oneBasedMode; }

OneBasedIndexScope::OneBasedIndexScope() { oneBasedMode = true; }
OneBasedIndexScope::~OneBasedIndexScope() { oneBasedMode = false; }

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

// The node a path component names below `group`: an element found through
// the index when it is one, else the first child of that name.
uintptr_t componentNode(uintptr_t group, const char* component, std::size_t length, const LayoutIndex* index) {
    const RuntimeNode* node = resolveNode(group);
    if (node == nullptr) return 0;
    if (uintptr_t element = 0; elementNamed(index, group, *node, component, length, element)) return element;
    return childNamed(*node, component, length);
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
        const uintptr_t found = componentNode(current, component, length, index);
        if (found == 0) return 0;
        while (*position == ')') ++position;
        if (*position == '\0') return found;
        current = found;
    }
}

}  // namespace uvt
