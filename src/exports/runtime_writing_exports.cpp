#include "exports/export_guard.h"
#include "runtime/name_lookup.h"
#include "runtime/runtime_messages.h"
#include "runtime/value_writing.h"
#include "table/cell_writing.h"

using uvt::guarded;
using uvt::guardedVoid;
using uvt::messages::kNotEnoughMemory;

extern "C" {

UVT_API const char* UVT_CALL rtmSetValue(uintptr_t table, int32_t type, int32_t place, const void* value) {
    return guarded(kNotEnoughMemory, [&] { return uvt::setValueAtPlace(table, type, place, value); });
}

UVT_API const char* UVT_CALL rtmSetValueByRow(uintptr_t table, int32_t row, const void* value, int32_t direction) {
    return guarded(kNotEnoughMemory, [&] { return uvt::setValueByRow(table, row, value, direction); });
}

UVT_API const char* UVT_CALL rtmSetValueByHandle(uintptr_t table, uintptr_t handle, const void* value) {
    return guarded(kNotEnoughMemory, [&] { return uvt::setValueByHandle(table, handle, value); });
}

UVT_API const char* UVT_CALL rtmSetVarValueByName(uintptr_t table, const char* name, const int32_t* indexes,
                                                  const void* value) {
    return guarded(kNotEnoughMemory, [&] { return uvt::setValueByName(table, name, indexes, value); });
}

UVT_API const char* UVT_CALL rtmOne_BasedSetVarValueByName(uintptr_t table, const char* name,
                                                           const int32_t* indexes, const void* value) {
    return guarded(kNotEnoughMemory, [&] {
        uvt::OneBasedIndexScope oneBased;
        return uvt::setValueByName(table, name, indexes, value);
    });
}

UVT_API void UVT_CALL rtmSetCellValue(uintptr_t table, int32_t rowIndex, int32_t column, int32_t value) {
    guardedVoid([&] { uvt::setCellValue(table, rowIndex, column, value); });
}

}  // extern "C"
