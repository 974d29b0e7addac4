// The layout tree: which node each row gets, array elements from the host's
// counts and from Integer rows, places in the host arrays, root counters,
// node reuse across relayouts and the sizes of the blocks involved.
#include "runtime_views.h"

#include <ostream>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

class LayoutTree : public UvtTest {};

TEST_F(LayoutTree, SampleTableGivesTreePlacesAndCounters) {
    host.sizes[-2] = 3;
    const uintptr_t table = makeTable(kSampleRows);
    host.clearLog();
    const int32_t ints[] = {2, 7, 8};
    const double reals[] = {0.5, 1.5, 2.5, 3.5};
    rtmAttachArrays(table, ints, reals);

    // The k-th value of each host array lands in the k-th leaf of its type in
    // tree order, so these values show the places as well.
    EXPECT_EQ(treeText(table), "$TOP$(NC=i:2 X(1=r:0.5 2=r:1.5 3=r:2.5) S(1(A=i:7 B) 2(A=i:8 B)) Y=r:3.5)");
    const NodeView& root = nodeView(header(table).runtimeRoot);
    EXPECT_EQ(root.kind, 0);
    EXPECT_EQ(root.tag, -1);
    EXPECT_EQ(root.parent, 0u);
    EXPECT_EQ(std::vector<int32_t>(root.counters, root.counters + 6), (std::vector<int32_t>{9, 8, 3, 3, 4, 2}));

    EXPECT_EQ(nodeView(nodeAt(table, "NC")).tag, -1);
    EXPECT_EQ(nodeView(nodeAt(table, "X")).tag, -2);
    EXPECT_EQ(nodeView(nodeAt(table, "S")).tag, row(table, 0).id);
    EXPECT_EQ(nodeView(nodeAt(table, "S/2")).tag, -100);
    EXPECT_EQ(nodeView(nodeAt(table, "S/2")).kind, 0);
    EXPECT_EQ(nodeView(nodeAt(table, "X/3")).kind, 1);
    EXPECT_EQ(nodeView(nodeAt(table, "S/1/B")).leaf.io, 3);
    EXPECT_EQ(nodeView(nodeAt(table, "S/1/A")).parent, nodeAt(table, "S/1"));
    // Group counters cover their own subtree.
    const NodeView& element = nodeView(nodeAt(table, "S/1"));
    EXPECT_EQ(std::vector<int32_t>(element.counters, element.counters + 6), (std::vector<int32_t>{2, 2, 1, 1, 0, 1}));

    // Attaching asks the sizes but hands none of the host's values back.
    EXPECT_EQ(host.log, (std::vector<std::string>{"query(-2)", "resize(0,3)", "resize(1,4)", "resize(2,2)"}));
    EXPECT_EQ(rtmGetLimit(table, 0), 3);
    EXPECT_EQ(rtmGetLimit(table, 1), 4);
    EXPECT_EQ(rtmGetLimit(table, 2), 2);
    DeleteUVT(table);
}

TEST_F(LayoutTree, FirstSyncGoesArrayByArrayAndIntegerGrowthFollows) {
    host.sizes[-2] = 3;
    const uintptr_t table = makeTable(kSampleRows);
    host.clearLog();
    rtmInitArrays(table);
    // NC has no value yet, so S has no elements and there is no Character value.
    EXPECT_EQ(treeText(table), "$TOP$(NC X(1 2 3) S() Y)");
    EXPECT_EQ(host.log, (std::vector<std::string>{"query(-2)", "resize(0,1)", "store(0,0,null)", "resize(1,4)",
                                                  "store(1,0,null)", "store(1,1,null)", "store(1,2,null)",
                                                  "store(1,3,null)"}));

    // NC becomes 2 as a value writer would set it; the relayout makes S's two
    // elements and sends only what changed.
    pokeInteger(nodeAt(table, "NC"), 2);
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(treeText(table), "$TOP$(NC=i:2 X(1 2 3) S(1(A B) 2(A B)) Y)");
    EXPECT_EQ(host.log, (std::vector<std::string>{"query(-2)", "resize(0,3)", "store(0,0,i:2)", "store(0,1,null)",
                                                  "store(0,2,null)", "resize(2,2)", "store(2,0,null)",
                                                  "store(2,1,null)"}));
    DeleteUVT(table);
}

