// The platform filters as the program meets them: created by their Windows
// CLSIDs, and found by intelligent connect once registered.
#include "platform/media/filters/platform_filters.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "dv_clip_source.h"
#include "media_tools.h"
#include "platform/com/objbase.h"
#include "platform/media/filters/dvdec/iipdvdec.h"
#include "platform/media/graph/builtin_classes.h"
#include "platform/media/uuids.h"
#include "support/media/test_sink.h"
#include "support/media/test_types.h"
#include "support/temp_dir.h"

namespace {

TEST(PlatformFiltersTest, EveryFilterIsCreatedByItsWindowsClsid) {
    ASSERT_EQ(KvMediaRegisterPlatformClasses(), S_OK);
    for (const CLSID* clsid : {&CLSID_DVVideoCodec, &CLSID_DVSplitter, &CLSID_AviDest, &CLSID_FileWriter}) {
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.GetVoidAddress()),
                  S_OK);
        CLSID reported{};
        EXPECT_EQ(filter->GetClassID(&reported), S_OK);
        EXPECT_EQ(reported, *clsid);
    }
    ComPtr<IIPDVDec> decoder;
    EXPECT_EQ(CoCreateInstance(CLSID_DVVideoCodec, nullptr, CLSCTX_INPROC_SERVER, IID_IIPDVDec, decoder.GetVoidAddress()),
              S_OK);
    ComPtr<IFileSinkFilter> writer;
    EXPECT_EQ(CoCreateInstance(CLSID_FileWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSinkFilter,
                               writer.GetVoidAddress()),
              S_OK);
}

// Interleaved DV to a picture sink and to a sound sink: the graph finds the decoder and the splitter by merit.
TEST(PlatformFiltersTest, IntelligentConnectInsertsTheDecoderAndTheSplitter) {
    ASSERT_EQ(KvRegisterPlatformFilterData(true), S_OK);
    kvtest::TempDir dir;
    const auto frames = kvtest::SplitDvFrames(
        kvtest::ReadFileBytes(kvtest::MakeDvClip(dir.path(), {.pal = true, .sampleRate = 48000, .frames = 3})),
        144000);
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.GetVoidAddress()),
              S_OK);
    const auto source = kvtest::DvClipSource::Create({frames, {}, true, true});
    const auto picture = kvtest::TestSink::Create({.accept = kvtest::PartialType(MEDIATYPE_Video, MEDIASUBTYPE_RGB32)});
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(picture.Get(), u"Picture"), S_OK);
    ASSERT_EQ(graph->Connect(source->Pin(0), picture->InputPin()), S_OK);
    ComPtr<IBaseFilter> inserted;
    EXPECT_EQ(graph->FindFilterByName(u"DV Video Decoder", inserted.GetAddressOf()), S_OK);

    ComPtr<IGraphBuilder> soundGraph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               soundGraph.GetVoidAddress()),
              S_OK);
    const auto soundSource = kvtest::DvClipSource::Create({frames, {}, true, true});
    const auto sound = kvtest::TestSink::Create({.accept = kvtest::PartialType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM)});
    ASSERT_EQ(soundGraph->AddFilter(soundSource.Get(), u"Source"), S_OK);
    ASSERT_EQ(soundGraph->AddFilter(sound.Get(), u"Sound"), S_OK);
    ASSERT_EQ(soundGraph->Connect(soundSource->Pin(0), sound->InputPin()), S_OK);
    EXPECT_EQ(soundGraph->FindFilterByName(u"DV Splitter", inserted.GetAddressOf()), S_OK);
    EXPECT_EQ(KvRegisterPlatformFilterData(false), S_OK);
}

}  // namespace
