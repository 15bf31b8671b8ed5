#include "support/media/inplace_transform.h"

#include <new>

#include "support/media/test_types.h"

namespace kvtest {

TestInPlaceTransform::TestInPlaceTransform(bool mark, BYTE markByte, HRESULT* phr)
    : CTransInPlaceFilter("Test in-place transform", nullptr, CLSID_TestInPlace, phr, mark),
      mark_(mark),
      markByte_(markByte) {}

ComPtr<TestInPlaceTransform> TestInPlaceTransform::Create(bool mark, BYTE markByte) {
    HRESULT hr = S_OK;
    return ComPtr<TestInPlaceTransform>(new TestInPlaceTransform(mark, markByte, &hr));
}

CUnknown* TestInPlaceTransform::CreateInstance(IUnknown*, HRESULT* phr) {
    return new (std::nothrow) TestInPlaceTransform(false, 0, phr);
}

HRESULT TestInPlaceTransform::CheckInputType(const CMediaType* mt) {
    return mt && mt->IsValid() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TestInPlaceTransform::Transform(IMediaSample* sample) {
    ++transformed_;
    if (mark_ && sample->GetActualDataLength() > 0) {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        data[0] = markByte_;
    }
    return S_OK;
}

}  // namespace kvtest
