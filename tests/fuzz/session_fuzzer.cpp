// Reads its input as a host session: a sequence of operations on up to three
// tables (editing, checking, saving and restoring, dumping and loading,
// binding, writing and reading values by every addressing mode, replacing,
// deleting). After every step the host must have seen no misuse of its
// memory; a complete table must come back unchanged from save/restore and
// from dump/load; at the end every block must have come back. Each input
// runs twice, the second time with every layout index block refused, and
// the host must see the same calls, blocks and answers both times.
#include "fuzz_checks.h"
#include "fuzz_input.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace uvt_fuzz;
using uvt_test::Bstr;
using uvt_test::pointedValue;
using uvt_test::take;

namespace {

constexpr int kSlots = 3;
// A host runs out of memory long before an array sized by any int32 is
// made; so does this one.
constexpr std::size_t kLiveBlockLimit = 20000;
// Restoring and importing append one table's rows to another's, so tables
// could double at every step. An import runs the save step after every
// row and cell (the host sees each state), which costs the table's size
// each time; tables stay at a size where that is quick.
constexpr int32_t kMostRows = 256;

const char* const kWords[] = {
    "NC", "X", "S", "A", "B", "Y", "NS", "T", "",
    "Integer", "Real", "Character", "Structure", "Scalar",
    "Number of Components", "Number of Inlet Streams", "Number of Outlet Streams",
    "0", "1", "2", "3", "-1", "Input Only", "Output Only", "Input and Output",
    "a.b", "X(2)", "1A", "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOP", "é",
};

struct Slot {
    uintptr_t table = 0;
    // Rows changed since the table was last laid out whole while complete:
    // its tree may then differ from its rows (design edits lay nothing out).
    bool edited = false;
    std::unique_ptr<uvt_test::ConfigObject> object;  // attached while the table lives
};

class Session {
public:
    explicit Session(FuzzInput& input) : in_(input) {}

    void run() {
        for (int step = 0; !in_.empty() && step < 64; ++step) {
            const uint8_t op = in_.byte();
            Slot& slot = slots_[in_.below(kSlots)];
            if (trace_) {
                std::fprintf(stderr, "step %d: slot %d %s %d\n", step, static_cast<int>(&slot - slots_),
                             slot.table == 0 ? "create" : "op", op % 16);
            }
            if (slot.table == 0) {
                create(slot);
            } else {
                perform(op % 16, slot);
            }
            if (trace_) {
                for (const Slot& each : slots_) {
                    if (each.table == 0) continue;
                    std::fprintf(stderr, "  slot %d (%sbound): %s", static_cast<int>(&each - slots_),
                                 rtmGetLimitDirect(uvt_test::TrackingMemory::resolve(each.table), 0) > 0 ? "" : "un",
                                 describe(snapshot(each.table)).c_str());
                }
            }
            const std::string what = "step " + std::to_string(step) + " op " + std::to_string(op % 16);
            checkHostClean(what);
            std::vector<uintptr_t> tables;
            for (const Slot& each : slots_) {
                if (each.table != 0) tables.push_back(each.table);
            }
            checkBlocksHeld(tables, what);
        }
        for (Slot& slot : slots_) remove(slot);
    }

    // What an export answered, into the host's log: the two runs of an
    // input must give the same answers as well as the same host calls.
    static void note(std::string entry) { uvt_test::HostRecorder::instance().log.push_back(std::move(entry)); }
    static void answer(const char* call, const char* message) {
        note(std::string(call).append(": ").append(message != nullptr ? message : "ok"));
    }

    void create(Slot& slot) {
        int32_t hostIds[2] = {in_.smallInt(), in_.smallInt()};
        slot.table = CreateUVT(in_.byte() & 1 ? hostIds : nullptr);
        if (slot.table == 0) return;
        slot.object = std::make_unique<uvt_test::ConfigObject>();
        UVTSetConfigInterface(slot.table, slot.object->object());
    }

