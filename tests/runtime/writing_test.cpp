// Writing values at run time: by place, row, handle and name; the Integer
// path that asks the host before arrays change size and takes the write back
// when it refuses; the Real path with the host's own refusal.
#include "runtime_views.h"

#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

using Log = std::vector<std::string>;

const char* const kRefusalPrefix =
    "The storage of this value has resulted in the following error message while storing the size of the ";

class Writing : public UvtTest {
protected:
    // N (Integer, 2) sizes the Real array A, the last Real in tree order.
    uintptr_t typicalTable(int32_t n = 2) {
        const uintptr_t table = makeTable({{"N", "Integer"}, {"R", "Real"}, {"A", "Real", "N"}});
        const int32_t ints[] = {n};
        const double reals[] = {1.5, 10, 20, 30};
        rtmAttachArrays(table, ints, reals);
        host.clearLog();
        return table;
    }

    const char* writeByName(uintptr_t table, const char* name, int32_t value) {
        return rtmSetVarValueByName(table, name, indexList({0}).get(), &value);
    }
};

// ---------------------------------------------------------------------------
// The typical request: N from 2 to 4 sizes A.
// ---------------------------------------------------------------------------
TEST_F(Writing, IntegerThatGrowsAnArrayAsksTheHostFirst) {
    const uintptr_t table = typicalTable();
    ASSERT_EQ(treeText(table), "$TOP$(N=i:2 R=r:1.5 A(1=r:10 2=r:20))");
    EXPECT_EQ(writeByName(table, "N", 4), nullptr);
    EXPECT_EQ(host.log, (Log{"resize(1,5)", "store(0,0,i:4)", "resize(1,5)", "store(1,3,null)", "store(1,4,null)"}));
    EXPECT_EQ(host.lastHostValues, header(table).hostIds);
    EXPECT_EQ(treeText(table), "$TOP$(N=i:4 R=r:1.5 A(1=r:10 2=r:20 3 4))");
    EXPECT_EQ(rtmGetLimit(table, 1), 5);
    EXPECT_EQ(host.releaseEvents, 0);
    expectElementArraysConsistent(table);
    DeleteUVT(table);
}

TEST_F(Writing, RefusedGrowthIsTakenBack) {
    const uintptr_t table = typicalTable();
    host.resizeAnswer = [](int32_t array, int32_t count) { return array == 1 && count == 5 ? "No room" : nullptr; };
    const char* answer = writeByName(table, "N", 4);
    EXPECT_STREQ(answer, (std::string(kRefusalPrefix) + "Real array:\r\nNo room").c_str());
    // The new elements existed only inside the write; their release is told once.
    EXPECT_EQ(host.log, (Log{"resize(1,5)", "resize(1,3)", "resize(0,1)", "release"}));
    EXPECT_EQ(treeText(table), "$TOP$(N=i:2 R=r:1.5 A(1=r:10 2=r:20))");
    EXPECT_EQ(rtmGetLimit(table, 1), 3);
    expectElementArraysConsistent(table);

    // The table goes on working: the next accepted write sends what changed.
    host.resizeAnswer = nullptr;
    host.clearLog();
    EXPECT_EQ(writeByName(table, "N", 3), nullptr);
    EXPECT_EQ(host.log, (Log{"resize(1,4)", "store(0,0,i:3)", "resize(1,4)", "store(1,3,null)"}));
    DeleteUVT(table);
}

