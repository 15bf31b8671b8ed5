#include "filters/relaysink/relay_sink_object.h"

#include <cstring>
#include <new>

#include "platform/com/task_memory.h"
#include "platform/media/uuids.h"

namespace {

// The automation seeking interface. The platform implements only
// IMediaSeeking, so the pass-through answers this one with E_NOINTERFACE;
// it is routed there all the same, where a seeking request belongs.
constexpr IID kIidMediaPosition = MakeGuid("{56A868B2-0AD4-11CE-B03A-0020AF0BA770}");

}  // namespace

CUnknown* RelaySinkObject::CreateInstance(IUnknown* outer, HRESULT* phr) {
    HRESULT hr = S_OK;
    auto* object = new (std::nothrow) RelaySinkObject(outer, &hr);
    if (!object) hr = E_OUTOFMEMORY;
    if (phr) *phr = hr;
    return object;
}

RelaySinkObject::RelaySinkObject(IUnknown* outer, HRESULT* phr) : CUnknown("Relay sink object", outer) {
    try {
        filter_ = std::make_unique<RelaySinkFilter>(GetOwner(), &filterLock_);
        pin_ = std::make_unique<RelaySinkInputPin>(filter_.get(), &filterLock_, &receiveLock_, phr);
        filter_->SetPin(pin_.get());
    } catch (const std::bad_alloc&) {
        *phr = E_OUTOFMEMORY;
    }
}

RelaySinkObject::~RelaySinkObject() = default;

HRESULT RelaySinkObject::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    CAutoLock hold(&filterLock_);
    if (riid == IID_IRelaySink) return GetInterface(static_cast<IRelaySink*>(filter_.get()), ppv);
    if (riid == IID_IFileSinkFilter) return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
    if (riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist)
        return filter_->NonDelegatingQueryInterface(riid, ppv);
    if (riid == kIidMediaPosition || riid == IID_IMediaSeeking) return GetPassThrough(riid, ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT RelaySinkObject::GetPassThrough(REFIID riid, void** ppv) {
    if (!passThrough_) {
        HRESULT hr = S_OK;
        try {
            passThrough_ = std::make_unique<CPosPassThru>("Relay sink seeking", GetOwner(), &hr, pin_.get());
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        if (FAILED(hr)) {
            passThrough_.reset();
            return hr;
        }
    }
    return passThrough_->NonDelegatingQueryInterface(riid, ppv);
}

HRESULT RelaySinkObject::SetFileName(LPCOLESTR file, const AM_MEDIA_TYPE*) {
    if (!file) return E_POINTER;
    CAutoLock hold(&filterLock_);
    fileSinkName_ = bstr_t(file);
    return S_OK;
}

HRESULT RelaySinkObject::GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) {
    if (!file) return E_POINTER;
    CAutoLock hold(&filterLock_);
    *file = nullptr;
    if (!fileSinkName_.empty()) {
        const std::size_t bytes = (fileSinkName_.length() + 1) * sizeof(OLECHAR);
        *file = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!*file) return E_OUTOFMEMORY;
        std::memcpy(*file, fileSinkName_.c_str(), bytes);
    }
    if (mt) {
        *mt = AM_MEDIA_TYPE{};
        mt->subtype = MEDIASUBTYPE_dvsd;
        mt->formattype = FORMAT_DvInfo;
    }
    return S_OK;
}
