// A host that misbehaves: it refuses array sizes and stored elements at any
// point, answers its counts with negative or enormous numbers while its
// memory runs out, and hands in handles that name nothing of the table. The
// library must answer with its documented messages, keep what it reports,
// stay consistent and give every block back.
#include "../runtime/runtime_views.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace uvt_test {
namespace {

const char* const kSizeRefusal =
    "The storage of this value has resulted in the following error message while storing the size of the ";
const char* const kArrayNames[3] = {"Integer", "Real", "Character"};

// The walk, the labels, rtmGetLimit and the element arrays agree: every
// value is reached once, in place order, and its label names it again.
void expectConsistent(uintptr_t table) {
    expectElementArraysConsistent(table);
    int32_t walked[3] = {0, 0, 0};
    uintptr_t handle = 0;
    if (rtmGetFirstHandle(table, -1, &handle) == nullptr) {
        for (int guard = 0; rtmIsHandleValid(table, handle) != 0 && guard < 100000; ++guard) {
            int32_t type = -1;
            ASSERT_EQ(rtmGetTypeByHandle(table, handle, &type), nullptr);
            ASSERT_TRUE(type >= 0 && type < 3);
            int32_t element = 0;
            ASSERT_EQ(rtmGetElementByHandle(table, handle, -1, &element), nullptr);
            ASSERT_EQ(element, walked[type] + 1);
            char label[512];
            ASSERT_EQ(rtmGetLabelByHandle(table, handle, label, 0), nullptr);
            uintptr_t named = 0;
            ASSERT_EQ(rtmHandleByName(table, label, &named), nullptr) << label;
            ASSERT_EQ(named, handle) << label;
            ++walked[type];
            ASSERT_EQ(rtmGetNextHandle(table, handle, -1, &handle), nullptr);
        }
    }
    for (int32_t type = 0; type < 3; ++type) {
        EXPECT_EQ(walked[type], rtmGetLimit(table, type)) << "type " << type;
        const int32_t slots = header(table).elementCounts[type];
        if (slots != 0) {
            EXPECT_EQ(slots, walked[type]) << "type " << type;
        }
    }
}

// Binds the table afresh with a host that accepts everything: the host is
// asked for the true sizes and gets every value.
void expectRebindable(uintptr_t table) {
    HostRecorder& host = HostRecorder::instance();
    host.resizeAnswer = nullptr;
    host.storeAnswer = nullptr;
    rtmInitArrays(table);
    expectConsistent(table);
    for (int32_t type = 0; type < 3; ++type) {
        EXPECT_EQ(header(table).elementCounts[type], rtmGetLimit(table, type)) << "type " << type;
    }
}

// ---------------------------------------------------------------------------
// Refusals: the k-th call of resizeArray or storeElement is refused, for
// every k of a run-time session, and then every call.
// ---------------------------------------------------------------------------
class RefusingHost : public UvtTest {
protected:
    // One write, checked: a refusal is answered with the documented text and
    // leaves the tree, values included, exactly as it was. A write into an
    // element of S (needing that many elements) may find it missing when an
    // earlier growth was refused: the name is then not found, and nothing
    // changes either.
    void write(uintptr_t table, const char* title, const std::function<const char*()>& call,
               int32_t needsElements = 0) {
        const std::string before = treeText(table);
        const bool present = rtmArrayLength(table, "S", nullptr) >= needsElements;
        const char* answer = call();
        if (answer == nullptr) return;
        if (!present) {
            EXPECT_STREQ(answer, "Name not found") << title;
            EXPECT_EQ(treeText(table), before) << title;
            return;
        }
        ++refusedWrites;
        const std::string text = answer;
        const bool sizeRefusal = text.rfind(kSizeRefusal, 0) == 0;
        if (sizeRefusal) {
            bool named = false;
            for (const char* array : kArrayNames) {
                named = named || text == std::string(kSizeRefusal) + array + " array:\r\n" + kHostText;
            }
            EXPECT_TRUE(named) << title << ": " << text;
            ++sizeRefusals;
        } else {
            ++textRefusals;
            EXPECT_EQ(text, kHostText) << title << ": a Real refused by the host answers its own text";
        }
        EXPECT_EQ(treeText(table), before) << title << ": a refused write changes nothing";
    }