TEST_F(LayoutTree, OneScalarOfEachTypeGivesOneSlotEach) {
    const uintptr_t table = makeTable({{"I", "Integer"}, {"R", "Real"}, {"C", "Character"}});
    host.clearLog();
    rtmInitArrays(table);
    EXPECT_EQ(host.log, (std::vector<std::string>{"resize(0,1)", "store(0,0,null)", "resize(1,1)", "store(1,0,null)",
                                                  "resize(2,1)", "store(2,0,null)"}));
    const HeaderView& h = header(table);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(h.elementCounts[i], 1);
        EXPECT_EQ(rtmGetLimit(table, i), 1);
        EXPECT_EQ(slotsOf(table, i)[0].changed, 1);
        EXPECT_EQ(slotsOf(table, i)[0].hasValue, 0);
    }
    EXPECT_EQ(nodeView(nodeAt(table, "C")).leaf.valueType, 2);
    DeleteUVT(table);
}

TEST_F(LayoutTree, NodeAndSlotBlocksHaveTheirRecordSizes) {
    const uintptr_t table = makeTable({{"COUNT", "Integer"}, {"V", "Real", "Number of Components"}});
    host.sizes[-2] = 2;
    rtmInitArrays(table);
    const HeaderView& h = header(table);
    const int32_t nodeSize = static_cast<int32_t>(sizeof(NodeView));
    if (sizeof(void*) == 4) {
        EXPECT_EQ(nodeSize, 48);
    }
    EXPECT_EQ(memory.sizeOf(h.runtimeRoot), nodeSize);
    EXPECT_EQ(memory.sizeOf(nodeView(h.runtimeRoot).name), 6);  // "$TOP$"
    EXPECT_EQ(memory.sizeOf(nodeAt(table, "COUNT")), nodeSize);
    EXPECT_EQ(memory.sizeOf(nodeView(nodeAt(table, "COUNT")).name), 6);
    EXPECT_EQ(memory.sizeOf(nodeView(nodeAt(table, "V/2")).name), 2);
    EXPECT_EQ(memory.sizeOf(h.elementArrays[0]), 24);
    EXPECT_EQ(memory.sizeOf(h.elementArrays[1]), 2 * 24);
    EXPECT_EQ(h.elementArrays[2], 0u);
    DeleteUVT(table);
}

struct SizedByIntegerCase {
    const char* title;
    int32_t value;  // of N, as the host's Integer array holds it
    const char* expected;
};
void PrintTo(const SizedByIntegerCase& entry, std::ostream* out) { *out << entry.title; }

class ArraySizedByInteger : public UvtTest, public ::testing::WithParamInterface<SizedByIntegerCase> {};

TEST_P(ArraySizedByInteger, ElementsFollowTheValue) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"A", "Real", "N"}});
    const int32_t ints[] = {GetParam().value};
    const double reals[] = {1.5, 2.5, 3.5};
    rtmAttachArrays(table, ints, reals);
    EXPECT_EQ(treeText(table), GetParam().expected);
    DeleteUVT(table);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ArraySizedByInteger,
    ::testing::Values(SizedByIntegerCase{"Three", 3, "$TOP$(N=i:3 A(1=r:1.5 2=r:2.5 3=r:3.5))"},
                      SizedByIntegerCase{"NoValue", 99999999, "$TOP$(N A())"},
                      SizedByIntegerCase{"Negative", -4, "$TOP$(N=i:-4 A())"},
                      SizedByIntegerCase{"Zero", 0, "$TOP$(N=i:0 A())"}),
    [](const ::testing::TestParamInfo<SizedByIntegerCase>& entry) { return std::string(entry.param.title); });

TEST_F(LayoutTree, ArrayBeforeItsSizeRowKeepsWhatItHas) {
    const uintptr_t table = makeTable({{"N", "Integer"}});
    ASSERT_NE(dfnInsertRow(table, 0), 0);
    ASSERT_EQ(setCell(table, 0, 0, "A"), kEmpty);
    ASSERT_EQ(setCell(table, 2, 0, "N"), kEmpty);
    const int32_t ints[] = {3};
    rtmAttachArrays(table, ints, nullptr);
    EXPECT_EQ(treeText(table), "$TOP$(A() N=i:3)");
    // A later pass still meets A before N: the count stays unknown and A keeps
    // the elements it has, none here.
    rtmSetSymSize(table, 0);
    EXPECT_EQ(treeText(table), "$TOP$(A() N=i:3)");
    EXPECT_EQ(rtmGetLimit(table, 1), 0);
    DeleteUVT(table);
}

TEST_F(LayoutTree, StructureArrayGivesEveryElementItsMembers) {
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable({{"S", "Structure", "Number of Components"},
                                       {"X", "Integer", "Scalar", "1"},
                                       {"Y", "Real", "Scalar", "1"}});
    const int32_t ints[] = {10, 20};
    const double reals[] = {0.25, 0.75};
    rtmAttachArrays(table, ints, reals);
    EXPECT_EQ(treeText(table), "$TOP$(S(1(X=i:10 Y=r:0.25) 2(X=i:20 Y=r:0.75)))");
    DeleteUVT(table);
}

