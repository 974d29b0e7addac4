// Starting values that the host hands over when it attaches arrays that
// already hold values: the k-th Integer value leaf in tree order takes the
// k-th int32, the k-th Real leaf the k-th double.
#pragma once

#include <cstdint>

namespace uvt {

// The int32 that stands for "no value".
inline constexpr int32_t kNoValueMarker = 99999999;

struct InitialValueSource {
    // Either may be null: leaves of that type then take no value, while the
    // cursor still advances, so that the other type's places stay right.
    const int32_t* integers = nullptr;
    const double* reals = nullptr;
    int32_t integerCursor = 0;  // the layout pass sets both to 0 when it starts
    int32_t realCursor = 0;
};

}  // namespace uvt
