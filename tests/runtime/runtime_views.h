// Test-side mirrors of the runtime node and element slot as the host's
// memory holds them, and readable dumps of a table's layout tree, for checks
// that the exports cannot show.
#pragma once

#include "test_host.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace uvt_test {

// A table of expected messages: each call's answer, null for success.
struct MessageCase {
    const char* title;
    std::function<const char*()> call;
    const char* expected;  // null for success
};

inline void expectMessages(const std::vector<MessageCase>& cases) {
    for (const MessageCase& entry : cases) {
        const char* answer = entry.call();
        if (entry.expected == nullptr) {
            EXPECT_EQ(answer, nullptr) << entry.title << ": " << answer;
        } else {
            EXPECT_STREQ(answer, entry.expected) << entry.title;
        }
    }
}

inline NodeView& nodeView(uintptr_t handle) { return *TrackingMemory::instance().view<NodeView>(handle); }

inline std::string nameOf(uintptr_t handle) {
    const char* text = TrackingMemory::instance().view<const char>(nodeView(handle).name);
    return text == nullptr ? "<no name>" : text;
}

inline std::vector<uintptr_t> childrenOf(uintptr_t handle) {
    std::vector<uintptr_t> result;
    for (uintptr_t child = nodeView(handle).first; child != 0; child = nodeView(child).next) result.push_back(child);
    return result;
}

// A leaf's value as text: "i:2", "r:1.5", "s:AB", or "-" without a value.
inline std::string leafValue(uintptr_t handle) {
    const NodeView& node = nodeView(handle);
    if (node.leaf.valueSet == 0) return "-";
    std::ostringstream text;
    switch (node.leaf.valueType) {
        case 0: text << "i:" << node.leaf.value.i; break;
        case 1: text << "r:" << node.leaf.value.r; break;
        default: text << "s:" << TrackingMemory::instance().view<const char>(node.leaf.value.text); break;
    }
    return text.str();
}

// The subtree in tree order: a group as name(children...), a leaf as its
// name, with "=value" when it holds one.
inline std::string subtreeText(uintptr_t handle) {
    const NodeView& node = nodeView(handle);
    std::string text = nameOf(handle);
    if (node.kind == 1) return node.leaf.valueSet != 0 ? text + "=" + leafValue(handle) : text;
    text += "(";
    bool first = true;
    for (uintptr_t child : childrenOf(handle)) {
        if (!first) text += " ";
        first = false;
        text += subtreeText(child);
    }
    return text + ")";
}

inline std::string treeText(uintptr_t table) {
    const uintptr_t root = header(table).runtimeRoot;
    return root == 0 ? "<no tree>" : subtreeText(root);
}

// The node at a path of names below the root, such as "S/2/A"; 0 when none.
inline uintptr_t nodeAt(uintptr_t table, const std::string& path) {
    uintptr_t current = header(table).runtimeRoot;
    std::istringstream parts(path);
    std::string part;
    while (current != 0 && std::getline(parts, part, '/')) {
        uintptr_t found = 0;
        for (uintptr_t child : childrenOf(current)) {
            if (nameOf(child) == part) {
                found = child;
                break;
            }
        }
        current = found;
    }
    return current;
}

inline SlotView* slotsOf(uintptr_t table, int array) {
    return TrackingMemory::instance().view<SlotView>(header(table).elementArrays[array]);
}

// Gives a leaf a value as a value writer would (test-side, before the
// writers exist): Integer and Real in place, Character as a new text block
// obtained from the host's allocate, which the node then owns.
inline void pokeInteger(uintptr_t node, int32_t value) {
    nodeView(node).leaf.value.i = value;
    nodeView(node).leaf.valueSet = 1;
}
inline void pokeReal(uintptr_t node, double value) {
    nodeView(node).leaf.value.r = value;
    nodeView(node).leaf.valueSet = 1;
}
inline void pokeText(uintptr_t node, const std::string& text) {
    const uintptr_t block = TrackingMemory::allocate(static_cast<int32_t>(text.size() + 1));
    std::snprintf(TrackingMemory::instance().view<char>(block), text.size() + 1, "%s", text.c_str());
    NodeView& leaf = nodeView(node);
    const uintptr_t old = leaf.leaf.value.text;
    leaf.leaf.value.text = block;
    leaf.leaf.valueSet = 1;
    if (old != 0) {
        TrackingMemory::release(old, TrackingMemory::instance().sizeOf(old));
    }
}

// Every element array is as large as its count says, and no count claims an
// array that is not there.
inline void expectElementArraysConsistent(uintptr_t table) {
    const HeaderView& h = header(table);
    for (int i = 0; i < 3; ++i) {
        if (h.elementCounts[i] == 0) {
            EXPECT_EQ(h.elementArrays[i], 0u) << "array " << i;
        } else {
            EXPECT_EQ(TrackingMemory::instance().sizeOf(h.elementArrays[i]),
                      h.elementCounts[i] * static_cast<int32_t>(sizeof(SlotView)))
                << "array " << i;
        }
    }
}

}  // namespace uvt_test
