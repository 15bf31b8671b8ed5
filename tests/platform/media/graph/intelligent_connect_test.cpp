// Graph manager: connecting pins that do not fit directly through
// registered filters, and leaving the graph untouched when nothing fits.
#include "graph_fixture.h"

#include "platform/media/uuids.h"
#include "registered_test_filters.h"
#include "support/media/converter.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

using Names = std::vector<std::u16string>;

constexpr GUID MEDIASUBTYPE_TestC = MakeGuid("{6B760001-7E57-4A1B-9C3D-5A17E00000C3}");

const CFactoryTemplate kConverterRow = {u"Test Converter", &CLSID_TestConverter, TestConverter::CreateInstance,
                                        nullptr, &TestConverter::SetupData()};

class IntelligentConnectTest : public GraphFixture {
protected:
    void TearDown() override { UnregisterTestFilter(kConverterRow); }

    // A TestA source and a sink that takes only `accepted` video.
    void AddEnds(const GUID& accepted, LONG samples = 8) {
        PushSourceConfig config;
        config.type = VideoType(MEDIASUBTYPE_TestA, 1000);
        config.sampleSize = 1000;
        config.sampleCount = samples;
        source = TestPushSource::Create(config);
        sink = TestSink::Create({.accept = PartialType(MEDIATYPE_Video, accepted)});
        Add(source.Get(), u"Source");
        Add(sink.Get(), u"Sink");
    }

    bool Connected(IPin* pin) {
        ComPtr<IPin> peer;
        return pin->ConnectedTo(peer.GetAddressOf()) == S_OK;
    }

    ComPtr<TestPushSource> source;
    ComPtr<TestSink> sink;
};

TEST_F(IntelligentConnectTest, InsertsARegisteredConverterAndStreamsThroughIt) {
    RegisterTestFilter(kConverterRow, MERIT_NORMAL);
    AddEnds(MEDIASUBTYPE_TestB);
    ASSERT_EQ(graph->Connect(source->OutputPin(), sink->InputPin()), S_OK);
    EXPECT_EQ(FilterNames(), (Names{u"Sink", u"Test Converter", u"Source"}));
    EXPECT_EQ(sink->ConnectionType().subtype, MEDIASUBTYPE_TestB);

    RunFreely();
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_TRUE(sink->WaitForEndOfStream(10'000));
    EXPECT_EQ(sink->Samples(), 8);
    EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(IntelligentConnectTest, PrefersAFilterAlreadyInTheGraph) {
    RegisterTestFilter(kConverterRow, MERIT_NORMAL);
    AddEnds(MEDIASUBTYPE_TestB);
    auto mine = TestConverter::Create();
    Add(mine.Get(), u"Mine");
    ASSERT_EQ(graph->Connect(source->OutputPin(), sink->InputPin()), S_OK);
    EXPECT_EQ(FilterNames(), (Names{u"Sink", u"Mine", u"Source"}));
}

TEST_F(IntelligentConnectTest, LeavesTheGraphAsItWasWhenNothingFits) {
    RegisterTestFilter(kConverterRow, MERIT_NORMAL);
    AddEnds(MEDIASUBTYPE_TestC);
    const Names before = FilterNames();
    EXPECT_EQ(graph->Connect(source->OutputPin(), sink->InputPin()), VFW_E_CANNOT_CONNECT);
    EXPECT_EQ(FilterNames(), before);
    EXPECT_FALSE(Connected(source->OutputPin()));
    EXPECT_FALSE(Connected(sink->InputPin()));
    // Rendering with no renderer registered fails the same clean way.
    EXPECT_EQ(graph->Render(source->OutputPin()), VFW_E_CANNOT_RENDER);
    EXPECT_EQ(FilterNames(), before);
}

TEST_F(IntelligentConnectTest, NeverUsesFiltersMarkedDoNotUse) {
    RegisterTestFilter(kConverterRow, MERIT_DO_NOT_USE);
    AddEnds(MEDIASUBTYPE_TestB);
    EXPECT_EQ(graph->Connect(source->OutputPin(), sink->InputPin()), VFW_E_CANNOT_CONNECT);
    EXPECT_EQ(FilterNames(), (Names{u"Sink", u"Source"}));
}

TEST_F(IntelligentConnectTest, RenderEndsTheStreamInAFreeRendererThroughTheConverter) {
    RegisterTestFilter(kConverterRow, MERIT_NORMAL);
    AddEnds(MEDIASUBTYPE_TestB);
    EXPECT_EQ(graph->Render(source->OutputPin()), S_OK);
    EXPECT_EQ(FilterNames(), (Names{u"Sink", u"Test Converter", u"Source"}));
    EXPECT_TRUE(Connected(sink->InputPin()));
}

}  // namespace
}  // namespace kvtest