    void remove(Slot& slot) {
        if (slot.table != 0) DeleteUVT(slot.table);
        slot.table = 0;
        if (slot.object) FUZZ_CHECK(slot.object->references == 1, "a deleted table kept its interface");
        slot.object.reset();
    }

    Slot& other(const Slot& slot) {
        Slot& chosen = slots_[in_.below(kSlots)];
        return &chosen == &slot ? slots_[(&chosen - slots_ + 1) % kSlots] : chosen;
    }

    int32_t rowNumber(uintptr_t table) {
        const int32_t rows = dfnCountRows(table);
        const uint8_t how = in_.byte();
        if (how < 224) return static_cast<int32_t>(how % (rows + 1));
        return in_.smallInt();
    }

    std::string word() {
        const uint8_t pick = in_.byte();
        if (pick < 200) return kWords[pick % std::size(kWords)];
        return in_.text(24);
    }

    // A name the table knows, or some text.
    std::string variableName(uintptr_t table) {
        if (in_.byte() & 1) return word();
        return uvt_test::getCell(table, 0, rowNumber(table));
    }

    void perform(uint8_t op, Slot& slot) {
        const uintptr_t table = slot.table;
        if (op == 1 || op == 2 || op == 3 || op == 4 || op == 14) slot.edited = true;
        switch (op) {
            case 0: remove(slot); break;
            case 1:
                if (dfnCountRows(table) < kMostRows) dfnInsertRow(table, rowNumber(table));
                break;
            case 2: dfnDeleteRow(table, rowNumber(table)); break;
            case 3:
            case 4: setCell(table); break;
            case 5: read(table); break;
            case 6: saveAndRestore(slot); break;
            case 7: dumpAndLoad(slot); break;
            case 8: bind(slot); break;
            case 9:
            case 10: write(table); break;
            case 11: readValues(table); break;
            case 12: replace(slot); break;
            case 13: {
                Bstr name(word().c_str());
                dfnSetFunctionName(table, name.variant());
                break;
            }
            case 14: rtmSetCellValue(table, rowNumber(table), in_.smallInt() & 15, in_.smallInt()); break;
            case 15: {
                uvt_test::HostRecorder& host = uvt_test::HostRecorder::instance();
                for (const int32_t code : {-2, -13, -23}) host.sizes[code] = in_.smallInt() % 4;
                const bool complete = isComplete(table);
                rtmSetSymSize(table, 0);
                if (complete && uvt_test::header(table).runtimeRoot != 0) slot.edited = false;
                break;
            }
        }
    }

    void setCell(uintptr_t table) {
        const int32_t column = in_.byte() < 240 ? static_cast<int32_t>(in_.below(5)) : in_.smallInt();
        const int32_t row = rowNumber(table);
        const uint8_t kind = in_.byte();
        if (kind < 240) {
            Bstr text(word().c_str());
            int32_t reserved = 0;
            take(dfnSetValue(table, column, row, text.variant(), &reserved));
        } else {
            // Text arguments are always VT_BSTR: the library reads the BSTR
            // without looking at the tag, as hosts rely on.
            uvt_test::setCellNull(table, column, row);
        }
    }

    void read(uintptr_t table) {
        const int32_t row = rowNumber(table);
        const int32_t column = static_cast<int32_t>(in_.below(6)) - 1;
        uvt_test::getCell(table, column, row);
        const int32_t entries = dfnCountValidStrings(table, column, row);
        FUZZ_CHECK(entries >= 0, "negative choice count");
        take(dfnGetValidString(table, column, row, in_.smallInt()));
        take(dfnIsRowComplete(table, row));
        if (in_.byte() < 32) exerciseTable(table, !slotOf(table).edited);
    }

