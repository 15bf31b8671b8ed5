// The frame client: its type and buffer negotiation, and the frames it takes
// from the queue, filled sample by sample or streamed into a collecting sink.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "collecting_sink.h"
#include "filters/relaysource/relay_source_filter.h"
#include "filters/relaysource/relay_source_pin.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/base/memallocator.h"
#include "platform/media/uuids.h"
#include "scene_frames.h"

namespace {

using namespace std::chrono_literals;
using kvtest::DvSystem;
using kvtest::SceneFrame;

std::vector<std::uint8_t> Frame(DvSystem system, int number) {
    SceneFrame frame;
    frame.system = system;
    frame.timeCode = {0, 0, number / 25, number % 25};
    return kvtest::MakeSceneFrame(frame);
}

void PushFrame(FrameQueue& queue, std::vector<std::uint8_t>& bytes) {
    DvFrameReader reader;
    reader.Attach(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    queue.PushFrame(reader);
}

class RelaySourceTest : public testing::Test {
protected:
    void SetUp() override {
        HRESULT hr = E_FAIL;
        CUnknown* object = RelaySourceFilter::CreateInstance(nullptr, &hr);
        ASSERT_EQ(hr, S_OK);
        object->NonDelegatingQueryInterface(IID_IBaseFilter, filter_.GetVoidAddress());
        ASSERT_EQ(QueryInterfaceFor(filter_.Get(), source_.GetAddressOf()), S_OK);
        ASSERT_EQ(filter_->FindPin(u"Output", output_.GetAddressOf()), S_OK);
        pin_ = static_cast<RelaySourcePin*>(output_.Get());
    }

    // A sample of bufferBytes from an allocator of the test's own.
    ComPtr<IMediaSample> Sample(LONG bufferBytes = 144000) {
        if (!allocator_) {
            HRESULT hr = S_OK;
            CMemAllocator::CreateInstance(nullptr, &hr)->NonDelegatingQueryInterface(IID_IMemAllocator,
                                                                                       allocator_.GetVoidAddress());
            ALLOCATOR_PROPERTIES request{1, bufferBytes, 1, 0}, actual{};
            allocator_->SetProperties(&request, &actual);
            allocator_->Commit();
        }
        ComPtr<IMediaSample> sample;
        allocator_->GetBuffer(sample.GetAddressOf(), nullptr, nullptr, 0);
        return sample;
    }

    // Connects the output to a collecting sink and starts both.
    void StreamInto(kvtest::CollectingSink** sink) {
        sinkFilter_ = kvtest::CollectingSink::Create(sink);
        ComPtr<IPin> in;
        ASSERT_EQ(sinkFilter_->FindPin(u"Input", in.GetAddressOf()), S_OK);
        ASSERT_EQ(output_->Connect(in.Get(), nullptr), S_OK);
        ASSERT_EQ(sinkFilter_->Pause(), S_OK);
        ASSERT_EQ(filter_->Pause(), S_OK);
    }

    void TearDown() override {
        if (!sinkFilter_) return;
        filter_->Stop();
        sinkFilter_->Stop();
        ComPtr<IPin> in;
        sinkFilter_->FindPin(u"Input", in.GetAddressOf());
        output_->Disconnect();
        in->Disconnect();
    }

    FrameQueue queue_;
    ComPtr<IBaseFilter> filter_;
    ComPtr<IRelaySource> source_;
    ComPtr<IPin> output_;
    RelaySourcePin* pin_ = nullptr;
    ComPtr<IMemAllocator> allocator_;
    ComPtr<IBaseFilter> sinkFilter_;
};

TEST_F(RelaySourceTest, OffersOneDvTypeWithTheFormatBlockOfItsSystem) {
    CMediaType type;
    EXPECT_EQ(pin_->GetMediaType(-1, &type), E_INVALIDARG);
    EXPECT_EQ(pin_->GetMediaType(1, &type), VFW_S_NO_MORE_ITEMS);
    ASSERT_EQ(pin_->GetMediaType(0, &type), S_OK);
    EXPECT_EQ(type.majortype, MEDIATYPE_Interleaved);
    EXPECT_EQ(type.subtype, MEDIASUBTYPE_dvsd);
    EXPECT_TRUE(type.bFixedSizeSamples);
    EXPECT_TRUE(type.bTemporalCompression);
    EXPECT_EQ(type.lSampleSize, 1u);
    EXPECT_EQ(type.formattype, FORMAT_DvInfo);
    ASSERT_EQ(type.cbFormat, sizeof(DVINFO));
    const auto* pal = reinterpret_cast<const DVINFO*>(type.pbFormat);
    EXPECT_EQ(pal->dwDVAAuxSrc, 0xD0E000D0u);
    EXPECT_EQ(pal->dwDVAAuxCtl, 0xFFA0CF03u);
    EXPECT_EQ(pal->dwDVAAuxSrc1, 0xD0E001D0u);
    EXPECT_EQ(pal->dwDVAAuxCtl1, 0xFFA0CF03u);
    EXPECT_EQ(pal->dwDVVAuxSrc, 0xFF20FFFFu);
    EXPECT_EQ(pal->dwDVVAuxCtl, 0xFFFD8003u);
    EXPECT_EQ(pal->dwDVReserved[0], 0u);
    EXPECT_EQ(pal->dwDVReserved[1], 0u);

    ASSERT_EQ(source_->SetIs625(0), S_OK);
    ASSERT_EQ(pin_->GetMediaType(0, &type), S_OK);
    const auto* ntsc = reinterpret_cast<const DVINFO*>(type.pbFormat);
    EXPECT_EQ(ntsc->dwDVAAuxSrc, 0xD0C000CEu);
    EXPECT_EQ(ntsc->dwDVAAuxCtl, 0xFFA0CF03u);
    EXPECT_EQ(ntsc->dwDVAAuxSrc1, 0xD0C001CEu);
    EXPECT_EQ(ntsc->dwDVAAuxCtl1, 0xFFA0CF03u);
    EXPECT_EQ(ntsc->dwDVVAuxSrc, 0xFF00FFFFu);
    EXPECT_EQ(ntsc->dwDVVAuxCtl, 0xFFFC803Fu);

    EXPECT_EQ(pin_->CheckMediaType(&type), S_OK);
    type.SetFormatType(&FORMAT_VideoInfo);
    EXPECT_EQ(pin_->CheckMediaType(&type), E_INVALIDARG);
}

TEST_F(RelaySourceTest, SetQueueRefusesNullAndKeepsThePreviousQueue) {
    EXPECT_EQ(source_->SetQueue(nullptr), E_POINTER);
    auto sample = Sample();
    EXPECT_EQ(pin_->FillBuffer(sample.Get()), E_FAIL) << "no queue yet";
    ASSERT_EQ(source_->SetQueue(&queue_), S_OK);
    EXPECT_EQ(source_->SetQueue(nullptr), E_POINTER);
    queue_.PushNewFile(bstr_t("/v"), bstr_t("a.avi"));
    EXPECT_EQ(pin_->FillBuffer(sample.Get()), S_FALSE) << "still the queue set before";
}

TEST_F(RelaySourceTest, FileBoundaryAtTheHeadEndsTheStreamAndStaysForTheProgram) {
    source_->SetQueue(&queue_);
    auto frame = Frame(DvSystem::Pal625, 0);
    for (const bool newFile : {true, false}) {
        queue_.ClearAll();
        if (newFile)
            queue_.PushNewFile(bstr_t("/v"), bstr_t("a.avi"));
        else
            queue_.PushEndOfFile();
        PushFrame(queue_, frame);
        auto sample = Sample();
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(pin_->FillBuffer(sample.Get()), S_FALSE);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms) << "no wait at a boundary";
        EXPECT_EQ(queue_.Count(), 2u);
    }
}

// A capture through a tape pause sends no frames for a while; the stream
// must still be open for the frames after it.
TEST_F(RelaySourceTest, EmptyQueueKeepsTheStreamOpenUntilAFrameArrives) {
    source_->SetQueue(&queue_);
    pin_->OnThreadCreate();
    auto sample = Sample();
    auto frame = Frame(DvSystem::Pal625, 0);
    std::thread late([&] {
        std::this_thread::sleep_for(1500ms);
        PushFrame(queue_, frame);
    });
    EXPECT_EQ(pin_->FillBuffer(sample.Get()), S_OK);
    late.join();
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    EXPECT_EQ(sample->GetActualDataLength(), 144000);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + 144000), frame);
    EXPECT_EQ(queue_.Count(), 0u);
}

