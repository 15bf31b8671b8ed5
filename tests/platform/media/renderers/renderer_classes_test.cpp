// The renderers as platform classes: created by CLSID, offering their
// interfaces, and, once their filter data is written, chosen by Render to
// end video and sound streams.
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/renderers/renderer_classes.h"
#include "platform/media/uuids.h"
#include "renderer_fixture.h"

namespace kvtest {
namespace {

TEST(RendererClasses, RegistrationIsRepeatableAndMakesBothCreatable) {
    EXPECT_EQ(KvRegisterRendererClasses(), S_OK);
    EXPECT_EQ(KvRegisterRendererClasses(), S_OK);
    ComPtr<IVideoWindow> window;
    EXPECT_EQ(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IVideoWindow,
                               window.GetVoidAddress()),
              S_OK);
    ComPtr<IBasicAudio> audio;
    EXPECT_EQ(CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER, IID_IBasicAudio,
                               audio.GetVoidAddress()),
              S_OK);
}

class RenderToRenderers : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(KvRegisterRendererFilterData(true), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.GetVoidAddress()),
                  S_OK);
    }
    void TearDown() override { EXPECT_EQ(KvRegisterRendererFilterData(false), S_OK); }

    // The class of the filter Render connected the source's output to.
    CLSID RenderedBy(const CMediaType& type, const char16_t* name) {
        PushSourceConfig config;
        config.type = type;
        const ComPtr<TestPushSource> source = TestPushSource::Create(config);
        EXPECT_EQ(graph->AddFilter(source.Get(), name), S_OK);
        EXPECT_EQ(graph->Render(source->OutputPin()), S_OK);
        ComPtr<IPin> peer;
        CLSID clsid = GUID_NULL;
        if (source->OutputPin()->ConnectedTo(peer.GetAddressOf()) != S_OK) return clsid;
        PIN_INFO info{};
        peer->QueryPinInfo(&info);
        if (info.pFilter) {
            info.pFilter->GetClassID(&clsid);
            info.pFilter->Release();
        }
        return clsid;
    }

    ComPtr<IGraphBuilder> graph;
};

TEST_F(RenderToRenderers, VideoEndsInTheVideoRendererAndSoundInTheSoundRenderer) {
    EXPECT_EQ(RenderedBy(Rgb32Type(4, 2), u"Video source"), CLSID_VideoRenderer);
    EXPECT_EQ(RenderedBy(PcmType(48000, 2, 16), u"Sound source"), CLSID_DSoundRender);
}

}  // namespace
}  // namespace kvtest
