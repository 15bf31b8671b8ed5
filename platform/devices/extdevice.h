#pragma once
// The external-device interfaces of a DV camcorder's capture filter
// (strmif.h on Windows), with their Windows IIDs and slot orders, and
// IAMDroppedFrames on its capture pin. Windows declares these with `long`,
// which is 32 bits there; LONG keeps that width.
#include "platform/devices/edevdefs.h"
#include "platform/media/strmif.h"

struct IAMExtDevice : IUnknown {
    virtual HRESULT GetCapability(LONG capability, LONG* value, double* doubleValue) = 0;
    // The device's identifier: a task-memory buffer the caller frees. For a
    // DV camcorder it holds the 8 bytes of the device's IEEE 1394 identifier.
    virtual HRESULT get_ExternalDeviceID(LPOLESTR* id) = 0;
    virtual HRESULT get_ExternalDeviceVersion(LPOLESTR* version) = 0;
    virtual HRESULT put_DevicePower(LONG powerMode) = 0;
    virtual HRESULT get_DevicePower(LONG* powerMode) = 0;
    virtual HRESULT Calibrate(HEVENT event, LONG mode, LONG* status) = 0;
    virtual HRESULT put_DevicePort(LONG port) = 0;
    virtual HRESULT get_DevicePort(LONG* port) = 0;

protected:
    ~IAMExtDevice() = default;
};
KV_DEFINE_IID(IAMExtDevice, "{B5730A90-1A2C-11CF-8C23-00AA006B6814}");

struct IAMExtTransport : IUnknown {
    virtual HRESULT GetCapability(LONG capability, LONG* value, double* doubleValue) = 0;
    virtual HRESULT put_MediaState(LONG state) = 0;
    virtual HRESULT get_MediaState(LONG* state) = 0;
    virtual HRESULT put_LocalControl(LONG state) = 0;
    virtual HRESULT get_LocalControl(LONG* state) = 0;
    virtual HRESULT GetStatus(LONG statusItem, LONG* value) = 0;
    virtual HRESULT GetTransportBasicParameters(LONG param, LONG* value, LPOLESTR* text) = 0;
    virtual HRESULT SetTransportBasicParameters(LONG param, LONG value, LPCOLESTR text) = 0;
    virtual HRESULT GetTransportVideoParameters(LONG param, LONG* value) = 0;
    virtual HRESULT SetTransportVideoParameters(LONG param, LONG value) = 0;
    virtual HRESULT GetTransportAudioParameters(LONG param, LONG* value) = 0;
    virtual HRESULT SetTransportAudioParameters(LONG param, LONG value) = 0;
    virtual HRESULT put_Mode(LONG mode) = 0;
    virtual HRESULT get_Mode(LONG* mode) = 0;
    virtual HRESULT put_Rate(double rate) = 0;
    virtual HRESULT get_Rate(double* rate) = 0;
    virtual HRESULT GetChase(LONG* enabled, LONG* offset, HEVENT* event) = 0;
    virtual HRESULT SetChase(LONG enable, LONG offset, HEVENT event) = 0;
    virtual HRESULT GetBump(LONG* speed, LONG* duration) = 0;
    virtual HRESULT SetBump(LONG speed, LONG duration) = 0;
    virtual HRESULT get_AntiClogControl(LONG* enabled) = 0;
    virtual HRESULT put_AntiClogControl(LONG enable) = 0;
    virtual HRESULT GetEditPropertySet(LONG editId, LONG* state) = 0;
    virtual HRESULT SetEditPropertySet(LONG* editId, LONG state) = 0;
    virtual HRESULT GetEditProperty(LONG editId, LONG param, LONG* value) = 0;
    virtual HRESULT SetEditProperty(LONG editId, LONG param, LONG value) = 0;
    virtual HRESULT get_EditStart(LONG* value) = 0;
    virtual HRESULT put_EditStart(LONG value) = 0;

protected:
    ~IAMExtTransport() = default;
};
KV_DEFINE_IID(IAMExtTransport, "{A03CD5F0-3045-11CF-8C44-00AA006B6814}");

struct IAMTimecodeReader : IUnknown {
    virtual HRESULT GetTCRMode(LONG param, LONG* value) = 0;
    virtual HRESULT SetTCRMode(LONG param, LONG value) = 0;
    virtual HRESULT put_VITCLine(LONG line) = 0;
    virtual HRESULT get_VITCLine(LONG* line) = 0;
    // Fills timecode.dwFrames with the BCD time code 0xHHMMSSFF of the frame under the head.
    virtual HRESULT GetTimecode(PTIMECODE_SAMPLE sample) = 0;

protected:
    ~IAMTimecodeReader() = default;
};
KV_DEFINE_IID(IAMTimecodeReader, "{9B496CE1-811B-11CF-8C77-00AA006B6814}");

struct IAMDroppedFrames : IUnknown {
    virtual HRESULT GetNumDropped(LONG* dropped) = 0;
    virtual HRESULT GetNumNotDropped(LONG* notDropped) = 0;
    virtual HRESULT GetDroppedInfo(LONG size, LONG* frames, LONG* copied) = 0;
    virtual HRESULT GetAverageFrameSize(LONG* averageSize) = 0;

protected:
    ~IAMDroppedFrames() = default;
};
KV_DEFINE_IID(IAMDroppedFrames, "{C6E13344-30AC-11D0-A18C-00A0C9118956}");

// The error a removed device answers with (ERROR_DEVICE_NOT_CONNECTED).
inline constexpr HRESULT KV_E_DEVICE_NOT_CONNECTED = HRESULT_FROM_WIN32(1167);