// A refused shrink leaves the elements that it would have cut off with their
// values, and tells the host no release.
TEST_F(Writing, RefusedShrinkKeepsTheElementsValues) {
    const uintptr_t table = typicalTable(3);
    ASSERT_EQ(treeText(table), "$TOP$(N=i:3 R=r:1.5 A(1=r:10 2=r:20 3=r:30))");
    const uintptr_t third = nodeAt(table, "A/3");
    host.resizeAnswer = [](int32_t, int32_t) { return "Too small"; };
    EXPECT_STREQ(rtmSetValue(table, 0, 0, indexList({1}).get()),
                 (std::string(kRefusalPrefix) + "Real array:\r\nToo small").c_str());
    EXPECT_EQ(host.log, (Log{"resize(1,2)", "resize(1,4)", "resize(0,1)"}));
    EXPECT_EQ(treeText(table), "$TOP$(N=i:3 R=r:1.5 A(1=r:10 2=r:20 3=r:30))");
    EXPECT_EQ(nodeAt(table, "A/3"), third) << "the very element, so its handle still holds";
    EXPECT_EQ(host.releaseEvents, 0);

    // Accepted, the shrink releases the element once.
    host.resizeAnswer = nullptr;
    host.clearLog();
    EXPECT_EQ(rtmSetValue(table, 0, 0, indexList({1}).get()), nullptr);
    EXPECT_EQ(treeText(table), "$TOP$(N=i:1 R=r:1.5 A(1=r:10))");
    EXPECT_EQ(host.log, (Log{"resize(1,2)", "store(0,0,i:1)", "resize(1,2)", "store(1,2,null)", "store(1,3,null)",
                             "release"}));
    DeleteUVT(table);
}

// The value-set flag is part of what a refusal keeps, on every writer.
TEST_F(Writing, RefusedWriteKeepsAVariableWithoutValueWithout) {
    using Writer = std::function<const char*(uintptr_t table, const int32_t* value)>;
    const std::vector<std::pair<const char*, Writer>> writers = {
        {"by name", [](uintptr_t t, const int32_t* v) { return rtmSetVarValueByName(t, "N", indexList({0}).get(), v); }},
        {"one-based", [](uintptr_t t, const int32_t* v) { return rtmOne_BasedSetVarValueByName(t, "N", indexList({1}).get(), v); }},
        {"by place", [](uintptr_t t, const int32_t* v) { return rtmSetValue(t, 0, 0, v); }},
        {"by row", [](uintptr_t t, const int32_t* v) { return rtmSetValueByRow(t, 0, v, 0); }},
        {"by handle", [](uintptr_t t, const int32_t* v) { return rtmSetValueByHandle(t, nodeAt(t, "N"), v); }},
    };
    for (const auto& [title, write] : writers) {
        SCOPED_TRACE(title);
        host.reset();
        const uintptr_t table = typicalTable(99999999);
        ASSERT_EQ(treeText(table), "$TOP$(N R=r:1.5 A())");
        host.resizeAnswer = [](int32_t, int32_t) { return "No"; };
        const int32_t three = 3;
        EXPECT_NE(write(table, &three), nullptr);
        void* value = &value;
        int32_t type = -1;
        ASSERT_EQ(rtmGetVarValueByName(table, "N", nullptr, &value, &type), nullptr);
        EXPECT_EQ(value, nullptr) << "still without value";
        EXPECT_EQ(treeText(table), "$TOP$(N R=r:1.5 A())");
        DeleteUVT(table);
    }
}

TEST_F(Writing, RefusalOfTheCharacterArrayUndoesEveryArrayBackwards) {
    const uintptr_t table = makeTable(
        {{"N", "Integer"}, {"I", "Integer", "N"}, {"A", "Real", "N"}, {"C", "Character", "N"}});
    const int32_t ints[] = {1, 5};
    rtmAttachArrays(table, ints, nullptr);
    host.clearLog();
    host.resizeAnswer = [](int32_t array, int32_t) { return array == 2 ? "No text room" : nullptr; };
    EXPECT_STREQ(writeByName(table, "N", 2), (std::string(kRefusalPrefix) + "Character array:\r\nNo text room").c_str());
    EXPECT_EQ(host.log,
              (Log{"resize(0,3)", "resize(1,2)", "resize(2,2)", "resize(2,1)", "resize(1,1)", "resize(0,2)", "release"}));
    EXPECT_EQ(treeText(table), "$TOP$(N=i:1 I(1=i:5) A(1) C(1))");
    DeleteUVT(table);
}

