// The layout index as the size-changing Integer writes leave it: after
// every write, whatever was made anew or brought up to date in place, it
// must answer for the tree as it is, leaf by leaf and group by group, what
// a walk of the tree answers. Elements of arrays of structures come and go
// here, at the top level, inside a structure, from and to none, and with
// structures nested in the elements, so that the groups, their child lists
// and the free entries of the index are all exercised.
#include "test_host.h"

#include "runtime/layout_index.h"
#include "runtime/nodes.h"
#include "table/table_access.h"

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

// N sizes an array of values and two arrays of structures, the second with
// a structure and an array sized by its own EN in each element; NH sizes an
// array of structures inside the structure T.
const std::vector<RowSpec> kRows = {
    {"N", "Integer", "Scalar", "0", "Input and Output"},
    {"V", "Real", "N", "0", "Input Only"},
    {"G", "Structure", "N", "0", "Input Only"},
    {"GI", "Integer", "Scalar", "1", "Input Only"},
    {"GR", "Real", "Scalar", "1", "Output Only"},
    {"E", "Structure", "N", "0", "Input Only"},
    {"ET", "Structure", "Scalar", "1", "Output Only"},
    {"EC", "Character", "Scalar", "2", "Input and Output"},
    {"ER", "Real", "Scalar", "1", "Input Only"},
    {"EN", "Integer", "Scalar", "1", "Input Only"},
    {"EP", "Real", "EN", "1", "Input and Output"},
    {"T", "Structure", "Scalar", "0", "Input Only"},
    {"NH", "Integer", "Scalar", "1", "Input Only"},
    {"H", "Structure", "NH", "1", "Output Only"},
    {"HR", "Real", "Scalar", "2", "Output Only"},
    {"Y", "Real", "Scalar", "0", "Output Only"},
};

struct WalkedLeaf {
    uintptr_t handle;
    int32_t type;
    int32_t place;
    int32_t io;
    bool filters[5];
};

struct WalkedGroup {
    uintptr_t handle;
    int32_t first;
    int32_t end;
    std::vector<uintptr_t> children;
};

struct Walk {
    std::vector<WalkedLeaf> leaves;
    std::vector<WalkedGroup> groups;
    int32_t typeCounts[3] = {0, 0, 0};
};

void walkGroup(uintptr_t handle, Walk& walk) {
    const std::size_t entry = walk.groups.size();
    walk.groups.push_back(WalkedGroup{handle, static_cast<int32_t>(walk.leaves.size()), 0, {}});
    const uvt::RuntimeNode* group = uvt::resolveNode(handle);
    ASSERT_NE(group, nullptr);
    for (uintptr_t child = group->firstChild; child != 0;) {
        const uvt::RuntimeNode* node = uvt::resolveNode(child);
        ASSERT_NE(node, nullptr);
        walk.groups[entry].children.push_back(child);
        if (node->kind == uvt::kGroupNode) {
            walkGroup(child, walk);
        } else {
            const int32_t type = uvt::leafArrayIndex(*node);
            ASSERT_GE(type, 0);
            WalkedLeaf leaf{child, type, walk.typeCounts[type]++, node->leaf.io, {}};
            for (int f = 0; f < 5; ++f) leaf.filters[f] = uvt::leafMatchesFilter(*node, f);
            walk.leaves.push_back(leaf);
        }
        child = node->nextSibling;
    }
    walk.groups[entry].end = static_cast<int32_t>(walk.leaves.size());
}