    void saveAndRestore(Slot& slot) {
        slot.object->clearSaves();
        UVTSave(slot.table);
        checkSaveRestore(slot.table, *slot.object);
        // Restore the saved string into another table, ahead of its rows.
        Slot& into = other(slot);
        if (into.table == 0 || dfnCountRows(into.table) + dfnCountRows(slot.table) > kMostRows) return;
        into.object->primary = slot.object->saved();
        into.object->second = into.object->primary;
        into.object->readSizes.assign(1, static_cast<int32_t>(in_.byte()));
        into.edited = true;
        if (in_.byte() & 1) UVTRestoreRB(into.table);
        else UVTRestore(into.table);
        into.object->readSizes.clear();
    }

    void dumpAndLoad(Slot& slot) {
        checkDumpLoad(slot.table);
        Slot& into = other(slot);
        if (into.table == 0 || dfnCountRows(into.table) + dfnCountRows(slot.table) > kMostRows) return;
        const std::string path = scratchDirectory() + "/session.f";
        Bstr wide(path.c_str());
        into.edited = true;
        if (dfnDumpFORTRAN(slot.table, wide.variant()) == 0) dfnImportFortran(into.table, wide.variant());
    }

    void bind(Slot& slot) {
        const uintptr_t table = slot.table;
        const bool complete = isComplete(table);
        switch (in_.below(4)) {
            case 0:
                rtmInitArrays(table);
                if (complete) slot.edited = false;
                break;
            case 1: {
                int32_t ints[64];
                double reals[64];
                for (int32_t& value : ints) value = in_.byte() < 200 ? in_.smallInt() % 4 : 99999999;
                for (double& value : reals) value = in_.smallInt();
                const int32_t limit = rtmGetLimit(table, 0);
                if (limit <= 64 && rtmGetLimit(table, 1) <= 64) {
                    rtmAttachArrays(table, ints, reals);
                    if (complete) slot.edited = false;
                }
                break;
            }
            case 2: rtmGetLimit(table, in_.smallInt()); break;
            default:
                if (complete && !slot.edited && rtmGetLimit(table, 0) >= 0) checkBinding(table);
                break;
        }
    }

    // The n-th value of the walk, or 0.
    uintptr_t walkTo(uintptr_t table, uint32_t n, int32_t filter) {
        uintptr_t handle = 0;
        if (rtmGetFirstHandle(table, filter, &handle) != nullptr) return 0;
        for (; handle != 0 && n > 0; --n) {
            if (rtmGetNextHandle(table, handle, filter, &handle) != nullptr) return 0;
        }
        return handle;
    }

    // A value for a variable of the given type, or -1 for none. The bytes
    // hold a NUL within them whatever the type, so that a value read as
    // another type's never leads past them.
    struct Value {
        alignas(8) char bytes[64] = {};
    };
    const void* value(Value& value, int32_t type) {
        if (type < 0 || type > 2) return nullptr;
        if (type == 0) {
            const int32_t integer = in_.byte() < 240 ? in_.smallInt() % 5 : in_.smallInt();
            std::memcpy(value.bytes, &integer, sizeof integer);
        } else if (type == 1) {
            const double real = in_.real();
            std::memcpy(value.bytes, &real, sizeof real);
        } else {
            const std::string text = in_.text(40);
            std::memcpy(value.bytes, text.data(), text.size());
        }
        return value.bytes;
    }
    // The type the value is made for: mostly the variable's own, now and
    // then another or none.
    int32_t valueType(int32_t variableType) {
        const uint8_t how = in_.byte();
        if (how < 224) return variableType;
        return static_cast<int32_t>(how % 4) - 1;
    }

