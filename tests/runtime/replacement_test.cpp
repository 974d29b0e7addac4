// Replacing a bound table's definition: values kept by name, the events and
// host calls around it, and the cases where nothing may change.
#include "runtime_views.h"

#include <ostream>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

using Log = std::vector<std::string>;

class Replacement : public UvtTest {
protected:
    uintptr_t boundSampleTable(const int32_t* hostIds = nullptr) {
        host.sizes[-2] = 3;
        const uintptr_t table = makeTable(kSampleRows, hostIds);
        const int32_t ints[] = {2, 7, 8};
        const double reals[] = {0.5, 1.5, 2.5, 3.5};
        rtmAttachArrays(table, ints, reals);
        host.clearLog();
        return table;
    }
};

TEST_F(Replacement, SameDefinitionResendsEveryValueInArrayOrder) {
    const uintptr_t table = boundSampleTable();
    const uintptr_t source = makeTable(kSampleRows);
    host.clearLog();
    rtmReplaceTable(table, source);
    EXPECT_EQ(host.log, (Log{"replace(0)",       "store(-1,0,null)", "query(-2)",       "store(0,0,i:2)",
                             "store(0,1,i:7)",   "store(0,2,i:8)",   "store(1,0,r:0.5)", "store(1,1,r:1.5)",
                             "store(1,2,r:2.5)", "store(1,3,r:3.5)", "store(2,0,null)", "store(2,1,null)",
                             "replace(1)",       "release"}));
    EXPECT_EQ(memory.sizeOf(source), -1) << "the source handle is gone";
    EXPECT_EQ(treeText(table), "$TOP$(NC=i:2 X(1=r:0.5 2=r:1.5 3=r:2.5) S(1(A=i:7 B) 2(A=i:8 B)) Y=r:3.5)");
    DeleteUVT(table);
}

TEST_F(Replacement, RenamedVariableStartsWithoutValueOthersKeepTheirs) {
    const int32_t oldIds[] = {1, 2};
    const int32_t newIds[] = {7, 8};
    const uintptr_t table = boundSampleTable(oldIds);
    const uintptr_t keptNode = nodeAt(table, "S/2/A");
    const uintptr_t source = makeTable({{"NC", "Integer"},
                                        {"X", "Real", "Number of Components"},
                                        {"S", "Structure", "NC"},
                                        {"A", "Integer", "Scalar", "1"},
                                        {"B", "Character", "Scalar", "1", "Input and Output"},
                                        {"W", "Real", "Scalar", "0", "Output Only"}},
                                       newIds);
    host.clearLog();
    rtmReplaceTable(table, source);
    EXPECT_EQ(treeText(table), "$TOP$(NC=i:2 X(1=r:0.5 2=r:1.5 3=r:2.5) S(1(A=i:7 B) 2(A=i:8 B)) W)");
    EXPECT_EQ(nodeAt(table, "S/2/A"), keptNode) << "kept variables keep their handles";
    EXPECT_EQ(host.entries("store").size(), 1u + 9u);
    EXPECT_EQ(host.entries("store")[7], "store(1,3,null)") << "W has no value at Y's old place";
    EXPECT_EQ(Log(host.log.end() - 2, host.log.end()), (Log{"replace(1)", "release"}));
    EXPECT_EQ(host.releaseEvents, 1);
    // The target now carries the source's definition, host values included.
    EXPECT_EQ(std::string(row(table, 5).name), "W");
    EXPECT_EQ(header(table).hostIds[0], 7);
    EXPECT_EQ(header(table).hostIds[1], 8);
    EXPECT_EQ(host.lastHostValues, header(table).hostIds);
    DeleteUVT(table);
}

TEST_F(Replacement, IncompleteSourceChangesNothing) {
    const uintptr_t table = boundSampleTable();
    const std::string before = treeText(table);
    const uintptr_t source = makeTable({{"A", "Integer"}});
    ASSERT_NE(dfnInsertRow(source, 1), 0);  // unnamed
    host.clearLog();
    rtmReplaceTable(table, source);
    EXPECT_EQ(host.log, (Log{"replace(0)", "store(-1,0,null)", "replace(1)"}));
    EXPECT_EQ(treeText(table), before);
    EXPECT_EQ(dfnCountRows(source), 2);
    EXPECT_EQ(dfnCountRows(table), 6);
    DeleteUVT(source);
    DeleteUVT(table);
}

TEST_F(Replacement, SameHandleTwiceDoesNothing) {
    const uintptr_t table = boundSampleTable();
    const std::string before = treeText(table);
    rtmReplaceTable(table, table);
    EXPECT_EQ(host.log, Log{});
    EXPECT_EQ(treeText(table), before);
    DeleteUVT(table);
}

TEST_F(Replacement, NullTargetBindsTheSourceInPlace) {
    host.sizes[-2] = 2;
    const uintptr_t source = makeTable({{"N", "Integer"}, {"X", "Real", "Number of Components"}});
    host.clearLog();
    rtmReplaceTable(0, source);
    EXPECT_EQ(host.log, (Log{"replace(0)", "store(-1,0,null)", "query(-2)", "resize(0,1)", "store(0,0,null)",
                             "resize(1,2)", "store(1,0,null)", "store(1,1,null)", "replace(1)"}));
    EXPECT_EQ(treeText(source), "$TOP$(N X(1 2))");
    DeleteUVT(source);
}

