#pragma once
// Media type helpers: the format block of an AM_MEDIA_TYPE is task memory and
// pUnk holds a reference, so copies and frees go through these functions.
// CMediaType is the owning value type built on them.
#include "platform/media/strmif.h"

// Frees the format block and pUnk, leaving the structure empty.
void FreeMediaType(AM_MEDIA_TYPE& mt);
// Frees a media type allocated with CreateMediaType (and its format block).
void DeleteMediaType(AM_MEDIA_TYPE* mt);
// Deep copy into an uninitialised target; E_OUTOFMEMORY leaves the target empty.
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);
// A task-memory copy that the receiver frees with DeleteMediaType.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source);

class CMediaType : public AM_MEDIA_TYPE {
public:
    CMediaType();
    explicit CMediaType(const GUID* majorType);
    CMediaType(const AM_MEDIA_TYPE& other);
    CMediaType(const CMediaType& other);
    CMediaType(CMediaType&& other) noexcept;
    ~CMediaType();
    CMediaType& operator=(const AM_MEDIA_TYPE& other);
    CMediaType& operator=(const CMediaType& other);
    CMediaType& operator=(CMediaType&& other) noexcept;

    // Major type, subtype, format type and format block equal.
    bool operator==(const CMediaType& other) const;
    bool IsValid() const { return majortype != GUID_NULL; }

    const GUID* Type() const { return &majortype; }
    void SetType(const GUID* type) { majortype = *type; }
    const GUID* Subtype() const { return &subtype; }
    void SetSubtype(const GUID* type) { subtype = *type; }
    const GUID* FormatType() const { return &formattype; }
    void SetFormatType(const GUID* type) { formattype = *type; }
    void SetSampleSize(ULONG size);
    ULONG GetSampleSize() const { return bFixedSizeSamples ? lSampleSize : 0; }
    void SetVariableSize() { bFixedSizeSamples = FALSE; }
    void SetTemporalCompression(BOOL compressed) { bTemporalCompression = compressed; }

    BYTE* Format() const { return pbFormat; }
    ULONG FormatLength() const { return cbFormat; }
    // Copies the block; false when memory runs out.
    bool SetFormat(const BYTE* format, ULONG length);
    // Resizes the block keeping what fits; returns null when memory runs out.
    BYTE* AllocFormatBuffer(ULONG length);
    void ResetFormatBuffer();
    // True when the other type matches this one, treating GUID_NULL fields here as wildcards.
    bool MatchesPartial(const CMediaType* partial) const;
    bool IsPartiallySpecified() const;
};
