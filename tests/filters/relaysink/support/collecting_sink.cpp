#include "collecting_sink.h"

#include "platform/com/com_ptr.h"
#include "platform/media/uuids.h"

namespace kvtest {

namespace {
const GUID kClsidCollectingSink = MakeGuid("{6B1D3E31-2A51-4C6F-9E0B-5A0C7D8E9F02}");
}  // namespace

class CollectingSink::Pin final : public CRenderedInputPin {
public:
    Pin(CollectingSink* filter, CCritSec* lock, HRESULT* phr)
        : CRenderedInputPin("Collecting input", filter, lock, phr, u"Input"), sink_(filter) {}

    HRESULT CheckMediaType(const CMediaType* mt) override {
        return *mt->Subtype() == MEDIASUBTYPE_dvsd ? S_OK : E_INVALIDARG;
    }

    HRESULT Receive(IMediaSample* sample) override {
        const HRESULT hr = CRenderedInputPin::Receive(sample);
        if (hr != S_OK) return hr;
        sink_->Collect(sample);
        return S_OK;
    }

    HRESULT EndOfStream() override {
        const HRESULT hr = CRenderedInputPin::EndOfStream();
        if (hr == S_OK) sink_->EndRun();
        return hr;
    }

private:
    CollectingSink* const sink_;
};

CollectingSink::CollectingSink() : CBaseFilter("Collecting sink", nullptr, &lock_, kClsidCollectingSink) {
    HRESULT hr = S_OK;
    pin_ = std::make_unique<Pin>(this, &lock_, &hr);
}

ComPtr<IBaseFilter> CollectingSink::Create(CollectingSink** self) {
    auto* filter = new CollectingSink();
    if (self) *self = filter;
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter*>(filter));
}

CBasePin* CollectingSink::GetPin(int n) { return n == 0 ? pin_.get() : nullptr; }

void CollectingSink::Collect(IMediaSample* sample) {
    CollectedSample copy;
    BYTE* data = nullptr;
    if (SUCCEEDED(sample->GetPointer(&data)) && data)
        copy.bytes.assign(data, data + sample->GetActualDataLength());
    sample->GetTime(&copy.start, &copy.stop);
    copy.syncPoint = sample->IsSyncPoint() == S_OK;
    copy.discontinuity = sample->IsDiscontinuity() == S_OK;

    std::scoped_lock hold(runsLock_);
    if (runs_.empty() || runs_.back().ended) runs_.emplace_back();
    runs_.back().samples.push_back(std::move(copy));
}

void CollectingSink::EndRun() {
    {
        std::scoped_lock hold(runsLock_);
        if (runs_.empty() || runs_.back().ended) runs_.emplace_back();
        runs_.back().ended = true;
    }
    runEnded_.notify_all();
}

std::vector<CollectedRun> CollectingSink::Runs() {
    std::scoped_lock hold(runsLock_);
    return runs_;
}

bool CollectingSink::WaitForEndedRuns(std::size_t endedRuns, std::chrono::milliseconds timeout) {
    std::unique_lock hold(runsLock_);
    return runEnded_.wait_for(hold, timeout, [&] {
        std::size_t ended = 0;
        for (const auto& run : runs_) ended += run.ended ? 1 : 0;
        return ended >= endedRuns;
    });
}

}  // namespace kvtest