    // The session: binding, host counts changing, Integer writes that grow
    // and shrink the structure array, Real and Character writes, and a
    // replacement.
    void session() {
        host.sizes[-2] = 2;
        const int32_t ids[2] = {3, 4};
        const uintptr_t table = makeTable(kSampleRows, ids);
        const uintptr_t source = makeTable(kSampleRows);
        const int32_t ints[] = {1, 5};
        const double reals[] = {1, 2, 3};
        rtmAttachArrays(table, ints, reals);
        const int32_t two = 2;
        const int32_t none = 0;
        const double half = 0.5;
        write(table, "NC grows S", [&] { return rtmSetVarValueByName(table, "NC", indexList({0}).get(), &two); });
        write(table, "A(2)", [&] { return rtmOne_BasedSetVarValueByName(table, "A", indexList({2}).get(), &two); }, 2);
        write(table, "B(1)", [&] { return rtmSetVarValueByName(table, "B", indexList({0}).get(), "TEXT"); }, 1);
        write(table, "Y", [&] { return rtmSetVarValueByName(table, "Y", indexList({0}).get(), &half); });
        write(table, "X(2)", [&] { return rtmSetValue(table, 1, 1, &half); });
        host.sizes[-2] = 4;
        rtmSetSymSize(table, 0);
        write(table, "X(4)", [&] { return rtmOne_BasedSetVarValueByName(table, "X", indexList({4}).get(), &half); });
        write(table, "NC empties S", [&] { return rtmSetValue(table, 0, 0, &none); });
        write(table, "NC null", [&] { return rtmSetVarValueByName(table, "NC", indexList({0}).get(), nullptr); });
        rtmReplaceTable(table, source);
        expectConsistent(table);
        expectRebindable(table);
        DeleteUVT(table);
    }

    enum class Routine { resize, store };

    // Runs the session with call number k of the routine refused (0: every
    // call); returns how many calls of it the session made.
    int runRefusing(Routine routine, int k) {
        installTestHost();
        int calls = 0;
        const auto answer = [&calls, k]() -> const char* { return ++calls == k || k == 0 ? kHostText : nullptr; };
        if (routine == Routine::resize) {
            host.resizeAnswer = [answer](int32_t, int32_t) { return answer(); };
        } else {
            host.storeAnswer = [answer](int32_t, int32_t, const void*) { return answer(); };
        }
        session();
        host.resizeAnswer = nullptr;  // the rule counts in this frame
        host.storeAnswer = nullptr;
        EXPECT_EQ(memory.liveBlocks(), 0u) << "every table goes away whole";
        EXPECT_EQ(memory.takeFaults(), std::vector<std::string>{});
        return calls;
    }

    // Returns how many writes were refused for a size and with the host's
    // own text.
    std::pair<int, int> sweep(Routine routine) {
        const int calls = runRefusing(routine, -1);  // -1: no call is refused
        EXPECT_GT(calls, 10);
        EXPECT_EQ(refusedWrites, 0);
        for (int k = 1; k <= calls && !HasFailure(); ++k) {
            SCOPED_TRACE(::testing::Message() << "call " << k << " of " << calls << " refused");
            runRefusing(routine, k);
        }
        SCOPED_TRACE("every call refused");
        runRefusing(routine, 0);
        return {sizeRefusals, textRefusals};
    }

    static constexpr const char* kHostText = "Host says no";
    int refusedWrites = 0;
    int sizeRefusals = 0;
    int textRefusals = 0;
};

TEST_F(RefusingHost, ResizeRefusedAtEveryPoint) {
    const auto [sizes, texts] = sweep(Routine::resize);
    EXPECT_GT(sizes, 0) << "some refusal reached an Integer write";
    EXPECT_EQ(texts, 0);
}

TEST_F(RefusingHost, StoreRefusedAtEveryPoint) {
    const auto [sizes, texts] = sweep(Routine::store);
    EXPECT_EQ(sizes, 0);
    EXPECT_GT(texts, 0) << "some refusal reached a Real write";
}

// ---------------------------------------------------------------------------
// Counts: the host answers its component and stream counts with negative or
// enormous numbers, and its memory runs out as a real host's would. An array
// ends where memory ran out; nothing wraps or goes negative.
// ---------------------------------------------------------------------------
class HostileCounts : public UvtTest, public ::testing::WithParamInterface<int32_t> {
protected:
    // Every count passed to resizeArray is one the library could have laid
    // out with the blocks it holds at the time (a value takes two).
    void SetUp() override {
        UvtTest::SetUp();
        host.resizeAnswer = [this](int32_t array, int32_t count) -> const char* {
            EXPECT_GE(count, 0) << "array " << array;
            EXPECT_LE(static_cast<std::size_t>(count), memory.liveBlocks() / 2) << "array " << array;
            ++resizes;
            return nullptr;
        };
    }

    void expectSaneSizes() {
        for (const int32_t size : memory.allocationSizes()) EXPECT_GE(size, 0);
        EXPECT_EQ(memory.takeFaults(), std::vector<std::string>{});
    }

    int resizes = 0;

