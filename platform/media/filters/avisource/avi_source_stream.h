#pragma once
// CAviSourceStream: one output pin of CAviSource, streaming the video (or
// interleaved DV) of each frame, or the PCM stored with each frame, from the
// filter's first frame to its last.
//
// Time stamps restart at zero at the first frame of every start or seek, after
// a NewSegment that gives the span in media time: frame k of the span starts at
// the media time of frame first + k less that of the first frame; sound is
// stamped by the bytes delivered, so it runs on without gaps.
//
// IMediaSeeking answers for the filter's positions in this pin's own time
// format (TIME_FORMAT_MEDIA_TIME until set), so either pin seeks both.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/base/sourcestream.h"
#include "platform/media/filters/avisource/avi_source.h"

class CAviSourceStream : public CSourceStream, public IMediaSeeking {
public:
    enum class Content { Frames, Sound };
    // Adds itself to `filter`, which owns it from then on.
    CAviSourceStream(CAviSource* filter, HRESULT* phr, LPCWSTR name, Content content, const CMediaType& type);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetMediaType(CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT OnThreadStartPlay() override;
    HRESULT FillBuffer(IMediaSample* sample) override;

    // Filter lock held, filter not stopped: halts the worker between samples
    // (downstream already flushing, so it is not held in Deliver) and starts
    // it again from the filter's positions.
    void HaltWorker();
    void ResumeWorker();

    // ---- IMediaSeeking ----
    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                              const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

private:
    GUID TimeFormat() const;

    CAviSource* const source_;
    const Content content_;
    const CMediaType type_;
    mutable std::mutex formatLock_;
    GUID timeFormat_ = TIME_FORMAT_MEDIA_TIME;  // guarded by formatLock_
    // Worker thread only, reset by OnThreadStartPlay.
    std::shared_ptr<const AviReader> reader_;
    FramePositions span_{0, 25, 1};
    std::uint64_t next_ = 0;
    std::uint64_t soundBytes_ = 0;
    std::vector<BYTE> payload_;  // the frame's picture or sound, as read
};
