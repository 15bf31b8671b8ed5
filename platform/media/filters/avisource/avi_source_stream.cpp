#include "platform/media/filters/avisource/avi_source_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
constexpr LONGLONG kUnitsPerSecond = 10'000'000;
constexpr DWORD kSeekingCaps = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards | AM_SEEKING_CanSeekBackwards |
                               AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration |
                               AM_SEEKING_Source;
}  // namespace

CAviSourceStream::CAviSourceStream(CAviSource* filter, HRESULT* phr, LPCWSTR name, Content content,
                                   const CMediaType& type)
    : CSourceStream("AVI Source Stream", phr, filter, name), source_(filter), content_(content), type_(type) {}

HRESULT CAviSourceStream::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CAviSourceStream::GetMediaType(CMediaType* mt) {
    if (!mt) return E_POINTER;
    *mt = type_;
    return S_OK;
}

HRESULT CAviSourceStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    const auto reader = source_->Reader();
    if (!reader) return E_UNEXPECTED;
    const std::uint64_t largest = content_ == Content::Frames ? reader->LargestFrame() : reader->LargestPcm();
    if (largest > std::uint64_t(std::numeric_limits<LONG>::max())) return VFW_E_BUFFER_OVERFLOW;
    props->cBuffers = std::max<LONG>(props->cBuffers, 4);
    props->cbBuffer = std::max<LONG>({props->cbBuffer, LONG(largest), 1});
    ALLOCATOR_PROPERTIES actual{};
    if (const HRESULT hr = allocator->SetProperties(props, &actual); FAILED(hr)) return hr;
    return actual.cbBuffer < LONG(largest) ? E_FAIL : S_OK;
}

HRESULT CAviSourceStream::OnThreadStartPlay() {
    reader_ = source_->Reader();
    span_ = source_->Positions();
    next_ = span_.First();
    soundBytes_ = 0;
    const REFERENCE_TIME start = span_.FrameStart(span_.First());
    return DeliverNewSegment(start, span_.FrameStart(span_.Last() + 1), 1.0);
}

HRESULT CAviSourceStream::FillBuffer(IMediaSample* sample) {
    if (!reader_ || next_ >= span_.FrameCount() || next_ > span_.Last()) return S_FALSE;
    const HRESULT read = content_ == Content::Frames ? reader_->ReadFrame(next_, payload_)
                                                      : reader_->ReadSound(next_, payload_);
    if (FAILED(read)) return read;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    if (sample->GetSize() < LONG(payload_.size())) return VFW_E_BUFFER_OVERFLOW;
    if (!payload_.empty()) std::memcpy(data, payload_.data(), payload_.size());
    sample->SetActualDataLength(LONG(payload_.size()));

    const REFERENCE_TIME origin = span_.FrameStart(span_.First());
    REFERENCE_TIME start = span_.FrameStart(next_) - origin;
    REFERENCE_TIME end = span_.FrameStart(next_ + 1) - origin;
    if (content_ == Content::Sound) {
        // Sound runs by its own clock: the bytes before it at the wave's rate.
        const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type_.pbFormat);
        const LONGLONG rate = std::max<LONGLONG>(wave->nAvgBytesPerSec, 1);
        start = LONGLONG(soundBytes_) * kUnitsPerSecond / rate;
        soundBytes_ += payload_.size();
        end = LONGLONG(soundBytes_) * kUnitsPerSecond / rate;
    }
    sample->SetTime(&start, &end);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(next_ == span_.First());
    ++next_;
    return S_OK;
}

void CAviSourceStream::HaltWorker() {
    if (ThreadExists()) Stop();
}

void CAviSourceStream::ResumeWorker() {
    if (ThreadExists()) Pause();
}

GUID CAviSourceStream::TimeFormat() const {
    std::scoped_lock lock(formatLock_);
    return timeFormat_;
}

HRESULT CAviSourceStream::GetCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    *capabilities = kSeekingCaps;
    return S_OK;
}

HRESULT CAviSourceStream::CheckCapabilities(DWORD* capabilities) {
    if (!capabilities) return E_POINTER;
    const DWORD wanted = *capabilities;
    *capabilities = wanted & kSeekingCaps;
    if (*capabilities == wanted) return S_OK;
    return *capabilities ? S_FALSE : E_FAIL;
}

HRESULT CAviSourceStream::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return FramePositions::IsSupported(*format) ? S_OK : S_FALSE;
}

HRESULT CAviSourceStream::QueryPreferredFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT CAviSourceStream::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TimeFormat();
    return S_OK;
}

HRESULT CAviSourceStream::IsUsingTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return *format == TimeFormat() ? S_OK : S_FALSE;
}

HRESULT CAviSourceStream::SetTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    if (!FramePositions::IsSupported(*format)) return E_INVALIDARG;
    std::scoped_lock lock(formatLock_);
    timeFormat_ = *format;
    return S_OK;
}

HRESULT CAviSourceStream::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    *duration = source_->Positions().Duration(TimeFormat());
    return S_OK;
}

HRESULT CAviSourceStream::GetStopPosition(LONGLONG* stop) {
    if (!stop) return E_POINTER;
    *stop = source_->Positions().Stop(TimeFormat());
    return S_OK;
}

HRESULT CAviSourceStream::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    *current = source_->Positions().Current(TimeFormat());
    return S_OK;
}

HRESULT CAviSourceStream::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                            const GUID* sourceFormat) {
    const GUID mine = TimeFormat();
    return source_->Positions().Convert(target, targetFormat ? *targetFormat : mine, source,
                                        sourceFormat ? *sourceFormat : mine);
}

HRESULT CAviSourceStream::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) {
    return source_->SetPositions(TimeFormat(), current, currentFlags, stop, stopFlags);
}

HRESULT CAviSourceStream::GetPositions(LONGLONG* current, LONGLONG* stop) {
    const FramePositions positions = source_->Positions();
    const GUID format = TimeFormat();
    if (current) *current = positions.Current(format);
    if (stop) *stop = positions.Stop(format);
    return S_OK;
}

HRESULT CAviSourceStream::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    const FramePositions positions = source_->Positions();
    if (earliest) *earliest = 0;
    if (latest) *latest = positions.Duration(TimeFormat());
    return S_OK;
}

// Frames play at the file's rate only; the preview player never asks for another.
HRESULT CAviSourceStream::SetRate(double rate) { return rate == 1.0 ? S_OK : E_NOTIMPL; }

HRESULT CAviSourceStream::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = 1.0;
    return S_OK;
}

HRESULT CAviSourceStream::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}