TEST_F(RelaySourceTest, StopEndsAStreamWaitingOnAnEmptyQueue) {
    source_->SetQueue(&queue_);
    kvtest::CollectingSink* sink = nullptr;
    StreamInto(&sink);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(filter_->Stop(), S_OK);
    sinkFilter_->Stop();
    const auto stopped = sink->Runs();
    EXPECT_TRUE(stopped.empty() || stopped.back().samples.empty()) << "nothing delivered";

    // The next run streams what was queued meanwhile.
    auto frame = Frame(DvSystem::Pal625, 0);
    PushFrame(queue_, frame);
    queue_.PushEndOfFile();
    ASSERT_EQ(sinkFilter_->Pause(), S_OK);
    ASSERT_EQ(filter_->Pause(), S_OK);
    ASSERT_TRUE(sink->WaitForEndedRuns(stopped.size() + 1, 5s));
    EXPECT_EQ(sink->Runs().back().samples.size(), 1u);
}

TEST_F(RelaySourceTest, FramesThatASampleCannotHoldWholeAreDroppedNeverDeliveredPartly) {
    source_->SetQueue(&queue_);
    ASSERT_EQ(source_->SetIs625(0), S_OK);
    pin_->OnThreadCreate();
    auto pal = Frame(DvSystem::Pal625, 0);
    auto shortCopy = Frame(DvSystem::Ntsc525, 1);
    shortCopy.resize(60000);
    auto ntsc = Frame(DvSystem::Ntsc525, 2);
    PushFrame(queue_, pal);
    PushFrame(queue_, shortCopy);
    PushFrame(queue_, ntsc);

    auto sample = Sample(120000);
    ASSERT_EQ(pin_->FillBuffer(sample.Get()), S_OK);
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    ASSERT_EQ(sample->GetActualDataLength(), 120000);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + 120000), ntsc);
    REFERENCE_TIME start = -1, stop = -1;
    sample->GetTime(&start, &stop);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(stop, 330000);
    EXPECT_EQ(sample->IsDiscontinuity(), S_OK);
    EXPECT_EQ(queue_.Count(), 0u);
}

