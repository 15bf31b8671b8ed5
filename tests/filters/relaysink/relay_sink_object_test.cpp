// The frame server object: its interfaces, its getters and file-sink part,
// and its input pin fed sample by sample from a connected test source.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "filters/relaysink/relay_sink_object.h"
#include "manual_dv_source.h"
#include "platform/com/task_memory.h"
#include "platform/media/base/mediasample.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/base/memallocator.h"
#include "platform/media/uuids.h"
#include "scene_frames.h"

namespace {

using kvtest::AddSeconds;
using kvtest::SceneFrame;

ComPtr<IUnknown> CreateRelaySink() {
    HRESULT hr = E_FAIL;
    CUnknown* object = RelaySinkObject::CreateInstance(nullptr, &hr);
    EXPECT_EQ(hr, S_OK);
    ComPtr<IUnknown> unknown;
    object->NonDelegatingQueryInterface(IID_IUnknown, unknown.GetVoidAddress());
    return unknown;
}

template <class Interface>
ComPtr<Interface> As(IUnknown* unknown) {
    ComPtr<Interface> result;
    EXPECT_EQ(QueryInterfaceFor(unknown, result.GetAddressOf()), S_OK);
    return result;
}

std::vector<std::uint8_t> FrameAt(int offset, int number) {
    SceneFrame frame;
    frame.date = AddSeconds(frame.date, offset);
    frame.timeCode = {0, 0, number / 25, number % 25};
    return kvtest::MakeSceneFrame(frame);
}

TEST(RelaySinkObject, EveryInterfaceAnswersForTheOneObject) {
    const auto object = CreateRelaySink();
    for (const IID* iid : {&IID_IRelaySink, &IID_IFileSinkFilter, &IID_IBaseFilter, &IID_IMediaFilter,
                           &IID_IPersist, &IID_IMediaSeeking}) {
        ComPtr<IUnknown> part;
        ASSERT_EQ(object->QueryInterface(*iid, part.GetVoidAddress()), S_OK) << GuidToString(*iid);
        ComPtr<IUnknown> identity;
        ASSERT_EQ(part->QueryInterface(IID_IUnknown, identity.GetVoidAddress()), S_OK);
        EXPECT_EQ(identity.Get(), object.Get());
    }
    // The seeking pass-through is made once and kept.
    ComPtr<IMediaSeeking> first, second;
    object->QueryInterface(IID_IMediaSeeking, first.GetVoidAddress());
    object->QueryInterface(IID_IMediaSeeking, second.GetVoidAddress());
    EXPECT_EQ(first.Get(), second.Get());
    LONGLONG duration = 0;
    EXPECT_EQ(first->GetDuration(&duration), VFW_E_NOT_CONNECTED);

    void* none = nullptr;
    EXPECT_EQ(object->QueryInterface(MakeGuid("{56A868B2-0AD4-11CE-B03A-0020AF0BA770}"), &none), E_NOINTERFACE);
    EXPECT_EQ(object->QueryInterface(IID_IMemInputPin, &none), E_NOINTERFACE);
    EXPECT_EQ(object->QueryInterface(IID_IRelaySink, nullptr), E_POINTER);

    CLSID clsid{};
    EXPECT_EQ(As<IPersist>(object.Get())->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_RelaySink);
}

TEST(RelaySinkObject, GettersStartEmptyAndRefuseNullPointers) {
    const auto object = CreateRelaySink();
    const auto sink = As<IRelaySink>(object.Get());
    EXPECT_EQ(sink->GetRecording(nullptr), E_POINTER);
    EXPECT_EQ(sink->GetWide(nullptr), E_POINTER);
    EXPECT_EQ(sink->GetFileName(nullptr), E_POINTER);
    EXPECT_EQ(sink->GetFolder(nullptr), E_POINTER);
    EXPECT_EQ(sink->GetNextEvent(nullptr), E_POINTER);
    EXPECT_EQ(sink->GetFrameCount(nullptr), E_POINTER);
    EXPECT_EQ(sink->GetQueue(nullptr), E_POINTER);

    std::uint8_t flag = 7;
    EXPECT_EQ(sink->GetRecording(&flag), S_OK);
    EXPECT_EQ(flag, 0);
    flag = 7;
    EXPECT_EQ(sink->GetWide(&flag), S_OK);
    EXPECT_EQ(flag, 0);
    std::int64_t count = -1;
    EXPECT_EQ(sink->GetFrameCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    RelayEvent* event = reinterpret_cast<RelayEvent*>(1);
    EXPECT_EQ(sink->GetNextEvent(&event), S_FALSE);
    EXPECT_EQ(event, nullptr);

    bstr_t folder("old");
    EXPECT_EQ(sink->SetFolder(bstr_t("/videos")), S_OK);
    EXPECT_EQ(sink->GetFolder(&folder), S_OK);
    EXPECT_EQ(folder.utf8(), "/videos");
    EXPECT_GE(folder.use_count(), 2) << "the caller's string shares the folder";

    FrameQueue* first = nullptr;
    FrameQueue* second = nullptr;
    EXPECT_EQ(sink->GetQueue(&first), S_OK);
    EXPECT_EQ(sink->GetQueue(&second), S_OK);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(first, second);
}

TEST(RelaySinkObject, FileSinkKeepsItsNameAndDescribesDv) {
    const auto object = CreateRelaySink();
    const auto fileSink = As<IFileSinkFilter>(object.Get());
    LPOLESTR name = reinterpret_cast<LPOLESTR>(1);
    EXPECT_EQ(fileSink->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(fileSink->GetCurFile(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(fileSink->SetFileName(nullptr, nullptr), E_POINTER);

    ASSERT_EQ(fileSink->SetFileName(u"/videos/a.avi", nullptr), S_OK);
    AM_MEDIA_TYPE type;
    ASSERT_EQ(fileSink->GetCurFile(&name, &type), S_OK);
    EXPECT_EQ(std::u16string_view(name), u"/videos/a.avi");
    CoTaskMemFree(name);
    EXPECT_EQ(type.majortype, GUID_NULL);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_dvsd);
    EXPECT_EQ(type.formattype, FORMAT_DvInfo);
    EXPECT_EQ(type.cbFormat, 0u);
    EXPECT_EQ(type.pbFormat, nullptr);
}

TEST(RelaySinkObject, InputPinTakesDvWithADvInfoBlockOfAnyMajorType) {
    const auto object = CreateRelaySink();
    const auto filter = As<IBaseFilter>(object.Get());
    ComPtr<IPin> pin;
    ASSERT_EQ(filter->FindPin(u"Input", pin.GetAddressOf()), S_OK);
    CMediaType type;
    type.SetSubtype(&MEDIASUBTYPE_dvsd);
    type.SetFormatType(&FORMAT_DvInfo);
    for (const GUID* major : {&MEDIATYPE_Interleaved, &MEDIATYPE_Video, &GUID_NULL}) {
        type.SetType(major);
        EXPECT_EQ(pin->QueryAccept(&type), S_OK);
    }
    type.SetFormatType(&FORMAT_VideoInfo);
    EXPECT_NE(pin->QueryAccept(&type), S_OK);
    type.SetFormatType(&FORMAT_DvInfo);
    type.SetSubtype(&MEDIASUBTYPE_dvsl);
    EXPECT_NE(pin->QueryAccept(&type), S_OK);

    ComPtr<IMemInputPin> input = As<IMemInputPin>(pin.Get());
    EXPECT_EQ(input->ReceiveCanBlock(), S_FALSE);
    PIN_DIRECTION direction = PINDIR_OUTPUT;
    pin->QueryDirection(&direction);
    EXPECT_EQ(direction, PINDIR_INPUT);
}

// A source connected to the frame server, both paused, so the test delivers
// samples into the pin's receive path itself.
class RelaySinkStreaming : public testing::Test {
protected:
    void SetUp() override {
        object_ = CreateRelaySink();
        sink_ = As<IRelaySink>(object_.Get());
        sinkFilter_ = As<IBaseFilter>(object_.Get());
        sourceFilter_ = kvtest::ManualDvSource::Create(&source_);
        ComPtr<IPin> out, in;
        ASSERT_EQ(sourceFilter_->FindPin(u"Output", out.GetAddressOf()), S_OK);
        ASSERT_EQ(sinkFilter_->FindPin(u"Input", in.GetAddressOf()), S_OK);
        ASSERT_EQ(out->Connect(in.Get(), nullptr), S_OK);
        ASSERT_EQ(As<IMemInputPin>(in.Get()).Get() != nullptr, true);
        input_ = As<IMemInputPin>(in.Get());
        ASSERT_EQ(sinkFilter_->Pause(), S_OK);
        ASSERT_EQ(sourceFilter_->Pause(), S_OK);
        sink_->SetFilePrefix(bstr_t("Tape"));
        sink_->SetFolder(bstr_t("/videos"));
        sink_->GetQueue(&queue_);
    }

    void TearDown() override {
        sourceFilter_->Stop();
        sinkFilter_->Stop();
        ComPtr<IPin> out;
        sourceFilter_->FindPin(u"Output", out.GetAddressOf());
        out->Disconnect();
        ComPtr<IPin> in;
        sinkFilter_->FindPin(u"Input", in.GetAddressOf());
        in->Disconnect();
    }

    std::int64_t FrameCount() {
        std::int64_t count = -1;
        sink_->GetFrameCount(&count);
        return count;
    }

    bool Recording() {
        std::uint8_t recording = 0;
        sink_->GetRecording(&recording);
        return recording != 0;
    }

    std::vector<std::int32_t> EventCodes() {
        std::vector<std::int32_t> codes;
        RelayEvent* raw = nullptr;
        while (sink_->GetNextEvent(&raw) == S_OK) {
            std::unique_ptr<RelayEvent> event(raw);
            codes.push_back(event->code);
        }
        return codes;
    }

    ComPtr<IUnknown> object_;
    ComPtr<IRelaySink> sink_;
    ComPtr<IBaseFilter> sinkFilter_;
    ComPtr<IBaseFilter> sourceFilter_;
    ComPtr<IMemInputPin> input_;
    kvtest::ManualDvSource* source_ = nullptr;
    FrameQueue* queue_ = nullptr;
};

TEST_F(RelaySinkStreaming, ReceivedFramesAreQueuedWithTheirBytes) {
    sink_->SetCaptureMode(StartNow);
    std::vector<std::vector<std::uint8_t>> frames;
    for (int n = 0; n < 3; ++n) {
        frames.push_back(FrameAt(0, n));
        ASSERT_EQ(source_->DeliverFrame(frames.back()), S_OK);
    }
    EXPECT_TRUE(Recording());
    EXPECT_EQ(FrameCount(), 3);
    bstr_t name;
    sink_->GetFileName(&name);
    EXPECT_EQ(name.utf8(), "Tape 20240315 134556.avi");
    EXPECT_EQ(EventCodes(), (std::vector<std::int32_t>{RELAY_EVENT_STARTED, RELAY_EVENT_FILE_ENDED}));

    const auto queued = kvtest::Drain(*queue_);
    ASSERT_EQ(queued.frames.size(), 3u);
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const DvFrameReader& copy = *queued.frames[n]->frame;
        EXPECT_EQ(std::vector<std::uint8_t>(copy.Data(), copy.Data() + copy.Size()), frames[n]);
    }
}

TEST_F(RelaySinkStreaming, SampleWithoutABufferIsRefusedAndChangesNothing) {
    sink_->SetCaptureMode(StartNow);
    ASSERT_EQ(source_->DeliverFrame(FrameAt(0, 0)), S_OK);
    const std::uint32_t itemsBefore = queue_->Count();

    HRESULT hr = S_OK;
    CMediaSample empty("no buffer", nullptr, &hr);
    EXPECT_EQ(input_->Receive(&empty), E_POINTER);

    struct FailingSample : CMediaSample {
        FailingSample(HRESULT* phr) : CMediaSample("failing", nullptr, phr) {}
        HRESULT GetPointer(BYTE**) override { return VFW_E_BUFFER_NOTSET; }
    } failing(&hr);
    EXPECT_EQ(input_->Receive(&failing), VFW_E_BUFFER_NOTSET);
    EXPECT_EQ(input_->Receive(nullptr), E_POINTER);

    EXPECT_EQ(queue_->Count(), itemsBefore);
    EXPECT_EQ(FrameCount(), 1);
    EXPECT_TRUE(Recording());
}

TEST_F(RelaySinkStreaming, TruncatedAndUndatedFramesNeitherCrashNorCorruptTheState) {
    sink_->SetCaptureMode(StartNow);
    auto frame = FrameAt(0, 0);
    frame.resize(70000);
    EXPECT_EQ(source_->DeliverFrame(frame), S_OK);
    EXPECT_EQ(source_->DeliverFrame({}), S_OK);
    EXPECT_FALSE(Recording()) << "nothing usable arrived yet";
    EXPECT_EQ(queue_->Count(), 0u);

    SceneFrame undated;
    undated.hasDate = false;
    EXPECT_EQ(source_->DeliverFrame(kvtest::MakeSceneFrame(undated)), S_OK);
    bstr_t name;
    sink_->GetFileName(&name);
    EXPECT_EQ(name.utf8(), "Tape --  --.avi");
    EXPECT_EQ(FrameCount(), 1);
}

TEST_F(RelaySinkStreaming, EndOfStreamAndStopEndTheRecording) {
    sink_->SetCaptureMode(StartNow);
    ASSERT_EQ(source_->DeliverFrame(FrameAt(0, 0)), S_OK);
    EXPECT_EQ(source_->DeliverEndOfStream(), S_OK);
    EXPECT_FALSE(Recording());
    EXPECT_EQ(EventCodes().back(), RELAY_EVENT_STOPPED);
    EXPECT_EQ(source_->DeliverFrame(FrameAt(0, 1)), VFW_E_SAMPLE_REJECTED_EOS);

    // Stopping the filter (pin deactivation) ends a recording as well.
    sourceFilter_->Stop();
    sinkFilter_->Stop();
    sinkFilter_->Pause();
    sourceFilter_->Pause();
    ASSERT_EQ(source_->DeliverFrame(FrameAt(0, 2)), S_OK);
    EXPECT_TRUE(Recording());
    sinkFilter_->Stop();
    EXPECT_FALSE(Recording());
    EXPECT_EQ(EventCodes().back(), RELAY_EVENT_STOPPED);
    EXPECT_EQ(kvtest::Drain(*queue_).items.back(), "EOF");
}

// Inside a graph stop the pin is deactivated before the filter reports
// stopped; a sample arriving in between must not start the next stream.
TEST_F(RelaySinkStreaming, SampleBetweenPinDeactivationAndTheFilterStopIsRefused) {
    sink_->SetCaptureMode(StartNow);
    ASSERT_EQ(source_->DeliverFrame(FrameAt(0, 0)), S_OK);
    ComPtr<IPin> in;
    sinkFilter_->FindPin(u"Input", in.GetAddressOf());
    auto* pin = static_cast<RelaySinkInputPin*>(in.Get());
    pin->Inactive();

    // The pin's own allocator is decommitted now; the late sample comes from another.
    HRESULT hr = S_OK;
    ComPtr<IMemAllocator> allocator;
    CMemAllocator::CreateInstance(nullptr, &hr)->NonDelegatingQueryInterface(IID_IMemAllocator,
                                                                               allocator.GetVoidAddress());
    ALLOCATOR_PROPERTIES request{1, 144000, 1, 0}, actual{};
    ASSERT_EQ(allocator->SetProperties(&request, &actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> late;
    ASSERT_EQ(allocator->GetBuffer(late.GetAddressOf(), nullptr, nullptr, 0), S_OK);
    BYTE* data = nullptr;
    late->GetPointer(&data);
    const auto frame = FrameAt(0, 1);
    std::copy(frame.begin(), frame.end(), data);
    late->SetActualDataLength(static_cast<LONG>(frame.size()));
    EXPECT_EQ(input_->Receive(late.Get()), VFW_E_WRONG_STATE);
    EXPECT_FALSE(Recording());
    EXPECT_EQ(kvtest::Drain(*queue_).items,
              (std::vector<std::string>{"EOF", "NEW Tape 20240315 134556.avi", "FRAME", "EOF"}));
}

TEST_F(RelaySinkStreaming, StopNowFromTheProgramWhileStreamingQueuesNoFrameAfterTheEndOfFile) {
    sink_->SetCaptureMode(StartNow);
    std::atomic<int> delivered{0};
    std::atomic<bool> done{false};
    std::thread streaming([&] {
        for (int n = 0; !done; ++n) {
            source_->DeliverFrame(FrameAt(n / 25, n));
            ++delivered;
        }
    });
    while (delivered < 20) std::this_thread::yield();
    ASSERT_EQ(sink_->SetCaptureMode(StopNow), S_OK);
    // Before the call returned the file was ended.
    const std::uint32_t itemsAtStop = queue_->Count();
    EXPECT_FALSE(Recording());
    const int deliveredAtStop = delivered;
    while (delivered < deliveredAtStop + 20) std::this_thread::yield();
    done = true;
    streaming.join();

    EXPECT_EQ(queue_->Count(), itemsAtStop) << "nothing queued after the stop";
    const auto queued = kvtest::Drain(*queue_);
    EXPECT_EQ(queued.items.back(), "EOF");
    EXPECT_EQ(queued.items[0], "EOF");
    EXPECT_EQ(static_cast<std::int64_t>(queued.frames.size()), FrameCount());
    EXPECT_EQ(EventCodes(),
              (std::vector<std::int32_t>{RELAY_EVENT_STARTED, RELAY_EVENT_FILE_ENDED, RELAY_EVENT_STOPPED}));
}

}  // namespace
