#include "exports/export_guard.h"
#include "runtime/addressing.h"
#include "runtime/nodes.h"
#include "runtime/runtime_messages.h"

using uvt::guarded;
using uvt::messages::kNotEnoughMemory;

extern "C" {

UVT_API int32_t UVT_CALL rtmGetNumberOfRows(uintptr_t table, int32_t direction) {
    return guarded<int32_t>(0, [&] { return uvt::numberOfRows(table, direction); });
}

UVT_API const char* UVT_CALL rtmHandleByRow(uintptr_t table, int32_t row, int32_t direction, uintptr_t* handleOut) {
    return guarded(kNotEnoughMemory, [&] { return uvt::handleByRow(table, row, direction, handleOut); });
}

UVT_API const char* UVT_CALL rtmHandleByName(uintptr_t table, const char* path, uintptr_t* handleOut) {
    return guarded(kNotEnoughMemory, [&] { return uvt::handleByName(table, path, handleOut); });
}

UVT_API int32_t UVT_CALL rtmIsHandleValid(uintptr_t /*table*/, uintptr_t handle) {
    return uvt::isHandleValid(handle) ? 1 : 0;
}

UVT_API const char* UVT_CALL rtmGetFirstHandle(uintptr_t table, int32_t filter, uintptr_t* handleOut) {
    return guarded(kNotEnoughMemory, [&] { return uvt::firstHandle(table, filter, handleOut); });
}

UVT_API const char* UVT_CALL rtmGetNextHandle(uintptr_t table, uintptr_t handle, int32_t filter,
                                              uintptr_t* handleOut) {
    return guarded(kNotEnoughMemory, [&] { return uvt::nextHandle(table, handle, filter, handleOut); });
}

}  // extern "C"
