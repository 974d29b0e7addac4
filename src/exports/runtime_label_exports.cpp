#include "exports/export_guard.h"
#include "runtime/labels.h"
#include "runtime/runtime_messages.h"

using uvt::guarded;
using uvt::guardedVoid;
using uvt::messages::kNotEnoughMemory;

extern "C" {

UVT_API const char* UVT_CALL rtmGetLabelByRow(uintptr_t table, int32_t row, int32_t direction, char* buffer,
                                              int32_t bufferLength) {
    return guarded(kNotEnoughMemory, [&] { return uvt::labelByRow(table, row, direction, buffer, bufferLength); });
}

UVT_API const char* UVT_CALL rtmGetLabelByHandle(uintptr_t table, uintptr_t handle, char* buffer,
                                                 int32_t /*spare*/) {
    return guarded(kNotEnoughMemory, [&] { return uvt::labelByHandle(table, handle, buffer); });
}

UVT_API char* UVT_CALL rtmGetLabel(uintptr_t table, int32_t type, int32_t place, int32_t* ioOut, char* buffer,
                                   int32_t bufferLength) {
    return guarded<char*>(nullptr,
                          [&] { return uvt::labelByPlace(table, type, place, ioOut, buffer, bufferLength); });
}

UVT_API void UVT_CALL rtmGetFunction(uintptr_t table, char* nameOut, int32_t* timeStampOut) {
    guardedVoid([&] { uvt::functionOf(table, nameOut, timeStampOut); });
}

}  // extern "C"
