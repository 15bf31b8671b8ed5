// librelaysink.so: the in-process server of the frame server.
#include "filters/relaysink/relay_sink_object.h"
#include "platform/media/base/dllsetup.h"
#include "platform/media/uuids.h"

namespace {

constexpr WCHAR kDisplayName[] = u"Tarvik DV Frame Server";

const AMOVIESETUP_MEDIATYPE kPinTypes = {&MEDIATYPE_Interleaved, &MEDIASUBTYPE_dvsd};

const AMOVIESETUP_PIN kPins[] = {
    {u"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, u"Output", 1, &kPinTypes},
};

// Never picked by intelligent connect: the program renders the capture stream into it.
const AMOVIESETUP_FILTER kFilter = {&CLSID_RelaySink, kDisplayName, MERIT_DO_NOT_USE, 1, kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {kDisplayName, &CLSID_RelaySink, RelaySinkObject::CreateInstance, nullptr, &kFilter},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

KV_FILTER_MODULE_EXPORTS();
