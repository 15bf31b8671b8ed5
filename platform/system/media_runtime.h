#pragma once
// The media runtime check: the installed FFmpeg must decode DV. Its version
// is given in the form the program compares against (major in the high
// 16 bits, minor in the low 16), with the micro version as the revision.
#include <cstdint>

// False when FFmpeg has no DV video decoder; version and revision are then left alone.
bool MediaRuntimeVersion(std::uint32_t* version, std::uint32_t* revision);
