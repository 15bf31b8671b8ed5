#pragma once
// Media types, format types, pin categories and the framework's class
// identifiers, with the values Windows gives them (uuids.h).
#include "platform/com/guid.h"

// Major types.
inline constexpr GUID MEDIATYPE_Video = MakeGuid("{73646976-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIATYPE_Audio = MakeGuid("{73647561-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIATYPE_Interleaved = MakeGuid("{73766169-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIATYPE_Stream = MakeGuid("{E436EB83-524F-11CE-9F53-0020AF0BA770}");

// Subtypes.
inline constexpr GUID MEDIASUBTYPE_dvsd = MakeGuid("{64737664-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIASUBTYPE_dvhd = MakeGuid("{64687664-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIASUBTYPE_dvsl = MakeGuid("{6C737664-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIASUBTYPE_RGB32 = MakeGuid("{E436EB7E-524F-11CE-9F53-0020AF0BA770}");
inline constexpr GUID MEDIASUBTYPE_RGB24 = MakeGuid("{E436EB7D-524F-11CE-9F53-0020AF0BA770}");
inline constexpr GUID MEDIASUBTYPE_YUY2 = MakeGuid("{32595559-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIASUBTYPE_PCM = MakeGuid("{00000001-0000-0010-8000-00AA00389B71}");
inline constexpr GUID MEDIASUBTYPE_Avi = MakeGuid("{E436EB88-524F-11CE-9F53-0020AF0BA770}");

// Format types.
inline constexpr GUID FORMAT_None = MakeGuid("{0F6417D6-C318-11D0-A43F-00A0C9223196}");
inline constexpr GUID FORMAT_VideoInfo = MakeGuid("{05589F80-C356-11CE-BF01-00AA0055595A}");
inline constexpr GUID FORMAT_WaveFormatEx = MakeGuid("{05589F81-C356-11CE-BF01-00AA0055595A}");
inline constexpr GUID FORMAT_DvInfo = MakeGuid("{05589F84-C356-11CE-BF01-00AA0055595A}");

// Pin categories.
inline constexpr GUID PIN_CATEGORY_CAPTURE = MakeGuid("{FB6C4281-0353-11D1-905F-0000C0CC16BA}");
inline constexpr GUID PIN_CATEGORY_PREVIEW = MakeGuid("{FB6C4282-0353-11D1-905F-0000C0CC16BA}");
inline constexpr GUID AMPROPSETID_Pin = MakeGuid("{9B00F101-1567-11D1-B3F1-00AA003761C5}");

// Framework objects.
inline constexpr CLSID CLSID_FilterGraph = MakeGuid("{E436EBB3-524F-11CE-9F53-0020AF0BA770}");
inline constexpr CLSID CLSID_CaptureGraphBuilder2 = MakeGuid("{BF87B6E1-8C27-11D0-B3F0-00AA003761C5}");
inline constexpr CLSID CLSID_FilterMapper2 = MakeGuid("{CDA42200-BD88-11D0-BD4E-00A0C911CE86}");
inline constexpr CLSID CLSID_SystemDeviceEnum = MakeGuid("{62BE5D10-60EB-11D0-BD3B-00A0C911CE86}");
inline constexpr CLSID CLSID_SystemClock = MakeGuid("{E436EBB1-524F-11CE-9F53-0020AF0BA770}");

// Device and filter categories.
inline constexpr CLSID CLSID_VideoInputDeviceCategory = MakeGuid("{860BB310-5D01-11D0-BD3B-00A0C911CE86}");
inline constexpr CLSID CLSID_AudioInputDeviceCategory = MakeGuid("{33D9A762-90C8-11D0-BD43-00A0C911CE86}");
inline constexpr CLSID CLSID_LegacyAmFilterCategory = MakeGuid("{083863F1-70DE-11D0-BD40-00A0C911CE86}");

// Platform filters.
inline constexpr CLSID CLSID_DVVideoCodec = MakeGuid("{B1B77C00-C3E4-11CF-AF79-00AA00B67A42}");
inline constexpr CLSID CLSID_DVSplitter = MakeGuid("{4EB31670-9FC6-11CF-AF6E-00AA00B67A42}");
inline constexpr CLSID CLSID_AviDest = MakeGuid("{E2510970-F137-11CE-8B67-00AA00A3F1A6}");
inline constexpr CLSID CLSID_FileWriter = MakeGuid("{8596E5F0-0DA5-11D0-BD21-00A0C911CE86}");
inline constexpr CLSID CLSID_AviSplitter = MakeGuid("{1B544C20-FD0B-11CE-8C63-00AA0044B51E}");
inline constexpr CLSID CLSID_AsyncReader = MakeGuid("{E436EBB5-524F-11CE-9F53-0020AF0BA770}");
inline constexpr CLSID CLSID_VideoRenderer = MakeGuid("{70E102B0-5556-11CE-97C0-00AA0055595A}");
inline constexpr CLSID CLSID_DSoundRender = MakeGuid("{79376820-07D0-11CF-A24D-0020AFD79767}");
inline constexpr CLSID CLSID_SmartTee = MakeGuid("{CC58E280-8AA1-11D1-B3F1-00AA003761C5}");
inline constexpr CLSID CLSID_InfTee = MakeGuid("{F8388A40-D5BB-11D0-BE5A-0080C706568E}");
