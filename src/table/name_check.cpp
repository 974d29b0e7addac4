#include "table/name_check.h"

#include "table/table_access.h"

#include <cstring>

namespace uvt {
namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

NameCheck checkNameText(const char* name, std::size_t length) {
    if (name == nullptr || length == 0) return NameCheck::Empty;
    if (!isNameStart(name[0])) return NameCheck::BadStart;
    for (std::size_t i = 1; i < length; ++i) {
        if (!isNameStart(name[i]) && !isDigit(name[i]) && name[i] != '_') return NameCheck::BadChar;
    }
    if (length > static_cast<std::size_t>(kNameLimit)) return NameCheck::TooLong;
    return NameCheck::Ok;
}

bool nameTakenBefore(const TableHeader& header, const char* name, std::size_t length, int32_t row) {
    if (length == 0) return false;
    for (int32_t i = 0; i < row && i < header.rowCount; ++i) {
        const VariableRow* other = rowAt(header, i);
        if (other != nullptr && storedNameLength(*other) == length && std::memcmp(other->name, name, length) == 0) {
            return true;
        }
    }
    return false;
}

std::size_t storedNameLength(const VariableRow& row) { return strnlen(row.name, kNameCapacity); }

}  // namespace uvt
