// Finding a node by its name: the variable name with its index list that
// the by-name readers and writers take, and the path name that the by-name
// handle takes and every label is.
#pragma once

#include <cstdint>

namespace uvt {

// The variable name lookup of the by-name readers and writers: a single
// variable name (a structure member by its own name alone) and an index list
// that says which element of each array on the way is meant.
//
// The index list is read one entry per array crossed on the way down from
// the top level, outermost first, and one more when an element of a final
// array is wanted; never more. A null list can only reach a variable that
// lies in no array: with an array to cross the name is not found. Indexes
// count from 0, or from 1 while the one-based index mode is on; an index
// below the base selects the first element, one past the last element means
// not found.

struct LayoutIndex;

enum class FinalElement { wanted, notWanted };

// The node that `name` and `indexes` designate below `root`, or 0. The root
// itself is found by its own name "$TOP$".
// With the table's layout index (or null) an element of an array of values
// is picked in one step.
uintptr_t lookUpVariable(uintptr_t root, const char* name, const int32_t* indexes, FinalElement final,
                         const LayoutIndex* index = nullptr);

// The one-based index mode: process-wide, 0 when the library is loaded.
bool oneBasedIndexMode();

// Turns the one-based index mode on for its lifetime and then off (to 0,
// not to what it was before).
class OneBasedIndexScope {
public:
    OneBasedIndexScope();
    ~OneBasedIndexScope();
    OneBasedIndexScope(const OneBasedIndexScope&) = delete;
    OneBasedIndexScope& operator=(const OneBasedIndexScope&) = delete;
};

// Path names: a node named by the names of the nodes on its way down from
// the root, separated by any run of ".", "(" and ")", which are
// interchangeable: S(2).A, S.2.A, S(2)A and (S)(2)(A) all name member A of
// the second element of S. Components are compared byte for byte; element
// components are written as the elements are named ("1", "2", ...).

// The node that `path` names below `root`, or 0. The root itself is never
// a result; a null or empty path, or one that ends in an empty component,
// names nothing.
// With the table's layout index (or null) an element of an array of values
// is found in one step.
uintptr_t findByPath(uintptr_t root, const char* path, const LayoutIndex* index = nullptr);

}  // namespace uvt