TEST_F(Writing, LongHostMessageIsCutToTheBuffer) {
    const uintptr_t table = typicalTable();
    static const std::string longMessage(2000, 'x');
    host.resizeAnswer = [](int32_t, int32_t) { return longMessage.c_str(); };
    const char* answer = writeByName(table, "N", 4);
    ASSERT_NE(answer, nullptr);
    const std::string text(answer);
    EXPECT_EQ(text.size(), 511u);
    EXPECT_EQ(text.rfind(std::string(kRefusalPrefix) + "Real array:\r\nxxx", 0), 0u);
    EXPECT_EQ(text.back(), 'x');
    DeleteUVT(table);
}

// The host's text need only live until its routine is called again: the
// undo calls come after it was taken.
TEST_F(Writing, RefusalTextIsTakenBeforeTheUndoCalls) {
    const uintptr_t table = typicalTable();
    static std::string reused;
    host.resizeAnswer = [](int32_t, int32_t count) {
        reused = count == 5 ? "first answer" : "overwritten";
        return count == 5 ? reused.c_str() : nullptr;
    };
    EXPECT_STREQ(writeByName(table, "N", 4), (std::string(kRefusalPrefix) + "Real array:\r\nfirst answer").c_str());
    DeleteUVT(table);
}

TEST_F(Writing, IntegerThatSizesNothingSendsOnlyItself) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"M", "Integer"}, {"R", "Real"}});
    rtmInitArrays(table);
    host.clearLog();
    const int32_t three = 3;
    EXPECT_EQ(rtmSetValue(table, 0, 1, &three), nullptr);
    EXPECT_EQ(host.log, Log{"store(0,1,i:3)"});
    DeleteUVT(table);
}

// An Integer written with the value it has sends nothing (the host holds it
// already) and costs the same whatever the length of the arrays it sizes:
// nothing is laid out again, and no block is made or given back.
TEST_F(Writing, IntegerRewrittenWithItsValueCostsTheSameAtAnyLength) {
    long costs[2] = {0, 0};
    const int32_t lengths[2] = {3, 3000};
    for (int i = 0; i < 2; ++i) {
        const uintptr_t table = makeTable({{"N", "Integer"}, {"R", "Real"}, {"A", "Real", "N"}});
        rtmInitArrays(table);
        ASSERT_EQ(writeByName(table, "N", lengths[i]), nullptr);
        host.clearLog();
        const int allocations = memory.allocationsMade();
        const std::size_t live = memory.liveBlocks();
        const long before = memory.resolves();
        EXPECT_EQ(writeByName(table, "N", lengths[i]), nullptr);
        costs[i] = memory.resolves() - before;
        EXPECT_EQ(host.log, Log{});
        EXPECT_EQ(memory.allocationsMade(), allocations);
        EXPECT_EQ(memory.liveBlocks(), live);
        EXPECT_EQ(rtmArrayLength(table, "A", nullptr), lengths[i]);
        DeleteUVT(table);
    }
    EXPECT_EQ(costs[0], costs[1]);
}

// A negative count sizes as 0: after N := 0, N := -2 keeps A empty and sends
// only N.
TEST_F(Writing, NegativeIntegerAfterZeroSendsOnlyItself) {
    const uintptr_t table = typicalTable();
    ASSERT_EQ(writeByName(table, "N", 0), nullptr);
    const int32_t length = rtmArrayLength(table, "A", nullptr);
    host.clearLog();
    EXPECT_EQ(writeByName(table, "N", -2), nullptr);
    EXPECT_EQ(host.log, Log{"store(0,0,i:-2)"});
    EXPECT_EQ(rtmArrayLength(table, "A", nullptr), length);
    DeleteUVT(table);
}

