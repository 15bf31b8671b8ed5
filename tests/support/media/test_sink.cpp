#include "support/media/test_sink.h"

#include <chrono>
#include <new>

namespace kvtest {

TestSink::TestSink(const SinkConfig& config, HRESULT* phr)
    : CBaseRenderer(CLSID_TestSink, "Test sink", nullptr, phr), config_(config) {}

ComPtr<TestSink> TestSink::Create(const SinkConfig& config) {
    HRESULT hr = S_OK;
    return ComPtr<TestSink>(new TestSink(config, &hr));
}

CUnknown* TestSink::CreateInstance(IUnknown*, HRESULT* phr) { return new (std::nothrow) TestSink(SinkConfig{}, phr); }

HRESULT TestSink::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    return mt->MatchesPartial(&config_.accept) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TestSink::DoRenderSample(IMediaSample* sample) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const LONG length = sample->GetActualDataLength();
    LONG wrongBytes = 0;
    if (config_.checkPattern) {
        LONGLONG n = 0;
        LONGLONG end = 0;
        sample->GetMediaTime(&n, &end);
        for (LONG i = config_.skipPatternBytes; i < length; ++i)
            if (data[i] != PatternByte(static_cast<LONG>(n), i)) ++wrongBytes;
    }
    REFERENCE_TIME start = -1;
    REFERENCE_TIME stop = -1;
    sample->GetTime(&start, &stop);
    const GUID subtype = *m_pInputPin->CurrentMediaType().Subtype();

    std::unique_lock lock(lock_);
    ++samples_;
    bytes_ += length;
    if (sample->IsDiscontinuity() == S_OK) ++discontinuities_;
    if (wrongBytes) ++patternErrors_;
    startTimes_.push_back(start);
    addresses_.insert(data);
    if (subtypes_.empty() || !(subtypes_.back() == subtype)) subtypes_.push_back(subtype);
    if (blockRequested_) {
        blocked_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !blockRequested_; });
        blocked_ = false;
    }
    changed_.notify_all();
    return S_OK;
}

HRESULT TestSink::EndOfStream() {
    {
        std::scoped_lock lock(lock_);
        ++endOfStreams_;
    }
    changed_.notify_all();
    return CBaseRenderer::EndOfStream();
}

HRESULT TestSink::OnStopStreaming() {
    Unblock();
    return CBaseRenderer::OnStopStreaming();
}

HRESULT TestSink::BeginFlush() {
    Unblock();
    return CBaseRenderer::BeginFlush();
}

void TestSink::BlockRendering() {
    std::scoped_lock lock(lock_);
    blockRequested_ = true;
}

void TestSink::Unblock() {
    {
        std::scoped_lock lock(lock_);
        blockRequested_ = false;
    }
    changed_.notify_all();
}

bool TestSink::WaitUntilBlocked(DWORD milliseconds) {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return blocked_; });
}

bool TestSink::WaitForSamples(LONG count, DWORD milliseconds) {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return samples_ >= count; });
}

bool TestSink::WaitForEndOfStream(DWORD milliseconds) {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return endOfStreams_ > 0; });
}

void TestSink::Reset() {
    std::scoped_lock lock(lock_);
    samples_ = 0;
    bytes_ = 0;
    discontinuities_ = 0;
    patternErrors_ = 0;
    endOfStreams_ = 0;
    startTimes_.clear();
    addresses_.clear();
    subtypes_.clear();
}

LONG TestSink::Samples() const {
    std::scoped_lock lock(lock_);
    return samples_;
}
LONGLONG TestSink::Bytes() const {
    std::scoped_lock lock(lock_);
    return bytes_;
}
LONG TestSink::Discontinuities() const {
    std::scoped_lock lock(lock_);
    return discontinuities_;
}
LONG TestSink::PatternErrors() const {
    std::scoped_lock lock(lock_);
    return patternErrors_;
}
LONG TestSink::EndOfStreams() const {
    std::scoped_lock lock(lock_);
    return endOfStreams_;
}
std::vector<REFERENCE_TIME> TestSink::StartTimes() const {
    std::scoped_lock lock(lock_);
    return startTimes_;
}
std::set<const BYTE*> TestSink::BufferAddresses() const {
    std::scoped_lock lock(lock_);
    return addresses_;
}
std::vector<GUID> TestSink::SubtypesSeen() const {
    std::scoped_lock lock(lock_);
    return subtypes_;
}

CMediaType TestSink::ConnectionType() {
    CAutoLock lock(&m_InterfaceLock);
    return m_pInputPin ? m_pInputPin->CurrentMediaType() : CMediaType();
}

}  // namespace kvtest
