#pragma once
// The class the runtime tests' module serves.
#include "platform/com/guid.h"

inline constexpr CLSID CLSID_KvTestObject = MakeGuid("{6F3C2D1E-8B47-4A95-B0C1-2E5D7A9F4C63}");
inline constexpr char kKvTestObjectName[] = "Korvanta test object";