TEST_F(LayoutTree, NestedStructuresAndArraysSizedInsideAnElement) {
    // Each element of S has its own count K, which sizes that element's V.
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable({{"S", "Structure", "Number of Components"},
                                       {"K", "Integer", "Scalar", "1"},
                                       {"V", "Real", "K", "1"},
                                       {"T", "Structure", "Scalar", "1"},
                                       {"Z", "Character", "Scalar", "2"},
                                       {"W", "Integer", "Scalar", "0"}});
    const int32_t ints[] = {1, 3, 5};
    const double reals[] = {0.5, 1.5, 2.5, 3.5};
    rtmAttachArrays(table, ints, reals);
    EXPECT_EQ(treeText(table),
              "$TOP$(S(1(K=i:1 V(1=r:0.5) T(Z)) 2(K=i:3 V(1=r:1.5 2=r:2.5 3=r:3.5) T(Z))) W=i:5)");
    EXPECT_EQ(rtmGetLimit(table, 0), 3);
    EXPECT_EQ(rtmGetLimit(table, 1), 4);
    EXPECT_EQ(rtmGetLimit(table, 2), 2);
    DeleteUVT(table);
}

TEST_F(LayoutTree, ShrinkingReleasesSurplusElementsAndGrowingMakesNewOnes) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"A", "Real", "N"}});
    const int32_t ints[] = {3};
    const double reals[] = {1.5, 2.5, 3.5};
    rtmAttachArrays(table, ints, reals);
    const uintptr_t first = nodeAt(table, "A/1");
    const uintptr_t second = nodeAt(table, "A/2");

    pokeInteger(nodeAt(table, "N"), 1);
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(treeText(table), "$TOP$(N=i:1 A(1=r:1.5))");
    EXPECT_EQ(nodeAt(table, "A/1"), first);
    EXPECT_EQ(memory.sizeOf(second), -1) << "element 2 was released";
    // Two nodes went, the host hears it once, after everything else.
    EXPECT_EQ(host.releaseEvents, 1);
    EXPECT_EQ(host.log, (std::vector<std::string>{"store(0,0,i:1)", "resize(1,1)", "store(1,1,null)",
                                                  "store(1,2,null)", "release"}));

    pokeInteger(nodeAt(table, "N"), 3);
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(treeText(table), "$TOP$(N=i:3 A(1=r:1.5 2 3))");
    EXPECT_EQ(nodeAt(table, "A/1"), first);
    EXPECT_EQ(host.releaseEvents, 1);
    DeleteUVT(table);
}

TEST_F(LayoutTree, SizeCacheCoversRowsPastTheHundredth) {
    std::vector<std::string> names;
    std::vector<RowSpec> rows;
    for (int i = 0; i < 120; ++i) names.push_back(std::string("V").append(std::to_string(i)));
    for (const std::string& name : names) rows.push_back({name.c_str(), "Integer"});
    rows.push_back({"A", "Real", "V110"});
    const uintptr_t table = makeTable(rows);
    std::vector<int32_t> ints(120, 1);
    ints[110] = 4;
    rtmAttachArrays(table, ints.data(), nullptr);
    EXPECT_EQ(childrenOf(nodeAt(table, "A")).size(), 4u);
    EXPECT_EQ(rtmGetLimit(table, 1), 4);
    DeleteUVT(table);
}

TEST_F(LayoutTree, LongElementListsAreWalkedWithoutDeepRecursion) {
    // A recursion along siblings would overflow the stack long before this.
    constexpr int32_t kCount = 60000;
    host.sizes[-2] = kCount;
    const uintptr_t table = makeTable({{"X", "Real", "Number of Components"}});
    rtmInitArrays(table);
    EXPECT_EQ(rtmGetLimit(table, 1), kCount);
    EXPECT_EQ(nameOf(childrenOf(nodeAt(table, "X")).back()), std::to_string(kCount));

    host.sizes[-2] = 1;
    host.clearLog();
    rtmSetSymSize(table, 0);
    EXPECT_EQ(rtmGetLimit(table, 1), 1);
    EXPECT_EQ(host.releaseEvents, 1);
    host.sizes[-2] = kCount;
    rtmSetSymSize(table, 0);
    DeleteUVT(table);
    EXPECT_EQ(host.releaseEvents, 2);
}

}  // namespace
}  // namespace uvt_test
