#pragma once
// The automation-style interfaces the graph manager offers the program
// (control.h on Windows): media control, media events, basic audio, basic
// video and the video window, with their Windows IIDs and slot orders.
//
// Windows declares these with `long`, which is 32 bits there; LONG keeps
// that width here (a Linux long is 64 bits).
#include "platform/com/bstr.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"

using OAFilterState = LONG;  // a FILTER_STATE value
using OAEVENT = LONG_PTR;    // an HEVENT
using OABOOL = LONG;
using REFTIME = double;      // seconds
using LCID = DWORD;
using DISPID = LONG;

inline constexpr OABOOL OATRUE = -1;
inline constexpr OABOOL OAFALSE = 0;

// IMediaEventEx::SetNotifyFlags: no window messages while set.
inline constexpr LONG AM_MEDIAEVENT_NONOTIFY = 0x01;

// Type information and invocation stay opaque: nothing here is scripted.
struct ITypeInfo;
struct DISPPARAMS;
struct EXCEPINFO;

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;

protected:
    ~IDispatch() = default;
};
KV_DEFINE_IID(IDispatch, "{00020400-0000-0000-C000-000000000046}");

// Answers the four IDispatch slots of Interface with E_NOTIMPL, for objects
// that offer a dual interface only through its vtable:
//     class Graph : public DispatchNotImplemented<IMediaControl>, ...
template <class Interface>
struct DispatchNotImplemented : Interface {
    HRESULT GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return E_NOTIMPL;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    ~DispatchNotImplemented() = default;
};

struct IMediaControl : IDispatch {
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Stop() = 0;
    // VFW_S_STATE_INTERMEDIATE while a filter has not finished its change.
    virtual HRESULT GetState(LONG msTimeout, OAFilterState* state) = 0;
    virtual HRESULT RenderFile(BSTR file) = 0;
    virtual HRESULT AddSourceFilter(BSTR file, IDispatch** filterInfo) = 0;
    virtual HRESULT get_FilterCollection(IDispatch** collection) = 0;
    virtual HRESULT get_RegFilterCollection(IDispatch** collection) = 0;
    virtual HRESULT StopWhenReady() = 0;

protected:
    ~IMediaControl() = default;
};
KV_DEFINE_IID(IMediaControl, "{56A868B1-0AD4-11CE-B03A-0020AF0BA770}");

struct IMediaEvent : IDispatch {
    // A manual-reset event set while events wait (an HEVENT).
    virtual HRESULT GetEventHandle(OAEVENT* event) = 0;
    // E_ABORT when no event arrives within the time.
    virtual HRESULT GetEvent(LONG* eventCode, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) = 0;
    virtual HRESULT WaitForCompletion(LONG msTimeout, LONG* eventCode) = 0;
    virtual HRESULT CancelDefaultHandling(LONG eventCode) = 0;
    virtual HRESULT RestoreDefaultHandling(LONG eventCode) = 0;
    virtual HRESULT FreeEventParams(LONG eventCode, LONG_PTR param1, LONG_PTR param2) = 0;

protected:
    ~IMediaEvent() = default;
};
KV_DEFINE_IID(IMediaEvent, "{56A868B6-0AD4-11CE-B03A-0020AF0BA770}");

struct IMediaEventEx : IMediaEvent {
    // Posts (window, message, 0, instanceData) while events wait; window 0 stops it.
    virtual HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instanceData) = 0;
    virtual HRESULT SetNotifyFlags(LONG flags) = 0;
    virtual HRESULT GetNotifyFlags(LONG* flags) = 0;

protected:
    ~IMediaEventEx() = default;
};
KV_DEFINE_IID(IMediaEventEx, "{56A868C0-0AD4-11CE-B03A-0020AF0BA770}");

// Volume in hundredths of a decibel (-10000 is silence, 0 full); balance -10000..10000.
struct IBasicAudio : IDispatch {
    virtual HRESULT put_Volume(LONG volume) = 0;
    virtual HRESULT get_Volume(LONG* volume) = 0;
    virtual HRESULT put_Balance(LONG balance) = 0;
    virtual HRESULT get_Balance(LONG* balance) = 0;

protected:
    ~IBasicAudio() = default;
};
KV_DEFINE_IID(IBasicAudio, "{56A868B3-0AD4-11CE-B03A-0020AF0BA770}");

