#include "exports/export_guard.h"
#include "runtime/name_lookup.h"
#include "runtime/runtime_messages.h"
#include "runtime/value_reading.h"

using uvt::guarded;
using uvt::messages::kNotEnoughMemory;

extern "C" {

UVT_API const char* UVT_CALL rtmGetTypeByRow(uintptr_t table, int32_t row, int32_t* typeOut, int32_t direction) {
    return guarded(kNotEnoughMemory, [&] { return uvt::typeByRow(table, row, typeOut, direction); });
}

UVT_API const char* UVT_CALL rtmGetTypeByHandle(uintptr_t /*table*/, uintptr_t handle, int32_t* typeOut) {
    return guarded(kNotEnoughMemory, [&] { return uvt::typeByHandle(handle, typeOut); });
}

UVT_API const char* UVT_CALL rtmGetValueByRow(uintptr_t table, int32_t row, void** valueOut, int32_t direction) {
    return guarded(kNotEnoughMemory, [&] { return uvt::valueByRow(table, row, valueOut, direction); });
}

UVT_API const char* UVT_CALL rtmGetValueByHandle(uintptr_t /*table*/, uintptr_t handle, void** valueOut) {
    return guarded(kNotEnoughMemory, [&] { return uvt::valueByHandle(handle, valueOut); });
}

UVT_API const char* UVT_CALL rtmGetElementByRow(uintptr_t table, int32_t row, int32_t direction,
                                                int32_t* elementOut) {
    return guarded(kNotEnoughMemory, [&] { return uvt::elementByRow(table, row, direction, elementOut); });
}

UVT_API const char* UVT_CALL rtmGetElementByHandle(uintptr_t table, uintptr_t handle, int32_t filter,
                                                   int32_t* elementOut) {
    return guarded(kNotEnoughMemory, [&] { return uvt::elementByHandle(table, handle, filter, elementOut); });
}

UVT_API const char* UVT_CALL rtmGetVarValueByName(uintptr_t table, const char* name, const int32_t* indexes,
                                                  void** valueOut, int32_t* typeOut) {
    return guarded(kNotEnoughMemory, [&] { return uvt::varValueByName(table, name, indexes, valueOut, typeOut); });
}

UVT_API const char* UVT_CALL rtmGetVarLocationByName(uintptr_t table, const char* name, const int32_t* indexes,
                                                     int32_t* placeOut, int32_t* typeOut) {
    return guarded(kNotEnoughMemory,
                   [&] { return uvt::varLocationByName(table, name, indexes, placeOut, typeOut); });
}

UVT_API int32_t UVT_CALL rtmArrayLength(uintptr_t table, const char* name, const int32_t* indexes) {
    return guarded<int32_t>(-1, [&] { return uvt::arrayLength(table, name, indexes); });
}

UVT_API const char* UVT_CALL rtmOne_BasedGetVarValueByName(uintptr_t table, const char* name,
                                                           const int32_t* indexes, void** valueOut,
                                                           int32_t* typeOut) {
    return guarded(kNotEnoughMemory, [&] {
        uvt::OneBasedIndexScope oneBased;
        return uvt::varValueByName(table, name, indexes, valueOut, typeOut);
    });
}

UVT_API const char* UVT_CALL rtmOne_BasedGetVarLocationByName(uintptr_t table, const char* name,
                                                              const int32_t* indexes, int32_t* placeOut,
                                                              int32_t* typeOut) {
    return guarded(kNotEnoughMemory, [&] {
        uvt::OneBasedIndexScope oneBased;
        return uvt::varLocationByName(table, name, indexes, placeOut, typeOut);
    });
}

}  // extern "C"
