// librelaysource.so: the in-process server of the frame client.
#include "filters/relaysource/relay_source_filter.h"
#include "platform/media/base/dllsetup.h"
#include "platform/media/uuids.h"

namespace {

constexpr WCHAR kDisplayName[] = u"Tarvik DV Frame Client";

const AMOVIESETUP_MEDIATYPE kPinTypes = {&MEDIATYPE_Interleaved, &MEDIASUBTYPE_dvsd};

const AMOVIESETUP_PIN kPins[] = {
    {u"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, u"Input", 1, &kPinTypes},
};

// Never picked by intelligent connect: the program adds it as the file graph's source.
const AMOVIESETUP_FILTER kFilter = {&CLSID_RelaySource, kDisplayName, MERIT_DO_NOT_USE, 1, kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {kDisplayName, &CLSID_RelaySource, RelaySourceFilter::CreateInstance, nullptr, &kFilter},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

KV_FILTER_MODULE_EXPORTS();
