// Graph manager: connecting pins that do not fit directly through
// registered filters, and leaving the graph untouched when nothing fits.
#include "graph_fixture.h"

#include "platform/media/uuids.h"
#include "registered_test_filters.h"
#include "support/media/converter.h"
#include "support/media/inplace_transform.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

using Names = std::vector<std::u16string>;

constexpr GUID MEDIASUBTYPE_TestC = MakeGuid("{6B760001-7E57-4A1B-9C3D-5A17E00000C3}");

const CFactoryTemplate kConverterRow = {u"Test Converter", &CLSID_TestConverter, TestConverter::CreateInstance,
                                        nullptr, &TestConverter::SetupData()};

// Pass-through filters registered under several CLSIDs, each taking and
// giving any type: every one fits everywhere, none ever helps.
constexpr CLSID kPassThroughIds[] = {
    MakeGuid("{6B760003-7E57-4A1B-9C3D-5A17E0000001}"), MakeGuid("{6B760003-7E57-4A1B-9C3D-5A17E0000002}"),
    MakeGuid("{6B760003-7E57-4A1B-9C3D-5A17E0000003}"), MakeGuid("{6B760003-7E57-4A1B-9C3D-5A17E0000004}"),
    MakeGuid("{6B760003-7E57-4A1B-9C3D-5A17E0000005}"), MakeGuid("{6B760003-7E57-4A1B-9C3D-5A17E0000006}")};
const REGPINTYPES kAnyType = {&MEDIATYPE_Video, nullptr};
const AMOVIESETUP_PIN kPassThroughPins[] = {{u"In", FALSE, FALSE, FALSE, FALSE, nullptr, nullptr, 1, &kAnyType},
                                            {u"Out", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr, 1, &kAnyType}};
const AMOVIESETUP_FILTER kPassThroughSetup = {nullptr, u"Pass Through", MERIT_NORMAL, 2, kPassThroughPins};
const CFactoryTemplate kPassThroughRows[] = {
    {u"Pass Through", &kPassThroughIds[0], TestInPlaceTransform::CreateInstance, nullptr, &kPassThroughSetup},
    {u"Pass Through", &kPassThroughIds[1], TestInPlaceTransform::CreateInstance, nullptr, &kPassThroughSetup},
    {u"Pass Through", &kPassThroughIds[2], TestInPlaceTransform::CreateInstance, nullptr, &kPassThroughSetup},
    {u"Pass Through", &kPassThroughIds[3], TestInPlaceTransform::CreateInstance, nullptr, &kPassThroughSetup},
    {u"Pass Through", &kPassThroughIds[4], TestInPlaceTransform::CreateInstance, nullptr, &kPassThroughSetup},
    {u"Pass Through", &kPassThroughIds[5], TestInPlaceTransform::CreateInstance, nullptr, &kPassThroughSetup}};

class IntelligentConnectTest : public GraphFixture {
protected:
    void TearDown() override {
        UnregisterTestFilter(kConverterRow);
        for (const CFactoryTemplate& row : kPassThroughRows) UnregisterTestFilter(row);
    }

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

TEST_F(IntelligentConnectTest, GivesUpOnAHopelessSearchThroughFiltersThatFitEverywhere) {
    // Six filters four deep would be over a thousand trials; the search is bounded instead.
    for (const CFactoryTemplate& row : kPassThroughRows) RegisterTestFilter(row, MERIT_NORMAL);
    AddEnds(MEDIASUBTYPE_TestC);
    EXPECT_EQ(graph->Connect(source->OutputPin(), sink->InputPin()), VFW_E_CANNOT_CONNECT);
    EXPECT_EQ(FilterNames(), (Names{u"Sink", u"Source"}));
    EXPECT_FALSE(Connected(source->OutputPin()));
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
