#pragma once
// The texts the capture window and the preview players show for tape time
// codes, recording dates and running durations, and the validity test of a
// tape time code. Pure functions of plain values.
#include <cstdint>
#include <string>

// A tape time code as IAMTimecodeReader hands it out in TIMECODE.dwFrames:
// 0xHHMMSSFF, each byte two binary-coded decimal digits.
using BcdTimecode = std::uint32_t;

// "HH:MM:SS.FF": each byte printed as two lower-case hexadecimal digits, so a
// valid BCD byte shows as its two decimal digits.
std::string TimecodeText(BcdTimecode timecode);

// Every nibble 0-9, frames below 31, seconds and minutes below 60 and hours
// below 4 (no tape runs four hours).
bool IsValidTimecode(BcdTimecode timecode);

// "%02d:%02d:%02d.%02d" for 0 <= hours < 26, minutes and seconds below 60 and
// frames below 31; otherwise "--:--:--.--".
std::string TimecodeFieldsText(int hours, int minutes, int seconds, int frames);

// The running time of frameCount frames of frameTimeMs each as
// "%02d:%02d:%02d.%02d" (hours not limited to two digits); empty when
// frameTimeMs is 0.
std::string FrameCountText(std::uint64_t frameCount, int frameTimeMs);

// Year 100-9999, month 1-12, a day of that month, hour 0-23, minute and
// second 0-59.
bool IsRecordingDateTime(int year, int month, int day, int hour, int minute, int second);

// The recording date and time in the user's short date format and time
// format, separated by a space; exactly midnight gives the date alone.
// "--  --" when the fields are no date-time.
std::string RecordingDateText(int year, int month, int day, int hour, int minute, int second);

// "%Y%m%d %H%M%S" of the date-time and " %02d%02d%02d%02d" of the time code
// fields, e.g. "20031224 183005 00123405"; "--  --" alone when the fields are
// no date-time.
std::string RecordingStampText(int year, int month, int day, int hour, int minute, int second, int tcHours,
                               int tcMinutes, int tcSeconds, int tcFrames);

// What the capture window's two tape fields are built from.
struct TapeTextState {
    bool vcrMode = false;           // the device plays a tape (else camera mode)
    std::int64_t frameCount = 0;    // the frame server's frames in the current file
    int frameTimeMs = 40;           // 33 or 40
    bool timecodeValid = false;     // the engine's time-code snapshot
    BcdTimecode timecode = 0;
};

// Camera mode: FrameCountText of the frame count; VCR mode: TimecodeText of a
// valid snapshot. An empty result reads "--:--:--.--".
std::string TapePositionText(const TapeTextState& state);