// Every question the index answers, put to it for every leaf and group of
// the tree, against the walk's answer.
void expectIndexDescribesTree(uintptr_t table, const std::string& step) {
    SCOPED_TRACE(step);
    const uvt::TableHeader* header = uvt::resolveTable(table);
    ASSERT_NE(header, nullptr);
    const uvt::LayoutIndex* index = uvt::openIndex(*header);
    if (index == nullptr) return;  // the walks answer, which other tests compare
    Walk walk;
    walkGroup(header->runtimeRoot, walk);
    const auto leaves = static_cast<int32_t>(walk.leaves.size());
    ASSERT_EQ(index->leafCount, leaves);
    std::vector<int32_t> rows[2];
    for (int32_t seq = 0; seq < leaves; ++seq) {
        const WalkedLeaf& expected = walk.leaves[static_cast<std::size_t>(seq)];
        const uvt::IndexedLeaf leaf = index->leaf(seq);
        ASSERT_EQ(leaf.handle, expected.handle) << "leaf " << seq;
        EXPECT_EQ(leaf.type, expected.type) << "leaf " << seq;
        EXPECT_EQ(leaf.place, expected.place) << "leaf " << seq;
        EXPECT_EQ(index->leafPosition(expected.handle), seq);
        EXPECT_EQ(index->subtreeEnd(expected.handle), seq + 1);
        EXPECT_EQ(index->atPlace(expected.type, expected.place), seq);
        EXPECT_EQ(index->group(expected.handle), nullptr);
        if (expected.io == 1 || expected.io == 3) rows[0].push_back(seq);
        if (expected.io == 2 || expected.io == 3) rows[1].push_back(seq);
    }
    for (int t = 0; t < 3; ++t) EXPECT_EQ(index->typeCounts[t], walk.typeCounts[t]);
    for (int d = 0; d < 2; ++d) {
        ASSERT_EQ(index->rowCounts[d], static_cast<int32_t>(rows[d].size()));
        for (std::size_t r = 0; r < rows[d].size(); ++r) {
            EXPECT_EQ(index->atRow(d, static_cast<int32_t>(r)), rows[d][r]);
        }
        EXPECT_EQ(index->atRow(d, index->rowCounts[d]), -1);
    }
    for (int f = 0; f < 5; ++f) {
        uintptr_t next = 0;
        for (int32_t seq = leaves - 1; seq >= 0; --seq) {
            const WalkedLeaf& leaf = walk.leaves[static_cast<std::size_t>(seq)];
            if (leaf.filters[f]) next = leaf.handle;
            ASSERT_EQ(index->nextMatching(seq, f), next) << "filter " << f << " from " << seq;
        }
    }
    for (const WalkedGroup& expected : walk.groups) {
        const uvt::IndexedGroup* group = index->group(expected.handle);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->first, expected.first);
        EXPECT_EQ(group->end, expected.end);
        EXPECT_EQ(index->subtreeEnd(expected.handle), expected.end);
        ASSERT_EQ(uvt::LayoutIndex::childCount(*group), static_cast<int32_t>(expected.children.size()));
        for (std::size_t k = 0; k < expected.children.size(); ++k) {
            ASSERT_EQ(index->child(*group, static_cast<int64_t>(k)), expected.children[k]) << "child " << k;
        }
        EXPECT_EQ(index->child(*group, static_cast<int64_t>(expected.children.size())), 0u);
    }
    EXPECT_EQ(index->groupCount - index->freeGroups, static_cast<int32_t>(walk.groups.size()));
}

class LayoutIndexTest : public UvtTest {
protected:
    // Index blocks made during a call: none when the index followed it in place.
    int indexBlocksDuring(const std::function<void()>& call) {
        host.log.clear();
        memory.recordTrailInto(host.log);
        call();
        memory.recordTrail(false);
        int blocks = 0;
        withoutLayoutIndexBlocks(host.log, blocks);
        return blocks;
    }
};

TEST_F(LayoutIndexTest, FollowsElementsOfStructuresThatComeAndGo) {
    const uintptr_t table = makeTable(kRows);
    ASSERT_NE(table, 0u);
    rtmInitArrays(table);
    expectIndexDescribesTree(table, "bound");
    std::mt19937 random(1616);
    // Small steps mostly, and now and then one past the room the index
    // keeps spare, to none, and below none.
    const int32_t jumps[] = {0, -3, 40, 90, 1};
    // The counts of N, of NH and of each element's EN, below 0 as 0.
    int32_t n = 0;
    int32_t nh = 0;
    std::vector<int32_t> en;
    int changes = 0;
    int inPlace = 0;
    const char* const names[] = {"N", "NH", "EN"};
    for (int step = 0; step < 400; ++step) {
        const int which = static_cast<int>(random() % 3);
        int32_t count = random() % 8 == 0 ? jumps[random() % 5] : static_cast<int32_t>(random() % 7);
        if (which == 2 && n == 0) continue;
        const int32_t at[] = {which == 2 ? static_cast<int32_t>(random() % static_cast<uint32_t>(n)) : 0};
        const char* answer = nullptr;
        const int blocks = indexBlocksDuring([&] { answer = rtmSetVarValueByName(table, names[which], at, &count); });
        ASSERT_EQ(answer, nullptr);
        en.resize(static_cast<std::size_t>(n), 0);
        int32_t& was = which == 0 ? n : which == 1 ? nh : en[static_cast<std::size_t>(at[0])];
        if (std::max(count, 0) != was) {
            ++changes;
            inPlace += blocks == 0 ? 1 : 0;
        }
        was = std::max(count, 0);
        en.resize(static_cast<std::size_t>(n), 0);  // new elements' EN has no value
        expectIndexDescribesTree(table, std::string(names[which]) + "(" + std::to_string(at[0]) + ") = " +
                                            std::to_string(count));
        if (HasFatalFailure()) break;
    }
    // Not a test of indexes made anew: most writes that changed a count
    // brought it up to date in place.
    EXPECT_GT(changes, 200);
    EXPECT_GT(inPlace, changes * 3 / 4);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
