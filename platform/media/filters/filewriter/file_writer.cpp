#include "platform/media/filters/filewriter/file_writer.h"

#include <algorithm>
#include <unistd.h>

#include <cstring>

#include "platform/com/task_memory.h"
#include "platform/com/utf.h"
#include "platform/media/filters/avi/unique_file.h"
#include "platform/media/uuids.h"

CUnknown* CFileWriter::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* writer = new CFileWriter(outer, phr);
    if (FAILED(*phr)) {
        delete writer;
        return nullptr;
    }
    return writer;
}

CFileWriter::CFileWriter(IUnknown* outer, HRESULT* phr)
    : CBaseFilter("File Writer", outer, &filterLock_, CLSID_FileWriter, phr),
      input_(std::make_unique<InputPin>(this, &filterLock_, phr)) {}

HRESULT CFileWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IFileSinkFilter) return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
    if (riid == IID_IKvFileSink) return GetInterface(static_cast<IKvFileSink*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* CFileWriter::GetPin(int n) { return n == 0 ? input_.get() : nullptr; }

HRESULT CFileWriter::Pause() {
    CAutoLock lock(&filterLock_);
    if (IsStopped()) {
        std::scoped_lock names(nameLock_);
        runName_ = pendingName_;
        usedName_.clear();
    }
    return CBaseFilter::Pause();
}

HRESULT CFileWriter::SetFileName(LPCOLESTR file, const AM_MEDIA_TYPE*) {
    if (!file) return E_POINTER;
    std::string name = Utf16ToUtf8(file);
    if (name.empty()) return E_INVALIDARG;
    std::replace(name.begin(), name.end(), '\\', '/');
    std::scoped_lock names(nameLock_);
    pendingName_ = std::move(name);
    return S_OK;
}

HRESULT CFileWriter::GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) {
    if (!file) return E_POINTER;
    *file = nullptr;
    std::u16string name;
    {
        std::scoped_lock names(nameLock_);
        // The file of this run once it exists; before that the name it will be made under.
        const std::string& current = !usedName_.empty() ? usedName_ : IsStopped() ? pendingName_ : runName_;
        if (current.empty()) return S_FALSE;
        name = Utf8ToUtf16(current);
    }
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(OLECHAR)));
    if (!copy) return E_OUTOFMEMORY;
    std::memcpy(copy, name.c_str(), (name.size() + 1) * sizeof(OLECHAR));
    *file = copy;
    if (mt) *mt = AM_MEDIA_TYPE{MEDIATYPE_Stream, MEDIASUBTYPE_Avi, TRUE, FALSE, 1, FORMAT_None, nullptr, 0, nullptr};
    return S_OK;
}

HRESULT CFileWriter::CreateOutputFile(int* descriptor) {
    if (!descriptor) return E_POINTER;
    *descriptor = -1;
    std::scoped_lock names(nameLock_);
    if (runName_.empty()) return E_UNEXPECTED;  // no SetFileName before the run
    NewFile created;
    if (const HRESULT hr = CreateNewFile(runName_, created); FAILED(hr)) return hr;
    usedName_ = created.path.string();
    // The descriptor leaves the UniqueFd here; IKvFileSink's caller owns it from now on.
    *descriptor = dup(created.file.Get());
    return *descriptor >= 0 ? S_OK : E_OUTOFMEMORY;
}

CFileWriter::InputPin::InputPin(CFileWriter* filter, CCritSec* lock, HRESULT* phr)
    : CRenderedInputPin("File Writer Input", filter, lock, phr, u"in") {}

HRESULT CFileWriter::InputPin::CheckMediaType(const CMediaType* mt) {
    return mt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}
