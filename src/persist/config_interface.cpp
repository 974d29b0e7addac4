#include "persist/config_interface.h"

#include "table/table_access.h"

namespace uvt {

void* attachConfigInterface(uintptr_t table, void* object) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr) return nullptr;
    void* fresh = nullptr;
    if (object != nullptr) {
        static const GUID kConfigInterfaceId = UVT_CONFIG_INTERFACE_ID_INIT;
        auto* unknown = static_cast<UvtConfigInterface*>(object);
        unknown->vtbl->QueryInterface(unknown, &kConfigInterfaceId, &fresh);
    }
    // The new reference is taken before the old one goes, so attaching the
    // attached object again keeps it alive.
    detachConfigInterface(*header);
    header->configInterface = fresh;
    return fresh;
}

void detachConfigInterface(TableHeader& header) {
    if (UvtConfigInterface* held = configOf(header)) {
        header.configInterface = nullptr;
        held->vtbl->Release(held);
    }
}

}  // namespace uvt
