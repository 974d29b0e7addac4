#include "host/host_routines.h"

extern "C" {

UVT_API void UVT_CALL SetExtRoutines(const UvtMemoryRoutines* routines) { uvt::installMemoryRoutines(routines); }

UVT_API void UVT_CALL SetExtSymsize(const UvtSymsizeRoutines* routines) { uvt::installSymsizeRoutines(routines); }

UVT_API void UVT_CALL SetExtUVTEvents(const UvtEventRoutines* routines) { uvt::installEventRoutines(routines); }

}  // extern "C"
