#include "platform/media/base/transinplacefilter.h"

#include <algorithm>
#include <cstring>

#include "platform/com/com_ptr.h"
#include "platform/media/base/transinplaceinputpin.h"
#include "platform/media/base/transinplaceoutputpin.h"

CTransInPlaceFilter::CTransInPlaceFilter(const char* name, IUnknown* outer, REFCLSID clsid, HRESULT* phr,
                                         bool modifiesData)
    : CTransformFilter(name, outer, clsid, phr), m_bModifiesData(modifiesData) {}

void CTransInPlaceFilter::MakePins() {
    HRESULT hr = S_OK;
    m_pInput = std::make_unique<CTransInPlaceInputPin>("TransInPlace input pin", this, &hr, u"Input");
    m_pOutput = std::make_unique<CTransInPlaceOutputPin>("TransInPlace output pin", this, &hr, u"Output");
}

CTransInPlaceInputPin* CTransInPlaceFilter::InputPin() const {
    return static_cast<CTransInPlaceInputPin*>(m_pInput.get());
}

CTransInPlaceOutputPin* CTransInPlaceFilter::OutputPin() const {
    return static_cast<CTransInPlaceOutputPin*>(m_pOutput.get());
}

HRESULT CTransInPlaceFilter::CheckTransform(const CMediaType*, const CMediaType*) { return S_OK; }

HRESULT CTransInPlaceFilter::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (position > 0 || !m_pInput || !m_pInput->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    *mt = m_pInput->CurrentMediaType();
    return S_OK;
}

HRESULT CTransInPlaceFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    ALLOCATOR_PROPERTIES want = *props;
    ALLOCATOR_PROPERTIES input{};
    if (IMemAllocator* upstream = m_pInput ? m_pInput->PeekAllocator() : nullptr) upstream->GetProperties(&input);
    want.cBuffers = std::max({want.cBuffers, input.cBuffers, LONG{1}});
    want.cbBuffer = std::max({want.cbBuffer, input.cbBuffer,
                              static_cast<LONG>(m_pInput ? m_pInput->CurrentMediaType().GetSampleSize() : 0)});
    want.cbAlign = std::max({want.cbAlign, input.cbAlign, LONG{1}});
    want.cbPrefix = std::max(want.cbPrefix, input.cbPrefix);
    if (want.cbBuffer <= 0) return VFW_E_SIZENOTSET;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&want, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < want.cbBuffer ? E_FAIL : S_OK;
}

bool CTransInPlaceFilter::UsingDifferentAllocators() const {
    return m_pInput->PeekAllocator() != m_pOutput->Allocator();
}

IMediaSample* CTransInPlaceFilter::Copy(IMediaSample* source) {
    IMediaSample* out = nullptr;
    if (FAILED(InitializeOutputSample(source, &out))) return nullptr;
    const LONG length = source->GetActualDataLength();
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    if (length > out->GetSize() || FAILED(source->GetPointer(&from)) || FAILED(out->GetPointer(&to))) {
        out->Release();
        return nullptr;
    }
    if (length > 0) std::memcpy(to, from, static_cast<std::size_t>(length));
    out->SetActualDataLength(length);
    AM_MEDIA_TYPE* attached = nullptr;
    if (source->GetMediaType(&attached) == S_OK && attached) {
        out->SetMediaType(attached);
        DeleteMediaType(attached);
    }
    return out;
}

HRESULT CTransInPlaceFilter::Receive(IMediaSample* sample) {
    ComPtr<IMediaSample> working;
    if (UsingDifferentAllocators() || (m_bModifiesData && m_pInput->IsReadOnly())) {
        working.Attach(Copy(sample));
        if (!working) return E_UNEXPECTED;
        ++m_copies;
    } else {
        working = sample;
    }
    const HRESULT hr = Transform(working.Get());
    if (hr == S_FALSE) return S_OK;
    if (FAILED(hr)) return hr;
    return m_pOutput->Deliver(working.Get());
}
