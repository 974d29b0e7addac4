#include "table/name_check.h"

#include "table/table_access.h"

#include <cstring>

namespace uvt {
namespace {
bool isLetter(char c) { return isNameStart(c); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

NameCheck checkName(const TableHeader& header, const char* name, std::size_t length, int32_t row) {
    if (name == nullptr || length == 0) return NameCheck::Empty;
    if (!isLetter(name[0])) return NameCheck::BadStart;
    for (std::size_t i = 1; i < length; ++i) {
        if (!isLetter(name[i]) && !isDigit(name[i]) && name[i] != '_') return NameCheck::BadChar;
    }
    if (length > static_cast<std::size_t>(kNameLimit)) return NameCheck::TooLong;
    for (int32_t i = 0; i < row && i < header.rowCount; ++i) {
        const VariableRow* other = rowAt(header, i);
        if (other != nullptr && strnlen(other->name, kNameCapacity) == length &&
            std::memcmp(other->name, name, length) == 0) {
            return NameCheck::Duplicate;
        }
    }
    return NameCheck::Ok;
}

NameCheck checkStoredName(const TableHeader& header, const VariableRow& stored, int32_t row) {
    // Bounded by the field: a record built elsewhere need not end in a NUL.
    return checkName(header, stored.name, strnlen(stored.name, kNameCapacity), row);
}

}  // namespace uvt
