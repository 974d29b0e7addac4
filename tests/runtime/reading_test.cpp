// Reading values at run time: by row, by handle and by variable name with an
// index list, in both index modes; element numbers, places and array lengths.
#include "runtime_views.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace uvt_test {
namespace {

class Reading : public UvtTest {};

int32_t integerAt(const void* pointer) { return pointer == nullptr ? -999 : *static_cast<const int32_t*>(pointer); }

TEST_F(Reading, UnsetIntegerReadsAsNullPointerThroughEveryExport) {
    const uintptr_t table = makeTable({{"N", "Integer", "Scalar", "0", "Input and Output"}});
    rtmInitArrays(table);
    const uintptr_t handle = nodeAt(table, "N");
    void* value = &value;
    int32_t type = -1;
    ASSERT_EQ(rtmGetValueByRow(table, 0, &value, 0), nullptr);
    EXPECT_EQ(value, nullptr);
    value = &value;
    ASSERT_EQ(rtmGetValueByRow(table, 0, &value, 1), nullptr);
    EXPECT_EQ(value, nullptr);
    value = &value;
    ASSERT_EQ(rtmGetValueByHandle(table, handle, &value), nullptr);
    EXPECT_EQ(value, nullptr);
    value = &value;
    ASSERT_EQ(rtmGetVarValueByName(table, "N", nullptr, &value, &type), nullptr);
    EXPECT_EQ(value, nullptr);
    EXPECT_EQ(type, 0) << "the type is written even without a value";
    type = -1;
    ASSERT_EQ(rtmGetTypeByRow(table, 0, &type, 0), nullptr);
    EXPECT_EQ(type, 0);
    type = -1;
    ASSERT_EQ(rtmGetTypeByHandle(table, handle, &type), nullptr);
    EXPECT_EQ(type, 0);

    // Once set, every pointer addresses the value itself and shows later writes.
    const int32_t five = 5;
    ASSERT_EQ(rtmSetValueByHandle(table, handle, &five), nullptr);
    void* byRow = nullptr;
    void* byHandle = nullptr;
    void* byName = nullptr;
    ASSERT_EQ(rtmGetValueByRow(table, 0, &byRow, 0), nullptr);
    ASSERT_EQ(rtmGetValueByHandle(table, handle, &byHandle), nullptr);
    ASSERT_EQ(rtmGetVarValueByName(table, "N", nullptr, &byName, &type), nullptr);
    EXPECT_EQ(integerAt(byRow), 5);
    EXPECT_EQ(byRow, byHandle);
    EXPECT_EQ(byRow, byName);
    const int32_t six = 6;
    ASSERT_EQ(rtmSetValueByRow(table, 0, &six, 1), nullptr);
    EXPECT_EQ(integerAt(byRow), 6);
    DeleteUVT(table);
}

TEST_F(Reading, RealAndCharacterPointers) {
    const uintptr_t table = makeTable({{"R", "Real"}, {"C", "Character"}});
    rtmInitArrays(table);
    const double half = 0.5;
    ASSERT_EQ(rtmSetVarValueByName(table, "R", indexList({0}).get(), &half), nullptr);
    ASSERT_EQ(rtmSetVarValueByName(table, "C", indexList({0}).get(), "TEXT"), nullptr);
    void* value = nullptr;
    int32_t type = -1;
    ASSERT_EQ(rtmGetVarValueByName(table, "R", nullptr, &value, &type), nullptr);
    EXPECT_EQ(type, 1);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*static_cast<const double*>(value), 0.5);
    ASSERT_EQ(rtmGetVarValueByName(table, "C", nullptr, &value, &type), nullptr);
    EXPECT_EQ(type, 2);
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(static_cast<const char*>(value), "TEXT");
    ASSERT_EQ(rtmGetValueByRow(table, 1, &value, 0), nullptr);
    EXPECT_STREQ(static_cast<const char*>(value), "TEXT");
    DeleteUVT(table);
}

