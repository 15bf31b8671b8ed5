// Graph manager: seeking passed to the renderers, and audio calls forwarded
// to the filter that serves them.
#include "graph_fixture.h"

#include <mutex>

#include "platform/media/base/baserenderer.h"
#include "support/media/push_source.h"

namespace kvtest {
namespace {

constexpr REFERENCE_TIME kFrame = 400'000;  // PAL

// A renderer that seeks on its own (in frames or media time) and has a
// volume, standing in for the platform's video and audio renderers.
class ServiceRenderer : public CBaseRenderer, public IMediaSeeking, public DispatchNotImplemented<IBasicAudio> {
public:
    static ComPtr<ServiceRenderer> Create(LONGLONG frames) {
        HRESULT hr = S_OK;
        return ComPtr<ServiceRenderer>(new ServiceRenderer(frames, &hr));
    }

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
        if (riid == IID_IBasicAudio) return GetInterface(static_cast<IBasicAudio*>(this), ppv);
        return CBaseRenderer::NonDelegatingQueryInterface(riid, ppv);
    }

    HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    HRESULT DoRenderSample(IMediaSample*) override { return S_OK; }

    HRESULT GetCapabilities(DWORD* caps) override {
        *caps = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanGetDuration;
        return S_OK;
    }
    HRESULT CheckCapabilities(DWORD*) override { return E_NOTIMPL; }
    HRESULT IsFormatSupported(const GUID* format) override {
        return *format == TIME_FORMAT_FRAME || *format == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
    }
    HRESULT QueryPreferredFormat(GUID* format) override { return GetTimeFormat(format); }
    HRESULT GetTimeFormat(GUID* format) override {
        std::scoped_lock lock(mutex_);
        *format = format_;
        return S_OK;
    }
    HRESULT IsUsingTimeFormat(const GUID* format) override {
        std::scoped_lock lock(mutex_);
        return *format == format_ ? S_OK : S_FALSE;
    }
    HRESULT SetTimeFormat(const GUID* format) override {
        if (IsFormatSupported(format) != S_OK) return E_INVALIDARG;
        std::scoped_lock lock(mutex_);
        format_ = *format;
        return S_OK;
    }
    HRESULT GetDuration(LONGLONG* duration) override {
        std::scoped_lock lock(mutex_);
        *duration = format_ == TIME_FORMAT_FRAME ? frames_ : frames_ * kFrame;
        return S_OK;
    }
    HRESULT GetStopPosition(LONGLONG* stop) override { return GetPositions(nullptr, stop); }
    HRESULT GetCurrentPosition(LONGLONG* current) override { return GetPositions(current, nullptr); }
    HRESULT ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG, const GUID*) override { return E_NOTIMPL; }
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override {
        std::scoped_lock lock(mutex_);
        if (current && (currentFlags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_AbsolutePositioning)
            current_ = *current;
        if (stop && (stopFlags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_AbsolutePositioning) stop_ = *stop;
        return S_OK;
    }
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override {
        std::scoped_lock lock(mutex_);
        if (current) *current = current_;
        if (stop) *stop = stop_;
        return S_OK;
    }
    HRESULT GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT SetRate(double) override { return S_OK; }
    HRESULT GetRate(double* rate) override {
        *rate = 1.0;
        return S_OK;
    }
    HRESULT GetPreroll(LONGLONG* preroll) override {
        *preroll = 0;
        return S_OK;
    }

    HRESULT put_Volume(LONG volume) override {
        std::scoped_lock lock(mutex_);
        volume_ = volume;
        return S_OK;
    }
    HRESULT get_Volume(LONG* volume) override {
        std::scoped_lock lock(mutex_);
        *volume = volume_;
        return S_OK;
    }
    HRESULT put_Balance(LONG) override { return E_NOTIMPL; }
    HRESULT get_Balance(LONG*) override { return E_NOTIMPL; }

    LONGLONG Current() {
        std::scoped_lock lock(mutex_);
        return current_;
    }
    LONG Volume() {
        std::scoped_lock lock(mutex_);
        return volume_;
    }

private:
    ServiceRenderer(LONGLONG frames, HRESULT* phr)
        : CBaseRenderer(CLSID_TestSink, "Service renderer", nullptr, phr), frames_(frames) {}

    const LONGLONG frames_;
    std::mutex mutex_;
    GUID format_ = TIME_FORMAT_MEDIA_TIME;  // guarded by mutex_
    LONGLONG current_ = 0;                  // guarded by mutex_
    LONGLONG stop_ = 0;                     // guarded by mutex_
    LONG volume_ = 0;                       // guarded by mutex_
};

class GraphServicesTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        ASSERT_EQ(graph.As(&seeking), S_OK);
        for (ServiceRenderer* renderer : {shortRenderer.Get(), longRenderer.Get()}) {
            auto source = TestPushSource::Create();
            ASSERT_TRUE(SUCCEEDED(graph->AddFilter(source.Get(), u"Source")));
            ASSERT_TRUE(SUCCEEDED(graph->AddFilter(renderer, u"Renderer")));
            ASSERT_EQ(graph->Connect(source->OutputPin(), renderer->GetPin(0)), S_OK);
        }
    }

