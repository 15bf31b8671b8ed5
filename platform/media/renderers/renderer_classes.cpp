#include "platform/media/renderers/renderer_classes.h"

#include "platform/com/class_factory.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/base/dllsetup.h"
#include "platform/media/renderers/sound_renderer.h"
#include "platform/media/renderers/video_renderer.h"
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

HRESULT RegisterClasses() {
    for (const CFactoryTemplate& row : kRenderers) {
        const ComPtr<IClassFactory> factory(new CClassFactory(&row));
        if (const HRESULT hr = CoRegisterBuiltinClass(*row.m_ClsID, factory.Get()); FAILED(hr)) return hr;
    }
    return S_OK;
}

// Registers the renderers when the library is loaded.
const HRESULT g_registeredOnLoad = KvRegisterRendererClasses();

}  // namespace

HRESULT KvRegisterRendererClasses() {
    static const HRESULT result = RegisterClasses();
    return result;
}

HRESULT KvRegisterRendererFilterData(bool doRegister) {
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper.GetVoidAddress());
    if (FAILED(hr)) return hr;
    for (const CFactoryTemplate& row : kRenderers) {
        if (!doRegister) {
            mapper->UnregisterFilter(nullptr, nullptr, *row.m_ClsID);
            continue;
        }
        const AMOVIESETUP_FILTER& setup = *row.m_pAMovieSetup_Filter;
        REGFILTER2 data{};
        data.dwVersion = 1;
        data.dwMerit = setup.dwMerit;
        data.cPins = setup.nPins;
        data.rgPins = setup.lpPin;
        if (FAILED(hr = mapper->RegisterFilter(*row.m_ClsID, setup.strName, nullptr, nullptr, nullptr, &data)))
            return hr;
    }
    return S_OK;
}
