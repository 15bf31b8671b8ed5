// RenderFile on DV AVI files, as the preview player opens them: the source,
// the DV splitter for type 1 only, the decoder already in the graph, and the
// video and sound renderers; the graph plays to its end and seeks in frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dv_avi_files.h"
#include "media_tools.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/utf.h"
#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "platform/media/filters/platform_filters.h"
#include "platform/media/renderers/renderer_classes.h"
#include "platform/media/uuids.h"
#include "support/temp_dir.h"

namespace {

using Frames = std::vector<std::vector<BYTE>>;
constexpr int kClipFrames = 10;

class RenderFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(KvRegisterPlatformFilterData(true), S_OK);
        ASSERT_EQ(KvRegisterRendererFilterData(true), S_OK);
        const auto clip = kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 48000, .frames = kClipFrames});
        frames_ = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), 144000);
        for (const auto& frame : frames_) {
            std::vector<BYTE> pcm;
            ExtractDvAudio(frame, pcm, nullptr);
            pcm_.push_back(std::move(pcm));
        }
    }

    void TearDown() override {
        if (control_) control_->Stop();
        EXPECT_EQ(KvRegisterRendererFilterData(false), S_OK);
        EXPECT_EQ(KvRegisterPlatformFilterData(false), S_OK);
    }

    // A new graph holding a DV decoder, as the player prepares it, with `file` rendered into it.
    HRESULT Render(DvAviType type, bool withSound) {
        const auto path = dir_ / "scene.avi";
        kvtest::WriteDvAvi(path, type, frames_, withSound ? pcm_ : Frames{});
        control_.Reset();
        graph_.Reset();
        EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph_.GetVoidAddress()),
                  S_OK);
        EXPECT_EQ(graph_.As(&control_), S_OK);
        ComPtr<IBaseFilter> decoder;
        EXPECT_EQ(CoCreateInstance(CLSID_DVVideoCodec, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   decoder.GetVoidAddress()),
                  S_OK);
        EXPECT_EQ(graph_->AddFilter(decoder.Get(), u"DV Decoder"), S_OK);
        return graph_->RenderFile(Utf8ToUtf16(path.string()).c_str(), nullptr);
    }

    // The classes of the filters in the graph.
    std::vector<CLSID> Classes() {
        std::vector<CLSID> classes;
        ComPtr<IEnumFilters> filters;
        EXPECT_EQ(graph_->EnumFilters(filters.GetAddressOf()), S_OK);
        for (ComPtr<IBaseFilter> filter; filters->Next(1, filter.GetAddressOf(), nullptr) == S_OK; filter.Reset()) {
            CLSID clsid{};
            filter->GetClassID(&clsid);
            classes.push_back(clsid);
        }
        return classes;
    }

    long CountOf(const CLSID& clsid) {
        const auto classes = Classes();
        return std::count(classes.begin(), classes.end(), clsid);
    }

    // Runs to EC_COMPLETE.
    void PlayToTheEnd() {
        ComPtr<IMediaEvent> events;
        ASSERT_EQ(graph_.As(&events), S_OK);
        ASSERT_EQ(control_->Run(), S_OK);
        LONG code = 0;
        ASSERT_EQ(events->WaitForCompletion(20000, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        ASSERT_EQ(control_->Stop(), S_OK);
    }

    kvtest::TempDir dir_;
    Frames frames_;
    Frames pcm_;
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
};

TEST_F(RenderFileTest, Type1GoesThroughTheSplitterToBothRenderers) {
    ASSERT_EQ(Render(DvAviType::Type1, false), S_OK);
    EXPECT_EQ(CountOf(CLSID_AviSplitter), 1);
    EXPECT_EQ(CountOf(CLSID_DVSplitter), 1);
    EXPECT_EQ(CountOf(CLSID_DVVideoCodec), 1);  // the one added beforehand
    EXPECT_EQ(CountOf(CLSID_VideoRenderer), 1);
    EXPECT_EQ(CountOf(CLSID_DSoundRender), 1);
    PlayToTheEnd();
}

TEST_F(RenderFileTest, Type2NeedsNoSplitterAndPlaysWithOrWithoutSound) {
    ASSERT_EQ(Render(DvAviType::Type2, true), S_OK);
    EXPECT_EQ(CountOf(CLSID_DVSplitter), 0);
    EXPECT_EQ(CountOf(CLSID_DVVideoCodec), 1);
    EXPECT_EQ(CountOf(CLSID_VideoRenderer), 1);
    EXPECT_EQ(CountOf(CLSID_DSoundRender), 1);

    // The player reads the length in frames and shows frame 0 alone, then plays.
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(graph_.As(&seeking), S_OK);
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, kClipFrames);
    LONGLONG first = 4, last = kClipFrames - 1;
    ASSERT_EQ(seeking->SetPositions(&first, AM_SEEKING_AbsolutePositioning, &last, AM_SEEKING_AbsolutePositioning),
              S_OK);
    PlayToTheEnd();

    ASSERT_EQ(Render(DvAviType::Type2, false), S_OK);
    EXPECT_EQ(CountOf(CLSID_VideoRenderer), 1);
    EXPECT_EQ(CountOf(CLSID_DSoundRender), 0);
    PlayToTheEnd();
}

}  // namespace
