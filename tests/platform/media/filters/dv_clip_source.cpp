#include "dv_clip_source.h"

#include <algorithm>
#include <cstring>

#include "platform/media/formats.h"
#include "platform/media/uuids.h"

namespace kvtest {

namespace {

const CLSID CLSID_DvClipSource = MakeGuid("{6B760002-7E57-4A1B-9C3D-5A17E00000D1}");

class ClipStream : public CSourceStream {
public:
    ClipStream(CSource* filter, HRESULT* phr, LPCWSTR name, CMediaType type, const std::vector<std::vector<BYTE>>& payloads,
               REFERENCE_TIME frameDuration)
        : CSourceStream("Clip Stream", phr, filter, name),
          type_(std::move(type)),
          payloads_(payloads),
          frameDuration_(frameDuration) {}

    HRESULT GetMediaType(CMediaType* mt) override {
        *mt = type_;
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override {
        LONG largest = 1;
        for (const auto& payload : payloads_) largest = std::max(largest, LONG(payload.size()));
        props->cBuffers = 4;
        props->cbBuffer = largest;
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(props, &actual);
    }
    HRESULT OnThreadStartPlay() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT FillBuffer(IMediaSample* sample) override {
        if (next_ >= payloads_.size()) return S_FALSE;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        const auto& payload = payloads_[next_];
        std::memcpy(data, payload.data(), payload.size());
        sample->SetActualDataLength(LONG(payload.size()));
        REFERENCE_TIME start = REFERENCE_TIME(next_) * frameDuration_;
        REFERENCE_TIME end = start + frameDuration_;
        sample->SetTime(&start, &end);
        sample->SetSyncPoint(TRUE);
        ++next_;
        return S_OK;
    }

private:
    const CMediaType type_;
    const std::vector<std::vector<BYTE>> payloads_;
    const REFERENCE_TIME frameDuration_;
    std::size_t next_ = 0;  // worker thread only
};

CMediaType DvType(const DvClipSourceConfig& config) {
    CMediaType type(config.interleaved ? &MEDIATYPE_Interleaved : &MEDIATYPE_Video);
    type.SetSubtype(&MEDIASUBTYPE_dvsd);
    type.SetSampleSize(config.pal ? 144000 : 120000);
    if (config.interleaved) {
        type.SetFormatType(&FORMAT_DvInfo);
        const DVINFO info{};
        type.SetFormat(reinterpret_cast<const BYTE*>(&info), sizeof info);
    } else {
        type.SetFormatType(&FORMAT_VideoInfo);
        VIDEOINFOHEADER video{};
        video.AvgTimePerFrame = config.pal ? 400000 : 333667;
        video.bmiHeader = {sizeof(BITMAPINFOHEADER), 720, config.pal ? 576 : 480, 1, 24, 0x64737664, 0, 0, 0, 0, 0};
        type.SetFormat(reinterpret_cast<const BYTE*>(&video), sizeof video);
    }
    return type;
}

CMediaType PcmType() {
    CMediaType type(&MEDIATYPE_Audio);
    type.SetSubtype(&MEDIASUBTYPE_PCM);
    type.SetFormatType(&FORMAT_WaveFormatEx);
    const WAVEFORMATEX wave{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
    type.SetFormat(reinterpret_cast<const BYTE*>(&wave), sizeof wave);
    return type;
}

}  // namespace

ComPtr<DvClipSource> DvClipSource::Create(const DvClipSourceConfig& config) {
    HRESULT hr = S_OK;
    ComPtr<DvClipSource> source(new DvClipSource(config, &hr));
    return source;
}

DvClipSource::DvClipSource(const DvClipSourceConfig& config, HRESULT* phr)
    : CSource("DV Clip Source", nullptr, CLSID_DvClipSource, phr) {
    const REFERENCE_TIME frame = config.pal ? 400000 : 333667;
    new ClipStream(this, phr, u"Video", DvType(config), config.frames, frame);
    if (!config.pcm.empty()) new ClipStream(this, phr, u"Audio", PcmType(), config.pcm, frame);
}

}  // namespace kvtest
