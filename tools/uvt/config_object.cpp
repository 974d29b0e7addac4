#include "config_object.h"

#include <cstring>
#include <utility>

namespace uvt_tool {

namespace {
constexpr int32_t kNoInterface = static_cast<int32_t>(0x80004002u);  // E_NOINTERFACE
constexpr int32_t kBadPointer = static_cast<int32_t>(0x80004003u);   // E_POINTER
}  // namespace

// Both restore sources serve the same string: the tool keeps only one.
const UvtConfigInterfaceVtbl ConfigObject::kSlots = {
    &ConfigObject::queryInterface, &ConfigObject::addRef,       &ConfigObject::release,
    &ConfigObject::beginSave,      nullptr,                     &ConfigObject::restoreBytes,
    &ConfigObject::saveBytes,      &ConfigObject::beginRestore, nullptr,
    &ConfigObject::restoreBytes,   &ConfigObject::beginRestore,
};

ConfigObject::ConfigObject(std::string bytes) : com_{&kSlots, this}, bytes_(std::move(bytes)) {}

int32_t UVT_CALL ConfigObject::queryInterface(UvtConfigInterface* com, const GUID* iid, void** out) {
    static const GUID wanted = UVT_CONFIG_INTERFACE_ID_INIT;
    if (out == nullptr) return kBadPointer;
    if (iid == nullptr || std::memcmp(iid, &wanted, sizeof wanted) != 0) {
        *out = nullptr;
        return kNoInterface;
    }
    ++self(com).references_;
    *out = com;
    return 0;
}

uint32_t UVT_CALL ConfigObject::addRef(UvtConfigInterface* com) { return ++self(com).references_; }

uint32_t UVT_CALL ConfigObject::release(UvtConfigInterface* com) {
    ConfigObject& object = self(com);
    if (object.references_ > 0) --object.references_;
    return object.references_;
}

int32_t UVT_CALL ConfigObject::beginSave(UvtConfigInterface* com) {
    self(com).saved_.clear();
    return 0;
}

int32_t UVT_CALL ConfigObject::saveBytes(UvtConfigInterface* com, const char* bytes, int32_t length) {
    if (bytes == nullptr || length < 0) return 0;
    self(com).saved_.append(bytes, static_cast<std::size_t>(length));
    return 1;
}

int32_t UVT_CALL ConfigObject::beginRestore(UvtConfigInterface* com) {
    self(com).position_ = 0;
    return 0;
}

int32_t UVT_CALL ConfigObject::restoreBytes(UvtConfigInterface* com, char* buffer, int32_t count,
                                            int32_t* delivered) {
    ConfigObject& object = self(com);
    std::size_t n = object.bytes_.size() - object.position_;
    if (count <= 0 || buffer == nullptr) n = 0;
    if (n > static_cast<std::size_t>(count > 0 ? count : 0)) n = static_cast<std::size_t>(count);
    if (n > 0) std::memcpy(buffer, object.bytes_.data() + object.position_, n);
    object.position_ += n;
    if (delivered != nullptr) *delivered = static_cast<int32_t>(n);
    return 0;
}

}  // namespace uvt_tool
