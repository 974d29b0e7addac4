// Giving a table's run-time state back to the host: the layout tree, node by
// node with its text blocks, and the element arrays; and the deferral that
// holds released nodes aside while a change of the tree's shape may still
// be taken back.
#pragma once

#include "table/records.h"

#include <cstdint>

namespace uvt {

// Releases the node in `place`, its whole subtree and all its later
// siblings, and sets `place` to 0. While a ReleaseDeferral is active
// (below) they are only detached and kept aside.
void releaseTree(uintptr_t& place);

// Releases the three element arrays and zeroes their handles and counts.
void releaseElementArrays(TableHeader& header);

// Drops a table's whole run-time state: the layout tree and element arrays.
void releaseRuntimeState(TableHeader& header);

// Holding released nodes aside instead of giving them back, so that a change
// of the tree's shape can still be taken back whole.
//
// An Integer write lays the tree out with the new value before the host has
// agreed to the new array sizes. Elements that the new value cuts off must
// not lose their values if the host refuses: while a deferral is active the
// tree release detaches what it is given and keeps it here, still owned by
// the library. Afterwards the write either gives the kept nodes back for
// good (the host agreed) or puts them back where they were (it refused).
//
// Kept subtrees are sibling chains cut off the end of one group's child
// list, or a group's old children that no row matched any more. The keeping
// itself needs no memory: the chains are linked one after the other through
// their sibling links, the latest first, and each node still names its
// parent.

// Called by the tree release: keeps the detached chain starting at `head`
// aside and answers true while a deferral is active; false otherwise.
bool deferRelease(uintptr_t head);

class ReleaseDeferral {
public:
    ReleaseDeferral();
    // Gives back for good whatever is still kept.
    ~ReleaseDeferral();
    ReleaseDeferral(const ReleaseDeferral&) = delete;
    ReleaseDeferral& operator=(const ReleaseDeferral&) = delete;

    // From now on the tree release gives nodes back at once again.
    void stop();
    // Gives every kept node back for good (the host heard of releases once,
    // when the outermost counted operation ends). Stops the deferral.
    void releaseKept();
    // Puts every kept chain back at the end of its parent's child list, in
    // the reverse order of their cutting, which rebuilds each list as it was
    // before it was cut. Stops the deferral.
    void restoreKept();

private:
    bool owner_;
};

}  // namespace uvt
