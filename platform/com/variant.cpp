#include "platform/com/variant.h"

void VariantInit(VARIANT* v) {
    if (!v) return;
    *v = VARIANT{};
    v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_POINTER;
    if (v->vt == VT_BSTR) SysFreeString(v->bstrVal);
    VariantInit(v);
    return S_OK;
}
