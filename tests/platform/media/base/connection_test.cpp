// Pin connection without a graph manager: type agreement, refusals, pin and
// type enumeration, and the allocator each connection ends up with.
#include <gtest/gtest.h>

#include "platform/com/task_memory.h"
#include "platform/media/base/inputpin.h"
#include "platform/media/base/outputpin.h"
#include "platform/media/uuids.h"
#include "support/media/converter.h"
#include "support/media/fake_graph.h"
#include "support/media/inplace_transform.h"
#include "support/media/push_source.h"
#include "support/media/test_sink.h"

namespace kvtest {
namespace {

IMemAllocator* AllocatorOf(IPin* output) { return static_cast<CBaseOutputPin*>(output)->Allocator(); }

TEST(Connection, AgreesOnTheSourceTypeAndRefusesSecondConnections) {
    auto source = TestPushSource::Create();
    auto sink = TestSink::Create();
    ASSERT_EQ(S_OK, ConnectPins(source->OutputPin(), sink->InputPin()));

    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(S_OK, sink->InputPin()->ConnectionMediaType(&mt));
    EXPECT_EQ(MEDIASUBTYPE_dvsd, mt.subtype);
    EXPECT_EQ(FORMAT_DvInfo, mt.formattype);
    FreeMediaType(mt);
    ComPtr<IPin> peer;
    ASSERT_EQ(S_OK, sink->InputPin()->ConnectedTo(peer.GetAddressOf()));
    EXPECT_EQ(source->OutputPin(), peer.Get());

    auto other = TestSink::Create();
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, ConnectPins(source->OutputPin(), other->InputPin()));
    DisconnectPins(source->OutputPin());
    EXPECT_EQ(S_FALSE, source->OutputPin()->Disconnect());
    EXPECT_EQ(VFW_E_NOT_CONNECTED, sink->InputPin()->ConnectedTo(peer.GetAddressOf()));
    EXPECT_EQ(VFW_E_NOT_CONNECTED, sink->InputPin()->ConnectionMediaType(&mt));
}

TEST(Connection, MismatchedTypesLeaveBothPinsFree) {
    auto source = TestPushSource::Create();
    SinkConfig only;
    only.accept = PartialType(MEDIATYPE_Video, MEDIASUBTYPE_TestB);
    auto sink = TestSink::Create(only);
    EXPECT_TRUE(FAILED(ConnectPins(source->OutputPin(), sink->InputPin())));
    ComPtr<IPin> peer;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, source->OutputPin()->ConnectedTo(peer.GetAddressOf()));
    EXPECT_EQ(VFW_E_NOT_CONNECTED, sink->InputPin()->ConnectedTo(peer.GetAddressOf()));
    // A type the source does not offer is refused even if the sink would take it.
    const CMediaType videoB = VideoType(MEDIASUBTYPE_TestB);
    EXPECT_TRUE(FAILED(ConnectPins(source->OutputPin(), sink->InputPin(), &videoB)));
    EXPECT_EQ(nullptr, AllocatorOf(source->OutputPin()));
}

TEST(Connection, BadArgumentsAndWrongStates) {
    auto source = TestPushSource::Create();
    auto sink = TestSink::Create();
    auto sink2 = TestSink::Create();
    EXPECT_EQ(E_POINTER, source->OutputPin()->Connect(nullptr, nullptr));
    EXPECT_EQ(E_POINTER, sink->InputPin()->ReceiveConnection(nullptr, nullptr));
    EXPECT_EQ(E_POINTER, sink->InputPin()->QueryAccept(nullptr));
    EXPECT_EQ(E_POINTER, source->OutputPin()->QueryPinInfo(nullptr));
    EXPECT_EQ(E_POINTER, source->OutputPin()->EnumMediaTypes(nullptr));
    EXPECT_EQ(E_POINTER, source->EnumPins(nullptr));
    EXPECT_EQ(E_POINTER, source->GetState(0, nullptr));
    EXPECT_EQ(E_POINTER, source->FindPin(nullptr, nullptr));
    // Two inputs do not connect.
    EXPECT_EQ(VFW_E_INVALID_DIRECTION, sink->InputPin()->Connect(sink2->InputPin(), nullptr));
    // Output pins take no stream calls.
    EXPECT_EQ(E_UNEXPECTED, source->OutputPin()->EndOfStream());

    ASSERT_EQ(S_OK, ConnectPins(source->OutputPin(), sink->InputPin()));
    ASSERT_EQ(S_OK, sink->Pause());
    EXPECT_EQ(VFW_E_NOT_STOPPED, sink->InputPin()->Disconnect());
    auto source2 = TestPushSource::Create();
    ASSERT_EQ(S_OK, source2->Pause());
    EXPECT_EQ(VFW_E_NOT_STOPPED, source2->OutputPin()->Connect(sink2->InputPin(), nullptr));
    ASSERT_EQ(S_OK, source2->Stop());
    ASSERT_EQ(S_OK, sink->Stop());
    DisconnectPins(source->OutputPin());
}