// ---------------------------------------------------------------------------
// Structure S with member A, structure array T (three elements) with member
// B: the name lookup in both index modes.
// ---------------------------------------------------------------------------
class NameLookup : public UvtTest {
protected:
    void SetUp() override {
        UvtTest::SetUp();
        host.sizes[-13] = 3;
        host.sizes[-2] = 4;
        table = makeTable({{"S", "Structure"},
                           {"A", "Integer", "Scalar", "1"},
                           {"T", "Structure", "Number of Inlet Streams"},
                           {"B", "Integer", "Scalar", "1"},
                           {"Z", "Real", "Number of Components", "1"},
                           {"X", "Integer", "Number of Components"}});
        // Integers in tree order: S.A, T(1).B, T(2).B, T(3).B, X(1) .. X(4).
        const int32_t ints[] = {10, 21, 22, 23, 31, 32, 33, 34};
        std::vector<double> reals;
        for (int e = 1; e <= 3; ++e) {
            for (int z = 1; z <= 4; ++z) reals.push_back(e * 10 + z);  // T(e).Z(z) = e z
        }
        rtmAttachArrays(table, ints, reals.data());
    }
    void TearDown() override {
        DeleteUVT(table);
        UvtTest::TearDown();
    }

    // The value read by name as text: "i:10", "r:12", or the message.
    std::string read(const char* name, const int32_t* indexes, bool oneBased) {
        void* value = nullptr;
        int32_t type = -1;
        const char* message = oneBased ? rtmOne_BasedGetVarValueByName(table, name, indexes, &value, &type)
                                       : rtmGetVarValueByName(table, name, indexes, &value, &type);
        if (message != nullptr) return message;
        if (type == 0) return "i:" + std::to_string(integerAt(value));
        return "r:" + std::to_string(static_cast<int>(*static_cast<const double*>(value)));
    }

    // The place read by name as text: "0:3" (type 0, place 3), or the message.
    std::string locate(const char* name, const int32_t* indexes, bool oneBased) {
        int32_t place = -1;
        int32_t type = -1;
        const char* message = oneBased ? rtmOne_BasedGetVarLocationByName(table, name, indexes, &place, &type)
                                       : rtmGetVarLocationByName(table, name, indexes, &place, &type);
        if (message != nullptr) return message;
        return std::to_string(type) + ":" + std::to_string(place);
    }

    uintptr_t table = 0;
};

struct LookupCase {
    const char* name;
    std::vector<int32_t> indexes;  // exactly the entries the lookup may read; {} with null list
    bool nullList;
    const char* zeroBased;  // value read, or the value family's message
    const char* oneBased;
    const char* zeroPlace;  // place read, or the location family's message
    const char* onePlace;
};

TEST_F(NameLookup, IndexListsInBothModes) {
    const char* kNotFound = "Variable Not Found.";
    const char* kNotFoundL = "Variable not found";
    const std::vector<LookupCase> cases = {
        {"A", {}, true, "i:10", "i:10", "0:0", "0:0"},
        {"A", {}, false, "i:10", "i:10", "0:0", "0:0"},  // nothing is read for A
        {"B", {2}, false, "i:23", "i:22", "0:3", "0:2"},
        {"B", {3}, false, kNotFound, "i:23", kNotFoundL, "0:3"},
        {"B", {-5}, false, "i:21", "i:21", "0:1", "0:1"},
        {"B", {0}, false, "i:21", "i:21", "0:1", "0:1"},
        {"B", {1}, false, "i:22", "i:21", "0:2", "0:1"},
        {"B", {}, true, kNotFound, kNotFound, kNotFoundL, kNotFoundL},
        // One entry for the array crossed, one for the named array.
        {"Z", {1, 2}, false, "r:23", "r:12", "1:6", "1:1"},
        {"Z", {2, 3}, false, "r:34", "r:23", "1:11", "1:6"},
        {"Z", {0, 4}, false, kNotFound, "r:14", kNotFoundL, "1:3"},
        {"X", {3}, false, "i:34", "i:33", "0:7", "0:6"},
        {"X", {}, true, "Variable is a structure.", "Variable is a structure.", "Variable is a structure",
         "Variable is a structure"},
        {"S", {}, true, "Variable is a structure.", "Variable is a structure.", "Variable is a structure",
         "Variable is a structure"},
        {"T", {1}, false, "Variable is a structure.", "Variable is a structure.", "Variable is a structure",
         "Variable is a structure"},
        {"$TOP$", {}, true, "Variable is a structure.", "Variable is a structure.", "Variable is a structure",
         "Variable is a structure"},
        {"a", {}, true, kNotFound, kNotFound, kNotFoundL, kNotFoundL},
        {"2", {}, true, kNotFound, kNotFound, kNotFoundL, kNotFoundL},
        {"", {}, true, kNotFound, kNotFound, kNotFoundL, kNotFoundL},
    };
    for (const LookupCase& entry : cases) {
        SCOPED_TRACE(::testing::Message() << entry.name << " with " << entry.indexes.size() << " entries");
        for (const bool oneBased : {false, true}) {
            std::unique_ptr<int32_t[]> list;
            if (!entry.nullList) {
                list.reset(new int32_t[entry.indexes.size() + (entry.indexes.empty() ? 1 : 0)]);
                std::copy(entry.indexes.begin(), entry.indexes.end(), list.get());
            }
            EXPECT_EQ(read(entry.name, list.get(), oneBased), oneBased ? entry.oneBased : entry.zeroBased);
            EXPECT_EQ(locate(entry.name, list.get(), oneBased), oneBased ? entry.onePlace : entry.zeroPlace);
        }
    }
}