TEST_F(Replacement, UnboundTargetIsBuiltAndSentTwice) {
    const uintptr_t table = makeTable({{"N", "Integer"}});
    const uintptr_t source = makeTable({{"N", "Integer"}, {"R", "Real"}});
    host.clearLog();
    rtmReplaceTable(table, source);
    EXPECT_EQ(treeText(table), "$TOP$(N R)");
    // The build's own pass sends every value, the forced pass again.
    EXPECT_EQ(host.log, (Log{"replace(0)", "store(-1,0,null)", "resize(0,1)", "store(0,0,null)", "resize(1,1)",
                             "store(1,0,null)", "store(0,0,null)", "store(1,0,null)", "replace(1)", "release"}));
    DeleteUVT(table);
}

TEST_F(Replacement, ConfigurationInterfacesGoWithTheirDefinitions) {
    ConfigObject oldConfig;
    ConfigObject newConfig;
    const uintptr_t table = boundSampleTable();
    const uintptr_t source = makeTable(kSampleRows);
    ASSERT_NE(UVTSetConfigInterface(table, oldConfig.object()), nullptr);
    ASSERT_NE(UVTSetConfigInterface(source, newConfig.object()), nullptr);
    rtmReplaceTable(table, source);
    EXPECT_EQ(oldConfig.references, 1) << "the old definition's interface is released";
    EXPECT_EQ(newConfig.references, 2);
    EXPECT_EQ(header(table).configInterface, newConfig.object());
    DeleteUVT(table);
    EXPECT_EQ(newConfig.references, 1);
}

struct KindChangeCase {
    const char* title;
    std::vector<RowSpec> before;
    std::vector<RowSpec> after;
    const char* expected;
};
void PrintTo(const KindChangeCase& entry, std::ostream* out) { *out << entry.title; }

class ReplacementKindChange : public Replacement, public ::testing::WithParamInterface<KindChangeCase> {};

// An array node is kept by name when both rows are arrays, but elements
// that no longer fit the row's type are made anew, and kept elements take
// the row's IO direction.
TEST_P(ReplacementKindChange, ElementsFollowTheNewRow) {
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable(GetParam().before);
    const int32_t ints[] = {5, 6};
    const double reals[] = {0.5, 1.5};
    rtmAttachArrays(table, ints, reals);
    const uintptr_t source = makeTable(GetParam().after);
    rtmReplaceTable(table, source);
    EXPECT_EQ(treeText(table), GetParam().expected);

    const RowSpec& array = GetParam().after.front();
    const int32_t type = std::string(array.type) == "Integer" ? 0 : 1;
    const int32_t io = std::string(array.io) == "Output Only" ? 2 : 1;
    int32_t leaves = 0;
    for (uintptr_t element : childrenOf(nodeAt(table, "V"))) {
        const NodeView& node = nodeView(element);
        if (std::string(array.type) == "Structure") {
            EXPECT_EQ(node.kind, 0);
            continue;
        }
        ASSERT_EQ(node.kind, 1);
        EXPECT_EQ(node.leaf.valueType, type);
        EXPECT_EQ(node.leaf.io, io);
        ++leaves;
    }
    if (leaves > 0) {
        EXPECT_EQ(rtmGetLimit(table, type), leaves);
        EXPECT_EQ(rtmGetLimit(table, 1 - type), 0);
        const NodeView& root = nodeView(header(table).runtimeRoot);
        EXPECT_EQ(root.counters[io == 2 ? 2 : 1], leaves);
        EXPECT_EQ(root.counters[io == 2 ? 1 : 2], 0);
    }
    expectElementArraysConsistent(table);
    DeleteUVT(table);
}

const RowSpec kIntegers = {"V", "Integer", "Number of Components"};
const RowSpec kReals = {"V", "Real", "Number of Components"};
const RowSpec kRealOutputs = {"V", "Real", "Number of Components", "0", "Output Only"};
const RowSpec kStructures = {"V", "Structure", "Number of Components"};
const RowSpec kMember = {"M", "Integer", "Scalar", "1"};

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReplacementKindChange,
    ::testing::Values(KindChangeCase{"IntegerToReal", {kIntegers}, {kReals}, "$TOP$(V(1 2))"},
                      KindChangeCase{"RealToInteger", {kReals}, {kIntegers}, "$TOP$(V(1 2))"},
                      KindChangeCase{"StructureToInteger", {kStructures, kMember}, {kIntegers}, "$TOP$(V(1 2))"},
                      KindChangeCase{"IntegerToStructure", {kIntegers}, {kStructures, kMember},
                                     "$TOP$(V(1(M) 2(M)))"},
                      KindChangeCase{"SameTypeKeepsValues", {kReals}, {kReals}, "$TOP$(V(1=r:0.5 2=r:1.5))"},
                      KindChangeCase{"NewDirectionKeepsValues", {kReals}, {kRealOutputs},
                                     "$TOP$(V(1=r:0.5 2=r:1.5))"}),
    [](const ::testing::TestParamInfo<KindChangeCase>& entry) { return std::string(entry.param.title); });

}  // namespace
}  // namespace uvt_test

namespace uvt_test {
namespace {

// A source that was bound itself gives up its own tree and element arrays:
// the target's take their place, and nothing of the source's is left over.
TEST_F(Replacement, BoundSourceGivesUpItsOwnRunTimeState) {
    const uintptr_t table = boundSampleTable();
    const uintptr_t source = makeTable({{"NC", "Integer"}, {"X", "Real", "Number of Components"}, {"C", "Character"}});
    rtmInitArrays(source);
    host.clearLog();
    rtmReplaceTable(table, source);
    EXPECT_EQ(treeText(table), "$TOP$(NC=i:2 X(1=r:0.5 2=r:1.5 3=r:2.5) C)");
    EXPECT_EQ(host.releaseEvents, 1);
    expectElementArraysConsistent(table);
    EXPECT_EQ(header(table).elementCounts[2], 1);
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
