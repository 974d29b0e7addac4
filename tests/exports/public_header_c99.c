/* The public header as a plain C99 host sees it: this file is compiled with
 * -std=c99 -pedantic-errors and warnings as errors. It reports the layout of
 * the shared records and makes a few calls through the exports from C, so
 * that public_header_test.cpp can compare them with what C++ sees. */
#include "uvt.h"

#include <stddef.h>
#include <string.h>

#include "public_header_c99.h"

/* Fails to compile when a record lost its binary layout. */
#define UVT_C_CHECK(name, condition) typedef char uvt_c_check_##name[(condition) ? 1 : -1]
UVT_C_CHECK(olechar_is_16_bits, sizeof(OLECHAR) == 2);
UVT_C_CHECK(variant_is_two_pointers_past_the_type, sizeof(VARIANT) == 8 + 2 * sizeof(void*));
UVT_C_CHECK(bstr_is_first_in_the_union, offsetof(VARIANT, bstrVal) == 8);
UVT_C_CHECK(guid_is_16_bytes, sizeof(GUID) == 16);
UVT_C_CHECK(config_interface_has_11_slots, sizeof(UvtConfigInterfaceVtbl) == 11 * sizeof(void*));

void uvtHeaderLayoutFromC(UvtHeaderLayout* layout) {
    layout->olechar = sizeof(OLECHAR);
    layout->variant = sizeof(VARIANT);
    layout->variantBstr = offsetof(VARIANT, bstrVal);
    layout->guid = sizeof(GUID);
    layout->memoryRoutines = sizeof(UvtMemoryRoutines);
    layout->symsizeRoutines = sizeof(UvtSymsizeRoutines);
    layout->eventRoutines = sizeof(UvtEventRoutines);
    layout->configSlots = sizeof(UvtConfigInterfaceVtbl);
    layout->saveBytesSlot = offsetof(UvtConfigInterfaceVtbl, SaveBytes);
    layout->beginRestoreSlot = offsetof(UvtConfigInterfaceVtbl, BeginRestore);
    layout->invalidHandle = UVT_INVALID_HANDLE;
    layout->noParent = UVT_NO_PARENT;
    layout->vtBstr = VT_BSTR;
    layout->variantBstrRef = offsetof(VARIANT, pbstrVal);
    layout->vtBstrRef = VT_BSTR | VT_BYREF;
    layout->noValue = UVT_NO_VALUE;
    layout->byteOrderQuery = UVT_QUERY_BYTE_ORDER;
    layout->filterAny = UVT_FILTER_ANY;
    layout->dimWorkOutletStreams = UVT_DIM_WORK_OUTLET_STREAMS;
    layout->version = UVT_VERSION;
}

/* Copies at most capacity - 1 characters of a VARIANT's text as ASCII, and
 * frees the VARIANT. */
static void takeText(VARIANT value, char* out, size_t capacity) {
    size_t n = 0;
    if (value.vt == VT_BSTR && value.bstrVal != NULL) {
        const OLECHAR* p;
        for (p = value.bstrVal; *p != 0 && n + 1 < capacity; ++p) out[n++] = *p < 0x80 ? (char)*p : '?';
    } else if (value.vt == VT_EMPTY) {
        const char* empty = "<EMPTY>";
        for (; empty[n] != '\0' && n + 1 < capacity; ++n) out[n] = empty[n];
    }
    out[n] = '\0';
    VariantClear(&value);
}

void uvtEditFromC(UvtEditFromC* result) {
    static const OLECHAR name[] = {'p', 'r', 'e', 's', 's', 'u', 'r', 'e', 0};
    const int32_t hostIds[2] = {5, 6};
    int32_t reserved = 0;
    VARIANT value;
    uintptr_t table;

    memset(result, 0, sizeof *result);
    table = CreateUVT(hostIds);
    result->created = table != 0;
    if (table == 0) return;
    result->inserted = dfnInsertRow(table, 0);
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(name);
    takeText(dfnSetValue(table, 0, 0, value, &reserved), result->setAnswer, sizeof result->setAnswer);
    VariantClear(&value);
    takeText(dfnGetValue(table, 0, 0), result->name, sizeof result->name);
    takeText(dfnGetValue(table, 1, 0), result->type, sizeof result->type);
    result->rows = dfnCountRows(table);
    DeleteUVT(table);
}
