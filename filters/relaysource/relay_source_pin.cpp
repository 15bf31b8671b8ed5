#include "filters/relaysource/relay_source_pin.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/media/base/source.h"
#include "platform/media/uuids.h"

namespace {

// Stream time per frame, 100-ns units. 525/60 uses 33.0 ms, not 33.3667 ms,
// so that a file's samples stand at whole multiples of one duration.
constexpr REFERENCE_TIME kFrameDuration625 = 400000;
constexpr REFERENCE_TIME kFrameDuration525 = 330000;

// How often an empty queue is looked at again.
constexpr auto kEmptyQueuePause = std::chrono::milliseconds(10);

// Format blocks (DVINFO) of the two systems: the AAUX source and control
// packs of both audio blocks and the VAUX source and control packs, as the
// camcorder's capture stream announces them (IEC 61834-4).
constexpr DVINFO kDvInfo625 = {0xD0E000D0, 0xFFA0CF03, 0xD0E001D0, 0xFFA0CF03, 0xFF20FFFF, 0xFFFD8003, {0, 0}};
constexpr DVINFO kDvInfo525 = {0xD0C000CE, 0xFFA0CF03, 0xD0C001CE, 0xFFA0CF03, 0xFF00FFFF, 0xFFFC803F, {0, 0}};

LONG FrameBytes(bool is625) {
    return static_cast<LONG>(is625 ? DvFrameReader::kFrameSize625 : DvFrameReader::kFrameSize525);
}

}  // namespace

RelaySourcePin::RelaySourcePin(HRESULT* phr, CSource* filter)
    : CSourceStream("Relay source pin", phr, filter, u"Output") {}

HRESULT RelaySourcePin::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    CAutoLock hold(m_pFilter->pStateLock());
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;

    const DVINFO& block = is625_ ? kDvInfo625 : kDvInfo525;
    mt->SetType(&MEDIATYPE_Interleaved);
    mt->SetSubtype(&MEDIASUBTYPE_dvsd);
    mt->SetSampleSize(1);
    mt->SetTemporalCompression(TRUE);
    mt->SetFormatType(&FORMAT_DvInfo);
    if (!mt->SetFormat(reinterpret_cast<const BYTE*>(&block), sizeof block)) return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT RelaySourcePin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    CAutoLock hold(m_pFilter->pStateLock());
    if (*mt->Subtype() == MEDIASUBTYPE_dvsd && *mt->FormatType() == FORMAT_DvInfo) return S_OK;
    return E_INVALIDARG;
}

HRESULT RelaySourcePin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    if (!allocator || !request) return E_POINTER;
    CAutoLock hold(m_pFilter->pStateLock());
    // One buffer is enough: frames wait in the queue, not in the graph.
    request->cBuffers = 1;
    request->cbBuffer = FrameBytes(is625_);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    if (actual.cBuffers < request->cBuffers || actual.cbBuffer < request->cbBuffer) return E_FAIL;
    return S_OK;
}

HRESULT RelaySourcePin::OnThreadCreate() {
    std::scoped_lock hold(pinLock_);
    streamTime_ = 0;
    discontinuityPending_ = true;
    frameDuration_ = is625_ ? kFrameDuration625 : kFrameDuration525;
    return S_OK;
}

FrameQueue::ItemPtr RelaySourcePin::WaitForFirstItem(FrameQueue& queue) {
    FrameQueue::ItemPtr item;
    for (;;) {
        if (queue.TakeFirst(item, true)) return item;
        // A stop waits for this thread: end the stream at once.
        DWORD command = 0;
        if (CheckRequest(&command) && (command == CMD_STOP || command == CMD_EXIT)) return nullptr;
        std::this_thread::sleep_for(kEmptyQueuePause);
    }
}

HRESULT RelaySourcePin::FillBuffer(IMediaSample* sample) {
    FrameQueue* queue = queue_;
    if (!queue) return E_FAIL;
    if (!sample) return E_POINTER;

    for (;;) {
        const FrameQueue::ItemPtr item = WaitForFirstItem(*queue);
        if (!item || item->kind != QueueFrame) return S_FALSE;
        // Gone when the program emptied the queue since the look: the capture has ended.
        if (!queue->RemoveFirstIf(item)) return S_FALSE;
        if (!item->frame) continue;

        bool copied = false;
        const HRESULT hr = CopyFrame(*item->frame, sample, &copied);
        if (FAILED(hr)) return hr;
        if (copied) return S_OK;
    }
}

HRESULT RelaySourcePin::CopyFrame(const DvFrameReader& frame, IMediaSample* sample, bool* copied) {
    std::scoped_lock hold(pinLock_);
    // Only a whole frame tells its system; the next run then starts with it.
    if (frame.IsComplete()) {
        frame.FillInfo(info_);
        is625_ = info_.is625 != 0;
    }

    BYTE* buffer = nullptr;
    HRESULT hr = sample->GetPointer(&buffer);
    if (FAILED(hr)) return hr;
    if (!buffer) return E_POINTER;
    const LONG frameBytes = frame.FrameSize();
    if (!frame.IsComplete() || sample->GetSize() < frameBytes) return S_OK;
    hr = sample->SetActualDataLength(frameBytes);
    if (FAILED(hr)) return hr;
    std::memcpy(buffer, frame.Data(), static_cast<std::size_t>(frameBytes));

    REFERENCE_TIME start = streamTime_;
    REFERENCE_TIME stop = streamTime_ + frameDuration_;
    streamTime_ = stop;
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(discontinuityPending_ ? TRUE : FALSE);
    discontinuityPending_ = false;
    *copied = true;
    return S_OK;
}
