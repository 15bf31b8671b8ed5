// The DV video decoder filter in a graph: the size IIPDVDec chose, taken at
// the next connection; DV as video, the interleaved stream only through the
// DV splitter; damaged frames dropped without ending the stream.
#include "platform/media/filters/dvdec/dv_video_codec.h"
#include "platform/media/filters/dvsplit/dv_splitter.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dv_clip_source.h"
#include "graph_helpers.h"
#include "media_tools.h"
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"
#include "support/media/test_sink.h"
#include "support/temp_dir.h"

namespace {

using kvtest::PinOf;

class DvVideoCodecTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph_.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(graph_.As(&control_), S_OK);
        ComPtr<IMediaFilter> asFilter;
        ASSERT_EQ(graph_.As(&asFilter), S_OK);
        ASSERT_EQ(asFilter->SetSyncSource(nullptr), S_OK);
        frames_ = kvtest::SplitDvFrames(
            kvtest::ReadFileBytes(kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 48000, .frames = 6})),
            144000);
        decoder_ = kvtest::MakeFilter(CDvVideoCodec::CreateInstance);
        ASSERT_TRUE(decoder_);
        ASSERT_EQ(decoder_.As(&display_), S_OK);
        sink_ = kvtest::TestSink::Create();
    }

    // Source → decoder → sink; the interleaved stream by way of the DV splitter.
    void Connect(bool interleaved) {
        source_ = kvtest::DvClipSource::Create({frames_, {}, interleaved, true});
        ASSERT_EQ(graph_->AddFilter(source_.Get(), u"Source"), S_OK);
        ASSERT_EQ(graph_->AddFilter(decoder_.Get(), u"DV Decoder"), S_OK);
        ASSERT_EQ(graph_->AddFilter(sink_.Get(), u"Sink"), S_OK);
        IPin* video = source_->Pin(0);
        if (interleaved) {
            // The decoder refuses the interleaved stream, so that a graph keeps its sound.
            ASSERT_EQ(graph_->ConnectDirect(video, PinOf(decoder_.Get(), u"XForm In"), nullptr),
                      VFW_E_TYPE_NOT_ACCEPTED);
            splitter_ = kvtest::MakeFilter(CDvSplitter::CreateInstance);
            ASSERT_EQ(graph_->AddFilter(splitter_.Get(), u"DV Splitter"), S_OK);
            ASSERT_EQ(graph_->ConnectDirect(video, PinOf(splitter_.Get(), u"Input"), nullptr), S_OK);
            video = PinOf(splitter_.Get(), u"DVVidOut0");
        }
        ASSERT_EQ(graph_->ConnectDirect(video, PinOf(decoder_.Get(), u"XForm In"), nullptr), S_OK);
        ASSERT_EQ(graph_->ConnectDirect(PinOf(decoder_.Get(), u"XForm Out"), sink_->InputPin(), nullptr), S_OK);
    }

    BITMAPINFOHEADER SinkPicture() {
        const CMediaType type = sink_->ConnectionType();
        EXPECT_EQ(type.subtype, MEDIASUBTYPE_RGB32);
        VIDEOINFOHEADER video{};
        if (type.cbFormat >= sizeof video) std::memcpy(&video, type.pbFormat, sizeof video);
        return video.bmiHeader;
    }

    void Stream(LONG expectedSamples) {
        sink_->Reset();
        ASSERT_EQ(SUCCEEDED(control_->Run()), true);
        ASSERT_TRUE(sink_->WaitForEndOfStream(10000));
        EXPECT_EQ(sink_->Samples(), expectedSamples);
        ASSERT_EQ(control_->Stop(), S_OK);
    }

    kvtest::TempDir dir_;
    std::vector<std::vector<BYTE>> frames_;
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<kvtest::DvClipSource> source_;
    ComPtr<IBaseFilter> decoder_;
    ComPtr<IBaseFilter> splitter_;
    ComPtr<IIPDVDec> display_;
    ComPtr<kvtest::TestSink> sink_;
};

TEST_F(DvVideoCodecTest, DisplaySizeTakesEffectAtTheNextConnection) {
    int display = 0;
    ASSERT_EQ(display_->get_IPDisplay(&display), S_OK);
    EXPECT_EQ(display, DVRESOLUTION_QUARTER);
    EXPECT_EQ(display_->put_IPDisplay(999), E_INVALIDARG);
    EXPECT_EQ(display_->put_IPDisplay(1004), E_INVALIDARG);
    ASSERT_EQ(display_->put_IPDisplay(DVRESOLUTION_HALF), S_OK);
    Connect(false);
    BITMAPINFOHEADER picture = SinkPicture();
    EXPECT_EQ(picture.biWidth, 360);
    EXPECT_EQ(picture.biHeight, 288);  // positive: bottom-up rows
    EXPECT_EQ(picture.biBitCount, 32);
    Stream(6);
    EXPECT_EQ(sink_->Bytes(), 6LL * 360 * 288 * 4);

    // A new size waits for the connection to be made again.
    ASSERT_EQ(display_->put_IPDisplay(DVRESOLUTION_DC), S_OK);
    EXPECT_EQ(SinkPicture().biWidth, 360);
    ASSERT_EQ(graph_->Reconnect(PinOf(decoder_.Get(), u"XForm Out")), S_OK);
    picture = SinkPicture();
    EXPECT_EQ(picture.biWidth, 90);
    EXPECT_EQ(picture.biHeight, 72);
    Stream(6);
    EXPECT_EQ(sink_->Bytes(), 6LL * 90 * 72 * 4);
}

TEST_F(DvVideoCodecTest, DecodesTheInterleavedStreamAfterTheSplitterAndDropsDamagedFrames) {
    frames_[2].resize(1000);                                    // cut short
    std::fill(frames_[4].begin() + 80, frames_[4].end(), 0xFF);  // all ones behind the header
    ASSERT_EQ(display_->put_IPDisplay(DVRESOLUTION_FULL), S_OK);
    Connect(true);
    EXPECT_EQ(SinkPicture().biWidth, 720);
    sink_->Reset();
    ASSERT_EQ(SUCCEEDED(control_->Run()), true);
    ASSERT_TRUE(sink_->WaitForEndOfStream(10000));
    EXPECT_GE(sink_->Samples(), 4);  // the short frame is dropped; the garbled one may decode to something
    EXPECT_LE(sink_->Samples(), 5);
    ASSERT_EQ(control_->Stop(), S_OK);
}

}  // namespace