TEST(Connection, PinsAndTypesAreEnumeratedAndFoundByName) {
    auto transform = TestInPlaceTransform::Create();
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, transform->EnumPins(pins.GetAddressOf()));
    IPin* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, pins->Next(3, got, &fetched));
    ASSERT_EQ(2u, fetched);
    PIN_DIRECTION dir;
    got[0]->QueryDirection(&dir);
    EXPECT_EQ(PINDIR_INPUT, dir);
    got[1]->QueryDirection(&dir);
    EXPECT_EQ(PINDIR_OUTPUT, dir);
    got[0]->Release();
    got[1]->Release();
    ASSERT_EQ(S_OK, pins->Reset());
    EXPECT_EQ(S_OK, pins->Skip(2));
    EXPECT_EQ(S_FALSE, pins->Skip(1));

    ComPtr<IPin> output;
    ASSERT_EQ(S_OK, transform->FindPin(u"Output", output.GetAddressOf()));
    EXPECT_EQ(transform->OutputPin(), output.Get());
    EXPECT_EQ(VFW_E_NOT_FOUND, transform->FindPin(u"Nothing", output.GetAddressOf()));
    LPWSTR id = nullptr;
    ASSERT_EQ(S_OK, transform->InputPin()->QueryId(&id));
    EXPECT_EQ(std::u16string(u"Input"), std::u16string(id));
    CoTaskMemFree(id);
    PIN_INFO info{};
    ASSERT_EQ(S_OK, transform->OutputPin()->QueryPinInfo(&info));
    EXPECT_EQ(static_cast<IBaseFilter*>(transform.Get()), info.pFilter);
    EXPECT_EQ(PINDIR_OUTPUT, info.dir);
    info.pFilter->Release();

    auto source = TestPushSource::Create();
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, source->OutputPin()->EnumMediaTypes(types.GetAddressOf()));
    AM_MEDIA_TYPE* type = nullptr;
    ASSERT_EQ(S_OK, types->Next(1, &type, nullptr));
    EXPECT_EQ(MEDIATYPE_Interleaved, type->majortype);
    DeleteMediaType(type);
    EXPECT_EQ(S_FALSE, types->Next(1, &type, &fetched));
    EXPECT_EQ(0u, fetched);
}

TEST(Connection, FilterInfoHoldsTheGraphThatItJoined) {
    auto graph = FakeGraph::Create();
    auto sink = TestSink::Create();
    ASSERT_EQ(S_OK, graph->AddFilter(sink.Get(), u"Renderer"));
    FILTER_INFO info{};
    ASSERT_EQ(S_OK, sink->QueryFilterInfo(&info));
    EXPECT_EQ(std::u16string(u"Renderer"), std::u16string(info.achName));
    EXPECT_EQ(static_cast<IFilterGraph*>(graph.Get()), info.pGraph);
    info.pGraph->Release();
    ASSERT_EQ(S_OK, graph->RemoveFilter(sink.Get()));
    ASSERT_EQ(S_OK, sink->QueryFilterInfo(&info));
    EXPECT_EQ(nullptr, info.pGraph);
    EXPECT_EQ(E_NOTIMPL, sink->NotifyEvent(1, 0, 0));
    CLSID clsid{};
    sink->GetClassID(&clsid);
    EXPECT_EQ(CLSID_TestSink, clsid);
}

TEST(Connection, InPlaceTransformSharesOneAllocatorAlongTheChain) {
    PushSourceConfig config;
    config.buffers = 3;
    auto source = TestPushSource::Create(config);
    auto transform = TestInPlaceTransform::Create();
    auto sink = TestSink::Create();
    ASSERT_EQ(S_OK, ConnectPins(source->OutputPin(), transform->InputPin()));
    ASSERT_EQ(S_OK, ConnectPins(transform->OutputPin(), sink->InputPin()));

    IMemAllocator* upstream = AllocatorOf(source->OutputPin());
    ASSERT_NE(nullptr, upstream);
    EXPECT_EQ(upstream, AllocatorOf(transform->OutputPin()));
    EXPECT_EQ(upstream, static_cast<CBaseInputPin*>(sink->InputPin())->PeekAllocator());
    ALLOCATOR_PROPERTIES props{};
    upstream->GetProperties(&props);
    EXPECT_EQ(3, props.cBuffers);
    EXPECT_EQ(144000, props.cbBuffer);

    // The output can only connect once the input has a type to pass on.
    DisconnectPins(transform->OutputPin());
    DisconnectPins(source->OutputPin());
    EXPECT_TRUE(FAILED(ConnectPins(transform->OutputPin(), sink->InputPin())));
}

TEST(Connection, ConverterOffersItsOutputTypeAndKeepsItsOwnAllocator) {
    PushSourceConfig config;
    config.type = VideoType(MEDIASUBTYPE_TestA, 1000);
    config.sampleSize = 1000;
    auto source = TestPushSource::Create(config);
    auto converter = TestConverter::Create();
    SinkConfig onlyB;
    onlyB.accept = PartialType(MEDIATYPE_Video, MEDIASUBTYPE_TestB);
    auto sink = TestSink::Create(onlyB);
    EXPECT_TRUE(FAILED(ConnectPins(source->OutputPin(), sink->InputPin())));
    ASSERT_EQ(S_OK, ConnectPins(source->OutputPin(), converter->GetPin(0)));
    ASSERT_EQ(S_OK, ConnectPins(converter->GetPin(1), sink->InputPin()));
    EXPECT_EQ(MEDIASUBTYPE_TestB, *sink->ConnectionType().Subtype());
    EXPECT_NE(AllocatorOf(source->OutputPin()), AllocatorOf(converter->GetPin(1)));
    DisconnectPins(converter->GetPin(1));
    DisconnectPins(source->OutputPin());
}

}  // namespace
}  // namespace kvtest