TEST_F(RelaySourceTest, StreamsFramesFromZeroOneDurationApartAndEndsAtTheBoundary) {
    source_->SetQueue(&queue_);
    std::vector<std::vector<std::uint8_t>> frames;
    for (int n = 0; n < 3; ++n) {
        frames.push_back(Frame(DvSystem::Pal625, n));
        PushFrame(queue_, frames.back());
    }
    queue_.PushEndOfFile();

    kvtest::CollectingSink* sink = nullptr;
    StreamInto(&sink);
    ASSERT_TRUE(sink->WaitForEndedRuns(1, 5s));
    const auto runs = sink->Runs();
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].samples.size(), 3u);
    for (std::size_t n = 0; n < 3; ++n) {
        const auto& sample = runs[0].samples[n];
        EXPECT_EQ(sample.bytes, frames[n]);
        EXPECT_EQ(sample.start, static_cast<REFERENCE_TIME>(n) * 400000);
        EXPECT_EQ(sample.stop, static_cast<REFERENCE_TIME>(n + 1) * 400000);
        EXPECT_TRUE(sample.syncPoint);
        EXPECT_EQ(sample.discontinuity, n == 0);
    }
    EXPECT_EQ(queue_.Count(), 1u) << "the end of file stays for the program";
}

TEST_F(RelaySourceTest, NtscConnectionAsksForNtscBuffersAndStampsThirtyThreeMilliseconds) {
    ASSERT_EQ(source_->SetIs625(0), S_OK);
    source_->SetQueue(&queue_);
    auto frame = Frame(DvSystem::Ntsc525, 0);
    PushFrame(queue_, frame);
    PushFrame(queue_, frame);
    queue_.PushEndOfFile();

    kvtest::CollectingSink* sink = nullptr;
    StreamInto(&sink);
    ASSERT_TRUE(sink->WaitForEndedRuns(1, 5s));
    ComPtr<IMemInputPin> input;
    ComPtr<IPin> in;
    sinkFilter_->FindPin(u"Input", in.GetAddressOf());
    QueryInterfaceFor(in.Get(), input.GetAddressOf());
    ComPtr<IMemAllocator> allocator;
    input->GetAllocator(allocator.GetAddressOf());
    ALLOCATOR_PROPERTIES props{};
    allocator->GetProperties(&props);
    EXPECT_EQ(props.cBuffers, 1);
    EXPECT_EQ(props.cbBuffer, 120000);

    const auto runs = sink->Runs();
    ASSERT_EQ(runs[0].samples.size(), 2u);
    EXPECT_EQ(runs[0].samples[1].start, 330000);
    EXPECT_EQ(runs[0].samples[1].stop, 660000);
}

}  // namespace
