#pragma once
// DeckCaptureFilter: the capture filter of a DV deck (a virtual deck or a
// camcorder on the 1394 bus), as the device enumerator hands it out for one
// of the video input devices. Like a DV
// camcorder's filter it has two outputs, capture and preview, carrying the
// same interleaved DV frames, and exposes the camcorder's external-device
// interfaces:
//
//   IAMExtDevice       GetCapability(ED_DEVCAP_DEVICE_TYPE): ED_DEVTYPE_VCR
//                      or ED_DEVTYPE_CAMERA; get_ExternalDeviceID: the 8 bytes
//   IAMExtTransport    put_Mode/get_Mode; GetTransportBasicParameters(
//                      ED_TRANSBASIC_INPUT_SIGNAL): 625/50 or 525/60 SD
//   IAMTimecodeReader  GetTimecode: the time code under the head
//
// The frames come from the deck's player thread while the filter runs and
// carry stream times of the graph clock. A live source does not cue: paused,
// it delivers nothing and GetState answers VFW_S_CANT_CUE.
//
// Locks: lock_ is the filter lock. The player thread never takes it, so
// Stop can wait for the player while holding it.
#include <atomic>
#include <chrono>
#include <memory>
#include <span>
#include <string>

#include "platform/devices/deck_capture_pin.h"
#include "platform/devices/deck_output_pin.h"
#include "platform/devices/deck_preview_pin.h"
#include "platform/devices/extdevice.h"
#include "platform/media/base/basefilter.h"

class DvDeck;

// The class of the virtual deck's capture filter (GetClassID); it is made by
// the device enumerator, never through CoCreateInstance.
inline constexpr CLSID CLSID_KorvantaVirtualDeck = MakeGuid("{8E5C3A41-6B2D-4F7A-9C1E-3D5B7A9F2C64}");

class DeckCaptureFilter final : public CBaseFilter,
                                public IAMExtDevice,
                                public IAMExtTransport,
                                public IAMTimecodeReader {
public:
    // A new filter on the deck named deckName (one reference for the caller).
    // Fails as VirtualDeck::Acquire does: the deck is not configured, or its
    // tape is missing, empty or not DV.
    static HRESULT Create(const std::string& deckName, IBaseFilter** filter);
    // A new filter of class clsid on a deck of any kind.
    static HRESULT Create(std::shared_ptr<DvDeck> deck, const CLSID& clsid, IBaseFilter** filter);
    ~DeckCaptureFilter() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    CBasePin* GetPin(int n) override;
    int GetPinCount() override { return 2; }

    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;

    // IAMExtDevice (GetCapability also answers for IAMExtTransport).
    HRESULT GetCapability(LONG capability, LONG* value, double* doubleValue) override;
    HRESULT get_ExternalDeviceID(LPOLESTR* id) override;
    HRESULT get_ExternalDeviceVersion(LPOLESTR* version) override;
    HRESULT put_DevicePower(LONG powerMode) override;
    HRESULT get_DevicePower(LONG* powerMode) override;
    HRESULT Calibrate(HEVENT event, LONG mode, LONG* status) override;
    HRESULT put_DevicePort(LONG port) override;
    HRESULT get_DevicePort(LONG* port) override;

    // IAMExtTransport
    HRESULT put_MediaState(LONG state) override;
    HRESULT get_MediaState(LONG* state) override;
    HRESULT put_LocalControl(LONG state) override;
    HRESULT get_LocalControl(LONG* state) override;
    HRESULT GetStatus(LONG statusItem, LONG* value) override;
    HRESULT GetTransportBasicParameters(LONG param, LONG* value, LPOLESTR* text) override;
    HRESULT SetTransportBasicParameters(LONG param, LONG value, LPCOLESTR text) override;
    HRESULT GetTransportVideoParameters(LONG param, LONG* value) override;
    HRESULT SetTransportVideoParameters(LONG param, LONG value) override;
    HRESULT GetTransportAudioParameters(LONG param, LONG* value) override;
    HRESULT SetTransportAudioParameters(LONG param, LONG value) override;
    HRESULT put_Mode(LONG mode) override;
    HRESULT get_Mode(LONG* mode) override;
    HRESULT put_Rate(double rate) override;
    HRESULT get_Rate(double* rate) override;
    HRESULT GetChase(LONG* enabled, LONG* offset, HEVENT* event) override;
    HRESULT SetChase(LONG enable, LONG offset, HEVENT event) override;
    HRESULT GetBump(LONG* speed, LONG* duration) override;
    HRESULT SetBump(LONG speed, LONG duration) override;
    HRESULT get_AntiClogControl(LONG* enabled) override;
    HRESULT put_AntiClogControl(LONG enable) override;
    HRESULT GetEditPropertySet(LONG editId, LONG* state) override;
    HRESULT SetEditPropertySet(LONG* editId, LONG state) override;
    HRESULT GetEditProperty(LONG editId, LONG param, LONG* value) override;
    HRESULT SetEditProperty(LONG editId, LONG param, LONG value) override;
    HRESULT get_EditStart(LONG* value) override;
    HRESULT put_EditStart(LONG value) override;

    // IAMTimecodeReader
    HRESULT GetTCRMode(LONG param, LONG* value) override;
    HRESULT SetTCRMode(LONG param, LONG value) override;
    HRESULT put_VITCLine(LONG line) override;
    HRESULT get_VITCLine(LONG* line) override;
    HRESULT GetTimecode(PTIMECODE_SAMPLE sample) override;

private:
    void MoveTapeUnseen();

    DeckCaptureFilter(std::shared_ptr<DvDeck> deck, const CLSID& clsid, HRESULT* phr);
    // Player thread: stamps the frame and hands it to both outputs.
    bool DeliverFrame(std::span<const std::uint8_t> frame);

    CCritSec lock_;
    const std::shared_ptr<DvDeck> deck_;
    DeckCapturePin capture_;
    DeckPreviewPin preview_;
    std::atomic<bool> discontinuity_{true};  // the next frame starts a new run
    REFERENCE_TIME unclockedTime_ = 0;       // player thread: stream time to use without a clock
    std::chrono::steady_clock::time_point lastPreviewed_{};  // player thread: the last frame shown
};
