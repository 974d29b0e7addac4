// The entries through which the table layer reaches persistence and the
// run-time layer (table/upper_layer_hooks.h). Constant: nothing changes them
// while the library runs.
#include "persist/config_interface.h"
#include "persist/saved_state.h"
#include "runtime/release.h"
#include "table/upper_layer_hooks.h"

namespace uvt {

const UpperLayerHooks kUpperLayerHooks{&saveTable, &detachConfigInterface, &releaseRuntimeState};

}  // namespace uvt
