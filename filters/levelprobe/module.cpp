// liblevelprobe.so: the in-process server of the sound meter.
#include "filters/levelprobe/levelprobe.h"
#include "platform/media/base/dllsetup.h"
#include "platform/media/uuids.h"

namespace {

constexpr WCHAR kDisplayName[] = u"Tarvik Sound Meter";

// Any audio; the input type check narrows it to 8- and 16-bit PCM.
const AMOVIESETUP_MEDIATYPE kPinTypes = {&MEDIATYPE_Audio, &GUID_NULL};

const AMOVIESETUP_PIN kPins[] = {
    {u"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, u"Output", 1, &kPinTypes},
    {u"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, u"Input", 1, &kPinTypes},
};

// Never picked by intelligent connect: the program inserts the meter itself.
const AMOVIESETUP_FILTER kFilter = {&CLSID_LevelProbe, kDisplayName, MERIT_DO_NOT_USE, 2, kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {kDisplayName, &CLSID_LevelProbe, LevelProbeFilter::CreateInstance, nullptr, &kFilter},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

KV_FILTER_MODULE_EXPORTS();
