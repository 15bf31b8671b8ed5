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

namespace kvtest {

HRESULT TestPushStream::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

namespace {
constexpr DWORD kSeekingCapabilities = AM_SEEKING_CanGetDuration | AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos;

bool Supported(const GUID& format) { return format == TIME_FORMAT_MEDIA_TIME || format == TIME_FORMAT_FRAME; }
}  // namespace

LONGLONG TestPushStream::InFormat(LONGLONG frames) const {
    return framesFormat_ ? frames : frames * config_.frameDuration;
}

HRESULT TestPushStream::GetCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    *capabilities = kSeekingCapabilities;
    return S_OK;
}

HRESULT TestPushStream::CheckCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    const DWORD asked = *capabilities;
    *capabilities &= kSeekingCapabilities;
    if (*capabilities == asked) return S_OK;
    return *capabilities ? S_FALSE : E_FAIL;
}

HRESULT TestPushStream::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return Supported(*format) ? S_OK : S_FALSE;
}

HRESULT TestPushStream::QueryPreferredFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT TestPushStream::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = framesFormat_ ? TIME_FORMAT_FRAME : TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT TestPushStream::IsUsingTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == (framesFormat_ ? TIME_FORMAT_FRAME : TIME_FORMAT_MEDIA_TIME) ? S_OK : S_FALSE;
}

HRESULT TestPushStream::SetTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    if (!Supported(*format)) return E_INVALIDARG;
    framesFormat_ = *format == TIME_FORMAT_FRAME;
    return S_OK;
}

HRESULT TestPushStream::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    if (config_.sampleCount < 0) return E_NOTIMPL;
    *duration = InFormat(config_.sampleCount);
    return S_OK;
}

HRESULT TestPushStream::GetStopPosition(LONGLONG* stop) { return GetDuration(stop); }

HRESULT TestPushStream::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    *current = InFormat(delivered_);
    return S_OK;
}

HRESULT TestPushStream::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                          const GUID* sourceFormat) {
    if (!target) return E_POINTER;
    GUID from{};
    GUID to{};
    GetTimeFormat(&from);
    to = from;
    if (sourceFormat) from = *sourceFormat;
    if (targetFormat) to = *targetFormat;
    if (!Supported(from) || !Supported(to)) return E_INVALIDARG;
    const LONGLONG frames = from == TIME_FORMAT_FRAME ? source : source / config_.frameDuration;
    *target = to == TIME_FORMAT_FRAME ? frames : frames * config_.frameDuration;
    return S_OK;
}

HRESULT TestPushStream::SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) { return E_NOTIMPL; }

HRESULT TestPushStream::GetPositions(LONGLONG* current, LONGLONG* stop) {
    if (current) GetCurrentPosition(current);
    if (stop && FAILED(GetStopPosition(stop))) *stop = 0;
    return S_OK;
}

HRESULT TestPushStream::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    if (earliest) *earliest = 0;
    if (latest) GetCurrentPosition(latest);
    return S_OK;
}

HRESULT TestPushStream::SetRate(double rate) { return rate == 1.0 ? S_OK : E_NOTIMPL; }

HRESULT TestPushStream::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = 1.0;
    return S_OK;
}

HRESULT TestPushStream::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}

}  // namespace kvtest
