// The tool's own configuration object: the table writes its saved-state
// string into it and reads one back from it, as it would from a host.
#pragma once

#include "uvt.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace uvt_tool {

class ConfigObject {
public:
    // Serves these bytes to a restore.
    explicit ConfigObject(std::string bytes = {});
    ConfigObject(const ConfigObject&) = delete;
    ConfigObject& operator=(const ConfigObject&) = delete;

    // What to hand to UVTSetConfigInterface.
    void* object() { return &com_; }
    // The string written by the last save.
    const std::string& saved() const { return saved_; }
    // Bytes a restore has not read.
    std::size_t unread() const { return bytes_.size() - position_; }
    // References held by others than the object's creator.
    std::uint32_t references() const { return references_; }

private:
    // The slot table pointer must come first: the library calls through it.
    struct Com {
        const UvtConfigInterfaceVtbl* vtbl;
        ConfigObject* owner;
    };
    static ConfigObject& self(UvtConfigInterface* com) { return *reinterpret_cast<Com*>(com)->owner; }

    static int32_t UVT_CALL queryInterface(UvtConfigInterface* com, const GUID* iid, void** out);
    static uint32_t UVT_CALL addRef(UvtConfigInterface* com);
    static uint32_t UVT_CALL release(UvtConfigInterface* com);
    static int32_t UVT_CALL beginSave(UvtConfigInterface* com);
    static int32_t UVT_CALL saveBytes(UvtConfigInterface* com, const char* bytes, int32_t length);
    static int32_t UVT_CALL beginRestore(UvtConfigInterface* com);
    static int32_t UVT_CALL restoreBytes(UvtConfigInterface* com, char* buffer, int32_t count, int32_t* delivered);

    static const UvtConfigInterfaceVtbl kSlots;
    Com com_;
    std::string bytes_;
    std::size_t position_ = 0;
    std::string saved_;
    std::uint32_t references_ = 0;
};

}  // namespace uvt_tool
