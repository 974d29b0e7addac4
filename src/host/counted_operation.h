// Operations that may release runtime objects are bracketed so that the host
// hears of releases once, after the outermost operation has finished.
#pragma once

namespace uvt {

class CountedOperation {
public:
    CountedOperation();
    ~CountedOperation();
    CountedOperation(const CountedOperation&) = delete;
    CountedOperation& operator=(const CountedOperation&) = delete;
};

// Records that something was released; the event follows when the outermost
// counted operation ends.
void noteReleased();

}  // namespace uvt