struct IVideoWindow : IDispatch {
    virtual HRESULT put_Caption(BSTR caption) = 0;
    virtual HRESULT get_Caption(BSTR* caption) = 0;
    virtual HRESULT put_WindowStyle(LONG style) = 0;
    virtual HRESULT get_WindowStyle(LONG* style) = 0;
    virtual HRESULT put_WindowStyleEx(LONG style) = 0;
    virtual HRESULT get_WindowStyleEx(LONG* style) = 0;
    virtual HRESULT put_AutoShow(LONG autoShow) = 0;
    virtual HRESULT get_AutoShow(LONG* autoShow) = 0;
    virtual HRESULT put_WindowState(LONG state) = 0;
    virtual HRESULT get_WindowState(LONG* state) = 0;
    virtual HRESULT put_BackgroundPalette(LONG backgroundPalette) = 0;
    virtual HRESULT get_BackgroundPalette(LONG* backgroundPalette) = 0;
    virtual HRESULT put_Visible(LONG visible) = 0;
    virtual HRESULT get_Visible(LONG* visible) = 0;
    virtual HRESULT put_Left(LONG left) = 0;
    virtual HRESULT get_Left(LONG* left) = 0;
    virtual HRESULT put_Width(LONG width) = 0;
    virtual HRESULT get_Width(LONG* width) = 0;
    virtual HRESULT put_Top(LONG top) = 0;
    virtual HRESULT get_Top(LONG* top) = 0;
    virtual HRESULT put_Height(LONG height) = 0;
    virtual HRESULT get_Height(LONG* height) = 0;
    virtual HRESULT put_Owner(OAHWND owner) = 0;
    virtual HRESULT get_Owner(OAHWND* owner) = 0;
    virtual HRESULT put_MessageDrain(OAHWND drain) = 0;
    virtual HRESULT get_MessageDrain(OAHWND* drain) = 0;
    virtual HRESULT get_BorderColor(LONG* color) = 0;
    virtual HRESULT put_BorderColor(LONG color) = 0;
    virtual HRESULT get_FullScreenMode(LONG* fullScreen) = 0;
    virtual HRESULT put_FullScreenMode(LONG fullScreen) = 0;
    virtual HRESULT SetWindowForeground(LONG focus) = 0;
    virtual HRESULT NotifyOwnerMessage(OAHWND window, LONG message, LONG_PTR wParam, LONG_PTR lParam) = 0;
    virtual HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) = 0;
    virtual HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) = 0;
    virtual HRESULT GetMinIdealImageSize(LONG* width, LONG* height) = 0;
    virtual HRESULT GetMaxIdealImageSize(LONG* width, LONG* height) = 0;
    virtual HRESULT GetRestorePosition(LONG* left, LONG* top, LONG* width, LONG* height) = 0;
    virtual HRESULT HideCursor(LONG hide) = 0;
    virtual HRESULT IsCursorHidden(LONG* hidden) = 0;

protected:
    ~IVideoWindow() = default;
};
KV_DEFINE_IID(IVideoWindow, "{56A868B4-0AD4-11CE-B03A-0020AF0BA770}");

struct IBasicVideo : IDispatch {
    virtual HRESULT get_AvgTimePerFrame(REFTIME* time) = 0;
    virtual HRESULT get_BitRate(LONG* rate) = 0;
    virtual HRESULT get_BitErrorRate(LONG* rate) = 0;
    virtual HRESULT get_VideoWidth(LONG* width) = 0;
    virtual HRESULT get_VideoHeight(LONG* height) = 0;
    virtual HRESULT put_SourceLeft(LONG left) = 0;
    virtual HRESULT get_SourceLeft(LONG* left) = 0;
    virtual HRESULT put_SourceWidth(LONG width) = 0;
    virtual HRESULT get_SourceWidth(LONG* width) = 0;
    virtual HRESULT put_SourceTop(LONG top) = 0;
    virtual HRESULT get_SourceTop(LONG* top) = 0;
    virtual HRESULT put_SourceHeight(LONG height) = 0;
    virtual HRESULT get_SourceHeight(LONG* height) = 0;
    virtual HRESULT put_DestinationLeft(LONG left) = 0;
    virtual HRESULT get_DestinationLeft(LONG* left) = 0;
    virtual HRESULT put_DestinationWidth(LONG width) = 0;
    virtual HRESULT get_DestinationWidth(LONG* width) = 0;
    virtual HRESULT put_DestinationTop(LONG top) = 0;
    virtual HRESULT get_DestinationTop(LONG* top) = 0;
    virtual HRESULT put_DestinationHeight(LONG height) = 0;
    virtual HRESULT get_DestinationHeight(LONG* height) = 0;
    virtual HRESULT SetSourcePosition(LONG left, LONG top, LONG width, LONG height) = 0;
    virtual HRESULT GetSourcePosition(LONG* left, LONG* top, LONG* width, LONG* height) = 0;
    virtual HRESULT SetDefaultSourcePosition() = 0;
    virtual HRESULT SetDestinationPosition(LONG left, LONG top, LONG width, LONG height) = 0;
    virtual HRESULT GetDestinationPosition(LONG* left, LONG* top, LONG* width, LONG* height) = 0;
    virtual HRESULT SetDefaultDestinationPosition() = 0;
    virtual HRESULT GetVideoSize(LONG* width, LONG* height) = 0;
    virtual HRESULT GetVideoPaletteEntries(LONG start, LONG count, LONG* retrieved, LONG* palette) = 0;
    // bufferSize in: bytes available (or a null image to ask the size); out: bytes written.
    virtual HRESULT GetCurrentImage(LONG* bufferSize, LONG* image) = 0;
    virtual HRESULT IsUsingDefaultSource() = 0;
    virtual HRESULT IsUsingDefaultDestination() = 0;

protected:
    ~IBasicVideo() = default;
};
KV_DEFINE_IID(IBasicVideo, "{56A868B5-0AD4-11CE-B03A-0020AF0BA770}");
