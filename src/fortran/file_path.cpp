#include "fortran/file_path.h"

#include "host/text_conversion.h"

namespace uvt {

bool narrowPath(const OLECHAR* path, char (&out)[kPathCapacity]) {
    out[0] = 0;
    if (path == nullptr || path[0] == 0) return false;
    const NarrowResult converted = narrowText(path, out, kPathCapacity);
    if (converted.status != Narrowing::Ok || converted.length == 0) {
        out[0] = 0;
        return false;
    }
    return true;
}

OpenFile openFile(const OLECHAR* path, const char* mode) {
    char narrowed[kPathCapacity];
    if (!narrowPath(path, narrowed)) return OpenFile();
    return OpenFile(std::fopen(narrowed, mode));
}

}  // namespace uvt
