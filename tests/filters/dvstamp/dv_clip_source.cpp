#include "dv_clip_source.h"

#include <algorithm>
#include <cstring>

#include "platform/media/base/sourcestream.h"
#include "support/dv/dv_clips.h"
#include "support/media/test_types.h"

namespace kvtest {
namespace {

// A class id of its own, so the source never passes for another test filter.
constexpr CLSID CLSID_DvClipSource = MakeGuid("{6B760002-7E57-4A1B-9C3D-5A17E00000D5}");
constexpr LONG kBufferBytes = 144000;        // the larger (625/50) frame
constexpr REFERENCE_TIME kFrameTime = 400000;  // 40 ms in 100 ns units

class DvClipStream : public CSourceStream {
public:
    DvClipStream(CSource* filter, HRESULT* phr, std::vector<std::vector<std::uint8_t>> frames, LONG samples)
        : CSourceStream("DV clip stream", phr, filter, u"Output"), frames_(std::move(frames)), samples_(samples) {}

    HRESULT GetMediaType(CMediaType* mt) override {
        if (!mt) return E_POINTER;
        *mt = DvInterleavedType();
        return S_OK;
    }

    HRESULT CheckMediaType(const CMediaType* mt) override {
        if (!mt) return E_POINTER;
        return *mt == DvInterleavedType() ? S_OK : E_FAIL;
    }

    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override {
        if (!allocator || !props) return E_POINTER;
        ALLOCATOR_PROPERTIES want = *props;
        want.cBuffers = std::max(want.cBuffers, LONG{4});
        want.cbBuffer = std::max(want.cbBuffer, kBufferBytes);
        want.cbAlign = std::max(want.cbAlign, LONG{1});
        ALLOCATOR_PROPERTIES actual{};
        const HRESULT hr = allocator->SetProperties(&want, &actual);
        if (FAILED(hr)) return hr;
        return actual.cbBuffer < kBufferBytes ? E_FAIL : S_OK;
    }

    HRESULT OnThreadCreate() override {
        next_ = 0;
        return S_OK;
    }

    HRESULT FillBuffer(IMediaSample* sample) override {
        if (next_ >= samples_ || frames_.empty()) return S_FALSE;
        const auto& frame = frames_[static_cast<std::size_t>(next_) % frames_.size()];
        BYTE* data = nullptr;
        const HRESULT hr = sample->GetPointer(&data);
        if (FAILED(hr)) return hr;
        const auto length = static_cast<LONG>(std::min<std::size_t>(frame.size(), sample->GetSize()));
        std::memcpy(data, frame.data(), static_cast<std::size_t>(length));
        sample->SetActualDataLength(length);
        REFERENCE_TIME start = next_ * kFrameTime;
        REFERENCE_TIME end = start + kFrameTime;
        sample->SetTime(&start, &end);
        sample->SetSyncPoint(TRUE);
        sample->SetDiscontinuity(next_ == 0 ? TRUE : FALSE);
        ++next_;
        return S_OK;
    }

private:
    const std::vector<std::vector<std::uint8_t>> frames_;
    const LONG samples_;
    LONG next_ = 0;  // worker thread only
};

}  // namespace

ComPtr<DvClipSource> DvClipSource::Create(const std::filesystem::path& clip, LONG samples) {
    HRESULT hr = S_OK;
    return ComPtr<DvClipSource>(new DvClipSource(ReadDvFrames(clip), samples, &hr));
}

DvClipSource::DvClipSource(std::vector<std::vector<std::uint8_t>> frames, LONG samples, HRESULT* phr)
    : CSource("DV clip source", nullptr, CLSID_DvClipSource, phr) {
    new DvClipStream(this, phr, std::move(frames), samples);  // owned by CSource from here on
}

}  // namespace kvtest
