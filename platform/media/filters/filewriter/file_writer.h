#pragma once
// CFileWriter (CLSID_FileWriter): the end of a file-writing graph. Its input
// pin "in" takes the multiplexer's byte stream (MEDIATYPE_Stream); the file
// itself is created through IKvFileSink when the first frame is written.
//
// IFileSinkFilter::SetFileName stores a name that takes effect at the next
// run (the file being written keeps its name); an existing file is never
// overwritten, a taken name gets " (2)", " (3)", ... before the extension, and
// GetCurFile reports the name actually used once the file exists.
#include <memory>
#include <optional>
#include <string>

#include "platform/media/base/basefilter.h"
#include "platform/media/base/renderedinputpin.h"
#include "platform/media/filters/filewriter/file_sink.h"

class CFileWriter : public CBaseFilter, public IFileSinkFilter, public IKvFileSink {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    CBasePin* GetPin(int n) override;
    int GetPinCount() override { return 1; }
    // Leaving Stopped starts a run: the name set last becomes the one to use.
    HRESULT Pause() override;

    // ---- IFileSinkFilter ----
    // The program joins folder and name with a backslash, as on Windows; here
    // the separator is '/', so backslashes are read as separators.
    HRESULT SetFileName(LPCOLESTR file, const AM_MEDIA_TYPE* mt) override;
    HRESULT GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) override;

    // ---- IKvFileSink ----
    HRESULT CreateOutputFile(int* descriptor) override;

private:
    CFileWriter(IUnknown* outer, HRESULT* phr);

    class InputPin : public CRenderedInputPin {
    public:
        InputPin(CFileWriter* filter, CCritSec* lock, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* mt) override;
    };

    CCritSec filterLock_;
    std::unique_ptr<InputPin> input_;
    // Guarded by nameLock_: CreateOutputFile comes from the multiplexer's streaming thread.
    std::mutex nameLock_;
    std::string pendingName_;  // set by SetFileName, used from the next run
    std::string runName_;      // the name this run creates its file under
    std::string usedName_;     // the file created in this run; empty before
};
