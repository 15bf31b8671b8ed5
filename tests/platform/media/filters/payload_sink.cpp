#include "payload_sink.h"

#include <chrono>

#include "platform/media/base/inputpin.h"

namespace kvtest {

namespace {
const CLSID CLSID_PayloadSink = MakeGuid("{6B760002-7E57-4A1B-9C3D-5A17E00000D2}");
}

PayloadSink::PayloadSink(const CMediaType& accept, HRESULT* phr)
    : CBaseRenderer(CLSID_PayloadSink, "Payload sink", nullptr, phr), accept_(accept) {}

ComPtr<PayloadSink> PayloadSink::Create(const CMediaType& accept) {
    HRESULT hr = S_OK;
    return ComPtr<PayloadSink>(new PayloadSink(accept, &hr));
}

HRESULT PayloadSink::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    return mt->MatchesPartial(&accept_) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT PayloadSink::DoRenderSample(IMediaSample* sample) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const LONG length = sample->GetActualDataLength();
    REFERENCE_TIME start = -1, stop = -1;
    sample->GetTime(&start, &stop);
    {
        std::scoped_lock lock(lock_);
        payloads_.emplace_back(data, data + std::max<LONG>(length, 0));
        starts_.push_back(start);
    }
    changed_.notify_all();
    return S_OK;
}

HRESULT PayloadSink::EndOfStream() {
    {
        std::scoped_lock lock(lock_);
        ++endOfStreams_;
    }
    changed_.notify_all();
    return CBaseRenderer::EndOfStream();
}

HRESULT PayloadSink::BeginFlush() {
    {
        std::scoped_lock lock(lock_);
        lastFlushAt_ = payloads_.size();
    }
    return CBaseRenderer::BeginFlush();
}

std::vector<std::vector<BYTE>> PayloadSink::Payloads() const {
    std::scoped_lock lock(lock_);
    return payloads_;
}

std::vector<REFERENCE_TIME> PayloadSink::StartTimes() const {
    std::scoped_lock lock(lock_);
    return starts_;
}

std::vector<std::vector<BYTE>> PayloadSink::PayloadsSinceFlush() const {
    std::scoped_lock lock(lock_);
    return {payloads_.begin() + std::ptrdiff_t(lastFlushAt_), payloads_.end()};
}

template <class Done>
bool PayloadSink::WaitFor(DWORD milliseconds, Done done) const {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), done);
}

bool PayloadSink::WaitForSamples(std::size_t count, DWORD milliseconds) const {
    return WaitFor(milliseconds, [&] { return payloads_.size() >= count; });
}

bool PayloadSink::WaitForEndOfStreams(int count, DWORD milliseconds) const {
    return WaitFor(milliseconds, [&] { return endOfStreams_ >= count; });
}

}  // namespace kvtest
