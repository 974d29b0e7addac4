#include "exports/export_guard.h"
#include "runtime/binding.h"

using uvt::guarded;
using uvt::guardedVoid;

extern "C" {

UVT_API void UVT_CALL rtmInitArrays(uintptr_t table) {
    guardedVoid([&] { uvt::initArrays(table); });
}

UVT_API void UVT_CALL rtmAttachArrays(uintptr_t table, const int32_t* integers, const double* reals) {
    guardedVoid([&] { uvt::attachArrays(table, integers, reals); });
}

UVT_API void UVT_CALL rtmSetSymSize(uintptr_t table, int32_t /*unused*/) {
    guardedVoid([&] { uvt::setSymSize(table); });
}

UVT_API void UVT_CALL rtmReplaceTable(uintptr_t target, uintptr_t source) {
    guardedVoid([&] { uvt::replaceTable(target, source); });
}

UVT_API int32_t UVT_CALL rtmGetLimit(uintptr_t table, int32_t type) {
    return guarded<int32_t>(0, [&] { return uvt::getLimit(table, type); });
}

UVT_API int32_t UVT_CALL rtmGetLimitDirect(void* tableAddress, int32_t type) {
    return guarded<int32_t>(0, [&] { return uvt::getLimitDirect(tableAddress, type); });
}

}  // extern "C"
