#pragma once
// CVideoRenderer (CLSID_VideoRenderer): shows RGB32 DIB frames
// (FORMAT_VideoInfo, positive biHeight: the first row in memory is the bottom
// of the picture) in a Qt child widget. The base class presents each sample
// at its time on the graph clock; samples without times (a live source) are
// shown at once. The streaming thread only converts the frame; the widget is
// touched on the user-interface thread (VideoWindow).
//
// IVideoWindow keeps owner, message drain, style, auto-show, visibility and
// position; the other window properties answer E_NOTIMPL. IBasicVideo
// answers the source size from the connection format.
#include <memory>
#include <mutex>

#include "platform/media/base/baserenderer.h"
#include "platform/media/control.h"
#include "platform/media/formats.h"

class VideoWindow;

class CVideoRenderer : public CBaseRenderer,
                       public DispatchNotImplemented<IVideoWindow>,
                       public DispatchNotImplemented<IBasicVideo> {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);
    ~CVideoRenderer() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    // Paused: the sample held is what the window shows (after a pause or a seek while paused).
    void OnReceiveFirstSample(IMediaSample* sample) override;
    HRESULT OnStartStreaming() override;

    // ---- IVideoWindow ----
    HRESULT put_Caption(BSTR) override { return E_NOTIMPL; }
    HRESULT get_Caption(BSTR*) override { return E_NOTIMPL; }
    HRESULT put_WindowStyle(LONG style) override;
    HRESULT get_WindowStyle(LONG* style) override;
    HRESULT put_WindowStyleEx(LONG) override { return E_NOTIMPL; }
    HRESULT get_WindowStyleEx(LONG*) override { return E_NOTIMPL; }
    HRESULT put_AutoShow(LONG autoShow) override;
    HRESULT get_AutoShow(LONG* autoShow) override;
    HRESULT put_WindowState(LONG) override { return E_NOTIMPL; }
    HRESULT get_WindowState(LONG*) override { return E_NOTIMPL; }
    HRESULT put_BackgroundPalette(LONG) override { return E_NOTIMPL; }
    HRESULT get_BackgroundPalette(LONG*) override { return E_NOTIMPL; }
    HRESULT put_Visible(LONG visible) override;
    HRESULT get_Visible(LONG* visible) override;
    HRESULT put_Left(LONG) override { return E_NOTIMPL; }
    HRESULT get_Left(LONG*) override { return E_NOTIMPL; }
    HRESULT put_Width(LONG) override { return E_NOTIMPL; }
    HRESULT get_Width(LONG*) override { return E_NOTIMPL; }
    HRESULT put_Top(LONG) override { return E_NOTIMPL; }
    HRESULT get_Top(LONG*) override { return E_NOTIMPL; }
    HRESULT put_Height(LONG) override { return E_NOTIMPL; }
    HRESULT get_Height(LONG*) override { return E_NOTIMPL; }
    // The owner's widget becomes the window's parent; 0 makes it top-level.
    HRESULT put_Owner(OAHWND owner) override;
    HRESULT get_Owner(OAHWND* owner) override;
    HRESULT put_MessageDrain(OAHWND drain) override;
    HRESULT get_MessageDrain(OAHWND* drain) override;
    HRESULT get_BorderColor(LONG*) override { return E_NOTIMPL; }
    HRESULT put_BorderColor(LONG) override { return E_NOTIMPL; }
    HRESULT get_FullScreenMode(LONG*) override { return E_NOTIMPL; }
    HRESULT put_FullScreenMode(LONG) override { return E_NOTIMPL; }
    HRESULT SetWindowForeground(LONG) override { return E_NOTIMPL; }
    HRESULT NotifyOwnerMessage(OAHWND, LONG, LONG_PTR, LONG_PTR) override { return E_NOTIMPL; }
    // In the owner's client area; E_INVALIDARG for a negative size.
    HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override;
    HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT GetMinIdealImageSize(LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT GetMaxIdealImageSize(LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT GetRestorePosition(LONG*, LONG*, LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT HideCursor(LONG) override { return E_NOTIMPL; }
    HRESULT IsCursorHidden(LONG*) override { return E_NOTIMPL; }

    // ---- IBasicVideo: sizes of the connected format; VFW_E_NOT_CONNECTED before ----
    HRESULT get_AvgTimePerFrame(REFTIME*) override { return E_NOTIMPL; }
    HRESULT get_BitRate(LONG*) override { return E_NOTIMPL; }
    HRESULT get_BitErrorRate(LONG*) override { return E_NOTIMPL; }
    HRESULT get_VideoWidth(LONG* width) override;
    HRESULT get_VideoHeight(LONG* height) override;
    HRESULT put_SourceLeft(LONG) override { return E_NOTIMPL; }
    HRESULT get_SourceLeft(LONG*) override { return E_NOTIMPL; }
    HRESULT put_SourceWidth(LONG) override { return E_NOTIMPL; }
    HRESULT get_SourceWidth(LONG* width) override;
    HRESULT put_SourceTop(LONG) override { return E_NOTIMPL; }
    HRESULT get_SourceTop(LONG*) override { return E_NOTIMPL; }
    HRESULT put_SourceHeight(LONG) override { return E_NOTIMPL; }
    HRESULT get_SourceHeight(LONG* height) override;
    HRESULT put_DestinationLeft(LONG) override { return E_NOTIMPL; }
    HRESULT get_DestinationLeft(LONG*) override { return E_NOTIMPL; }
    HRESULT put_DestinationWidth(LONG) override { return E_NOTIMPL; }
    HRESULT get_DestinationWidth(LONG*) override { return E_NOTIMPL; }
    HRESULT put_DestinationTop(LONG) override { return E_NOTIMPL; }
    HRESULT get_DestinationTop(LONG*) override { return E_NOTIMPL; }
    HRESULT put_DestinationHeight(LONG) override { return E_NOTIMPL; }
    HRESULT get_DestinationHeight(LONG*) override { return E_NOTIMPL; }
    HRESULT SetSourcePosition(LONG, LONG, LONG, LONG) override { return E_NOTIMPL; }
    HRESULT GetSourcePosition(LONG*, LONG*, LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT SetDefaultSourcePosition() override { return E_NOTIMPL; }
    HRESULT SetDestinationPosition(LONG, LONG, LONG, LONG) override { return E_NOTIMPL; }
    HRESULT GetDestinationPosition(LONG*, LONG*, LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT SetDefaultDestinationPosition() override { return E_NOTIMPL; }
    HRESULT GetVideoSize(LONG* width, LONG* height) override;
    HRESULT GetVideoPaletteEntries(LONG, LONG, LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT GetCurrentImage(LONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT IsUsingDefaultSource() override { return E_NOTIMPL; }
    HRESULT IsUsingDefaultDestination() override { return E_NOTIMPL; }

private:
    CVideoRenderer(IUnknown* outer, HRESULT* phr);
    // width and height of the agreed format (height as shown, always positive).
    HRESULT SourceSize(LONG* width, LONG* height);

    std::mutex formatLock_;
    BITMAPINFOHEADER header_{};  // guarded by formatLock_; biWidth 0 while unconnected
    const std::shared_ptr<VideoWindow> window_;
};
