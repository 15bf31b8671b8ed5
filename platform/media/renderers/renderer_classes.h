#pragma once
// The platform's renderers as classes of the platform: the video renderer
// (CLSID_VideoRenderer) and the sound renderer (CLSID_DSoundRender). They
// live in their own library because they need Qt, which the rest of the
// media framework does without.
#include "platform/com/hresult.h"

// Makes both renderers creatable by CLSID (built-in classes, no
// registration) and has graph events posted to their windows as window
// messages (window_message.h). Loading the library does it; calling it
// again does nothing.
extern "C" __attribute__((visibility("default"))) HRESULT KvRegisterRendererClasses();

// Writes the renderers' filter data (name, merit MERIT_PREFERRED, input pin
// and media types) through the filter mapper, so that Render and intelligent
// connect end video and sound streams in them. FALSE removes the entries.
HRESULT KvRegisterRendererFilterData(bool doRegister);