TEST_F(NameLookup, OneBasedModeEndsWithItsCall) {
    const auto list = indexList({1});
    EXPECT_EQ(read("B", list.get(), true), "i:21");
    EXPECT_EQ(read("B", list.get(), false), "i:22");
    EXPECT_EQ(rtmArrayLength(table, "Z", list.get()), 4);
    const auto three = indexList({3});
    EXPECT_EQ(read("B", three.get(), true), "i:23");
    EXPECT_EQ(rtmArrayLength(table, "Z", three.get()), -1) << "zero-based again: T has no fourth element";
}

TEST_F(NameLookup, ArrayLengths) {
    const auto first = indexList({0});
    EXPECT_EQ(rtmArrayLength(table, "X", nullptr), 4);
    EXPECT_EQ(rtmArrayLength(table, "T", nullptr), 3);
    EXPECT_EQ(rtmArrayLength(table, "Z", first.get()), 4) << "one entry, for T";
    EXPECT_EQ(rtmArrayLength(table, "Z", nullptr), -1) << "T lies on the way";
    EXPECT_EQ(rtmArrayLength(table, "A", nullptr), -1);
    EXPECT_EQ(rtmArrayLength(table, "S", nullptr), -1);
    EXPECT_EQ(rtmArrayLength(table, "B", first.get()), -1);
    EXPECT_EQ(rtmArrayLength(table, "x", nullptr), -1);
    EXPECT_EQ(rtmArrayLength(table, nullptr, nullptr), -1);
    EXPECT_EQ(rtmArrayLength(0, "X", nullptr), -1);
    const uintptr_t unbound = makeTable({{"X", "Integer", "Number of Components"}});
    EXPECT_EQ(rtmArrayLength(unbound, "X", nullptr), -1);
    DeleteUVT(unbound);
}

TEST_F(NameLookup, EmptyArrayHasNoLength) {
    host.sizes[-2] = 0;
    rtmSetSymSize(table, 0);
    EXPECT_EQ(rtmArrayLength(table, "X", nullptr), -1);
    EXPECT_EQ(read("X", indexList({0}).get(), false), "Variable is a structure.");
}

TEST_F(NameLookup, FirstValueOfEachTypeIsElementOneAndPlaceZero) {
    const uintptr_t first[] = {nodeAt(table, "S/A"), nodeAt(table, "T/1/Z/1")};
    for (int type = 0; type < 2; ++type) {
        int32_t element = 0;
        ASSERT_EQ(rtmGetElementByHandle(table, first[type], -1, &element), nullptr);
        EXPECT_EQ(element, 1);
    }
    EXPECT_EQ(locate("A", nullptr, false), "0:0");
    EXPECT_EQ(locate("Z", indexList({0, 0}).get(), false), "1:0");
    int32_t element = 0;
    ASSERT_EQ(rtmGetElementByRow(table, 0, 0, &element), nullptr);
    EXPECT_EQ(element, 1);
}

