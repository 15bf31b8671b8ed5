// `korvanta-regsvr --platform`, run as the start script runs it, gives the
// platform filters their mapper entries: afterwards the graph manager's
// Connect joins interleaved DV to a picture-only or a sound-only sink on its
// own; `-u --platform` takes the entries away again.
#include <gtest/gtest.h>

#include "dv_clip_source.h"
#include "media_tools.h"
#include "platform/com/objbase.h"
#include "platform/media/uuids.h"
#include "support/media/test_sink.h"
#include "support/media/test_types.h"
#include "support/temp_dir.h"
#include "tests/platform/com/child_process.h"

namespace {

const std::string kRegsvr = KVTEST_REGSVR;

class PlatformRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        frames_ = kvtest::SplitDvFrames(
            kvtest::ReadFileBytes(kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 48000, .frames = 2})),
            144000);
    }

    // A new graph in which interleaved DV is connected to a sink taking only `accept`.
    HRESULT ConnectDvTo(const CMediaType& accept) {
        graph_.Reset();
        EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph_.GetVoidAddress()),
                  S_OK);
        const auto source = kvtest::DvClipSource::Create({frames_, {}, true, true});
        const auto sink = kvtest::TestSink::Create({.accept = accept});
        EXPECT_EQ(graph_->AddFilter(source.Get(), u"Source"), S_OK);
        EXPECT_EQ(graph_->AddFilter(sink.Get(), u"Sink"), S_OK);
        return graph_->Connect(source->Pin(0), sink->InputPin());
    }

    bool InGraph(const char16_t* name) {
        ComPtr<IBaseFilter> filter;
        return graph_->FindFilterByName(name, filter.GetAddressOf()) == S_OK;
    }

    kvtest::TempDir dir_;
    std::vector<std::vector<BYTE>> frames_;
    ComPtr<IGraphBuilder> graph_;
};

TEST_F(PlatformRegistrationTest, RegsvrPlatformLetsConnectFindTheDvFilters) {
    const CMediaType picture = kvtest::PartialType(MEDIATYPE_Video, MEDIASUBTYPE_RGB32);
    const CMediaType sound = kvtest::PartialType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM);

    const auto registered = kvtest::RunChild({kRegsvr, "--platform"});
    ASSERT_EQ(registered.exitCode, 0) << registered.output;
    // The picture comes out of the decoder, which takes DV video from the splitter.
    ASSERT_EQ(ConnectDvTo(picture), S_OK);
    EXPECT_TRUE(InGraph(u"DV Splitter"));
    EXPECT_TRUE(InGraph(u"DV Video Decoder"));
    ASSERT_EQ(ConnectDvTo(sound), S_OK);
    EXPECT_TRUE(InGraph(u"DV Splitter"));

    const auto listed = kvtest::RunChild({kRegsvr, "--list"});
    EXPECT_NE(listed.output.find("DV Splitter"), std::string::npos) << listed.output;
    EXPECT_NE(listed.output.find("Video Renderer"), std::string::npos) << listed.output;
    EXPECT_NE(listed.output.find("Default Sound Device"), std::string::npos) << listed.output;

    const auto removed = kvtest::RunChild({kRegsvr, "-u", "--platform"});
    ASSERT_EQ(removed.exitCode, 0) << removed.output;
    EXPECT_TRUE(FAILED(ConnectDvTo(picture)));
    EXPECT_FALSE(InGraph(u"DV Video Decoder"));
    EXPECT_EQ(kvtest::RunChild({kRegsvr, "--platform", "extra"}).exitCode, 2);
}

}  // namespace
