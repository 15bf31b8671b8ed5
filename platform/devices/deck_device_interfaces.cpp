// DeckCaptureFilter's external-device interfaces: what a DV camcorder
// answers through IAMExtDevice, IAMExtTransport and IAMTimecodeReader. A DV
// deck has no chase, bump, edit or VITC features; those slots answer E_NOTIMPL.
#include <cstring>

#include "platform/com/task_memory.h"
#include "platform/devices/deck_capture_filter.h"
#include "platform/devices/dv_deck.h"

// ---- IAMExtDevice ------------------------------------------------------------

HRESULT DeckCaptureFilter::GetCapability(LONG capability, LONG* value, double*) {
    if (capability != ED_DEVCAP_DEVICE_TYPE) return E_NOTIMPL;
    if (!value) return E_POINTER;
    *value = deck_->IsCamera() ? ED_DEVTYPE_CAMERA : ED_DEVTYPE_VCR;
    return S_OK;
}

HRESULT DeckCaptureFilter::get_ExternalDeviceID(LPOLESTR* id) {
    if (!id) return E_POINTER;
    const DeckDeviceId bytes = deck_->DeviceId();
    void* buffer = CoTaskMemAlloc(bytes.size());
    if (!buffer) return E_OUTOFMEMORY;
    std::memcpy(buffer, bytes.data(), bytes.size());
    *id = static_cast<LPOLESTR>(buffer);
    return S_OK;
}

HRESULT DeckCaptureFilter::get_ExternalDeviceVersion(LPOLESTR*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::put_DevicePower(LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::get_DevicePower(LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::Calibrate(HEVENT, LONG, LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::put_DevicePort(LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::get_DevicePort(LONG*) { return E_NOTIMPL; }

// ---- IAMExtTransport ---------------------------------------------------------

HRESULT DeckCaptureFilter::GetTransportBasicParameters(LONG param, LONG* value, LPOLESTR*) {
    if (param != ED_TRANSBASIC_INPUT_SIGNAL) return E_NOTIMPL;
    if (!value) return E_POINTER;
    if (deck_->Unplugged()) return KV_E_DEVICE_NOT_CONNECTED;
    *value = deck_->Is625() ? ED_TRANSBASIC_SIGNAL_625_50_SD : ED_TRANSBASIC_SIGNAL_525_60_SD;
    return S_OK;
}

HRESULT DeckCaptureFilter::put_Mode(LONG mode) { return deck_->SetMode(mode); }
HRESULT DeckCaptureFilter::get_Mode(LONG* mode) { return deck_->GetMode(mode); }

HRESULT DeckCaptureFilter::put_MediaState(LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::get_MediaState(LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::put_LocalControl(LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::get_LocalControl(LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::GetStatus(LONG, LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::SetTransportBasicParameters(LONG, LONG, LPCOLESTR) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::GetTransportVideoParameters(LONG, LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::SetTransportVideoParameters(LONG, LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::GetTransportAudioParameters(LONG, LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::SetTransportAudioParameters(LONG, LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::put_Rate(double) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::get_Rate(double*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::GetChase(LONG*, LONG*, HEVENT*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::SetChase(LONG, LONG, HEVENT) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::GetBump(LONG*, LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::SetBump(LONG, LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::get_AntiClogControl(LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::put_AntiClogControl(LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::GetEditPropertySet(LONG, LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::SetEditPropertySet(LONG*, LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::GetEditProperty(LONG, LONG, LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::SetEditProperty(LONG, LONG, LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::get_EditStart(LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::put_EditStart(LONG) { return E_NOTIMPL; }

// ---- IAMTimecodeReader -------------------------------------------------------

HRESULT DeckCaptureFilter::GetTimecode(PTIMECODE_SAMPLE sample) {
    if (!sample) return E_POINTER;
    DWORD bcd = 0;
    if (const HRESULT hr = deck_->GetTimecode(&bcd); FAILED(hr)) return hr;
    sample->timecode.dwFrames = bcd;
    sample->dwUser = 0;
    return S_OK;
}

HRESULT DeckCaptureFilter::GetTCRMode(LONG, LONG*) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::SetTCRMode(LONG, LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::put_VITCLine(LONG) { return E_NOTIMPL; }
HRESULT DeckCaptureFilter::get_VITCLine(LONG*) { return E_NOTIMPL; }