// Only the row that holds the written Integer is laid out again: an array
// outside it keeps its count until the next whole layout.
TEST_F(Writing, ArrayOutsideTheWrittenRowWaitsForAWholeLayout) {
    const uintptr_t table =
        makeTable({{"S", "Structure"}, {"M", "Integer", "Scalar", "1"}, {"A", "Real", "M"}, {"Q", "Integer"}});
    const int32_t ints[] = {2, 0};
    rtmAttachArrays(table, ints, nullptr);
    host.clearLog();
    EXPECT_EQ(writeByName(table, "M", 3), nullptr);
    EXPECT_EQ(host.log, Log{"store(0,0,i:3)"});
    EXPECT_EQ(rtmArrayLength(table, "A", nullptr), 2);
    host.clearLog();
    EXPECT_EQ(writeByName(table, "Q", 1), nullptr);
    EXPECT_EQ(rtmArrayLength(table, "A", nullptr), 3);
    EXPECT_EQ(host.log, (Log{"resize(1,3)", "store(0,1,i:1)", "resize(1,3)", "store(1,2,null)"}));
    DeleteUVT(table);
}

// A member Integer of a structure array element relays its own structure
// array, and the host hears of the released elements once.
TEST_F(Writing, ShrinkInsideAStructureArrayReleasesOnce) {
    const uintptr_t table = makeTable({{"N", "Integer"},
                                       {"S", "Structure", "N"},
                                       {"K", "Integer", "Scalar", "1"},
                                       {"Z", "Real", "K", "1"},
                                       {"C", "Character", "Scalar", "1"}});
    const int32_t ints[] = {2, 3, 2};  // N, S(1).K, S(2).K
    rtmAttachArrays(table, ints, nullptr);
    ASSERT_EQ(treeText(table), "$TOP$(N=i:2 S(1(K=i:3 Z(1 2 3) C) 2(K=i:2 Z(1 2) C)))");
    host.clearLog();
    EXPECT_EQ(rtmSetVarValueByName(table, "K", indexList({0}).get(), indexList({1}).get()), nullptr);
    EXPECT_EQ(treeText(table), "$TOP$(N=i:2 S(1(K=i:1 Z(1) C) 2(K=i:2 Z(1 2) C)))");
    EXPECT_EQ(host.releaseEvents, 1);
    EXPECT_EQ(host.log.front(), "resize(1,3)");
    EXPECT_EQ(host.log.back(), "release");
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Real and Character values.
// ---------------------------------------------------------------------------
TEST_F(Writing, RealRefusedByTheHostComesBackWithItsOwnText) {
    static const char* const kRefusal = "Value out of range";
    for (const bool hadValue : {true, false}) {
        SCOPED_TRACE(hadValue ? "with a value" : "without a value");
        host.reset();
        const uintptr_t table = makeTable({{"R", "Real"}});
        const double start[] = {1.5};
        if (hadValue) rtmAttachArrays(table, nullptr, start);
        else rtmInitArrays(table);
        host.clearLog();
        host.storeAnswer = [](int32_t, int32_t, const void* value) {
            return value != nullptr && *static_cast<const double*>(value) == 9.0 ? kRefusal : nullptr;
        };
        const double nine = 9;
        EXPECT_EQ(rtmSetValueByHandle(table, nodeAt(table, "R"), &nine), kRefusal) << "the host's pointer itself";
        EXPECT_EQ(host.log, (Log{"store(1,0,r:9)", hadValue ? "store(1,0,r:1.5)" : "store(1,0,null)"}));
        EXPECT_EQ(treeText(table), hadValue ? "$TOP$(R=r:1.5)" : "$TOP$(R)");
        DeleteUVT(table);
    }
}

TEST_F(Writing, CharacterValueIsCopiedAndTheOldCopyReleased) {
    const uintptr_t table = makeTable({{"C", "Character"}});
    rtmInitArrays(table);
    host.clearLog();
    char text[] = "FIRST";
    ASSERT_EQ(rtmSetValueByRow(table, 0, text, 0), nullptr);
    std::strcpy(text, "XXXXX");
    EXPECT_EQ(treeText(table), "$TOP$(C=s:FIRST)") << "the library keeps its own copy";
    const uintptr_t firstBlock = nodeView(nodeAt(table, "C")).leaf.value.text;
    EXPECT_EQ(memory.sizeOf(firstBlock), 6);
    ASSERT_EQ(rtmSetValueByHandle(table, nodeAt(table, "C"), "SECOND"), nullptr);
    EXPECT_EQ(memory.sizeOf(firstBlock), -1) << "the old copy is given back";
    EXPECT_EQ(host.log, (Log{"store(2,0,s:FIRST)", "store(2,0,s:SECOND)"}));
    ASSERT_EQ(rtmSetValue(table, 2, 0, nullptr), nullptr);
    EXPECT_EQ(treeText(table), "$TOP$(C)");
    EXPECT_EQ(host.log.back(), "store(2,0,null)");
    DeleteUVT(table);
}

TEST_F(Writing, NullOnAVariableWithoutValue) {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"R", "Real"}, {"C", "Character"}});
    rtmInitArrays(table);
    host.clearLog();
    const int before = memory.allocationsMade();
    for (int32_t type = 0; type < 3; ++type) {
        EXPECT_EQ(rtmSetValue(table, type, 0, nullptr), nullptr);
        EXPECT_EQ(rtmSetValueByRow(table, type, nullptr, 0), nullptr);
        const char* paths[] = {"N", "R", "C"};
        EXPECT_EQ(rtmSetValueByHandle(table, nodeAt(table, paths[type]), nullptr), nullptr);
    }
    EXPECT_EQ(memory.allocationsMade(), before) << "nothing happens at all";
    EXPECT_EQ(host.log, Log{});

    // By name the whole write runs: the text gets its (empty) copy, and the
    // variable stays without value, so the host is sent nothing.
    for (const char* name : {"N", "R", "C"}) {
        EXPECT_EQ(rtmSetVarValueByName(table, name, indexList({0}).get(), nullptr), nullptr) << name;
    }
    EXPECT_EQ(memory.allocationsMade(), before + 1);
    EXPECT_EQ(host.log, Log{});
    EXPECT_EQ(treeText(table), "$TOP$(N R C)");

    // A null by name clears a value that was set.
    const int32_t seven = 7;
    ASSERT_EQ(rtmSetValue(table, 0, 0, &seven), nullptr);
    host.clearLog();
    EXPECT_EQ(rtmSetVarValueByName(table, "N", indexList({0}).get(), nullptr), nullptr);
    EXPECT_EQ(treeText(table), "$TOP$(N R C)");
    EXPECT_EQ(host.log, Log{"store(0,0,null)"});
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Finding the value: by place, row, handle, name, and every message.
// ---------------------------------------------------------------------------
TEST_F(Writing, EveryWriterReachesItsValue) {
    host.sizes[-13] = 3;
    const uintptr_t table = makeTable({{"T", "Structure", "Number of Inlet Streams"},
                                       {"B", "Integer", "Scalar", "1", "Input and Output"},
                                       {"X", "Real", "Scalar", "1", "Output Only"}});
    rtmInitArrays(table);
    const int32_t values[] = {11, 12, 13, 14, 15};
    EXPECT_EQ(rtmSetValue(table, 0, 2, &values[0]), nullptr);               // T(3).B
    EXPECT_EQ(rtmSetValueByRow(table, 1, &values[1], 0), nullptr);          // input row 1: T(2).B
    EXPECT_EQ(rtmSetVarValueByName(table, "B", indexList({0}).get(), &values[2]), nullptr);  // T(1).B
    EXPECT_EQ(treeText(table), "$TOP$(T(1(B=i:13 X) 2(B=i:12 X) 3(B=i:11 X)))");
    EXPECT_EQ(rtmOne_BasedSetVarValueByName(table, "B", indexList({3}).get(), &values[3]), nullptr);
    EXPECT_STREQ(rtmSetVarValueByName(table, "B", indexList({3}).get(), &values[4]), "Name not found");
    const double half = 0.5;
    EXPECT_EQ(rtmSetValueByRow(table, 3, &half, 1), nullptr);  // output rows: B, X, B, X, ...: T(2).X
    EXPECT_EQ(treeText(table), "$TOP$(T(1(B=i:13 X) 2(B=i:12 X=r:0.5) 3(B=i:14 X)))");
    DeleteUVT(table);
}

