// libdvstamp.so: the in-process server of the DV video info filter.
#include "filters/dvstamp/dvstamp_filter.h"
#include "platform/media/base/dllsetup.h"
#include "platform/media/uuids.h"

namespace {

constexpr WCHAR kDisplayName[] = u"Tarvik DV Video Info";

const AMOVIESETUP_MEDIATYPE kPinTypes = {&MEDIATYPE_Interleaved, &MEDIASUBTYPE_dvsd};

const AMOVIESETUP_PIN kPins[] = {
    {u"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, u"Output", 1, &kPinTypes},
    {u"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, u"Input", 1, &kPinTypes},
};

// Never picked by intelligent connect: the program inserts the filter itself.
const AMOVIESETUP_FILTER kFilter = {&CLSID_DvStamp, kDisplayName, MERIT_DO_NOT_USE, 2, kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {kDisplayName, &CLSID_DvStamp, DvStampFilter::CreateInstance, nullptr, &kFilter},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

KV_FILTER_MODULE_EXPORTS();
