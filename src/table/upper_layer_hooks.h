// What the table layer needs from the layers above it: the save that ends a
// design-time edit, and the parts of a table that persistence and the
// run-time layer own when the table is deleted. The table layer includes
// none of those layers; the export layer, which sits on top of all of them,
// defines this one constant set of entries, fixed when the library is built.
#pragma once

#include "table/records.h"

#include <cstdint>

namespace uvt {

struct UpperLayerHooks {
    // Writes the saved-state string; the last SaveBytes result.
    int32_t (*saveTable)(uintptr_t table);
    // Gives the table's reference to its configuration interface back.
    void (*detachConfigInterface)(TableHeader& header);
    // Drops the layout tree and the element arrays.
    void (*releaseRuntimeState)(TableHeader& header);
};

extern const UpperLayerHooks kUpperLayerHooks;

}  // namespace uvt