TEST_F(Writing, MessagesInTheOrderTheyAreTested) {
    host.sizes[-13] = 2;
    host.sizes[-2] = 0;
    const uintptr_t table = makeTable({{"N", "Integer", "Scalar", "0", "Input Only"},
                                       {"T", "Structure", "Number of Inlet Streams"},
                                       {"B", "Integer", "Scalar", "1"},
                                       {"E", "Real", "Number of Components"}});
    const uintptr_t other = makeTable({{"N", "Integer"}});
    const uintptr_t unbound = makeTable({{"N", "Integer"}});
    rtmInitArrays(table);
    rtmInitArrays(other);
    host.clearLog();
    const int32_t one = 1;
    const auto zero = indexList({0});
    const uintptr_t n = nodeAt(table, "N");
    const std::vector<MessageCase> cases = {
        {"Set, null table", [&] { return rtmSetValue(0, 0, 0, &one); }, "Invalid table"},
        {"Set, unbound", [&] { return rtmSetValue(unbound, 0, 0, &one); }, "Arrays not initialized"},
        {"Set, place = count", [&] { return rtmSetValue(table, 0, 3, &one); }, nullptr},
        {"Set, place -1", [&] { return rtmSetValue(table, 0, -1, &one); }, nullptr},
        {"Set, type 3", [&] { return rtmSetValue(table, 3, 0, &one); }, nullptr},
        {"Set, Real place = count", [&] { return rtmSetValue(table, 1, 0, &one); }, nullptr},
        {"ByRow, direction first", [&] { return rtmSetValueByRow(0, -1, &one, 2); }, "IO argument not supported"},
        {"ByRow, null table", [&] { return rtmSetValueByRow(0, 0, &one, 0); }, "Invalid row number or value."},
        {"ByRow, unbound", [&] { return rtmSetValueByRow(unbound, 0, &one, 0); }, "Invalid row number or value."},
        {"ByRow, row -1", [&] { return rtmSetValueByRow(table, -1, &one, 0); }, "Invalid row number or value."},
        {"ByRow, row = count", [&] { return rtmSetValueByRow(table, 3, &one, 0); }, "Invalid row number or value."},
        {"ByRow, no outputs", [&] { return rtmSetValueByRow(table, 0, &one, 1); }, "Invalid row number or value."},
        {"ByHandle, 0 first", [&] { return rtmSetValueByHandle(0, 0, &one); }, "Invalid handle"},
        {"ByHandle, sentinel", [&] { return rtmSetValueByHandle(table, UVT_INVALID_HANDLE, &one); }, "Invalid handle"},
        {"ByHandle, null table", [&] { return rtmSetValueByHandle(0, n, &one); }, "Invalid table"},
        {"ByHandle, unbound", [&] { return rtmSetValueByHandle(unbound, n, &one); }, "Arrays not initialized"},
        {"ByHandle, another table's node", [&] { return rtmSetValueByHandle(table, nodeAt(other, "N"), &one); },
         "Invalid handle"},
        {"ByHandle, structure array", [&] { return rtmSetValueByHandle(table, nodeAt(table, "T"), &one); },
         "Cannot set value to structures"},
        {"ByHandle, structure element", [&] { return rtmSetValueByHandle(table, nodeAt(table, "T/1"), &one); },
         "Cannot set value to structures"},
        {"ByHandle, empty array", [&] { return rtmSetValueByHandle(table, nodeAt(table, "E"), &one); },
         "Cannot set value to structures"},
        {"ByHandle, root", [&] { return rtmSetValueByHandle(table, header(table).runtimeRoot, &one); },
         "Cannot set value to structures"},
        {"ByName, null table", [&] { return rtmSetVarValueByName(0, nullptr, nullptr, &one); }, "Invalid table"},
        {"ByName, unbound", [&] { return rtmSetVarValueByName(unbound, nullptr, nullptr, &one); },
         "Arrays not initialized"},
        {"ByName, null name", [&] { return rtmSetVarValueByName(table, nullptr, zero.get(), &one); },
         "Missing information"},
        {"ByName, null list for a scalar", [&] { return rtmSetVarValueByName(table, "N", nullptr, &one); },
         "Missing information"},
        {"ByName, not found", [&] { return rtmSetVarValueByName(table, "Q", zero.get(), &one); }, "Name not found"},
        {"ByName, lower case", [&] { return rtmSetVarValueByName(table, "n", zero.get(), &one); }, "Name not found"},
        {"ByName, past the last element", [&] { return rtmSetVarValueByName(table, "B", indexList({2}).get(), &one); },
         "Name not found"},
        {"ByName, structure element", [&] { return rtmSetVarValueByName(table, "T", zero.get(), &one); },
         "Cannot set value to structures"},
        {"ByName, empty array", [&] { return rtmSetVarValueByName(table, "E", zero.get(), &one); },
         "Cannot set value to structures"},
        {"OneBased, past the last element",
         [&] { return rtmOne_BasedSetVarValueByName(table, "B", indexList({3}).get(), &one); }, "Name not found"},
    };
    expectMessages(cases);
    EXPECT_EQ(host.log, Log{}) << "no refused call reaches the host";
    EXPECT_EQ(treeText(table), "$TOP$(N T(1(B) 2(B)) E())");
    EXPECT_EQ(treeText(other), "$TOP$(N)");
    EXPECT_STREQ(rtmSetValueByHandle(table, 0x7777770, &one), "Invalid handle");
    EXPECT_FALSE(memory.takeFaults().empty());
    DeleteUVT(table);
    DeleteUVT(other);
    DeleteUVT(unbound);
}

