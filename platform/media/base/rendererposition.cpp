#include "platform/media/base/rendererposition.h"

CRendererPosition::CRendererPosition(IUnknown* outer, HRESULT* phr, IPin* pin,
                                     std::function<std::optional<REFERENCE_TIME>()> presented)
    : CPosPassThru("Renderer seeking", outer, phr, pin), presented_(std::move(presented)) {}

bool CRendererPosition::Presented(LONGLONG* current) {
    const std::optional<REFERENCE_TIME> time = presented_();
    if (!time) return false;
    GUID format = TIME_FORMAT_MEDIA_TIME;
    if (FAILED(GetTimeFormat(&format))) return false;
    if (format == TIME_FORMAT_MEDIA_TIME) {
        *current = *time;
        return true;
    }
    return SUCCEEDED(ConvertTimeFormat(current, &format, *time, &TIME_FORMAT_MEDIA_TIME));
}

HRESULT CRendererPosition::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    if (Presented(current)) return S_OK;
    return CPosPassThru::GetCurrentPosition(current);
}

HRESULT CRendererPosition::GetPositions(LONGLONG* current, LONGLONG* stop) {
    const HRESULT hr = CPosPassThru::GetPositions(current, stop);
    if (SUCCEEDED(hr) && current) Presented(current);
    return hr;
}