// Reading by handle and by name agree with the places in tree order.
TEST_F(NameLookup, ElementNumbersByHandleMatchLocations) {
    for (int e = 1; e <= 3; ++e) {
        for (int z = 1; z <= 4; ++z) {
            const uintptr_t leaf = nodeAt(table, "T/" + std::to_string(e) + "/Z/" + std::to_string(z));
            int32_t element = 0;
            ASSERT_EQ(rtmGetElementByHandle(table, leaf, 0, &element), nullptr);
            EXPECT_EQ(element, (e - 1) * 4 + z);
            EXPECT_EQ(locate("Z", indexList({e - 1, z - 1}).get(), false), "1:" + std::to_string(element - 1));
        }
    }
}

// Finding a name costs the same after a long structure array as after a short
// one: only the first element of each array is searched for it.
TEST_F(Reading, NameLookupCostDoesNotGrowWithArrayLength) {
    long costs[2] = {0, 0};
    const int32_t lengths[2] = {2, 2000};
    for (int i = 0; i < 2; ++i) {
        host.sizes[-13] = lengths[i];
        const uintptr_t table = makeTable({{"T", "Structure", "Number of Inlet Streams"},
                                           {"A", "Real", "Scalar", "1"},
                                           {"B", "Integer", "Scalar", "1"},
                                           {"Y", "Integer"}});
        rtmInitArrays(table);
        int32_t place = -1;
        int32_t type = -1;
        const long before = memory.resolves();
        ASSERT_EQ(rtmGetVarLocationByName(table, "Y", nullptr, &place, &type), nullptr);
        costs[i] = memory.resolves() - before;
        EXPECT_EQ(place, lengths[i]) << "Y follows every B";
        DeleteUVT(table);
    }
    EXPECT_EQ(costs[0], costs[1]);
}

// ---------------------------------------------------------------------------
// Handles: group nodes, other tables, made-up numbers.
// ---------------------------------------------------------------------------
TEST_F(Reading, ElementByHandleProvesTheTable) {
    const uintptr_t table = makeTable({{"N", "Integer", "Scalar", "0", "Input Only"}, {"S", "Structure"},
                                       {"M", "Real", "Scalar", "1", "Output Only"}});
    const uintptr_t other = makeTable({{"N", "Integer"}});
    const uintptr_t unbound = makeTable({{"N", "Integer"}});
    rtmInitArrays(table);
    rtmInitArrays(other);
    const uintptr_t n = nodeAt(table, "N");
    const uintptr_t m = nodeAt(table, "S/M");
    int32_t element = 0;
    expectMessages({
        {"invalid handle", [&] { return rtmGetElementByHandle(table, 0, -1, &element); }, "Invalid handle"},
        {"sentinel", [&] { return rtmGetElementByHandle(table, UVT_INVALID_HANDLE, -1, &element); }, "Invalid handle"},
        {"null output", [&] { return rtmGetElementByHandle(0, n, -1, nullptr); }, "Invalid argument"},
        {"null table", [&] { return rtmGetElementByHandle(0, n, -1, &element); }, "Invalid table"},
        {"unbound table", [&] { return rtmGetElementByHandle(unbound, n, -1, &element); }, "Arrays not initialized"},
        {"other table", [&] { return rtmGetElementByHandle(other, n, -1, &element); }, "Invalid table"},
        {"other table's node", [&] { return rtmGetElementByHandle(table, nodeAt(other, "N"), -1, &element); },
         "Invalid table"},
        {"filter 3 on Input Only", [&] { return rtmGetElementByHandle(table, n, 3, &element); }, "Invalid argument"},
        {"filter 2 on Output Only", [&] { return rtmGetElementByHandle(table, m, 2, &element); }, "Invalid argument"},
        {"filter 9", [&] { return rtmGetElementByHandle(table, n, 9, &element); }, "Invalid argument"},
        {"structure", [&] { return rtmGetElementByHandle(table, nodeAt(table, "S"), -1, &element); }, "Invalid argument"},
        {"root", [&] { return rtmGetElementByHandle(table, header(table).runtimeRoot, -1, &element); },
         "Invalid argument"},
        {"filter -1", [&] { return rtmGetElementByHandle(table, m, -1, &element); }, nullptr},
        {"filter 1", [&] { return rtmGetElementByHandle(table, m, 1, &element); }, nullptr},
        {"filter 0", [&] { return rtmGetElementByHandle(table, n, 0, &element); }, nullptr},
    });
    EXPECT_EQ(element, 1);
    EXPECT_STREQ(rtmGetElementByHandle(table, 0x7777770, -1, &element), "Invalid handle");
    EXPECT_FALSE(memory.takeFaults().empty());
    DeleteUVT(table);
    DeleteUVT(other);
    DeleteUVT(unbound);
}

