#include "support/media/converter.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/media/base/transforminputpin.h"
#include "platform/media/uuids.h"
#include "support/media/test_types.h"

namespace kvtest {

namespace {
const REGPINTYPES kInputTypes[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_TestA}};
const REGPINTYPES kOutputTypes[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_TestB}};
const REGFILTERPINS kPins[] = {
    {u"XForm In", FALSE, FALSE, FALSE, FALSE, nullptr, nullptr, 1, kInputTypes},
    {u"XForm Out", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr, 1, kOutputTypes},
};
const AMOVIESETUP_FILTER kSetup = {&CLSID_TestConverter, u"Test Converter", MERIT_NORMAL, 2, kPins};
}  // namespace

TestConverter::TestConverter(HRESULT* phr) : CTransformFilter("Test converter", nullptr, CLSID_TestConverter, phr) {}

ComPtr<TestConverter> TestConverter::Create() {
    HRESULT hr = S_OK;
    return ComPtr<TestConverter>(new TestConverter(&hr));
}

CUnknown* TestConverter::CreateInstance(IUnknown*, HRESULT* phr) { return new (std::nothrow) TestConverter(phr); }

const AMOVIESETUP_FILTER& TestConverter::SetupData() { return kSetup; }

HRESULT TestConverter::CheckInputType(const CMediaType* in) {
    if (!in) return E_POINTER;
    return *in->Type() == MEDIATYPE_Video && *in->Subtype() == MEDIASUBTYPE_TestA ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TestConverter::CheckTransform(const CMediaType* in, const CMediaType* out) {
    if (!in || !out) return E_POINTER;
    if (CheckInputType(in) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    return *out->Type() == MEDIATYPE_Video && *out->Subtype() == MEDIASUBTYPE_TestB ? S_OK
                                                                                     : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TestConverter::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *mt = VideoType(MEDIASUBTYPE_TestB, m_pInput->CurrentMediaType().GetSampleSize());
    return S_OK;
}

HRESULT TestConverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    ALLOCATOR_PROPERTIES input{};
    if (IMemAllocator* upstream = m_pInput->PeekAllocator()) upstream->GetProperties(&input);
    ALLOCATOR_PROPERTIES want = *props;
    want.cBuffers = std::max({want.cBuffers, input.cBuffers, LONG{2}});
    want.cbBuffer = std::max({want.cbBuffer, input.cbBuffer,
                              static_cast<LONG>(m_pInput->CurrentMediaType().GetSampleSize()), LONG{1}});
    want.cbAlign = std::max(want.cbAlign, LONG{1});
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(&want, &actual);
}

HRESULT TestConverter::Transform(IMediaSample* in, IMediaSample* out) {
    const LONG length = in->GetActualDataLength();
    if (length > out->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    in->GetPointer(&from);
    out->GetPointer(&to);
    if (length > 0) std::memcpy(to, from, static_cast<std::size_t>(length));
    out->SetActualDataLength(length);
    ++converted_;
    return S_OK;
}

}  // namespace kvtest
