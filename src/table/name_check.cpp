#include "table/name_check.h"

#include "table/table_access.h"

#include <cstring>

namespace uvt {
namespace {
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

NameCheck checkName(const TableHeader& header, const char* name, int32_t row) {
    if (name == nullptr || name[0] == 0) return NameCheck::Empty;
    if (!isLetter(name[0])) return NameCheck::BadStart;
    std::size_t length = 1;
    for (const char* p = name + 1; *p != 0; ++p, ++length) {
        if (!isLetter(*p) && !isDigit(*p) && *p != '_') return NameCheck::BadChar;
    }
    if (length > kNameLimit) return NameCheck::TooLong;
    for (int32_t i = 0; i < row && i < header.rowCount; ++i) {
        const VariableRow* other = rowAt(header, i);
        if (other != nullptr && other->name[0] != 0 &&
            std::strncmp(other->name, name, kNameCapacity) == 0) {
            return NameCheck::Duplicate;
        }
    }
    return NameCheck::Ok;
}

}  // namespace uvt
