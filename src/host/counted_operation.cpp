#include "host/counted_operation.h"

#include "host/host_routines.h"

#include <cstdint>

namespace uvt {
namespace {
int32_t nestingCount = 0;
bool releasedFlag = false;
}  // namespace

CountedOperation::CountedOperation() { ++nestingCount; }

CountedOperation::~CountedOperation() {
    --nestingCount;
    if (nestingCount == 0 && releasedFlag) {
        releasedFlag = false;
        raiseReleaseEvent();
    }
}

void noteReleased() { releasedFlag = true; }

}  // namespace uvt