TEST_F(Reading, MessagesInTheOrderTheyAreTested) {
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable({{"N", "Integer", "Scalar", "0", "Input Only"},
                                       {"S", "Structure", "Scalar", "0", "Input Only"},
                                       {"X", "Real", "Number of Components", "1", "Input Only"}});
    const uintptr_t unbound = makeTable({{"N", "Integer"}});
    rtmInitArrays(table);
    const uintptr_t n = nodeAt(table, "N");
    const uintptr_t s = nodeAt(table, "S");
    const uintptr_t x = nodeAt(table, "S/X");
    int32_t number = -7;
    void* value = &value;
    const auto zero = indexList({0});
    expectMessages({
        {"TypeByRow, direction", [&] { return rtmGetTypeByRow(0, -1, &number, 2); }, "IO argument not supported"},
        {"TypeByRow, null table", [&] { return rtmGetTypeByRow(0, 0, &number, 0); }, "Invalid row number"},
        {"TypeByRow, unbound", [&] { return rtmGetTypeByRow(unbound, 0, &number, 0); }, "Invalid row number"},
        {"TypeByRow, no outputs", [&] { return rtmGetTypeByRow(table, 0, &number, 1); }, "Invalid row number"},
        {"TypeByRow, row -1", [&] { return rtmGetTypeByRow(table, -1, &number, 0); }, "Invalid row number"},
        {"TypeByRow, row = count", [&] { return rtmGetTypeByRow(table, 3, &number, 0); }, "Invalid row number"},
        {"TypeByRow, null output", [&] { return rtmGetTypeByRow(table, 0, nullptr, 0); }, "Invalid argument"},
        {"ValueByRow, direction", [&] { return rtmGetValueByRow(0, -1, &value, -1); }, "IO argument not supported"},
        {"ValueByRow, row", [&] { return rtmGetValueByRow(table, 3, &value, 0); }, "Invalid row number"},
        {"ValueByRow, null output", [&] { return rtmGetValueByRow(table, 0, nullptr, 0); }, "Invalid argument"},
        {"ElementByRow, direction", [&] { return rtmGetElementByRow(0, -1, 3, &number); }, "IO argument not supported"},
        {"ElementByRow, row", [&] { return rtmGetElementByRow(table, 3, 0, &number); }, "Invalid row number"},
        {"ElementByRow, null output", [&] { return rtmGetElementByRow(table, 0, 0, nullptr); }, "Invalid argument"},
        {"TypeByHandle, 0", [&] { return rtmGetTypeByHandle(table, 0, nullptr); }, "Invalid handle"},
        {"TypeByHandle, sentinel", [&] { return rtmGetTypeByHandle(table, UVT_INVALID_HANDLE, &number); }, "Invalid handle"},
        {"TypeByHandle, structure", [&] { return rtmGetTypeByHandle(table, s, &number); }, "Invalid argument"},
        {"TypeByHandle, array", [&] { return rtmGetTypeByHandle(table, x, &number); }, "Invalid argument"},
        {"TypeByHandle, null output", [&] { return rtmGetTypeByHandle(table, n, nullptr); }, "Invalid argument"},
        {"TypeByHandle, table not used", [&] { return rtmGetTypeByHandle(0, n, &number); }, nullptr},
        {"ValueByHandle, 0", [&] { return rtmGetValueByHandle(table, 0, nullptr); }, "Invalid handle"},
        {"ValueByHandle, null output", [&] { return rtmGetValueByHandle(table, n, nullptr); }, "Invalid argument"},
        {"ValueByHandle, structure", [&] { return rtmGetValueByHandle(table, s, &value); }, "Invalid argument"},
        {"ValueByHandle, root", [&] { return rtmGetValueByHandle(table, header(table).runtimeRoot, &value); },
         "Invalid argument"},
        {"ValueByName, null table", [&] { return rtmGetVarValueByName(0, "N", nullptr, &value, &number); },
         "Invalid table or name"},
        {"ValueByName, null name", [&] { return rtmGetVarValueByName(unbound, nullptr, nullptr, &value, &number); },
         "Invalid table or name"},
        {"ValueByName, null output", [&] { return rtmGetVarValueByName(table, "N", nullptr, nullptr, &number); },
         "Invalid table or name"},
        {"ValueByName, unbound", [&] { return rtmGetVarValueByName(unbound, "Q", nullptr, &value, &number); },
         "Arrays not initialized"},
        {"ValueByName, not found", [&] { return rtmGetVarValueByName(table, "Q", nullptr, &value, &number); },
         "Variable Not Found."},
        {"ValueByName, structure", [&] { return rtmGetVarValueByName(table, "S", nullptr, &value, &number); },
         "Variable is a structure."},
        {"ValueByName, one-based", [&] { return rtmOne_BasedGetVarValueByName(table, "S", nullptr, &value, &number); },
         "Variable is a structure."},
        {"LocationByName, null table", [&] { return rtmGetVarLocationByName(0, "N", nullptr, &number, &number); },
         "Invalid table or name"},
        {"LocationByName, null place", [&] { return rtmGetVarLocationByName(table, "N", nullptr, nullptr, &number); },
         "Invalid table or name"},
        {"LocationByName, null type", [&] { return rtmGetVarLocationByName(table, "N", nullptr, &number, nullptr); },
         "Invalid table or name"},
        {"LocationByName, unbound", [&] { return rtmGetVarLocationByName(unbound, "N", nullptr, &number, &number); },
         "Arrays not initialized"},
        {"LocationByName, not found", [&] { return rtmGetVarLocationByName(table, "Q", nullptr, &number, &number); },
         "Variable not found"},
        {"LocationByName, structure", [&] { return rtmGetVarLocationByName(table, "S", nullptr, &number, &number); },
         "Variable is a structure"},
        {"LocationByName, array", [&] { return rtmGetVarLocationByName(table, "X", nullptr, &number, &number); },
         "Variable is a structure"},
        {"LocationByName, one-based", [&] { return rtmOne_BasedGetVarLocationByName(table, "Q", zero.get(), &number, &number); },
         "Variable not found"},
    });
    EXPECT_EQ(value, &value) << "no failure writes its output";
    EXPECT_EQ(number, 0) << "only the TypeByHandle call that succeeded wrote";
    EXPECT_STREQ(rtmGetValueByHandle(table, 0x7777770, &value), "Invalid handle");
    EXPECT_STREQ(rtmGetTypeByHandle(table, 0x7777770, &number), "Invalid handle");
    EXPECT_FALSE(memory.takeFaults().empty());
    DeleteUVT(table);
    DeleteUVT(unbound);
}

