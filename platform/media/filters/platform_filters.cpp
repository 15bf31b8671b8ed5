#include "platform/media/filters/platform_filters.h"

#include "platform/com/class_factory.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/filters/avimux/avi_mux.h"
#include "platform/media/filters/avisource/avi_source.h"
#include "platform/media/filters/dvdec/dv_video_codec.h"
#include "platform/media/filters/dvsplit/dv_splitter.h"
#include "platform/media/filters/filewriter/file_writer.h"
#include "platform/media/uuids.h"

namespace {

const REGPINTYPES kMuxIn[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_dvsd},
                              {&MEDIATYPE_Interleaved, &MEDIASUBTYPE_dvsd},
                              {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM}};
const REGPINTYPES kAviStream = {&MEDIATYPE_Stream, &MEDIASUBTYPE_Avi};
const AMOVIESETUP_PIN kMuxPins[] = {
    {u"Input 00", FALSE, FALSE, FALSE, FALSE, nullptr, nullptr, 3, kMuxIn},
    {u"AVI Out", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr, 1, &kAviStream},
};
const AMOVIESETUP_PIN kWriterPins[] = {{u"in", TRUE, FALSE, FALSE, FALSE, nullptr, nullptr, 1, &kAviStream}};
const AMOVIESETUP_FILTER kMuxSetup = {&CLSID_AviDest, u"AVI Mux", MERIT_DO_NOT_USE, 2, kMuxPins};
const AMOVIESETUP_FILTER kWriterSetup = {&CLSID_FileWriter, u"File writer", MERIT_DO_NOT_USE, 1, kWriterPins};

const CFactoryTemplate kFilters[] = {
    {u"DV Video Decoder", &CLSID_DVVideoCodec, CDvVideoCodec::CreateInstance, nullptr, &kDvVideoCodecSetup},
    {u"DV Splitter", &CLSID_DVSplitter, CDvSplitter::CreateInstance, nullptr, &kDvSplitterSetup},
    {u"AVI Mux", &CLSID_AviDest, CAviMux::CreateInstance, nullptr, &kMuxSetup},
    {u"File writer", &CLSID_FileWriter, CFileWriter::CreateInstance, nullptr, &kWriterSetup},
    {u"DV AVI Source", &CLSID_AviSplitter, CAviSource::CreateInstance, nullptr, &kAviSourceSetup},
};

HRESULT RegisterClasses() {
    for (const CFactoryTemplate& row : kFilters) {
        const ComPtr<IClassFactory> factory(new CClassFactory(&row));
        if (const HRESULT hr = CoRegisterBuiltinClass(*row.m_ClsID, factory.Get()); FAILED(hr)) return hr;
    }
    return S_OK;
}

}  // namespace

HRESULT KvRegisterPlatformFilterClasses() {
    static const HRESULT result = RegisterClasses();
    return result;
}

HRESULT KvRegisterPlatformFilterData(bool doRegister) {
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper.GetVoidAddress());
    if (FAILED(hr)) return hr;
    for (const CFactoryTemplate& row : kFilters) {
        const AMOVIESETUP_FILTER& setup = *row.m_pAMovieSetup_Filter;
        if (!doRegister) {
            mapper->UnregisterFilter(nullptr, nullptr, *row.m_ClsID);
            continue;
        }
        REGFILTER2 data{};
        data.dwVersion = 1;
        data.dwMerit = setup.dwMerit;
        data.cPins = setup.nPins;
        data.rgPins = setup.lpPin;
        if (FAILED(hr = mapper->RegisterFilter(*row.m_ClsID, setup.strName, nullptr, nullptr, nullptr, &data)))
            return hr;
    }
    return S_OK;
}
