#include "support/media/test_types.h"

#include "platform/media/uuids.h"

namespace kvtest {

CMediaType DvInterleavedType() {
    CMediaType mt(&MEDIATYPE_Interleaved);
    mt.SetSubtype(&MEDIASUBTYPE_dvsd);
    mt.SetFormatType(&FORMAT_DvInfo);
    mt.SetSampleSize(144000);
    DVINFO info{};
    mt.SetFormat(reinterpret_cast<const BYTE*>(&info), sizeof(info));
    return mt;
}

CMediaType VideoType(const GUID& subtype, ULONG sampleSize) {
    CMediaType mt(&MEDIATYPE_Video);
    mt.SetSubtype(&subtype);
    mt.SetFormatType(&FORMAT_None);
    if (sampleSize) mt.SetSampleSize(sampleSize);
    return mt;
}

CMediaType PartialType(const GUID& major, const GUID& subtype) {
    CMediaType mt;
    mt.SetType(&major);
    mt.SetSubtype(&subtype);
    return mt;
}

}  // namespace kvtest
