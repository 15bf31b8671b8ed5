#pragma once
// The platform's own classes (graph manager, capture graph builder, filter
// mapper, system device enumerator, system clock, and the platform filters
// as they arrive) are built in: CoCreateInstance finds them by CLSID without
// any registration. Loading libkvmedia registers them; the call below does
// the same for anyone who wants to be explicit about it, as often as it likes.
#include "platform/com/hresult.h"

extern "C" __attribute__((visibility("default"))) HRESULT KvMediaRegisterPlatformClasses();
