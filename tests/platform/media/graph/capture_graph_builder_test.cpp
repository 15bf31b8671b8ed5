// Capture graph builder: capture and preview branches from a two-pin
// capture source, and switching the capture stream while the graph runs.
#include "graph_fixture.h"

#include <thread>

#include "support/media/capture_source.h"
#include "support/media/inplace_transform.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

using Names = std::vector<std::u16string>;
using namespace std::chrono_literals;

class CaptureGraphBuilderTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICaptureGraphBuilder2, builder.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
        source = TestCaptureSource::Create();
        Add(source.Get(), u"DV Camcorder");
        Add(captureSink.Get(), u"Capture Sink");
        Add(preview.Get(), u"Preview Transform");
        Add(previewSink.Get(), u"Preview Sink");
    }

    HRESULT RenderCapture() {
        return builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, source.Get(), nullptr,
                                     captureSink.Get());
    }
    HRESULT RenderPreview() {
        return builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Interleaved, source.Get(), preview.Get(),
                                     previewSink.Get());
    }
    HRESULT SwitchCapture(bool on) {
        REFERENCE_TIME never = MAXLONGLONG;
        return on ? builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, source.Get(), nullptr,
                                           &never, 0, 0)
                  : builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, source.Get(), &never,
                                           nullptr, 0, 0);
    }
    static IPin* Peer(IPin* pin) {
        ComPtr<IPin> peer;
        pin->ConnectedTo(peer.GetAddressOf());
        return peer.Get();
    }

    ComPtr<ICaptureGraphBuilder2> builder;
    ComPtr<TestCaptureSource> source;
    ComPtr<TestSink> captureSink = TestSink::Create();
    ComPtr<TestInPlaceTransform> preview = TestInPlaceTransform::Create();
    ComPtr<TestSink> previewSink = TestSink::Create();
};

TEST_F(CaptureGraphBuilderTest, RendersCaptureAndPreviewBranches) {
    ASSERT_EQ(RenderCapture(), S_OK);
    ASSERT_EQ(RenderPreview(), S_OK);
    EXPECT_EQ(Peer(&source->CapturePin()), captureSink->InputPin());
    EXPECT_EQ(Peer(&source->PreviewPin()), preview->InputPin());
    EXPECT_EQ(Peer(preview->OutputPin()), previewSink->InputPin());
    // Both pins are taken now: there is no free pin of either category left.
    EXPECT_EQ(RenderCapture(), VFW_E_NOT_FOUND);

    ComPtr<IPin> pin;
    EXPECT_EQ(builder->FindPin(source.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_PREVIEW, nullptr, FALSE, 0,
                               pin.GetAddressOf()),
              S_OK);
    EXPECT_EQ(pin.Get(), static_cast<IPin*>(&source->PreviewPin()));
    EXPECT_EQ(builder->FindPin(source.Get(), PINDIR_OUTPUT, nullptr, &MEDIATYPE_Interleaved, FALSE, 1,
                               pin.GetAddressOf()),
              S_OK);
    EXPECT_EQ(pin.Get(), static_cast<IPin*>(&source->PreviewPin()));
    EXPECT_EQ(builder->FindPin(source.Get(), PINDIR_OUTPUT, nullptr, &MEDIATYPE_Audio, FALSE, 0, pin.GetAddressOf()),
              VFW_E_NOT_FOUND);

    ComPtr<IAMStreamControl> control;
    EXPECT_EQ(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, source.Get(), IID_IAMStreamControl,
                                     control.GetVoidAddress()),
              S_OK);
    // Found downstream of the source: the sink's seeking.
    ComPtr<IMediaSeeking> seeking;
    EXPECT_EQ(builder->FindInterface(nullptr, nullptr, preview.Get(), IID_IMediaSeeking, seeking.GetVoidAddress()),
              S_OK);
    ComPtr<IBasicAudio> audio;
    EXPECT_EQ(builder->FindInterface(nullptr, nullptr, source.Get(), IID_IBasicAudio, audio.GetVoidAddress()),
              E_NOINTERFACE);
}

TEST_F(CaptureGraphBuilderTest, AFailedRenderStreamLeavesTheGraphAsItWas) {
    auto picky = TestSink::Create({.accept = PartialType(MEDIATYPE_Audio)});
    Add(picky.Get(), u"Picky");
    const Names before = FilterNames();
    EXPECT_EQ(builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Interleaved, source.Get(), preview.Get(),
                                    picky.Get()),
              VFW_E_CANNOT_CONNECT);
    EXPECT_EQ(FilterNames(), before);
    EXPECT_EQ(Peer(&source->PreviewPin()), nullptr);
    EXPECT_EQ(Peer(preview->OutputPin()), nullptr);

    EXPECT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, nullptr, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(builder->SetFiltergraph(graph.Get()), E_UNEXPECTED);
    EXPECT_EQ(builder->FindPin(source.Get(), PINDIR_OUTPUT, nullptr, nullptr, FALSE, 0, nullptr), E_POINTER);
}

TEST_F(CaptureGraphBuilderTest, ControlStreamSwitchesTheCaptureBranchWhileRunning) {
    ASSERT_EQ(RenderCapture(), S_OK);
    ASSERT_EQ(RenderPreview(), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_TRUE(captureSink->WaitForSamples(3, 10'000));

    ASSERT_EQ(SwitchCapture(false), S_OK);
    std::this_thread::sleep_for(150ms);  // samples already past the pin may still land
    const LONG whileOff = captureSink->Samples();
    const LONG previewBefore = previewSink->Samples();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(captureSink->Samples(), whileOff);
    EXPECT_GT(previewSink->Samples(), previewBefore);

    ASSERT_EQ(SwitchCapture(true), S_OK);
    EXPECT_TRUE(captureSink->WaitForSamples(whileOff + 3, 10'000));
    EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(CaptureGraphBuilderTest, ControlStreamNeedsAMatchingPin) {
    REFERENCE_TIME never = MAXLONGLONG;
    EXPECT_EQ(builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, source.Get(), &never, nullptr, 0, 0),
              VFW_E_NOT_FOUND);
    // The preview pin has no stream control.
    EXPECT_EQ(builder->ControlStream(&PIN_CATEGORY_PREVIEW, nullptr, source.Get(), &never, nullptr, 0, 0),
              E_NOINTERFACE);
    // Without a filter, every filter of the graph is searched.
    EXPECT_EQ(builder->ControlStream(&PIN_CATEGORY_CAPTURE, nullptr, nullptr, &never, nullptr, 0, 0), S_OK);
}

}  // namespace
}  // namespace kvtest
