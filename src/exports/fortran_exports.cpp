#include "exports/export_guard.h"
#include "fortran/fortran_loader.h"
#include "fortran/fortran_writer.h"
#include "fortran/function_name.h"
#include "host/variant_result.h"

using uvt::guarded;

extern "C" {

UVT_API int32_t UVT_CALL dfnDumpFORTRAN(uintptr_t table, VARIANT path) {
    return guarded<int32_t>(1, [&] { return uvt::dumpFortran(table, uvt::textArgument(path)); });
}

UVT_API int32_t UVT_CALL dfnSetFunctionName(uintptr_t table, VARIANT name) {
    return guarded<int32_t>(0, [&] { return uvt::setFunctionName(table, uvt::textArgument(name)); });
}

UVT_API uintptr_t UVT_CALL dfnLoadFromFORTRAN(VARIANT path) {
    return guarded<uintptr_t>(0, [&] { return uvt::loadFromFortran(uvt::textArgument(path), nullptr); });
}

UVT_API void UVT_CALL dfnImportFortran(uintptr_t table, VARIANT path) {
    uvt::guardedVoid([&] { uvt::importFortran(table, uvt::textArgument(path), nullptr); });
}

}  // extern "C"
