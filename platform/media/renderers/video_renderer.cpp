#include "platform/media/renderers/video_renderer.h"

#include <QImage>

#include <cstring>

#include "platform/media/renderers/video_window.h"
#include "platform/media/uuids.h"

namespace {
// Frames beyond this size are refused rather than allocated.
constexpr LONG kLargestSide = 8192;

// The bitmap header of an acceptable type, or null.
const BITMAPINFOHEADER* AcceptedHeader(const CMediaType& mt) {
    if (mt.majortype != MEDIATYPE_Video || mt.subtype != MEDIASUBTYPE_RGB32 || mt.formattype != FORMAT_VideoInfo ||
        !mt.Format() || mt.FormatLength() < sizeof(VIDEOINFOHEADER))
        return nullptr;
    const auto* header = &reinterpret_cast<const VIDEOINFOHEADER*>(mt.Format())->bmiHeader;
    const bool fits = header->biBitCount == 32 && header->biCompression == BI_RGB && header->biWidth > 0 &&
                      header->biHeight > 0 && header->biWidth <= kLargestSide && header->biHeight <= kLargestSide;
    return fits ? header : nullptr;
}

LONG AsOaBool(bool value) { return value ? OATRUE : OAFALSE; }

// The frame in the sample as a top-down image; null when the sample is too short.
QImage FrameOf(IMediaSample* sample, const BITMAPINFOHEADER& header) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return {};
    const LONG stride = DibWidthBytes(header.biWidth, 32);
    if (sample->GetActualDataLength() < static_cast<long long>(stride) * header.biHeight) return {};
    QImage frame(header.biWidth, header.biHeight, QImage::Format_RGB32);
    if (frame.isNull()) return {};
    // DIB rows run bottom to top; the image's run top to bottom.
    for (LONG row = 0; row < header.biHeight; ++row)
        std::memcpy(frame.scanLine(header.biHeight - 1 - row), data + static_cast<size_t>(row) * stride,
                    static_cast<size_t>(header.biWidth) * 4);
    return frame;
}
}  // namespace

CUnknown* CVideoRenderer::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* renderer = new CVideoRenderer(outer, phr);
    if (FAILED(*phr)) {
        delete renderer;
        return nullptr;
    }
    return renderer;
}

CVideoRenderer::CVideoRenderer(IUnknown* outer, HRESULT* phr)
    : CBaseRenderer(CLSID_VideoRenderer, "Video Renderer", outer, phr), window_(VideoWindow::Create()) {}

CVideoRenderer::~CVideoRenderer() { window_->Close(); }

HRESULT CVideoRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IVideoWindow) return GetInterface(static_cast<IVideoWindow*>(this), ppv);
    if (riid == IID_IBasicVideo) return GetInterface(static_cast<IBasicVideo*>(this), ppv);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CVideoRenderer::CheckMediaType(const CMediaType* mt) {
    return mt && AcceptedHeader(*mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoRenderer::SetMediaType(const CMediaType* mt) {
    const BITMAPINFOHEADER* header = mt ? AcceptedHeader(*mt) : nullptr;
    if (!header) return VFW_E_TYPE_NOT_ACCEPTED;
    std::scoped_lock lock(formatLock_);
    header_ = *header;
    return S_OK;
}

HRESULT CVideoRenderer::OnStartStreaming() {
    window_->StreamingStarted();
    return S_OK;
}

HRESULT CVideoRenderer::DoRenderSample(IMediaSample* sample) {
    BITMAPINFOHEADER header;
    {
        std::scoped_lock lock(formatLock_);
        header = header_;
    }
    if (header.biWidth == 0) return S_OK;
    QImage frame = FrameOf(sample, header);
    if (!frame.isNull()) window_->ShowFrame(std::move(frame));
    return S_OK;
}

void CVideoRenderer::OnReceiveFirstSample(IMediaSample* sample) { DoRenderSample(sample); }

// ---- IVideoWindow ------------------------------------------------------------------

HRESULT CVideoRenderer::put_WindowStyle(LONG style) {
    window_->Change([style](VideoWindow::Settings& settings) { settings.style = style; });
    return S_OK;
}

HRESULT CVideoRenderer::get_WindowStyle(LONG* style) {
    if (!style) return E_POINTER;
    *style = window_->Current().style;
    return S_OK;
}

HRESULT CVideoRenderer::put_AutoShow(LONG autoShow) {
    window_->Change([autoShow](VideoWindow::Settings& settings) { settings.autoShow = autoShow != OAFALSE; });
    return S_OK;
}

HRESULT CVideoRenderer::get_AutoShow(LONG* autoShow) {
    if (!autoShow) return E_POINTER;
    *autoShow = AsOaBool(window_->Current().autoShow);
    return S_OK;
}

HRESULT CVideoRenderer::put_Visible(LONG visible) {
    window_->Change([visible](VideoWindow::Settings& settings) { settings.visible = visible != OAFALSE; });
    return S_OK;
}

HRESULT CVideoRenderer::get_Visible(LONG* visible) {
    if (!visible) return E_POINTER;
    *visible = AsOaBool(window_->Current().visible);
    return S_OK;
}

HRESULT CVideoRenderer::put_Owner(OAHWND owner) {
    window_->Change([owner](VideoWindow::Settings& settings) { settings.owner = owner; });
    return S_OK;
}

HRESULT CVideoRenderer::get_Owner(OAHWND* owner) {
    if (!owner) return E_POINTER;
    *owner = window_->Current().owner;
    return S_OK;
}

HRESULT CVideoRenderer::put_MessageDrain(OAHWND drain) {
    window_->Change([drain](VideoWindow::Settings& settings) { settings.drain = drain; });
    return S_OK;
}

HRESULT CVideoRenderer::get_MessageDrain(OAHWND* drain) {
    if (!drain) return E_POINTER;
    *drain = window_->Current().drain;
    return S_OK;
}

HRESULT CVideoRenderer::SetWindowPosition(LONG left, LONG top, LONG width, LONG height) {
    if (width < 0 || height < 0) return E_INVALIDARG;
    window_->Change([=](VideoWindow::Settings& settings) { settings.position = QRect(left, top, width, height); });
    return S_OK;
}

HRESULT CVideoRenderer::GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) {
    if (!left || !top || !width || !height) return E_POINTER;
    const QRect position = window_->Current().position;
    *left = position.left();
    *top = position.top();
    *width = position.width();
    *height = position.height();
    return S_OK;
}

// ---- IBasicVideo --------------------------------------------------------------------

HRESULT CVideoRenderer::SourceSize(LONG* width, LONG* height) {
    std::scoped_lock lock(formatLock_);
    if (header_.biWidth == 0) return VFW_E_NOT_CONNECTED;
    if (width) *width = header_.biWidth;
    if (height) *height = header_.biHeight;
    return S_OK;
}

HRESULT CVideoRenderer::GetVideoSize(LONG* width, LONG* height) {
    if (!width || !height) return E_POINTER;
    return SourceSize(width, height);
}

HRESULT CVideoRenderer::get_VideoWidth(LONG* width) { return width ? SourceSize(width, nullptr) : E_POINTER; }
HRESULT CVideoRenderer::get_VideoHeight(LONG* height) { return height ? SourceSize(nullptr, height) : E_POINTER; }
HRESULT CVideoRenderer::get_SourceWidth(LONG* width) { return width ? SourceSize(width, nullptr) : E_POINTER; }
HRESULT CVideoRenderer::get_SourceHeight(LONG* height) { return height ? SourceSize(nullptr, height) : E_POINTER; }
