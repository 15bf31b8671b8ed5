#pragma once
// VARIANT, reduced to the kinds property bags carry here: 32-bit integers,
// 64-bit unsigned integers and BSTR strings.
#include "platform/com/bstr.h"
#include "platform/com/hresult.h"

using VARTYPE = USHORT;
inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_UI8 = 21;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1, wReserved2, wReserved3;
    union {
        LONG lVal;
        ULONGLONG ullVal;
        BSTR bstrVal;
    };
};

void VariantInit(VARIANT* v);
// Frees what the variant owns (its BSTR) and empties it.
HRESULT VariantClear(VARIANT* v);
