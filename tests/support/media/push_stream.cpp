#include "support/media/push_stream.h"

#include <algorithm>
#include <thread>

namespace kvtest {

TestPushStream::TestPushStream(CSource* filter, HRESULT* phr, LPCWSTR pinName, const PushSourceConfig& config)
    : CSourceStream("Test push stream", phr, filter, pinName), config_(config) {}

HRESULT TestPushStream::GetMediaType(CMediaType* mt) {
    if (!mt) return E_POINTER;
    *mt = config_.type;
    return S_OK;
}

HRESULT TestPushStream::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (*mt == config_.type) return S_OK;
    return config_.changeTypeAt >= 0 && *mt == config_.changedType ? S_OK : E_FAIL;
}

HRESULT TestPushStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    ALLOCATOR_PROPERTIES want = *props;
    want.cBuffers = std::max(want.cBuffers, config_.buffers);
    want.cbBuffer = std::max(want.cbBuffer, config_.sampleSize);
    want.cbAlign = std::max(want.cbAlign, LONG{1});
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&want, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < config_.sampleSize ? E_FAIL : S_OK;
}

HRESULT TestPushStream::OnThreadCreate() {
    ++threadCreates_;
    next_ = 0;
    delivered_ = 0;
    return S_OK;
}

HRESULT TestPushStream::OnThreadDestroy() {
    ++threadDestroys_;
    return S_OK;
}

HRESULT TestPushStream::OnThreadStartPlay() {
    ++startPlays_;
    playStart_ = std::chrono::steady_clock::now();
    return S_OK;
}

HRESULT TestPushStream::FillBuffer(IMediaSample* sample) {
    if (config_.sampleCount >= 0 && next_ >= config_.sampleCount) return S_FALSE;
    if (next_ == config_.failAt) return config_.failure;
    if (config_.realTime)
        std::this_thread::sleep_until(playStart_ + std::chrono::microseconds(next_ * config_.frameDuration / 10));
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    {
        std::scoped_lock lock(addressesLock_);
        addresses_.insert(data);
    }
    if (config_.writePattern)
        for (LONG i = 0; i < config_.sampleSize; ++i) data[i] = PatternByte(next_, i);
    sample->SetActualDataLength(config_.sampleSize);
    REFERENCE_TIME start = next_ * config_.frameDuration;
    REFERENCE_TIME end = start + config_.frameDuration;
    sample->SetTime(&start, &end);
    LONGLONG mediaStart = next_;
    LONGLONG mediaEnd = next_ + 1;
    sample->SetMediaTime(&mediaStart, &mediaEnd);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(next_ == 0);
    if (next_ == config_.changeTypeAt) {
        CMediaType changed = config_.changedType;
        sample->SetMediaType(&changed);
    }
    ++next_;
    ++delivered_;
    return S_OK;
}

std::set<const BYTE*> TestPushStream::BufferAddresses() const {
    std::scoped_lock lock(addressesLock_);
    return addresses_;
}

}  // namespace kvtest
