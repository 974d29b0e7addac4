// Feeds the text-form reader a token source that answers from the input:
// texts of any bytes (never past the field they go to) and any numbers, and
// nothing once the input is used up.
#include "fuzz_checks.h"
#include "fuzz_input.h"

using namespace uvt_fuzz;

namespace {

FuzzInput* tokens = nullptr;
int textsDelivered = 0;

int32_t UVT_HOSTCALL tokenSource(int32_t kind, void* destination) {
    if (tokens->empty()) return 0;
    if (kind == 1) {
        const int32_t number = tokens->smallInt();
        std::memcpy(destination, &number, sizeof number);
        return 1;
    }
    // The first text is the function name (16 bytes), the others are row
    // names (20 bytes); a text that fills its field has no terminator.
    const std::size_t capacity = textsDelivered++ == 0 ? 16 : 20;
    const std::string text = tokens->text(capacity);
    std::memcpy(destination, text.data(), text.size());
    if (text.size() < capacity) static_cast<char*>(destination)[text.size()] = 0;
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const uint8_t flags = input.byte();
    beginInput();
    const uintptr_t table = CreateUVT(nullptr);
    FUZZ_CHECK(table != 0, "no table");
    if (flags & 1) {
        for (const uvt_test::RowSpec& row : {uvt_test::RowSpec{"NC", "Integer", "Scalar", "0", "Input Only"},
                                             uvt_test::RowSpec{"S", "Structure", "NC", "0", "Input Only"},
                                             uvt_test::RowSpec{"A", "Real", "Scalar", "1", "Input Only"}}) {
            const std::string answer = uvt_test::tryAppendRow(table, row);
            FUZZ_CHECK(answer.empty(), answer);
        }
        if (flags & 2) {
            rtmInitArrays(table);
            const int32_t two = 2;
            const int32_t noIndexes[1] = {0};
            rtmSetVarValueByName(table, "NC", noIndexes, &two);
        }
    }
    tokens = &input;
    textsDelivered = 0;
    UVTFromText(table, &tokenSource);
    tokens = nullptr;
    checkHostClean("text form");
    checkBlocksHeld({table}, "text form");
    exerciseTable(table, (flags & 3) != 3);  // a table bound before keeps its tree
    uvt_test::ConfigObject object;
    UVTSetConfigInterface(table, object.object());
    checkSaveRestore(table, object);
    UVTSetConfigInterface(table, nullptr);
    checkDumpLoad(table);
    DeleteUVT(table);
    endInput();
    return 0;
}
