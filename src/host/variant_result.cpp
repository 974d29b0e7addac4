#include "host/variant_result.h"

#include "host/text_conversion.h"

namespace uvt {

VARIANT emptyResult() {
    VARIANT result;
    VariantInit(&result);
    return result;
}

VARIANT textResult(const char16_t* text) {
    VARIANT result = emptyResult();
    BSTR copy = SysAllocString(reinterpret_cast<const OLECHAR*>(text));
    if (copy != nullptr) {
        result.vt = VT_BSTR;
        result.bstrVal = copy;
    }
    return result;
}

VARIANT narrowTextResult(const char* text) {
    OLECHAR wide[kWideTextLimit + 1];
    widenText(text, wide, kWideTextLimit + 1);
    return textResult(reinterpret_cast<const char16_t*>(wide));
}

BSTR textArgument(const VARIANT& value) { return value.bstrVal; }

}  // namespace uvt
