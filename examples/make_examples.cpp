// Makes the example tables in examples/ through the library, as a host's
// design grid would: rows are inserted and their cells typed in as text.
//   uvt_make_examples DIR   writes DIR/mixer.f, DIR/splitter.state, DIR/column.txt
#include "uvt.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Row {
    const char* name;
    const char* type;
    const char* dimension;
    const char* depth;
    const char* io;
};

VARIANT text(const std::string& value) {
    std::basic_string<OLECHAR> wide(value.begin(), value.end());
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(wide.data(), static_cast<uint32_t>(wide.size()));
    return v;
}

// Types every cell of every row; stops at the first cell the grid refuses.
bool fill(uintptr_t table, const std::vector<Row>& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto row = static_cast<int32_t>(r);
        dfnInsertRow(table, row);
        const char* cells[] = {rows[r].name, rows[r].type, rows[r].dimension, rows[r].depth, rows[r].io};
        for (int32_t column = 0; column < 5; ++column) {
            VARIANT value = text(cells[column]);
            int32_t reserved = 0;
            VARIANT answer = dfnSetValue(table, column, row, value, &reserved);
            const bool refused = answer.vt == VT_BSTR;
            VariantClear(&answer);
            VariantClear(&value);
            if (refused) {
                std::fprintf(stderr, "row %d column %d: \"%s\" refused\n", row + 1, column, cells[column]);
                return false;
            }
        }
    }
    VARIANT complete = dfnIsComplete(table);
    const bool ok = complete.vt == VT_BSTR && SysStringLen(complete.bstrVal) == 0;
    VariantClear(&complete);
    if (!ok) std::fprintf(stderr, "the table is not complete\n");
    return ok;
}

// A configuration object that keeps the saved-state string.
struct Saver {
    const UvtConfigInterfaceVtbl* vtbl;
    std::string saved;
};
Saver& saver(UvtConfigInterface* self) { return *reinterpret_cast<Saver*>(self); }
int32_t UVT_CALL queryInterface(UvtConfigInterface* self, const GUID*, void** out) {
    *out = self;
    return 0;
}
uint32_t UVT_CALL addRef(UvtConfigInterface*) { return 2; }
uint32_t UVT_CALL release(UvtConfigInterface*) { return 1; }
int32_t UVT_CALL beginSave(UvtConfigInterface* self) {
    saver(self).saved.clear();
    return 0;
}
int32_t UVT_CALL saveBytes(UvtConfigInterface* self, const char* bytes, int32_t length) {
    saver(self).saved.append(bytes, static_cast<std::size_t>(length));
    return 1;
}
const UvtConfigInterfaceVtbl kSaverSlots = {queryInterface, addRef, release, beginSave, nullptr, nullptr,
                                            saveBytes,      nullptr, nullptr, nullptr, nullptr};

FILE* gText = nullptr;
void UVT_HOSTCALL writeLine(const char* line) { std::fputs(line, gText); }

bool writeFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: uvt_make_examples DIR\n");
        return 2;
    }
    const std::string dir = argv[1];

    // A mixer: feed and product compositions over the components.
    uintptr_t mixer = CreateUVT(nullptr);
    const bool mixerOk = fill(mixer, {
                                         {"FEEDZ", "Real", "Number of Components", "0", "Input Only"},
                                         {"TEMP", "Real", "Scalar", "0", "Input Only"},
                                         {"PRES", "Real", "Scalar", "0", "Input Only"},
                                         {"PRODZ", "Real", "Number of Components", "0", "Output Only"},
                                         {"DUTY", "Real", "Scalar", "0", "Output Only"},
                                         {"NITER", "Integer", "Scalar", "0", "Input and Output"},
                                         {"TAG", "Character", "Scalar", "0", "Input Only"},
                                     });
    VARIANT path = text(dir + "/mixer.f");
    const bool mixerWritten = mixerOk && dfnDumpFORTRAN(mixer, path) == 0;
    VariantClear(&path);
    DeleteUVT(mixer);

    // A splitter: one structure per inlet stream, a split fraction per outlet.
    uintptr_t splitter = CreateUVT(nullptr);
    Saver saverObject{&kSaverSlots, {}};
    bool splitterWritten = fill(splitter, {
                                              {"FEED", "Structure", "Number of Inlet Streams", "0", "Input Only"},
                                              {"FLOW", "Real", "Scalar", "1", "Input Only"},
                                              {"T", "Real", "Scalar", "1", "Input Only"},
                                              {"X", "Real", "Number of Components", "1", "Input Only"},
                                              {"ID", "Character", "Scalar", "1", "Input Only"},
                                              {"SPLIT", "Real", "Number of Outlet Streams", "0", "Input Only"},
                                              {"LOSS", "Real", "Scalar", "0", "Output Only"},
                                          });
    if (splitterWritten) {
        UVTSetConfigInterface(splitter, &saverObject);
        VARIANT name = text("SPLITTER");  // runs the save step into the object
        dfnSetFunctionName(splitter, name);
        VariantClear(&name);
        UVTSetConfigInterface(splitter, nullptr);
        splitterWritten = writeFile(dir + "/splitter.state", saverObject.saved);
    }
    DeleteUVT(splitter);

    // A column: stage arrays sized by the Integer NSTAGE.
    uintptr_t column = CreateUVT(nullptr);
    bool columnWritten = fill(column, {
                                          {"NSTAGE", "Integer", "Scalar", "0", "Input Only"},
                                          {"TSTAGE", "Real", "NSTAGE", "0", "Output Only"},
                                          {"FEEDST", "Integer", "Scalar", "0", "Input Only"},
                                          {"STAGE", "Structure", "NSTAGE", "0", "Input Only"},
                                          {"EFF", "Real", "Scalar", "1", "Input Only"},
                                          {"LABEL", "Character", "Scalar", "1", "Input Only"},
                                      });
    if (columnWritten) {
        VARIANT name = text("COLUMN");
        dfnSetFunctionName(column, name);
        VariantClear(&name);
        gText = std::fopen((dir + "/column.txt").c_str(), "wb");
        columnWritten = gText != nullptr;
        if (gText != nullptr) {
            UVTToText(column, &writeLine);
            columnWritten = std::fclose(gText) == 0;
        }
    }
    DeleteUVT(column);

    if (!mixerWritten || !splitterWritten || !columnWritten) {
        std::fprintf(stderr, "uvt_make_examples: could not write every example into %s\n", dir.c_str());
        return 1;
    }
    std::printf("wrote %s/mixer.f, %s/splitter.state and %s/column.txt\n", dir.c_str(), dir.c_str(), dir.c_str());
    return 0;
}