    // The host's answer for every code that sizes an array of the table.
    void answer(int32_t count) {
        for (const int32_t code : {-2, -13, -23}) host.sizes[code] = count;
    }
};

// Blocks the host has left once the table is made: enough for some hundreds
// of values, far from any count asked for.
constexpr std::size_t kSpareBlocks = 700;

TEST_P(HostileCounts, ArraysEndWhereMemoryRunsOut) {
    const int32_t count = GetParam();
    const int32_t ids[2] = {1, 2};
    const uintptr_t table = makeTable({{"NC", "Integer"},
                                       {"X", "Real", "Number of Components"},
                                       {"S", "Structure", "Number of Inlet Streams"},
                                       {"A", "Integer", "Scalar", "1"},
                                       {"B", "Character", "Scalar", "1", "Input and Output"},
                                       {"Z", "Real", "Number of Components", "1"},
                                       {"W", "Integer", "NC"},
                                       {"Y", "Real", "Number of Outlet Streams", "0", "Output Only"}},
                                      ids);
    answer(count);
    memory.limitLiveBlocks(memory.liveBlocks() + kSpareBlocks);
    rtmInitArrays(table);
    expectSaneSizes();
    expectConsistent(table);
    const int32_t values = rtmGetLimit(table, 0) + rtmGetLimit(table, 1) + rtmGetLimit(table, 2);
    if (count <= 0) {
        EXPECT_EQ(rtmArrayLength(table, "X", nullptr), -1) << "no elements";
        EXPECT_EQ(rtmArrayLength(table, "S", nullptr), -1);
        EXPECT_EQ(values, 1) << "NC alone";
    } else {
        EXPECT_GT(rtmArrayLength(table, "X", nullptr), 100) << "X takes what memory there is";
        EXPECT_LT(static_cast<std::size_t>(values), kSpareBlocks);
    }

    // Laid out again with the same answers: what there is stays.
    rtmSetSymSize(table, 0);
    expectSaneSizes();
    expectConsistent(table);
    EXPECT_EQ(rtmGetLimit(table, 0) + rtmGetLimit(table, 1) + rtmGetLimit(table, 2), values);

    // An Integer that sizes W by the same number: reported stored, and W
    // ends where memory does.
    void* value = nullptr;
    int32_t type = -1;
    const char* written = rtmSetVarValueByName(table, "NC", indexList({0}).get(), &count);
    EXPECT_EQ(written, nullptr);
    ASSERT_EQ(rtmGetVarValueByName(table, "NC", nullptr, &value, &type), nullptr);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*static_cast<const int32_t*>(value), count);
    EXPECT_LE(rtmArrayLength(table, "W", nullptr), count <= 0 ? -1 : count);
    expectSaneSizes();
    expectConsistent(table);

    // Memory back, sane answers: the arrays come to their true sizes.
    memory.limitLiveBlocks(0);
    answer(2);
    const int32_t three = 3;
    EXPECT_EQ(rtmSetVarValueByName(table, "NC", indexList({0}).get(), &three), nullptr);
    rtmSetSymSize(table, 0);
    expectSaneSizes();
    expectConsistent(table);
    EXPECT_EQ(rtmArrayLength(table, "X", nullptr), 2);
    EXPECT_EQ(rtmArrayLength(table, "S", nullptr), 2);
    EXPECT_EQ(rtmArrayLength(table, "Z", indexList({1}).get()), 2);
    EXPECT_EQ(rtmArrayLength(table, "W", nullptr), 3);
    EXPECT_EQ(rtmGetLimit(table, 1), 2 + 2 * 2 + 2) << "X, S(i).Z, Y";
    EXPECT_GT(resizes, 0);
    DeleteUVT(table);
}

INSTANTIATE_TEST_SUITE_P(Answers, HostileCounts,
                         ::testing::Values(-1, INT32_MIN, 0, INT32_MAX, 1 << 28),
                         [](const ::testing::TestParamInfo<int32_t>& entry) {
                             const int32_t v = entry.param;
                             if (v == INT32_MIN) return std::string("Lowest");
                             if (v == INT32_MAX) return std::string("Highest");
                             return (v < 0 ? "Minus" : "Plus") + std::to_string(v < 0 ? -static_cast<int64_t>(v) : v);
                         });

// ---------------------------------------------------------------------------
// Handles that name nothing of the table: another table's nodes, the
// reserved numbers and numbers the host never handed out. A made-up number
// can only be asked of the host, whose resolve records it.
// ---------------------------------------------------------------------------
class ForeignHandles : public UvtTest {};

