#include "fortran/function_name.h"

#include "host/text_conversion.h"
#include "table/records.h"
#include "table/table_access.h"

#include <climits>
#include <cstring>

namespace uvt {

int32_t setFunctionName(uintptr_t table, const OLECHAR* name) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr || name == nullptr) return 0;
    const std::size_t length = wideLength(name);
    if (length == 0) return 0;
    if (length > kFunctionNameLength) {
        return length > static_cast<std::size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(length);
    }

    OLECHAR upper[kFunctionNameLength + 1];
    std::memcpy(upper, name, length * sizeof(OLECHAR));
    upper[length] = 0;
    upperCaseInPlace(upper);

    // Converted aside first, so that a refused name leaves the old one whole.
    char converted[kFunctionNameCapacity];
    const NarrowResult result = narrowText(upper, converted, sizeof converted);
    if (result.status == Narrowing::Unconvertible || result.length == 0) return 0;
    std::memset(header->functionName, 0, sizeof header->functionName);
    std::memcpy(header->functionName, converted, result.length);

    int32_t saved = 0;
    if (runSaveStep(table, &saved)) return saved;
    return static_cast<int32_t>(result.length);
}

void functionNameFromPath(const OLECHAR* path, OLECHAR (&name)[kFunctionNameLength + 1]) {
    name[0] = 0;
    if (path == nullptr) return;
    const OLECHAR* start = path;
    for (const OLECHAR* p = path; *p != 0; ++p) {
        if (*p == u'\\' || *p == u'/' || *p == u':') start = p + 1;
    }
    std::size_t length = 0;
    while (length < kFunctionNameLength && start[length] != 0 && start[length] != u'.') {
        name[length] = start[length];
        ++length;
    }
    name[length] = 0;
    upperCaseInPlace(name);
}

}  // namespace uvt
