// Graph manager: names, removal, enumeration order and connections.
#include "graph_fixture.h"

#include "platform/media/graph/builtin_classes.h"
#include "support/media/inplace_transform.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

using Names = std::vector<std::u16string>;

class FilterGraphTest : public GraphFixture {};

TEST_F(FilterGraphTest, NamesAreFoundAgainAndKeptUnique) {
    auto first = TestSink::Create();
    auto second = TestSink::Create();
    auto third = TestSink::Create();
    Add(first.Get(), u"Sink");
    EXPECT_EQ(graph->AddFilter(second.Get(), u"Sink"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(graph->AddFilter(third.Get(), nullptr), S_OK);
    // The same object twice is refused, whatever the name.
    EXPECT_EQ(graph->AddFilter(first.Get(), u"Other"), E_INVALIDARG);

    ComPtr<IBaseFilter> found;
    ASSERT_EQ(graph->FindFilterByName(u"Sink", found.GetAddressOf()), S_OK);
    EXPECT_EQ(found.Get(), static_cast<IBaseFilter*>(first.Get()));
    ASSERT_EQ(graph->FindFilterByName(u"Sink 0001", found.GetAddressOf()), S_OK);
    EXPECT_EQ(found.Get(), static_cast<IBaseFilter*>(second.Get()));
    EXPECT_EQ(graph->FindFilterByName(u"Nobody", found.GetAddressOf()), VFW_E_NOT_FOUND);
    EXPECT_EQ(found.Get(), nullptr);

    // The filter learns its graph name.
    FILTER_INFO info{};
    ASSERT_EQ(second->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"Sink 0001");
    EXPECT_EQ(info.pGraph, static_cast<IFilterGraph*>(graph.Get()));
    info.pGraph->Release();

    // An overlong name is cut to what FILTER_INFO holds, and still found.
    const std::u16string longName(300, u'x');
    auto fourth = TestSink::Create();
    EXPECT_EQ(graph->AddFilter(fourth.Get(), longName.c_str()), S_OK);
    EXPECT_EQ(graph->FindFilterByName(longName.substr(0, MAX_FILTER_NAME - 1).c_str(), found.GetAddressOf()), S_OK);
}

TEST_F(FilterGraphTest, EnumeratesDownstreamFirstThenNewestFirst) {
    auto source = TestPushSource::Create();
    auto transform = TestInPlaceTransform::Create();
    auto sink = TestSink::Create();
    auto loner = TestSink::Create();
    Add(sink.Get(), u"Sink");
    Add(source.Get(), u"Source");
    Add(transform.Get(), u"Transform");
    Add(loner.Get(), u"Loner");
    // Unconnected, the newest comes first.
    EXPECT_EQ(FilterNames(), (Names{u"Loner", u"Transform", u"Source", u"Sink"}));

    ASSERT_EQ(graph->ConnectDirect(source->OutputPin(), transform->InputPin(), nullptr), S_OK);
    ASSERT_EQ(graph->Connect(transform->OutputPin(), sink->InputPin()), S_OK);
    // Connected, every filter comes before the filters that feed it.
    EXPECT_EQ(FilterNames(), (Names{u"Loner", u"Sink", u"Transform", u"Source"}));
    EXPECT_EQ(FilterNames(), FilterNames());
}

TEST_F(FilterGraphTest, RemoveFilterDisconnectsItFirst) {
    auto source = TestPushSource::Create();
    auto sink = TestSink::Create();
    Add(source.Get(), u"Source");
    Add(sink.Get(), u"Sink");
    ASSERT_EQ(graph->Connect(source->OutputPin(), sink->InputPin()), S_OK);

    EXPECT_EQ(graph->RemoveFilter(sink.Get()), S_OK);
    ComPtr<IPin> peer;
    EXPECT_EQ(source->OutputPin()->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(sink->InputPin()->ConnectedTo(peer.GetAddressOf()), VFW_E_NOT_CONNECTED);
    ComPtr<IBaseFilter> found;
    EXPECT_EQ(graph->FindFilterByName(u"Sink", found.GetAddressOf()), VFW_E_NOT_FOUND);
    EXPECT_EQ(graph->RemoveFilter(sink.Get()), VFW_E_NOT_FOUND);
    // The name is free again.
    EXPECT_EQ(graph->AddFilter(TestSink::Create().Get(), u"Sink"), S_OK);
    EXPECT_EQ(FilterNames(), (Names{u"Sink", u"Source"}));
}

TEST_F(FilterGraphTest, BadArgumentsFailCleanly) {
    auto source = TestPushSource::Create();
    auto sink = TestSink::Create();
    auto outsider = TestSink::Create();
    Add(source.Get(), u"Source");
    Add(sink.Get(), u"Sink");
    ComPtr<IBaseFilter> found;
    EXPECT_EQ(graph->AddFilter(nullptr, u"x"), E_POINTER);
    EXPECT_EQ(graph->RemoveFilter(nullptr), E_POINTER);
    EXPECT_EQ(graph->FindFilterByName(nullptr, found.GetAddressOf()), E_POINTER);
    EXPECT_EQ(graph->FindFilterByName(u"Sink", nullptr), E_POINTER);
    EXPECT_EQ(graph->EnumFilters(nullptr), E_POINTER);
    EXPECT_EQ(graph->Connect(nullptr, sink->InputPin()), E_POINTER);
    EXPECT_EQ(graph->ConnectDirect(source->OutputPin(), nullptr, nullptr), E_POINTER);
    EXPECT_EQ(graph->Render(nullptr), E_POINTER);
    EXPECT_EQ(graph->Disconnect(nullptr), E_POINTER);
    EXPECT_EQ(graph->Reconnect(nullptr), E_POINTER);
    EXPECT_EQ(graph->Connect(source->OutputPin(), outsider->InputPin()), VFW_E_NOT_IN_GRAPH);
    EXPECT_EQ(graph->Connect(sink->InputPin(), source->OutputPin()), VFW_E_INVALID_DIRECTION);
    EXPECT_EQ(graph->Reconnect(sink->InputPin()), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(graph->RenderFile(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(graph->RenderFile(u"/nonexistent/tape.avi", nullptr), VFW_E_NOT_FOUND);

    ASSERT_EQ(graph->Connect(source->OutputPin(), sink->InputPin()), S_OK);
    EXPECT_EQ(graph->Connect(source->OutputPin(), sink->InputPin()), VFW_E_ALREADY_CONNECTED);
    EXPECT_EQ(graph->Reconnect(sink->InputPin()), S_OK);
    EXPECT_EQ(FilterNames(), (Names{u"Sink", u"Source"}));
}

TEST_F(FilterGraphTest, RenderFileFailsClearlyOnAFileThatIsNoAvi) {
    // The built-in file source reads DV AVI files only; a text file is refused and not left in the graph.
    const std::string path = std::string(KORVANTA_SOURCE_DIR) + "/CMakeLists.txt";
    const std::u16string file(path.begin(), path.end());
    EXPECT_EQ(graph->RenderFile(file.c_str(), nullptr), VFW_E_INVALID_FILE_FORMAT);
    EXPECT_TRUE(FilterNames().empty());
}

TEST_F(FilterGraphTest, ForwardedInterfacesFailWithoutAFilterToServeThem) {
    ComPtr<IBasicAudio> audio;
    ComPtr<IBasicVideo> video;
    ComPtr<IVideoWindow> window;
    ASSERT_EQ(graph.As(&audio), S_OK);
    ASSERT_EQ(graph.As(&video), S_OK);
    ASSERT_EQ(graph.As(&window), S_OK);
    LONG value = 0;
    EXPECT_EQ(audio->get_Volume(&value), E_NOINTERFACE);
    EXPECT_EQ(video->get_VideoWidth(&value), E_NOINTERFACE);
    EXPECT_EQ(window->put_Visible(OAFALSE), E_NOINTERFACE);
    UINT count = 1;
    EXPECT_EQ(audio->GetTypeInfoCount(&count), E_NOTIMPL);
    EXPECT_EQ(count, 0u);
}

TEST(BuiltinClassesTest, RegistrationIsIdempotentAndEveryClassIsCreatable) {
    EXPECT_EQ(KvMediaRegisterPlatformClasses(), S_OK);
    EXPECT_EQ(KvMediaRegisterPlatformClasses(), S_OK);
    for (const CLSID* clsid : {&CLSID_FilterGraph, &CLSID_CaptureGraphBuilder2, &CLSID_FilterMapper2,
                               &CLSID_SystemDeviceEnum, &CLSID_SystemClock}) {
        ComPtr<IUnknown> object;
        EXPECT_EQ(CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.GetVoidAddress()), S_OK)
            << GuidToString(*clsid);
    }
}

}  // namespace
}  // namespace kvtest
