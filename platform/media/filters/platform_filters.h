#pragma once
// The platform's own filters as classes of the platform: the DV video
// decoder, the DV splitter, the AVI multiplexer, the file writer and the DV
// AVI source.
#include "platform/com/hresult.h"

// Makes the filters creatable by their Windows CLSIDs (built-in classes, no
// registration). The graph library calls it when it loads; calling it again
// does nothing.
HRESULT KvRegisterPlatformFilterClasses();

// Writes the filters' registration (name, merit, pins and media types) through
// the filter mapper, as a module's DllRegisterServer would, so intelligent
// connect finds the DV splitter and decoder (MERIT_NORMAL). The multiplexer,
// the file writer and the AVI source are registered MERIT_DO_NOT_USE: they are
// only ever created by their class, never found by connecting. FALSE removes
// the entries.
HRESULT KvRegisterPlatformFilterData(bool doRegister);