    void write(uintptr_t table) {
        Value buffer;
        int32_t indexes[4];
        for (int32_t& index : indexes) index = in_.smallInt() % 4;
        switch (in_.below(5)) {
            case 0: {
                const int32_t type = static_cast<int32_t>(in_.below(5)) - 1;
                const int32_t place = static_cast<int32_t>(in_.below(16)) - 1;
                answer("set by place", rtmSetValue(table, type, place, value(buffer, valueType(type))));
                break;
            }
            case 1: {
                const int32_t row = static_cast<int32_t>(in_.below(16)) - 1;
                const int32_t direction = static_cast<int32_t>(in_.below(3));
                int32_t type = -1;
                rtmGetTypeByRow(table, row, &type, direction);
                answer("set by row", rtmSetValueByRow(table, row, value(buffer, valueType(type)), direction));
                break;
            }
            case 2: {
                const uintptr_t handle = walkTo(table, in_.below(16), static_cast<int32_t>(in_.below(6)) - 1);
                if (handle == 0) break;
                int32_t type = -1;
                rtmGetTypeByHandle(table, handle, &type);
                answer("set by handle", rtmSetValueByHandle(table, handle, value(buffer, valueType(type))));
                break;
            }
            default: {
                const std::string name = variableName(table);
                void* current = nullptr;
                int32_t type = -1;
                const bool oneBased = in_.byte() & 1;
                const auto valueByName = oneBased ? &rtmOne_BasedGetVarValueByName : &rtmGetVarValueByName;
                valueByName(table, name.c_str(), indexes, &current, &type);
                const void* written = value(buffer, valueType(type));
                answer("set by name", oneBased ? rtmOne_BasedSetVarValueByName(table, name.c_str(), indexes, written)
                                                : rtmSetVarValueByName(table, name.c_str(), indexes, written));
                break;
            }
        }
    }

    void readValues(uintptr_t table) {
        const int32_t direction = static_cast<int32_t>(in_.below(3));
        const int32_t row = static_cast<int32_t>(in_.below(16)) - 1;
        int32_t type = -7;
        void* value = nullptr;
        int32_t element = -7;
        uintptr_t handle = 0;
        char label[512];
        const char* typeAnswer = rtmGetTypeByRow(table, row, &type, direction);
        answer("type by row", typeAnswer);
        answer("value by row", rtmGetValueByRow(table, row, &value, direction));
        answer("element by row", rtmGetElementByRow(table, row, direction, &element));
        note(std::to_string(type) + " " + (typeAnswer == nullptr ? pointedValue(value, type) : "-") + " " +
             std::to_string(element));
        answer("handle by row", rtmHandleByRow(table, row, direction, &handle));
        note(handle != 0 ? "a handle" : "no handle");
        label[0] = 0;
        answer("label by row",
               rtmGetLabelByRow(table, row, direction, label, static_cast<int32_t>(in_.below(16)) - 2));
        note(label);
        int32_t io = -7;
        label[0] = 0;
        const char* placeLabel = rtmGetLabel(table, static_cast<int32_t>(in_.below(4)),
                                             static_cast<int32_t>(in_.below(16)) - 1, &io, label,
                                             static_cast<int32_t>(in_.below(20)));
        note(std::string(placeLabel != nullptr ? "a label " : "no label ").append(label) + " io " + std::to_string(io));
        const uintptr_t walked = walkTo(table, in_.below(16), static_cast<int32_t>(in_.below(7)) - 1);
        note(walked != 0 ? "walked" : "not walked");
        if (walked != 0) {
            type = -7;
            value = nullptr;
            element = -7;
            typeAnswer = rtmGetTypeByHandle(table, walked, &type);
            answer("type by handle", typeAnswer);
            answer("value by handle", rtmGetValueByHandle(table, walked, &value));
            answer("element by handle",
                   rtmGetElementByHandle(table, walked, static_cast<int32_t>(in_.below(7)) - 1, &element));
            note(std::to_string(type) + " " + (typeAnswer == nullptr ? pointedValue(value, type) : "-") + " " +
                 std::to_string(element));
            label[0] = 0;
            answer("label by handle", rtmGetLabelByHandle(table, walked, label, 0));
            note(label);
        }
        const int32_t indexes[4] = {in_.smallInt() % 4, in_.smallInt() % 4, in_.smallInt() % 4, in_.smallInt() % 4};
        const std::string name = variableName(table);
        int32_t place = -7;
        for (const bool oneBased : {false, true}) {
            type = -7;
            value = nullptr;
            const char* found = oneBased ? rtmOne_BasedGetVarValueByName(table, name.c_str(), indexes, &value, &type)
                                         : rtmGetVarValueByName(table, name.c_str(), indexes, &value, &type);
            answer("value by name", found);
            note(std::to_string(type) + " " + (found == nullptr ? pointedValue(value, type) : "-"));
            answer("location by name",
                   oneBased ? rtmOne_BasedGetVarLocationByName(table, name.c_str(), indexes, &place, &type)
                            : rtmGetVarLocationByName(table, name.c_str(), indexes, &place, &type));
            note(std::to_string(type) + " " + std::to_string(place));
        }
        note("length " + std::to_string(rtmArrayLength(table, name.c_str(), indexes)));
        answer("handle by name", rtmHandleByName(table, name.c_str(), &handle));
        char function[16] = {};
        int32_t stamp = 0;
        rtmGetFunction(table, function, &stamp);
        // The time stamp is the clock's when the table was made, which the
        // second run of an input may read a second later.
        note(std::string(function, strnlen(function, sizeof function)));
    }

