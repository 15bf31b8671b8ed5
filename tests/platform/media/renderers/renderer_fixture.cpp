#include "renderer_fixture.h"

#include "platform/com/objbase.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

namespace kvtest {

CMediaType Rgb32Type(LONG width, LONG height) {
    VIDEOINFOHEADER info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(DibWidthBytes(width, 32) * (height < 0 ? -height : height));
    CMediaType mt(&MEDIATYPE_Video);
    mt.SetSubtype(&MEDIASUBTYPE_RGB32);
    mt.SetFormatType(&FORMAT_VideoInfo);
    mt.SetSampleSize(info.bmiHeader.biSizeImage);
    mt.SetFormat(reinterpret_cast<const BYTE*>(&info), sizeof(info));
    return mt;
}

CMediaType PcmType(DWORD rate, WORD channels, WORD bits) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    CMediaType mt(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_PCM);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    mt.SetSampleSize(format.nBlockAlign);
    mt.SetFormat(reinterpret_cast<const BYTE*>(&format), sizeof(format));
    return mt;
}

void RendererGraph::MakeGraph(REFCLSID rendererClass) {
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.GetVoidAddress()),
              S_OK);
    ASSERT_EQ(graph.As(&control), S_OK);
    ASSERT_EQ(graph.As(&events), S_OK);
    ASSERT_EQ(CoCreateInstance(rendererClass, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               renderer.GetVoidAddress()),
              S_OK);
    ASSERT_EQ(graph->AddFilter(renderer.Get(), u"Renderer"), S_OK);
}

HRESULT RendererGraph::ConnectSource(const PushSourceConfig& config) {
    source = TestPushSource::Create(config);
    HRESULT hr = graph->AddFilter(source.Get(), u"Source");
    if (FAILED(hr)) return hr;
    IPin* in = nullptr;
    if (FAILED(hr = renderer->FindPin(u"In", &in))) return hr;
    hr = graph->ConnectDirect(source->OutputPin(), in, nullptr);
    in->Release();
    return hr;
}

LONG RendererGraph::RunToCompletion(LONG msTimeout) {
    if (FAILED(control->Run())) return 0;
    LONG code = 0;
    return events->WaitForCompletion(msTimeout, &code) == S_OK ? code : 0;
}

void RendererGraph::TearDown() {
    if (control) control->Stop();
}

}  // namespace kvtest
