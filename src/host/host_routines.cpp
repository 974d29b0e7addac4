#include "host/host_routines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace uvt {
namespace {

uintptr_t UVT_HOSTCALL defaultAllocate(int32_t size) {
    if (size < 0) return 0;
    // malloc(0) may answer null, which would read as "no memory".
    return reinterpret_cast<uintptr_t>(std::malloc(size == 0 ? 1 : static_cast<std::size_t>(size)));
}

void UVT_HOSTCALL defaultRelease(uintptr_t handle, int32_t) {
    std::free(reinterpret_cast<void*>(handle));
}

void* UVT_HOSTCALL defaultResolve(uintptr_t handle) {
    return reinterpret_cast<void*>(handle);
}

// Goes through the current entries, so a host that installs only allocate,
// release and resolve still gets a reallocate over its own memory.
uintptr_t UVT_HOSTCALL defaultReallocate(uintptr_t handle, int32_t oldSize, int32_t newSize) {
    const uintptr_t fresh = allocateBlock(newSize);
    if (fresh == 0) return 0;
    const int32_t common = std::min(oldSize, newSize);
    if (handle != 0 && common > 0) {
        void* from = resolveBlock(handle);
        void* to = resolveBlock(fresh);
        if (from != nullptr && to != nullptr) std::memcpy(to, from, static_cast<std::size_t>(common));
    }
    if (handle != 0) releaseBlock(handle, oldSize);
    return fresh;
}

int32_t UVT_HOSTCALL defaultQuerySize(int32_t*, int32_t) { return 1; }
const char* UVT_HOSTCALL defaultResizeArray(int32_t*, int32_t, int32_t) { return nullptr; }
const char* UVT_HOSTCALL defaultStoreElement(int32_t*, int32_t, int32_t, const void*) { return nullptr; }
void UVT_HOSTCALL defaultReleaseEvent() {}
void UVT_HOSTCALL defaultReplaceEvent(int32_t) {}

template <class F>
void replaceIfSet(F& current, F candidate) {
    if (candidate != nullptr) current = candidate;
}

}  // namespace

HostRoutines& hostRoutines() {
    static HostRoutines routines{
        {defaultAllocate, defaultRelease, defaultResolve, defaultReallocate},
        {defaultQuerySize, defaultResizeArray, defaultStoreElement},
        {defaultReleaseEvent, defaultReplaceEvent},
    };
    return routines;
}

void installMemoryRoutines(const UvtMemoryRoutines* r) {
    if (r == nullptr) return;
    auto& m = hostRoutines().memory;
    replaceIfSet(m.allocate, r->allocate);
    replaceIfSet(m.release, r->release);
    replaceIfSet(m.resolve, r->resolve);
    replaceIfSet(m.reallocate, r->reallocate);
}

void installSymsizeRoutines(const UvtSymsizeRoutines* r) {
    if (r == nullptr) return;
    auto& s = hostRoutines().symsize;
    replaceIfSet(s.querySize, r->querySize);
    replaceIfSet(s.resizeArray, r->resizeArray);
    replaceIfSet(s.storeElement, r->storeElement);
}

void installEventRoutines(const UvtEventRoutines* r) {
    auto& e = hostRoutines().events;
    if (r == nullptr) {
        e.releaseEvent = defaultReleaseEvent;
        e.replaceEvent = defaultReplaceEvent;
        return;
    }
    replaceIfSet(e.releaseEvent, r->releaseEvent);
    replaceIfSet(e.replaceEvent, r->replaceEvent);
}

uintptr_t allocateBlock(int32_t size) { return hostRoutines().memory.allocate(size); }
void releaseBlock(uintptr_t handle, int32_t size) { hostRoutines().memory.release(handle, size); }
void* resolveBlock(uintptr_t handle) { return hostRoutines().memory.resolve(handle); }
uintptr_t reallocateBlock(uintptr_t handle, int32_t oldSize, int32_t newSize) {
    return hostRoutines().memory.reallocate(handle, oldSize, newSize);
}

int32_t querySize(int32_t* hostValues, int32_t code) {
    return hostRoutines().symsize.querySize(hostValues, code);
}
const char* resizeArray(int32_t* hostValues, int32_t array, int32_t count) {
    return hostRoutines().symsize.resizeArray(hostValues, array, count);
}
const char* storeElement(int32_t* hostValues, int32_t array, int32_t element, const void* value) {
    return hostRoutines().symsize.storeElement(hostValues, array, element, value);
}
void raiseReplaceEvent(int32_t phase) { hostRoutines().events.replaceEvent(phase); }
void raiseReleaseEvent() { hostRoutines().events.releaseEvent(); }

SilentStoreElement::SilentStoreElement() : kept_(hostRoutines().symsize.storeElement) {
    hostRoutines().symsize.storeElement = defaultStoreElement;
}

SilentStoreElement::~SilentStoreElement() { hostRoutines().symsize.storeElement = kept_; }

}  // namespace uvt
