// FilterGraph: IBasicAudio, IBasicVideo and IVideoWindow, each passed to the
// first filter in the graph's order that offers the interface (the audio
// renderer, the video renderer). E_NOINTERFACE while no filter does.
#include "platform/media/graph/filter_graph.h"

namespace kvmedia {

HRESULT FilterGraph::put_Volume(LONG volume) { return Forward(&IBasicAudio::put_Volume, volume); }
HRESULT FilterGraph::get_Volume(LONG* volume) { return Forward(&IBasicAudio::get_Volume, volume); }
HRESULT FilterGraph::put_Balance(LONG balance) { return Forward(&IBasicAudio::put_Balance, balance); }
HRESULT FilterGraph::get_Balance(LONG* balance) { return Forward(&IBasicAudio::get_Balance, balance); }

HRESULT FilterGraph::get_AvgTimePerFrame(REFTIME* time) { return Forward(&IBasicVideo::get_AvgTimePerFrame, time); }
HRESULT FilterGraph::get_BitRate(LONG* rate) { return Forward(&IBasicVideo::get_BitRate, rate); }
HRESULT FilterGraph::get_BitErrorRate(LONG* rate) { return Forward(&IBasicVideo::get_BitErrorRate, rate); }
HRESULT FilterGraph::get_VideoWidth(LONG* width) { return Forward(&IBasicVideo::get_VideoWidth, width); }
HRESULT FilterGraph::get_VideoHeight(LONG* height) { return Forward(&IBasicVideo::get_VideoHeight, height); }
HRESULT FilterGraph::put_SourceLeft(LONG left) { return Forward(&IBasicVideo::put_SourceLeft, left); }
HRESULT FilterGraph::get_SourceLeft(LONG* left) { return Forward(&IBasicVideo::get_SourceLeft, left); }
HRESULT FilterGraph::put_SourceWidth(LONG width) { return Forward(&IBasicVideo::put_SourceWidth, width); }
HRESULT FilterGraph::get_SourceWidth(LONG* width) { return Forward(&IBasicVideo::get_SourceWidth, width); }
HRESULT FilterGraph::put_SourceTop(LONG top) { return Forward(&IBasicVideo::put_SourceTop, top); }
HRESULT FilterGraph::get_SourceTop(LONG* top) { return Forward(&IBasicVideo::get_SourceTop, top); }
HRESULT FilterGraph::put_SourceHeight(LONG height) { return Forward(&IBasicVideo::put_SourceHeight, height); }
HRESULT FilterGraph::get_SourceHeight(LONG* height) { return Forward(&IBasicVideo::get_SourceHeight, height); }
HRESULT FilterGraph::put_DestinationLeft(LONG left) { return Forward(&IBasicVideo::put_DestinationLeft, left); }
HRESULT FilterGraph::get_DestinationLeft(LONG* left) { return Forward(&IBasicVideo::get_DestinationLeft, left); }
HRESULT FilterGraph::put_DestinationWidth(LONG width) { return Forward(&IBasicVideo::put_DestinationWidth, width); }
HRESULT FilterGraph::get_DestinationWidth(LONG* width) { return Forward(&IBasicVideo::get_DestinationWidth, width); }
HRESULT FilterGraph::put_DestinationTop(LONG top) { return Forward(&IBasicVideo::put_DestinationTop, top); }
HRESULT FilterGraph::get_DestinationTop(LONG* top) { return Forward(&IBasicVideo::get_DestinationTop, top); }
HRESULT FilterGraph::put_DestinationHeight(LONG height) { return Forward(&IBasicVideo::put_DestinationHeight, height); }
HRESULT FilterGraph::get_DestinationHeight(LONG* height) { return Forward(&IBasicVideo::get_DestinationHeight, height); }
HRESULT FilterGraph::SetSourcePosition(LONG left, LONG top, LONG width, LONG height) { return Forward(&IBasicVideo::SetSourcePosition, left, top, width, height); }
HRESULT FilterGraph::GetSourcePosition(LONG* left, LONG* top, LONG* width, LONG* height) { return Forward(&IBasicVideo::GetSourcePosition, left, top, width, height); }
HRESULT FilterGraph::SetDefaultSourcePosition() { return Forward(&IBasicVideo::SetDefaultSourcePosition); }
HRESULT FilterGraph::SetDestinationPosition(LONG left, LONG top, LONG width, LONG height) { return Forward(&IBasicVideo::SetDestinationPosition, left, top, width, height); }
HRESULT FilterGraph::GetDestinationPosition(LONG* left, LONG* top, LONG* width, LONG* height) { return Forward(&IBasicVideo::GetDestinationPosition, left, top, width, height); }
HRESULT FilterGraph::SetDefaultDestinationPosition() { return Forward(&IBasicVideo::SetDefaultDestinationPosition); }
HRESULT FilterGraph::GetVideoSize(LONG* width, LONG* height) { return Forward(&IBasicVideo::GetVideoSize, width, height); }
HRESULT FilterGraph::GetVideoPaletteEntries(LONG start, LONG count, LONG* retrieved, LONG* palette) { return Forward(&IBasicVideo::GetVideoPaletteEntries, start, count, retrieved, palette); }
HRESULT FilterGraph::GetCurrentImage(LONG* bufferSize, LONG* image) { return Forward(&IBasicVideo::GetCurrentImage, bufferSize, image); }
HRESULT FilterGraph::IsUsingDefaultSource() { return Forward(&IBasicVideo::IsUsingDefaultSource); }
HRESULT FilterGraph::IsUsingDefaultDestination() { return Forward(&IBasicVideo::IsUsingDefaultDestination); }

HRESULT FilterGraph::put_Caption(BSTR caption) { return Forward(&IVideoWindow::put_Caption, caption); }
HRESULT FilterGraph::get_Caption(BSTR* caption) { return Forward(&IVideoWindow::get_Caption, caption); }
HRESULT FilterGraph::put_WindowStyle(LONG style) { return Forward(&IVideoWindow::put_WindowStyle, style); }
HRESULT FilterGraph::get_WindowStyle(LONG* style) { return Forward(&IVideoWindow::get_WindowStyle, style); }
HRESULT FilterGraph::put_WindowStyleEx(LONG style) { return Forward(&IVideoWindow::put_WindowStyleEx, style); }
HRESULT FilterGraph::get_WindowStyleEx(LONG* style) { return Forward(&IVideoWindow::get_WindowStyleEx, style); }
HRESULT FilterGraph::put_AutoShow(LONG autoShow) { return Forward(&IVideoWindow::put_AutoShow, autoShow); }
HRESULT FilterGraph::get_AutoShow(LONG* autoShow) { return Forward(&IVideoWindow::get_AutoShow, autoShow); }
HRESULT FilterGraph::put_WindowState(LONG state) { return Forward(&IVideoWindow::put_WindowState, state); }
HRESULT FilterGraph::get_WindowState(LONG* state) { return Forward(&IVideoWindow::get_WindowState, state); }
HRESULT FilterGraph::put_BackgroundPalette(LONG backgroundPalette) { return Forward(&IVideoWindow::put_BackgroundPalette, backgroundPalette); }
HRESULT FilterGraph::get_BackgroundPalette(LONG* backgroundPalette) { return Forward(&IVideoWindow::get_BackgroundPalette, backgroundPalette); }
HRESULT FilterGraph::put_Visible(LONG visible) { return Forward(&IVideoWindow::put_Visible, visible); }
HRESULT FilterGraph::get_Visible(LONG* visible) { return Forward(&IVideoWindow::get_Visible, visible); }
HRESULT FilterGraph::put_Left(LONG left) { return Forward(&IVideoWindow::put_Left, left); }
HRESULT FilterGraph::get_Left(LONG* left) { return Forward(&IVideoWindow::get_Left, left); }
HRESULT FilterGraph::put_Width(LONG width) { return Forward(&IVideoWindow::put_Width, width); }
HRESULT FilterGraph::get_Width(LONG* width) { return Forward(&IVideoWindow::get_Width, width); }
HRESULT FilterGraph::put_Top(LONG top) { return Forward(&IVideoWindow::put_Top, top); }
HRESULT FilterGraph::get_Top(LONG* top) { return Forward(&IVideoWindow::get_Top, top); }
HRESULT FilterGraph::put_Height(LONG height) { return Forward(&IVideoWindow::put_Height, height); }
HRESULT FilterGraph::get_Height(LONG* height) { return Forward(&IVideoWindow::get_Height, height); }
HRESULT FilterGraph::put_Owner(OAHWND owner) { return Forward(&IVideoWindow::put_Owner, owner); }
HRESULT FilterGraph::get_Owner(OAHWND* owner) { return Forward(&IVideoWindow::get_Owner, owner); }
HRESULT FilterGraph::put_MessageDrain(OAHWND drain) { return Forward(&IVideoWindow::put_MessageDrain, drain); }
HRESULT FilterGraph::get_MessageDrain(OAHWND* drain) { return Forward(&IVideoWindow::get_MessageDrain, drain); }
HRESULT FilterGraph::get_BorderColor(LONG* color) { return Forward(&IVideoWindow::get_BorderColor, color); }
HRESULT FilterGraph::put_BorderColor(LONG color) { return Forward(&IVideoWindow::put_BorderColor, color); }
HRESULT FilterGraph::get_FullScreenMode(LONG* fullScreen) { return Forward(&IVideoWindow::get_FullScreenMode, fullScreen); }
HRESULT FilterGraph::put_FullScreenMode(LONG fullScreen) { return Forward(&IVideoWindow::put_FullScreenMode, fullScreen); }
HRESULT FilterGraph::SetWindowForeground(LONG focus) { return Forward(&IVideoWindow::SetWindowForeground, focus); }
HRESULT FilterGraph::NotifyOwnerMessage(OAHWND window, LONG message, LONG_PTR wParam, LONG_PTR lParam) { return Forward(&IVideoWindow::NotifyOwnerMessage, window, message, wParam, lParam); }
HRESULT FilterGraph::SetWindowPosition(LONG left, LONG top, LONG width, LONG height) { return Forward(&IVideoWindow::SetWindowPosition, left, top, width, height); }
HRESULT FilterGraph::GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) { return Forward(&IVideoWindow::GetWindowPosition, left, top, width, height); }
HRESULT FilterGraph::GetMinIdealImageSize(LONG* width, LONG* height) { return Forward(&IVideoWindow::GetMinIdealImageSize, width, height); }
HRESULT FilterGraph::GetMaxIdealImageSize(LONG* width, LONG* height) { return Forward(&IVideoWindow::GetMaxIdealImageSize, width, height); }
HRESULT FilterGraph::GetRestorePosition(LONG* left, LONG* top, LONG* width, LONG* height) { return Forward(&IVideoWindow::GetRestorePosition, left, top, width, height); }
HRESULT FilterGraph::HideCursor(LONG hide) { return Forward(&IVideoWindow::HideCursor, hide); }
HRESULT FilterGraph::IsCursorHidden(LONG* hidden) { return Forward(&IVideoWindow::IsCursorHidden, hidden); }

}  // namespace kvmedia
