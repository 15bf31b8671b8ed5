#include "platform/media/filters/avisource/avi_source.h"

#include <cstring>

#include "platform/com/task_memory.h"
#include "platform/com/utf.h"
#include "platform/media/filters/avisource/avi_source_stream.h"
#include "platform/media/filters/dvsplit/dv_splitter.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

namespace {

const REGPINTYPES kOutTypes[] = {{&MEDIATYPE_Interleaved, &MEDIASUBTYPE_dvsd},
                                 {&MEDIATYPE_Video, &MEDIASUBTYPE_dvsd},
                                 {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM}};
const AMOVIESETUP_PIN kPins[] = {{u"Stream 00", FALSE, TRUE, FALSE, TRUE, nullptr, nullptr, 3, kOutTypes}};

CMediaType InterleavedDvType(const AviReader& reader) {
    CMediaType type(&MEDIATYPE_Interleaved);
    type.SetSubtype(&MEDIASUBTYPE_dvsd);
    type.SetFormatType(&FORMAT_DvInfo);
    type.SetSampleSize(reader.System().frameBytes);
    const DVINFO& info = reader.DvInfo();
    type.SetFormat(reinterpret_cast<const BYTE*>(&info), sizeof info);
    return type;
}

CMediaType PcmType(const WAVEFORMATEX& wave) {
    CMediaType type(&MEDIATYPE_Audio);
    type.SetSubtype(&MEDIASUBTYPE_PCM);
    type.SetFormatType(&FORMAT_WaveFormatEx);
    type.SetSampleSize(wave.nBlockAlign);
    type.SetFormat(reinterpret_cast<const BYTE*>(&wave), sizeof wave);
    return type;
}

}  // namespace

const AMOVIESETUP_FILTER kAviSourceSetup = {&CLSID_AviSplitter, u"DV AVI Source", MERIT_DO_NOT_USE, 1, kPins};

CUnknown* CAviSource::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* source = new CAviSource(outer, phr);
    if (FAILED(*phr)) {
        delete source;
        return nullptr;
    }
    return source;
}

CAviSource::CAviSource(IUnknown* outer, HRESULT* phr) : CSource("DV AVI Source", outer, CLSID_AviSplitter, phr) {}

HRESULT CAviSource::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IFileSourceFilter) return GetInterface(static_cast<IFileSourceFilter*>(this), ppv);
    return CSource::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CAviSource::Load(LPCOLESTR file, const AM_MEDIA_TYPE*) {
    if (!file) return E_POINTER;
    CAutoLock state(&m_cStateLock);
    {
        std::scoped_lock lock(loadLock_);
        if (reader_) return E_UNEXPECTED;
        auto reader = std::make_shared<AviReader>();
        if (const HRESULT hr = reader->Open(Utf16ToUtf8(file)); FAILED(hr)) return hr;
        positions_ = FramePositions(reader->FrameCount(), reader->System().rate, reader->System().scale);
        reader_ = std::move(reader);
        fileName_ = file;
    }
    return MakePins();
}

HRESULT CAviSource::MakePins() {
    const AviReader& reader = *Reader();
    HRESULT hr = S_OK;
    // The pins add themselves to the filter, which owns them from then on.
    if (reader.Type() == DvAviType::Type1) {
        new CAviSourceStream(this, &hr, u"Stream 00", CAviSourceStream::Content::Frames, InterleavedDvType(reader));
        return hr;
    }
    new CAviSourceStream(this, &hr, u"Stream 00", CAviSourceStream::Content::Frames, DvVideoType(reader.System()));
    if (reader.Audio())
        new CAviSourceStream(this, &hr, u"Stream 01", CAviSourceStream::Content::Sound, PcmType(*reader.Audio()));
    return hr;
}

HRESULT CAviSource::GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) {
    if (!file) return E_POINTER;
    *file = nullptr;
    std::u16string name;
    {
        std::scoped_lock lock(loadLock_);
        if (!reader_) return S_FALSE;
        name = fileName_;
    }
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(OLECHAR)));
    if (!copy) return E_OUTOFMEMORY;
    std::memcpy(copy, name.c_str(), (name.size() + 1) * sizeof(OLECHAR));
    *file = copy;
    if (mt) *mt = AM_MEDIA_TYPE{MEDIATYPE_Stream, MEDIASUBTYPE_Avi, TRUE, FALSE, 1, FORMAT_None, nullptr, 0, nullptr};
    return S_OK;
}

std::shared_ptr<const AviReader> CAviSource::Reader() const {
    std::scoped_lock lock(loadLock_);
    return reader_;
}

FramePositions CAviSource::Positions() const {
    std::scoped_lock lock(loadLock_);
    return positions_;
}

HRESULT CAviSource::SetPositions(const GUID& format, LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                 DWORD stopFlags) {
    CAutoLock state(&m_cStateLock);
    if (!Reader()) return VFW_E_NOT_CONNECTED;
    FramePositions moved = Positions();
    if (const HRESULT hr = moved.Set(format, current, currentFlags, stop, stopFlags); FAILED(hr)) return hr;

    const bool streaming = !IsStopped();
    std::vector<CAviSourceStream*> pins;
    for (const auto& pin : m_paStreams)
        if (pin->IsConnected()) pins.push_back(static_cast<CAviSourceStream*>(pin.get()));
    // Flushing first frees a worker held in Deliver or waiting for a buffer downstream keeps.
    if (streaming)
        for (CAviSourceStream* pin : pins) pin->DeliverBeginFlush();
    if (streaming)
        for (CAviSourceStream* pin : pins) pin->HaltWorker();
    {
        std::scoped_lock lock(loadLock_);
        positions_ = moved;
    }
    if (streaming) {
        for (CAviSourceStream* pin : pins) pin->DeliverEndFlush();
        for (CAviSourceStream* pin : pins) pin->ResumeWorker();
    }
    return S_OK;
}
