// Looks up any path name and any variable name with any index list on a
// bound table, through every by-name export, and checks that whatever is
// found is the same value however it is reached.
#include "fuzz_checks.h"
#include "fuzz_input.h"

#include <cmath>

using namespace uvt_fuzz;
using uvt_test::RowSpec;

namespace {

// Tables whose paths cross arrays, structures and arrays inside structure
// arrays; NC and NS size arrays, X and Z are sized by the host's counts.
const std::vector<RowSpec> kShapes[] = {
    uvt_test::kSampleRows,
    {{"NS", "Integer", "Scalar", "0", "Input Only"},
     {"NC", "Integer", "Scalar", "0", "Input and Output"},
     {"OUTER", "Structure", "NS", "0", "Input Only"},
     {"INNER", "Structure", "NC", "1", "Input Only"},
     {"V", "Real", "NC", "2", "Input and Output"},
     {"W", "Character", "Scalar", "2", "Output Only"},
     {"T", "Structure", "Scalar", "1", "Output Only"},
     {"Z", "Integer", "Number of Inlet Streams", "2", "Output Only"}},
    {{"R", "Structure", "Scalar", "0", "Input Only"},
     {"D", "Real", "Scalar", "1", "Input Only"},
     {"E", "Structure", "Scalar", "1", "Input Only"},
     {"F", "Integer", "Number of Inlet Streams", "2", "Input and Output"},
     {"G", "Character", "Number of Components", "0", "Output Only"}},
};

// The value a found variable has, read back through its label.
void* valueThroughLabel(uintptr_t table, int32_t type, int32_t place) {
    char label[512];
    int32_t io = 0;
    FUZZ_CHECK(rtmGetLabel(table, type, place, &io, label, sizeof label) == label, "found value has no label");
    uintptr_t handle = 0;
    FUZZ_CHECK(rtmHandleByName(table, label, &handle) == nullptr, std::string("label not a path: ") + label);
    void* value = nullptr;
    FUZZ_CHECK(rtmGetValueByHandle(table, handle, &value) == nullptr, "labelled value unreadable");
    return value;
}

void lookUp(uintptr_t table, const char* name, const int32_t* indexes, bool oneBased, FuzzInput& input) {
    const auto valueByName = oneBased ? &rtmOne_BasedGetVarValueByName : &rtmGetVarValueByName;
    const auto locationByName = oneBased ? &rtmOne_BasedGetVarLocationByName : &rtmGetVarLocationByName;
    const auto setByName = oneBased ? &rtmOne_BasedSetVarValueByName : &rtmSetVarValueByName;

    void* value = nullptr;
    int32_t type = -1;
    const char* valueMessage = valueByName(table, name, indexes, &value, &type);
    int32_t place = -1;
    int32_t locationType = -1;
    const char* locationMessage = locationByName(table, name, indexes, &place, &locationType);
    FUZZ_CHECK((valueMessage == nullptr) == (locationMessage == nullptr), "value and location lookups disagree");
    if (oneBased) {
        rtmArrayLength(table, name, indexes);
    } else {
        const int32_t length = rtmArrayLength(table, name, indexes);
        FUZZ_CHECK(length == -1 || length > 0, "array length " + std::to_string(length));
    }
    if (locationMessage != nullptr) return;

    FUZZ_CHECK(type == locationType && type >= 0 && type < 3, "lookups disagree on the type");
    FUZZ_CHECK(place >= 0 && place < rtmGetLimit(table, type), "place out of range");
    FUZZ_CHECK(valueThroughLabel(table, type, place) == value, "lookups found other values");

    // Write through the name, read back through the place.
    const int32_t integer = input.smallInt() % 4;
    const double real = input.real();
    const std::string text = input.text(24);
    const void* written = type == 0 ? static_cast<const void*>(&integer)
                        : type == 1 ? static_cast<const void*>(&real)
                                    : static_cast<const void*>(text.c_str());
    const char* message = setByName(table, name, indexes, written);
    checkHostClean("write by name");
    if (message != nullptr) return;
    void* readBack = nullptr;
    int32_t readType = -1;
    FUZZ_CHECK(valueByName(table, name, indexes, &readBack, &readType) == nullptr || type == 0,
               "a written value is gone");
    if (readBack == nullptr || readType != type) return;  // an Integer write may resize its own array
    if (type == 1) {
        const double stored = *static_cast<const double*>(readBack);
        FUZZ_CHECK(stored == real || (std::isnan(stored) && std::isnan(real)), "Real not stored");
    } else if (type == 2) {
        FUZZ_CHECK(std::string(static_cast<const char*>(readBack)) == text.c_str(), "text not stored");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const uint8_t flags = input.byte();
    beginInput();
    uvt_test::HostRecorder& host = uvt_test::HostRecorder::instance();
    host.sizes[-2] = static_cast<int32_t>(input.below(4));   // components
    host.sizes[-13] = static_cast<int32_t>(input.below(4));  // inlet streams

    const auto& shape = kShapes[input.below(3)];
    const uintptr_t table = CreateUVT(nullptr);
    FUZZ_CHECK(table != 0, "no table");
    for (const RowSpec& row : shape) {
        const std::string answer = uvt_test::tryAppendRow(table, row);
        FUZZ_CHECK(answer.empty(), answer);
    }
    rtmInitArrays(table);
    // Sizes for the arrays that Integers size.
    const int32_t noIndexes[1] = {0};
    for (const char* sizer : {"NC", "NS"}) {
        const int32_t count = static_cast<int32_t>(input.below(4));
        rtmSetVarValueByName(table, sizer, noIndexes, &count);
    }
    checkHostClean("binding");

    int32_t indexes[16];
    for (int32_t& index : indexes) index = input.smallInt();
    const std::string name = input.text(48);

    uintptr_t handle = 0;
    if (rtmHandleByName(table, name.c_str(), &handle) == nullptr) {
        FUZZ_CHECK(handle != 0 && rtmIsHandleValid(table, handle), "a path named an invalid handle");
        char label[512];
        if (rtmGetLabelByHandle(table, handle, label, 0) == nullptr) {
            uintptr_t again = 0;
            FUZZ_CHECK(rtmHandleByName(table, label, &again) == nullptr && again == handle,
                       std::string("label ") + label + " of path " + name + " leads elsewhere");
        }
        uintptr_t next = 0;
        FUZZ_CHECK(rtmGetNextHandle(table, handle, static_cast<int32_t>(flags % 6) - 1, &next) == nullptr,
                   "no walk from a named node");
    }
    lookUp(table, name.c_str(), (flags & 1) ? nullptr : indexes, (flags & 2) != 0, input);
    checkBinding(table);
    DeleteUVT(table);
    endInput();
    return 0;
}
