#include "exports/export_guard.h"
#include "host/variant_result.h"
#include "persist/config_interface.h"
#include "table/cell_values.h"
#include "table/choice_lists.h"
#include "table/completeness.h"
#include "table/row_editing.h"
#include "table/table_life.h"

using uvt::guarded;

extern "C" {

UVT_API uintptr_t UVT_CALL CreateUVT(const int32_t* hostIds) {
    return guarded<uintptr_t>(0, [&] { return uvt::createTable(hostIds); });
}

UVT_API void UVT_CALL DeleteUVT(uintptr_t table) {
    uvt::guardedVoid([&] { uvt::deleteTable(table); });
}

UVT_API int32_t UVT_CALL dfnCountRows(uintptr_t table) {
    return guarded<int32_t>(0, [&] { return uvt::countRows(table); });
}

UVT_API VARIANT UVT_CALL dfnSetValue(uintptr_t table, int32_t column, int32_t row, VARIANT value,
                                     int32_t* /*reserved*/) {
    return guarded(uvt::emptyVariant(),
                   [&] { return uvt::setCellValue(table, column, row, uvt::textArgument(value)); });
}

UVT_API VARIANT UVT_CALL dfnGetValue(uintptr_t table, int32_t column, int32_t row) {
    return guarded(uvt::emptyVariant(), [&] { return uvt::getCellValue(table, column, row); });
}

UVT_API int32_t UVT_CALL dfnInsertRow(uintptr_t table, int32_t position) {
    return guarded<int32_t>(0, [&] { return uvt::insertRow(table, position); });
}

UVT_API int32_t UVT_CALL dfnDeleteRow(uintptr_t table, int32_t row) {
    return guarded<int32_t>(0, [&] { return uvt::deleteRow(table, row); });
}

UVT_API VARIANT UVT_CALL dfnIsRowComplete(uintptr_t table, int32_t row) {
    return guarded(uvt::emptyVariant(), [&] { return uvt::checkRowComplete(table, row); });
}

UVT_API VARIANT UVT_CALL dfnIsComplete(uintptr_t table) {
    return guarded(uvt::emptyVariant(), [&] { return uvt::checkTableComplete(table); });
}

UVT_API int32_t UVT_CALL dfnCountValidStrings(uintptr_t table, int32_t column, int32_t row) {
    return guarded<int32_t>(0, [&] { return uvt::countChoices(table, column, row); });
}

UVT_API VARIANT UVT_CALL dfnGetValidString(uintptr_t table, int32_t column, int32_t row, int32_t entry) {
    return guarded(uvt::emptyVariant(), [&] { return uvt::choiceText(table, column, row, entry); });
}

}  // extern "C"
