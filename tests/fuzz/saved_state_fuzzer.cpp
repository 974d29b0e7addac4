// Feeds any saved-state string to both restore sources, delivered in reads
// of varying sizes, into an empty table or one that has rows, and checks
// what comes out.
#include "fuzz_checks.h"
#include "fuzz_input.h"

using namespace uvt_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const uint8_t flags = input.byte();
    uvt_test::ConfigObject object;
    for (uint32_t n = input.below(4); n > 0; --n) object.readSizes.push_back(input.byte());
    const std::string state = input.rest();

    beginInput();
    const uintptr_t table = CreateUVT(nullptr);
    FUZZ_CHECK(table != 0, "no table");
    if (flags & 2) {
        for (const uvt_test::RowSpec& row : {uvt_test::RowSpec{"NC", "Integer", "Scalar", "0", "Input Only"},
                                             uvt_test::RowSpec{"X", "Real", "NC", "0", "Output Only"}}) {
            const std::string answer = uvt_test::tryAppendRow(table, row);
            FUZZ_CHECK(answer.empty(), answer);
        }
        if (flags & 4) rtmInitArrays(table);
    }
    const int32_t rowsBefore = dfnCountRows(table);
    UVTSetConfigInterface(table, object.object());
    int32_t restored;
    if (flags & 1) {
        object.second = state;
        restored = UVTRestoreRB(table);
    } else {
        object.primary = state;
        restored = UVTRestore(table);
    }
    FUZZ_CHECK(restored >= 0 && restored <= dfnCountRows(table) - rowsBefore, "restore claims rows it did not make");
    checkHostClean("restore");
    checkBlocksHeld({table}, "restore");
    exerciseTable(table, (flags & 6) != 6);  // a table bound before keeps its tree
    checkSaveRestore(table, object);
    UVTSetConfigInterface(table, nullptr);
    DeleteUVT(table);
    FUZZ_CHECK(object.references == 1, "the table kept a reference");
    endInput();
    return 0;
}
