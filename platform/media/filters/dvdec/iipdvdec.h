#pragma once
// IIPDVDec: the DV video decoder's display size, with the Windows IID and
// slot order. The size is one of the DVRESOLUTION values.
#include "platform/com/unknown.h"

inline constexpr int DVRESOLUTION_FULL = 1000;
inline constexpr int DVRESOLUTION_HALF = 1001;
inline constexpr int DVRESOLUTION_QUARTER = 1002;
inline constexpr int DVRESOLUTION_DC = 1003;

struct IIPDVDec : IUnknown {
    virtual HRESULT get_IPDisplay(int* displayPix) = 0;
    virtual HRESULT put_IPDisplay(int displayPix) = 0;

protected:
    ~IIPDVDec() = default;
};
KV_DEFINE_IID(IIPDVDec, "{B8E8BD60-0BFE-11D0-AF91-00AA00B67A42}");
