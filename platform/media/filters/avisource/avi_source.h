#pragma once
// CAviSource (CLSID_AviSplitter): plays a DV AVI file, the file source that
// RenderFile and AddSourceFilter load through IFileSourceFilter.
//
// Load opens the file with AviReader (its clear HRESULT when the file is not a
// DV AVI) and makes the pins: for type 1 one pin "Stream 00" of interleaved DV
// (FORMAT_DvInfo), for the DV splitter to take apart; for type 2 "Stream 00" of
// DV video and, when the file has sound, "Stream 01" of PCM. Every pin seeks
// (IMediaSeeking, in frames or media time); the positions belong to the
// filter, so a seek through either pin moves both and keeps sound with picture.
#include <memory>
#include <mutex>
#include <string>

#include "platform/media/base/source.h"
#include "platform/media/filters/avi/avi_reader.h"
#include "platform/media/filters/avisource/frame_positions.h"

class CAviSourceStream;

class CAviSource : public CSource, public IFileSourceFilter {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // ---- IFileSourceFilter ----
    // One file per filter: a second Load answers E_UNEXPECTED. The media type is not needed.
    HRESULT Load(LPCOLESTR file, const AM_MEDIA_TYPE* mt) override;
    HRESULT GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) override;

    // ---- For the pins ----
    // Null before Load; never changes once loaded.
    std::shared_ptr<const AviReader> Reader() const;
    FramePositions Positions() const;
    // Moves the span every pin plays. While streaming, the pins' workers stop,
    // downstream is flushed, and the workers start again from the new first
    // frame, so the next sample delivered is that frame.
    HRESULT SetPositions(const GUID& format, LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags);

private:
    CAviSource(IUnknown* outer, HRESULT* phr);
    HRESULT MakePins();

    mutable std::mutex loadLock_;  // guards reader_, fileName_ and positions_
    std::shared_ptr<const AviReader> reader_;
    std::u16string fileName_;
    FramePositions positions_{0, 25, 1};
};

// Registration data: the pins and types, MERIT_DO_NOT_USE (a file source is created by its class, never by connecting).
extern const AMOVIESETUP_FILTER kAviSourceSetup;