    ComPtr<IMediaSeeking> seeking;
    ComPtr<ServiceRenderer> shortRenderer = ServiceRenderer::Create(100);
    ComPtr<ServiceRenderer> longRenderer = ServiceRenderer::Create(250);
};

TEST_F(GraphServicesTest, SeeksInFramesThroughEveryRenderer) {
    EXPECT_EQ(seeking->IsUsingTimeFormat(&TIME_FORMAT_MEDIA_TIME), S_OK);
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    EXPECT_EQ(seeking->IsUsingTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    EXPECT_EQ(longRenderer->IsUsingTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    EXPECT_EQ(shortRenderer->IsUsingTimeFormat(&TIME_FORMAT_FRAME), S_OK);

    // The graph lasts as long as its longest stream.
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 250);

    LONGLONG current = 10, stop = 99;
    ASSERT_EQ(seeking->SetPositions(&current, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning),
              S_OK);
    EXPECT_EQ(shortRenderer->Current(), 10);
    EXPECT_EQ(longRenderer->Current(), 10);
    current = stop = 0;
    ASSERT_EQ(seeking->GetPositions(&current, &stop), S_OK);
    EXPECT_EQ(current, 10);
    EXPECT_EQ(stop, 99);

    // A format no renderer knows is refused, and the graph keeps its own.
    EXPECT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_BYTE), E_INVALIDARG);
    EXPECT_EQ(seeking->IsUsingTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME), S_OK);
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, 250 * kFrame);
    EXPECT_EQ(seeking->GetDuration(nullptr), E_POINTER);
}

TEST_F(GraphServicesTest, SeekingNeedsAConnectedRenderer) {
    ASSERT_EQ(graph->RemoveFilter(shortRenderer.Get()), S_OK);
    ASSERT_EQ(graph->RemoveFilter(longRenderer.Get()), S_OK);
    LONGLONG duration = 0;
    EXPECT_EQ(seeking->GetDuration(&duration), E_NOTIMPL);
    EXPECT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), E_NOTIMPL);
}

TEST_F(GraphServicesTest, AudioCallsReachTheFilterThatServesThem) {
    ComPtr<IBasicAudio> audio;
    ASSERT_EQ(graph.As(&audio), S_OK);
    ASSERT_EQ(audio->put_Volume(-10000), S_OK);
    LONG volume = 0;
    ASSERT_EQ(audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, -10000);
    // The graph's order decides which one: the most recently added renderer.
    EXPECT_EQ(longRenderer->Volume(), -10000);
    EXPECT_EQ(shortRenderer->Volume(), 0);
    EXPECT_EQ(audio->put_Balance(0), E_NOTIMPL);
}

}  // namespace
}  // namespace kvtest
