#include "fortran/fortran_writer.h"

#include "fortran/file_path.h"
#include "fortran/function_name.h"
#include "table/records.h"
#include "table/row_numbers.h"
#include "table/table_access.h"

#include <cstdio>
#include <cstring>

namespace uvt {
namespace {

// Characters of a name that the function carries: four Hollerith words.
constexpr std::size_t kWrittenNameLength = 16;

void writeRow(std::FILE* file, const VariableRow* row, RowNumbers& numbers, bool last) {
    // A slot without a record is written as a fresh row would be.
    const VariableRow blank{0, {}, kReal, kScalar, 0, 1, kNoParent};
    const VariableRow& r = row != nullptr ? *row : blank;
    const std::size_t length = strnlen(r.name, kWrittenNameLength);
    std::fputs("     1  ", file);
    for (std::size_t i = 0; i < kWrittenNameLength; ++i) {
        if (i == 0) {
            std::fputs("4H", file);
        } else if (i % 4 == 0) {
            std::fputs(",  4H", file);
        }
        std::fputc(i < length ? static_cast<unsigned char>(r.name[i]) : ' ', file);
    }
    std::fprintf(file, ",  %d,  %d,  %d,  %d", static_cast<int>(r.type),
                 static_cast<int>(numbers.storedDimension(r.dimension)), static_cast<int>(r.depth),
                 static_cast<int>(r.io));
    std::fputs(last ? "/\n\n" : ",\n", file);
}

void writeFunction(std::FILE* file, const TableHeader& header) {
    const int name = static_cast<int>(strnlen(header.functionName, sizeof header.functionName - 1));
    const char* functionName = header.functionName;
    std::fprintf(file, "      INTEGER FUNCTION %.*s(NVARS,ICOL,IROW)\n", name, functionName);
    std::fprintf(file, "      PARAMETER (IPARAM_NVARS=%d)\n", static_cast<int>(header.rowCount));
    if (header.rowCount > 0) {
        std::fputs("      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN\n", file);
        std::fputs("      DATA IVARIABLES/\n", file);
        RowNumbers numbers(header);
        for (int32_t i = 0; i < header.rowCount; ++i) {
            writeRow(file, rowAt(header, i), numbers, i + 1 == header.rowCount);
        }
    } else {
        // FORTRAN has no empty DATA list: the table without rows keeps one
        // column of zeros that no call reaches, since NVARS is 0. Readers see
        // no Hollerith group and take the list as empty.
        std::fputs("      INTEGER IVARIABLES(8,1), IVRSN\n", file);
        std::fputs("      DATA IVARIABLES/\n", file);
        std::fputs("     1  8*0/\n\n", file);
    }
    std::fprintf(file, "      DATA IVRSN/%d/\n", static_cast<int>(header.timeStamp));
    std::fputs("      NVARS = IPARAM_NVARS\n", file);
    std::fputs("      IF(IROW .EQ. 0) THEN\n", file);
    std::fprintf(file, "          %.*s=IVRSN\n", name, functionName);
    std::fputs("      ELSE IF(IROW .LE. NVARS) THEN\n", file);
    std::fprintf(file, "          %.*s=IVARIABLES(ICOL,IROW)\n", name, functionName);
    std::fputs("      ENDIF\n", file);
    std::fputs("      RETURN\n", file);
    std::fputs("      END\n", file);
}

}  // namespace

int32_t dumpFortran(uintptr_t table, const OLECHAR* path) {
    if (path == nullptr || resolveTable(table) == nullptr) return 1;
    OpenFile file = openFile(path, "w");
    if (!file) return 1;

    OLECHAR name[kFunctionNameLength + 1];
    functionNameFromPath(path, name);
    setFunctionName(table, name);

    const TableHeader* header = resolveTable(table);
    if (header != nullptr) writeFunction(file.get(), *header);
    // A full disk must not pass for a written file.
    const bool failed = header == nullptr || std::ferror(file.get()) != 0;
    return (std::fclose(file.release()) != 0 || failed) ? 1 : 0;
}

}  // namespace uvt
