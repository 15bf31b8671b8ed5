// libstillgrab.so: the in-process server of the video grabber.
#include "filters/stillgrab/stillgrab.h"
#include "platform/media/base/dllsetup.h"

namespace {

constexpr WCHAR kDisplayName[] = u"Tarvik Video Grabber";

// Any type; the input type check narrows it to RGB32 video.
const AMOVIESETUP_MEDIATYPE kPinTypes = {&GUID_NULL, &GUID_NULL};

const AMOVIESETUP_PIN kPins[] = {
    {u"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, u"", 1, &kPinTypes},
    {u"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, u"", 1, &kPinTypes},
};

// Never picked by intelligent connect: the program inserts the grabber itself.
const AMOVIESETUP_FILTER kFilter = {&CLSID_StillGrab, kDisplayName, MERIT_DO_NOT_USE, 2, kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {kDisplayName, &CLSID_StillGrab, StillGrabFilter::CreateInstance, nullptr, &kFilter},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

KV_FILTER_MODULE_EXPORTS();
