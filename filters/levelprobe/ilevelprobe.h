#pragma once
// ILevelProbe: the sound meter's custom interface, with the meter's class
// identifier. The program holds its own copies of both identifiers; they must
// stay equal to these.
#include "platform/com/unknown.h"

inline constexpr CLSID CLSID_LevelProbe = MakeGuid("{D616F360-D623-11CF-AAC5-0020AF0B99A3}");

struct ILevelProbe : IUnknown {
    // Slot 3. The last measured peak of each channel as a linear fraction of
    // full scale (0.0 to 1.0); a mono stream reports its one channel twice.
    // Both are 0.0 until the first measurement. E_POINTER if either pointer is null.
    virtual HRESULT GetLevels(double* first, double* second) = 0;

protected:
    ~ILevelProbe() = default;
};
KV_DEFINE_IID(ILevelProbe, "{D616F362-D623-11CF-AAC5-0020AF0B99A3}");
