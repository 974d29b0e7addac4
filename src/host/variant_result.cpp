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

BSTR textArgument(const VARIANT& value) {
    // Only a BSTR, or a reference to one, holds text. For any other type the
    // union holds a number, a date or some other pointer, and reading it as a
    // string would follow a value that is no address.
    if (value.vt == VT_BSTR) return value.bstrVal;
    if (value.vt == (VT_BSTR | VT_BYREF)) return value.pbstrVal != nullptr ? *value.pbstrVal : nullptr;
    return nullptr;
}

}  // namespace uvt
