#pragma once
// External-device constants (edevdefs.h and xprtdefs.h on Windows): the
// capability, device type, transport mode and signal values that the DV
// camcorder filters answer through IAMExtDevice, IAMExtTransport and
// IAMTimecodeReader. The numbers are the ones the Windows headers give.
#include "platform/com/wintypes.h"

inline constexpr LONG ED_BASE = 0x1000;

// IAMExtDevice::GetCapability items and answers.
inline constexpr LONG ED_DEVCAP_DEVICE_TYPE = ED_BASE + 7;           // 4103
inline constexpr LONG ED_DEVTYPE_VCR = ED_BASE + 8;                  // 4104: a deck switched to playback
inline constexpr LONG ED_DEVCAP_TIMECODE_READ = ED_BASE + 25;        // 4121
inline constexpr LONG ED_DEVTYPE_CAMERA = ED_BASE + 1020;            // 5116: a camcorder in camera mode

// Transport modes (IAMExtTransport::put_Mode and get_Mode).
inline constexpr LONG ED_MODE_PLAY = ED_BASE + 200;       // 4296
inline constexpr LONG ED_MODE_STOP = ED_BASE + 201;       // 4297
inline constexpr LONG ED_MODE_FREEZE = ED_BASE + 202;     // 4298: pause, the still picture
inline constexpr LONG ED_MODE_FF = ED_BASE + 204;         // 4300: wind forward
inline constexpr LONG ED_MODE_REW = ED_BASE + 205;        // 4301
inline constexpr LONG ED_MODE_STEP_FWD = ED_BASE + 208;   // 4304: one frame forward from pause
inline constexpr LONG ED_MODE_STEP_REV = ED_BASE + 809;   // 4905: one frame back from pause
// The DV play modes for slow motion, forward and reverse.
inline constexpr LONG ED_MODE_PLAY_SLOWEST_FWD = ED_BASE + 933;  // 5029
inline constexpr LONG ED_MODE_PLAY_SLOWEST_REV = ED_BASE + 935;  // 5031

// IAMExtTransport::GetTransportBasicParameters: the signal standard of the input.
inline constexpr LONG ED_TRANSBASIC_INPUT_SIGNAL = ED_BASE + 940;        // 5036
inline constexpr LONG ED_TRANSBASIC_SIGNAL_525_60_SD = ED_BASE + 942;    // 5038
inline constexpr LONG ED_TRANSBASIC_SIGNAL_525_60_SDL = ED_BASE + 943;   // 5039
inline constexpr LONG ED_TRANSBASIC_SIGNAL_625_50_SD = ED_BASE + 944;    // 5040
inline constexpr LONG ED_TRANSBASIC_SIGNAL_625_50_SDL = ED_BASE + 945;   // 5041
