// Feeds any file to the FORTRAN reader, as a new table and as rows imported
// into a table that has rows of its own, and checks what comes out.
#include "fuzz_checks.h"
#include "fuzz_input.h"

using namespace uvt_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const uint8_t flags = input.byte();
    const std::string content = input.rest();

    beginInput();
    const std::string path = scratchDirectory() + "/input.f";
    writeFile(path, content);
    uvt_test::Bstr wide(path.c_str());

    const uintptr_t loaded = dfnLoadFromFORTRAN(wide.variant());
    checkBlocksHeld({loaded}, "load");
    if (loaded != 0) {
        exerciseTable(loaded);
        checkDumpLoad(loaded);
        if (flags & 1) {
            // The same file appended to what it made (and bound, if it was
            // complete: the tree stays as it was laid out).
            dfnImportFortran(loaded, wide.variant());
            checkBlocksHeld({loaded}, "import into itself");
            exerciseTable(loaded, false);
        }
        DeleteUVT(loaded);
    }
    checkHostClean("load");

    const uintptr_t table = CreateUVT(nullptr);
    FUZZ_CHECK(table != 0, "no table");
    if (flags & 2) {
        const std::string answer = uvt_test::tryAppendRow(table, {"NC", "Integer", "Scalar", "0", "Input Only"});
        FUZZ_CHECK(answer.empty(), answer);
    }
    dfnImportFortran(table, wide.variant());
    checkBlocksHeld({table}, "import");
    exerciseTable(table);
    checkDumpLoad(table);
    DeleteUVT(table);
    endInput();
    return 0;
}