// A by-handle reader reads a value of another table as it is: it consults
// neither the table argument nor the tree.
TEST_F(Reading, ValueByHandleIgnoresTheTable) {
    const uintptr_t table = makeTable({{"N", "Integer"}});
    const uintptr_t other = makeTable({{"M", "Integer"}});
    rtmInitArrays(table);
    rtmInitArrays(other);
    const int32_t seven = 7;
    ASSERT_EQ(rtmSetVarValueByName(other, "M", indexList({0}).get(), &seven), nullptr);
    void* value = nullptr;
    ASSERT_EQ(rtmGetValueByHandle(table, nodeAt(other, "M"), &value), nullptr);
    EXPECT_EQ(integerAt(value), 7);
    DeleteUVT(table);
    DeleteUVT(other);
}

TEST_F(Reading, ReadingCallsNoHostRoutine) {
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable({{"X", "Real", "Number of Components"}, {"N", "Integer"}});
    rtmInitArrays(table);
    host.clearLog();
    void* value = nullptr;
    int32_t number = 0;
    EXPECT_EQ(rtmGetValueByRow(table, 1, &value, 0), nullptr);
    EXPECT_EQ(rtmGetElementByRow(table, 1, 0, &number), nullptr);
    EXPECT_EQ(rtmGetVarLocationByName(table, "X", indexList({1}).get(), &number, &number), nullptr);
    EXPECT_EQ(rtmArrayLength(table, "X", nullptr), 2);
    EXPECT_EQ(host.log, std::vector<std::string>{});
    DeleteUVT(table);
}

}  // namespace
}  // namespace uvt_test
