// The process-wide table of routines that the host installs, and thin
// wrappers through which every other part of the library reaches them.
#pragma once

#include "uvt.h"

#include <cstdint>

namespace uvt {

struct HostRoutines {
    UvtMemoryRoutines memory;
    UvtSymsizeRoutines symsize;
    UvtEventRoutines events;
};

HostRoutines& hostRoutines();

void installMemoryRoutines(const UvtMemoryRoutines* routines);
void installSymsizeRoutines(const UvtSymsizeRoutines* routines);
void installEventRoutines(const UvtEventRoutines* routines);

uintptr_t allocateBlock(int32_t size);
void releaseBlock(uintptr_t handle, int32_t size);
void* resolveBlock(uintptr_t handle);
uintptr_t reallocateBlock(uintptr_t handle, int32_t oldSize, int32_t newSize);

template <class T>
T* resolveAs(uintptr_t handle) {
    return handle == 0 ? nullptr : static_cast<T*>(resolveBlock(handle));
}

int32_t querySize(int32_t* hostValues, int32_t code);
const char* resizeArray(int32_t* hostValues, int32_t array, int32_t count);
const char* storeElement(int32_t* hostValues, int32_t array, int32_t element, const void* value);
void raiseReplaceEvent(int32_t phase);
void raiseReleaseEvent();

// While alive, storeElement is the library's own silent routine; the
// installed one comes back when it ends.
class SilentStoreElement {
public:
    SilentStoreElement();
    ~SilentStoreElement();
    SilentStoreElement(const SilentStoreElement&) = delete;
    SilentStoreElement& operator=(const SilentStoreElement&) = delete;

private:
    decltype(UvtSymsizeRoutines::storeElement) kept_;
};

}  // namespace uvt