TEST_F(ForeignHandles, EveryHandleTakingExportAnswersWithItsMessage) {
    host.sizes[-2] = 2;
    const uintptr_t table = makeTable(kSampleRows);
    const uintptr_t other = makeTable(kSampleRows);
    const int32_t ints[] = {1, 5, 6};
    rtmAttachArrays(table, ints, nullptr);
    rtmAttachArrays(other, ints, nullptr);
    const std::string tableTree = treeText(table);
    const std::string otherTree = treeText(other);
    host.clearLog();

    enum Kind { reserved, madeUp, foreignValue, foreignGroup };
    struct Handle {
        const char* title;
        uintptr_t handle;
        Kind kind;
    };
    const std::vector<Handle> handles = {
        {"0", 0, reserved},
        {"the invalid handle", UVT_INVALID_HANDLE, reserved},
        {"1", 1, madeUp},
        {"0x12345", 0x12345, madeUp},
        {"another table's value", nodeAt(other, "NC"), foreignValue},
        {"another table's structure array", nodeAt(other, "S"), foreignGroup},
    };
    // The answer of each export per kind of handle, in Kind order; "" is
    // success.
    struct Export {
        const char* name;
        std::function<const char*(uintptr_t)> call;
        std::vector<const char*> expected;
    };
    uintptr_t next = 77;
    char label[512] = "KEEP";
    int32_t number = -7;
    void* value = &value;
    const int32_t one = 1;
    const std::vector<Export> exports = {
        {"rtmGetNextHandle", [&](uintptr_t h) { return rtmGetNextHandle(table, h, -1, &next); },
         {"Invalid argument", "Invalid argument", "", ""}},
        {"rtmGetLabelByHandle", [&](uintptr_t h) { return rtmGetLabelByHandle(table, h, label, 0); },
         {"Invalid handle", "Invalid handle", "Invalid table", "Invalid table"}},
        {"rtmGetTypeByHandle", [&](uintptr_t h) { return rtmGetTypeByHandle(table, h, &number); },
         {"Invalid handle", "Invalid handle", "", "Invalid argument"}},
        {"rtmGetValueByHandle", [&](uintptr_t h) { return rtmGetValueByHandle(table, h, &value); },
         {"Invalid handle", "Invalid handle", "", "Invalid argument"}},
        {"rtmGetElementByHandle", [&](uintptr_t h) { return rtmGetElementByHandle(table, h, -1, &number); },
         {"Invalid handle", "Invalid handle", "Invalid table", "Invalid table"}},
        {"rtmSetValueByHandle", [&](uintptr_t h) { return rtmSetValueByHandle(table, h, &one); },
         {"Invalid handle", "Invalid handle", "Invalid handle", "Invalid handle"}},
    };
    for (const Export& entry : exports) {
        for (const Handle& h : handles) {
            SCOPED_TRACE(::testing::Message() << entry.name << " with " << h.title);
            next = 77;
            std::strcpy(label, "KEEP");
            number = -7;
            value = &value;
            const char* answer = entry.call(h.handle);
            const std::string wanted = entry.expected[static_cast<std::size_t>(h.kind)];
            EXPECT_STREQ(answer == nullptr ? "" : answer, wanted.c_str());
            if (answer != nullptr) {
                EXPECT_EQ(next, 77u) << "no failure writes its output";
                EXPECT_EQ(number, -7);
                EXPECT_EQ(value, &value);
            }
            const std::vector<std::string> faults = memory.takeFaults();
            if (h.kind == madeUp) {
                ASSERT_FALSE(faults.empty()) << "the made-up number was asked of the host";
                for (const std::string& fault : faults) EXPECT_EQ(fault.rfind("resolve of unknown handle", 0), 0u) << fault;
            } else {
                EXPECT_EQ(faults, std::vector<std::string>{});
            }
        }
    }
    // The walk and the readers take another table's node as it is.
    ASSERT_EQ(rtmGetNextHandle(table, nodeAt(other, "NC"), -1, &next), nullptr);
    EXPECT_EQ(next, nodeAt(other, "X/1"));
    ASSERT_EQ(rtmGetNextHandle(table, nodeAt(other, "S"), -1, &next), nullptr);
    EXPECT_EQ(next, nodeAt(other, "Y")) << "after the whole structure array";
    ASSERT_EQ(rtmGetValueByHandle(table, nodeAt(other, "NC"), &value), nullptr);
    EXPECT_EQ(*static_cast<const int32_t*>(value), 1);
    for (const Handle& h : handles) {
        EXPECT_EQ(rtmIsHandleValid(table, h.handle), h.kind == reserved ? 0 : 1) << h.title;
    }
    EXPECT_EQ(host.log, std::vector<std::string>{}) << "nothing reached the host's arrays";
    EXPECT_EQ(treeText(table), tableTree);
    EXPECT_EQ(treeText(other), otherTree);
    DeleteUVT(table);
    DeleteUVT(other);
}

}  // namespace
}  // namespace uvt_test
