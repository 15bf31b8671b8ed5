#pragma once
// The clock arithmetic of the scene rule: how far apart two frames were
// recorded, by the camcorder's own wall clock.
#include <cstdint>
#include <ctime>

#include "dvshared/dv_frame_info.h"

// The value RecordingSecondsBetween gives when a date cannot be converted.
// It is negative, so an unconvertible date always counts as a jump.
inline constexpr std::int64_t kUnconvertibleDate = -1;

// The recording date and time as calendar fields, daylight saving off.
std::tm RecordingFields(const DvFrameInfo& info);

// True when any of the six recording fields differ.
bool RecordingDatesDiffer(const DvFrameInfo& a, const DvFrameInfo& b);

// Seconds from b's recording date and time to a's. Both are read as local
// standard time (daylight saving off), so the result is the difference of
// the camcorder's wall clock: a recording that runs across a daylight-saving
// change of the computer's time zone shows no jump, because the camcorder's
// clock did not jump either. kUnconvertibleDate when either conversion fails.
std::int64_t RecordingSecondsBetween(const DvFrameInfo& a, const DvFrameInfo& b);
