// No exception may reach the host: every export runs its body through
// guarded(), which answers `fallback` if anything escapes.
#pragma once

#include "uvt.h"

#include <utility>

namespace uvt {

template <class Result, class Body>
Result guarded(Result fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return fallback;
    }
}

template <class Body>
void guardedVoid(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
    }
}

inline VARIANT emptyVariant() noexcept {
    VARIANT result;
    VariantInit(&result);
    return result;
}

}  // namespace uvt
