// Path names: a node named by the names of the nodes on its way down from
// the root, separated by any run of ".", "(" and ")", which are
// interchangeable: S(2).A, S.2.A, S(2)A and (S)(2)(A) all name member A of
// the second element of S. Components are compared byte for byte; element
// components are written as the elements are named ("1", "2", ...).
#pragma once

#include <cstdint>

namespace uvt {

struct LayoutIndex;

// The node that `path` names below `root`, or 0. The root itself is never
// a result; a null or empty path, or one that ends in an empty component,
// names nothing.
// With the table's layout index (or null) an element of an array of values
// is found in one step.
uintptr_t findByPath(uintptr_t root, const char* path, const LayoutIndex* index = nullptr);

}  // namespace uvt
