#include "platform/media/filters/platform_filters.h"

#include "platform/media/base/builtin_filters.h"
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

}  // namespace

HRESULT KvRegisterPlatformFilterClasses() {
    static const HRESULT result = RegisterBuiltinFilterClasses(kFilters);
    return result;
}

HRESULT KvRegisterPlatformFilterData(bool doRegister) {
    return RegisterBuiltinFilterData(kFilters, doRegister);
}