// ---------------------------------------------------------------------------
// With allocate failing at any one call of a write: no crash, no leak, and
// the tree still agrees with what the host was told.
// ---------------------------------------------------------------------------
struct FailureCase {
    const char* title;
    std::function<uintptr_t()> prepare;                 // runs with memory intact
    std::function<const char*(uintptr_t)> operation;  // runs with one allocation failing
};
void PrintTo(const FailureCase& entry, std::ostream* out) { *out << entry.title; }

class WriteAllocationFailure : public UvtTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(WriteAllocationFailure, EverySingleFailureIsSurvived) {
    bool failureHit = true;
    int attempts = 0;
    for (int n = 1; failureHit && n < 400; ++n) {
        SCOPED_TRACE(::testing::Message() << "allocation " << n);
        host.reset();
        const uintptr_t table = GetParam().prepare();
        const int before = memory.allocationsMade();
        memory.failAllocation(n);
        const char* answer = GetParam().operation(table);
        failureHit = memory.allocationsMade() - before >= n;
        memory.failAllocation(0);
        if (answer != nullptr && std::strcmp(answer, "Not enough memory") != 0) {
            EXPECT_EQ(std::string(answer).rfind(kRefusalPrefix, 0), 0u) << answer;
        }
        expectElementArraysConsistent(table);
        for (int32_t type = 0; type < 3; ++type) {
            const int32_t slots = header(table).elementCounts[type];
            if (slots != 0) {
                EXPECT_EQ(slots, rtmGetLimit(table, type)) << "array " << type;
            }
        }
        // Every value can still be labelled and read.
        uintptr_t handle = 0;
        ASSERT_EQ(rtmGetFirstHandle(table, -1, &handle), nullptr);
        for (int guard = 0; rtmIsHandleValid(table, handle) != 0 && guard < 100; ++guard) {
            char label[512];
            void* value = nullptr;
            EXPECT_EQ(rtmGetLabelByHandle(table, handle, label, 0), nullptr);
            EXPECT_EQ(rtmGetValueByHandle(table, handle, &value), nullptr);
            ASSERT_EQ(rtmGetNextHandle(table, handle, -1, &handle), nullptr);
        }
        rtmSetSymSize(table, 0);
        expectElementArraysConsistent(table);
        DeleteUVT(table);
        EXPECT_EQ(memory.liveBlocks(), 0u);
        EXPECT_EQ(memory.faults(), std::vector<std::string>{});
        ++attempts;
        if (HasFailure()) break;
    }
    EXPECT_FALSE(failureHit) << "the sweep did not reach a write that needs no further allocation";
    EXPECT_GT(attempts, 1) << "no allocation failed";
}

