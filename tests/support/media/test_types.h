#pragma once
// Media types and class ids of the test filters. Types A and B are private
// subtypes no platform filter knows, so only the test converter joins them.
#include "platform/media/base/mediatype.h"

namespace kvtest {

inline constexpr GUID MEDIASUBTYPE_TestA = MakeGuid("{6B760001-7E57-4A1B-9C3D-5A17E0000001}");
inline constexpr GUID MEDIASUBTYPE_TestB = MakeGuid("{6B760001-7E57-4A1B-9C3D-5A17E0000002}");

inline constexpr CLSID CLSID_TestPushSource = MakeGuid("{6B760002-7E57-4A1B-9C3D-5A17E0000001}");
inline constexpr CLSID CLSID_TestInPlace = MakeGuid("{6B760002-7E57-4A1B-9C3D-5A17E0000002}");
inline constexpr CLSID CLSID_TestSink = MakeGuid("{6B760002-7E57-4A1B-9C3D-5A17E0000003}");
inline constexpr CLSID CLSID_TestConverter = MakeGuid("{6B760002-7E57-4A1B-9C3D-5A17E0000004}");
inline constexpr CLSID CLSID_TestCaptureSource = MakeGuid("{6B760002-7E57-4A1B-9C3D-5A17E0000005}");

// Interleaved DV (dvsd) with a DVINFO block: what a camcorder delivers.
CMediaType DvInterleavedType();
// A fully specified video type of the given subtype, fixed samples of sampleSize bytes, no format block.
CMediaType VideoType(const GUID& subtype, ULONG sampleSize = 0);
// A partial type: GUID_NULL fields match anything.
CMediaType PartialType(const GUID& major, const GUID& subtype = GUID_NULL);

// The byte a pattern-writing source puts at offset i of sample n.
inline BYTE PatternByte(LONG n, LONG i) { return static_cast<BYTE>((n * 31 + i) & 0xFF); }

}  // namespace kvtest
