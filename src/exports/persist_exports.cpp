#include "exports/export_guard.h"
#include "persist/config_interface.h"
#include "persist/saved_state.h"
#include "persist/text_form.h"

using uvt::guarded;

extern "C" {

UVT_API int32_t UVT_CALL UVTSave(uintptr_t table) {
    return guarded<int32_t>(0, [&] { return uvt::saveTable(table); });
}

UVT_API int32_t UVT_CALL UVTRestore(uintptr_t table) {
    return guarded<int32_t>(0, [&] { return uvt::restoreTable(table, uvt::RestoreSource::Primary, nullptr); });
}

UVT_API int32_t UVT_CALL UVTRestoreRB(uintptr_t table) {
    return guarded<int32_t>(0, [&] { return uvt::restoreTable(table, uvt::RestoreSource::Second, nullptr); });
}

UVT_API void UVT_CALL UVTToText(uintptr_t table, UvtTextSink sink) {
    uvt::guardedVoid([&] { uvt::writeTextForm(table, sink); });
}

UVT_API int32_t UVT_CALL UVTFromText(uintptr_t table, UvtTokenSource source) {
    return guarded<int32_t>(0, [&] { return uvt::readTextForm(table, source); });
}

UVT_API void* UVT_CALL UVTSetConfigInterface(uintptr_t table, void* object) {
    return guarded<void*>(nullptr, [&] { return uvt::attachConfigInterface(table, object); });
}

}  // extern "C"