uintptr_t typicalBound() {
    const uintptr_t table = makeTable({{"N", "Integer"}, {"R", "Real"}, {"A", "Real", "N"}});
    const int32_t ints[] = {2};
    const double reals[] = {1.5, 10, 20};
    rtmAttachArrays(table, ints, reals);
    return table;
}

uintptr_t structureArrayBound() {
    const uintptr_t table = makeTable({{"N", "Integer"},
                                       {"S", "Structure", "N"},
                                       {"K", "Integer", "Scalar", "1"},
                                       {"Z", "Real", "K", "1"},
                                       {"C", "Character", "Scalar", "1"}});
    const int32_t ints[] = {2, 2, 1};
    rtmAttachArrays(table, ints, nullptr);
    rtmSetVarValueByName(table, "C", indexList({1}).get(), "TEXT");
    return table;
}

const char* writeN(uintptr_t table, int32_t value) {
    return rtmSetVarValueByName(table, "N", indexList({0}).get(), &value);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, WriteAllocationFailure,
    ::testing::Values(
        FailureCase{"IntegerGrowsAnArray", typicalBound, [](uintptr_t table) { return writeN(table, 4); }},
        FailureCase{"IntegerGrowsAStructureArray", structureArrayBound,
                    [](uintptr_t table) { return writeN(table, 4); }},
        FailureCase{"IntegerGrowthRefused", structureArrayBound,
                    [](uintptr_t table) {
                        HostRecorder::instance().resizeAnswer = [](int32_t array, int32_t) {
                            return array == 2 ? "No" : nullptr;
                        };
                        return writeN(table, 4);
                    }},
        FailureCase{"IntegerShrinks", structureArrayBound, [](uintptr_t table) { return writeN(table, 1); }},
        FailureCase{"MemberIntegerGrowsItsArray", structureArrayBound,
                    [](uintptr_t table) {
                        const int32_t five = 5;
                        return rtmSetVarValueByName(table, "K", indexList({1}).get(), &five);
                    }},
        FailureCase{"CharacterByHandle", structureArrayBound,
                    [](uintptr_t table) { return rtmSetValueByHandle(table, nodeAt(table, "S/1/C"), "NEW"); }},
        FailureCase{"CharacterByNameWithNull", structureArrayBound,
                    [](uintptr_t table) { return rtmSetVarValueByName(table, "C", indexList({0}).get(), nullptr); }}),
    [](const ::testing::TestParamInfo<FailureCase>& entry) { return std::string(entry.param.title); });

TEST_F(Writing, CharacterWithoutMemoryKeepsItsValue) {
    const uintptr_t table = structureArrayBound();
    host.clearLog();
    memory.failAllocation(1);
    EXPECT_STREQ(rtmSetValueByHandle(table, nodeAt(table, "S/2/C"), "NEW"), "Not enough memory");
    memory.failAllocation(1);
    EXPECT_STREQ(rtmSetVarValueByName(table, "C", indexList({1}).get(), "NEW"), "Not enough memory");
    EXPECT_EQ(treeText(table), "$TOP$(N=i:2 S(1(K=i:2 Z(1 2) C) 2(K=i:1 Z(1) C=s:TEXT)))");
    EXPECT_EQ(host.log, Log{});
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
