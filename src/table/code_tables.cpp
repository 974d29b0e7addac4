#include "table/code_tables.h"

namespace uvt {

const char16_t* typeTextForInput(int32_t code) {
    if (code == 0 || code == 2 || code == 3) return textOfCode(kTypeTexts, code);
    return u"Real";
}

const char16_t* ioTextForInput(int32_t code) {
    const char16_t* text = textOfCode(kIoTexts, code);
    return text != nullptr ? text : u"";
}

const char16_t* dimensionCodeTextForInput(int32_t negativeCode) {
    const char16_t* text = textOfCode(kDimensionTexts, negativeCode);
    return text != nullptr ? text : u"";
}

}  // namespace uvt
