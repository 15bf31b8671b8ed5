#include "platform/media/renderers/renderer_classes.h"

#include "platform/media/base/builtin_filters.h"
#include "platform/media/renderers/sound_renderer.h"
#include "platform/media/renderers/video_renderer.h"
#include "platform/media/renderers/window_message.h"
#include "platform/media/uuids.h"

namespace {

const REGPINTYPES kVideoIn = {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB32};
const REGPINTYPES kSoundIn = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
// Rendered input pins: the graph has nothing more to connect after them.
const AMOVIESETUP_PIN kVideoPins[] = {{u"In", TRUE, FALSE, FALSE, FALSE, nullptr, nullptr, 1, &kVideoIn}};
const AMOVIESETUP_PIN kSoundPins[] = {{u"In", TRUE, FALSE, FALSE, FALSE, nullptr, nullptr, 1, &kSoundIn}};
const AMOVIESETUP_FILTER kVideoSetup = {&CLSID_VideoRenderer, u"Video Renderer", MERIT_PREFERRED, 1, kVideoPins};
const AMOVIESETUP_FILTER kSoundSetup = {&CLSID_DSoundRender, u"Default Sound Device", MERIT_PREFERRED, 1, kSoundPins};

const CFactoryTemplate kRenderers[] = {
    {u"Video Renderer", &CLSID_VideoRenderer, CVideoRenderer::CreateInstance, nullptr, &kVideoSetup},
    {u"Default Sound Device", &CLSID_DSoundRender, CSoundRenderer::CreateInstance, nullptr, &kSoundSetup},
};

// Registers the renderers when the library is loaded.
const HRESULT g_registeredOnLoad = KvRegisterRendererClasses();

}  // namespace

HRESULT KvRegisterRendererClasses() {
    static const HRESULT result = [] {
        InstallGraphNotifyPoster();
        return RegisterBuiltinFilterClasses(kRenderers);
    }();
    return result;
}

HRESULT KvRegisterRendererFilterData(bool doRegister) {
    return RegisterBuiltinFilterData(kRenderers, doRegister);
}