    void replace(Slot& slot) {
        Slot& source = other(slot);
        if (source.table == 0) return;
        rtmReplaceTable(slot.table, source.table);
        // A source that was taken over is gone, and the target holds its
        // whole header, configuration interface included; the target's own
        // interface went with the deleted definition. A source that was not
        // taken over stays as it was.
        if (uvt_test::TrackingMemory::instance().sizeOf(source.table) < 0) {
            source.table = 0;
            slot.edited = false;  // laid out whole over the complete source's rows
            FUZZ_CHECK(slot.object->references == 1, "the replaced definition kept its interface");
            slot.object = std::move(source.object);
            FUZZ_CHECK(slot.object->references == 2, "the target does not hold the source's interface");
        }
    }

    Slot& slotOf(uintptr_t table) {
        for (Slot& slot : slots_) {
            if (slot.table == table) return slot;
        }
        fail(__FILE__, __LINE__, "no slot holds the table");
    }

    FuzzInput& in_;
    Slot slots_[kSlots];
    // Set UVT_FUZZ_TRACE to see what an input does, step by step.
    const bool trace_ = std::getenv("UVT_FUZZ_TRACE") != nullptr;
};

// Runs the input as a session and gives back what the host saw: its calls,
// the blocks it handed out and took back, and the exports' answers, as if no
// layout index block had been asked for. `indexBlocks` counts those made.
std::vector<std::string> runSession(const uint8_t* data, std::size_t size, bool refuseIndex, int& indexBlocks) {
    FuzzInput input(data, size);
    beginInput();
    uvt_test::TrackingMemory& memory = uvt_test::TrackingMemory::instance();
    memory.limitLiveBlocks(kLiveBlockLimit);
    memory.outsideLiveLimit = uvt_test::isLayoutIndexSize;
    if (refuseIndex) memory.refuseSize = uvt_test::isLayoutIndexSize;
    memory.recordTrailInto(uvt_test::HostRecorder::instance().log);
    Session(input).run();
    memory.recordTrail(false);
    endInput();
    return uvt_test::withoutLayoutIndexBlocks(uvt_test::HostRecorder::instance().log, indexBlocks);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    int indexBlocks = 0;
    int refusedBlocks = 0;
    const std::vector<std::string> indexed = runSession(data, size, false, indexBlocks);
    const std::vector<std::string> walked = runSession(data, size, true, refusedBlocks);
    FUZZ_CHECK(refusedBlocks == 0, "a refused layout index block was made");
    const auto [first, second] = std::mismatch(indexed.begin(), indexed.end(), walked.begin(), walked.end());
    if (first != indexed.end() || second != walked.end()) {
        const std::string with = first != indexed.end() ? *first : "(end)";
        const std::string without = second != walked.end() ? *second : "(end)";
        FUZZ_CHECK(false, "entry " + std::to_string(first - indexed.begin()) + " with the layout index: " + with +
                              ", without: " + without);
    }
    return 0;
}
