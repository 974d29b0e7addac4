#include "fortran_files.h"

#include <cstring>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>

namespace uvt_test {

ScratchDirectory::ScratchDirectory() {
    std::random_device entropy;
    std::mt19937_64 pick((static_cast<uint64_t>(entropy()) << 32) ^ entropy());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("uvt_fortran_" + std::to_string(pick() % 1000000000000ull));
        std::error_code error;
        if (std::filesystem::create_directory(path_, error)) return;
        if (error) throw std::filesystem::filesystem_error("scratch directory", path_, error);
    }
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) ADD_FAILURE() << "cannot write " << file;
}

std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string readText(const std::filesystem::path& file) {
    std::string text = readBytes(file);
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines += text[i];
    }
    return lines;
}

int32_t dumpTo(uintptr_t table, const std::u16string& path) {
    Bstr text(path);
    return dfnDumpFORTRAN(table, text.variant());
}

uintptr_t loadFrom(const std::u16string& path) {
    Bstr text(path);
    return dfnLoadFromFORTRAN(text.variant());
}

void importFrom(uintptr_t table, const std::u16string& path) {
    Bstr text(path);
    dfnImportFortran(table, text.variant());
}

int32_t dumpTo(uintptr_t table, const std::filesystem::path& file) { return dumpTo(table, file.u16string()); }
uintptr_t loadFrom(const std::filesystem::path& file) { return loadFrom(file.u16string()); }
void importFrom(uintptr_t table, const std::filesystem::path& file) { importFrom(table, file.u16string()); }

int32_t setFunctionName(uintptr_t table, const char* name) {
    Bstr text(name);
    return dfnSetFunctionName(table, text.variant());
}

namespace {
int32_t rowNumberOfId(uintptr_t table, int32_t id) {
    for (int32_t i = 0; i < dfnCountRows(table); ++i) {
        if (row(table, i).id == id) return i;
    }
    return -1;
}
}  // namespace

TableState stateOf(uintptr_t table) {
    TableState state{};
    const HeaderView& h = header(table);
    state.functionName = std::string(h.functionName, strnlen(h.functionName, sizeof h.functionName));
    state.timeStamp = h.timeStamp;
    state.hostIds[0] = h.hostIds[0];
    state.hostIds[1] = h.hostIds[1];
    for (int32_t i = 0; i < h.rowCount; ++i) {
        const RowView& r = row(table, i);
        RowState s{std::string(r.name, strnlen(r.name, sizeof r.name)), r.type, r.dimension, r.depth, r.io, -50};
        if (r.dimension >= 0) s.dimension = rowNumberOfId(table, r.dimension);
        if (r.parentId != -50) s.parentRow = rowNumberOfId(table, r.parentId);
        state.rows.push_back(s);
    }
    return state;
}

void PrintTo(const RowState& r, std::ostream* out) {
    *out << "{" << r.name << " t" << r.type << " d" << r.dimension << " depth" << r.depth << " io" << r.io
         << " parent" << r.parentRow << "}";
}

void PrintTo(const TableState& t, std::ostream* out) {
    *out << "function " << t.functionName << " version " << t.timeStamp << " hosts " << t.hostIds[0] << ","
         << t.hostIds[1] << " rows:";
    for (const RowState& r : t.rows) {
        *out << "\n  ";
        PrintTo(r, out);
    }
}

}  // namespace uvt_test
