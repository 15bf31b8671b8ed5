#include "platform/media/base/sourcestream.h"

#include "platform/com/com_ptr.h"
#include "platform/media/base/source.h"
#include "platform/media/evcode.h"

CSourceStream::CSourceStream(const char* objectName, HRESULT* phr, CSource* filter, LPCWSTR pinName)
    : CBaseOutputPin(objectName, filter, filter ? filter->pStateLock() : nullptr, phr, pinName), m_pFilter(filter) {
    if (!filter) return;
    const HRESULT hr = filter->AddPin(this);
    if (FAILED(hr) && phr) *phr = hr;
}

// No worker can be left here: a worker runs only while the pin is connected,
// and a connected pin's peer holds a reference on the filter.
CSourceStream::~CSourceStream() {
    if (m_pFilter) m_pFilter->RemovePin(this);
}

HRESULT CSourceStream::GetMediaType(CMediaType*) { return E_UNEXPECTED; }

HRESULT CSourceStream::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return GetMediaType(mt);
}

HRESULT CSourceStream::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    CMediaType mine;
    if (FAILED(GetMediaType(&mine))) return E_FAIL;
    return mine == *mt ? S_OK : E_FAIL;
}

HRESULT CSourceStream::Active() {
    CAutoLock lock(m_pFilter->pStateLock());
    if (!IsConnected()) return S_OK;
    HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr)) return hr;
    if (!Create()) return E_UNEXPECTED;
    hr = Init();
    if (FAILED(hr)) {
        Exit();
        Close();
        return hr;
    }
    return Pause();
}

HRESULT CSourceStream::Inactive() {
    CAutoLock lock(m_pFilter->pStateLock());
    if (!IsConnected()) return S_OK;
    // Decommitting first wakes a worker that waits for a free buffer.
    const HRESULT hr = CBaseOutputPin::Inactive();
    StopWorker();
    return hr;
}

void CSourceStream::StopWorker() {
    if (!ThreadExists()) return;
    if (m_pAllocator) m_pAllocator->Decommit();
    Stop();
    Exit();
    Close();
}

DWORD CSourceStream::ThreadProc() {
    // Nothing but CMD_INIT starts the worker's life.
    for (;;) {
        const DWORD command = GetRequest();
        if (command == CMD_INIT) break;
        Reply(static_cast<DWORD>(command == CMD_EXIT ? S_OK : E_UNEXPECTED));
        if (command == CMD_EXIT) return 0;
    }
    const HRESULT created = OnThreadCreate();
    if (FAILED(created)) {
        OnThreadDestroy();
        Reply(static_cast<DWORD>(created));
        // Active answers the failure with Exit; take it so that CallWorker returns.
        while (GetRequest() != CMD_EXIT) Reply(static_cast<DWORD>(E_UNEXPECTED));
        Reply(S_OK);
        return 1;
    }
    Reply(S_OK);

    for (;;) {
        const DWORD command = GetRequest();
        switch (command) {
            case CMD_EXIT:
                Reply(S_OK);
                OnThreadDestroy();
                return 0;
            case CMD_PAUSE:
            case CMD_RUN:
                Reply(S_OK);
                DoBufferProcessingLoop();
                break;
            case CMD_STOP:
                Reply(S_OK);
                break;
            default:
                Reply(static_cast<DWORD>(E_NOTIMPL));
                break;
        }
    }
}

HRESULT CSourceStream::DoBufferProcessingLoop() {
    OnThreadStartPlay();
    for (;;) {
        DWORD command = 0;
        while (!CheckRequest(&command)) {
            ComPtr<IMediaSample> sample;
            HRESULT hr = GetDeliveryBuffer(sample.GetAddressOf(), nullptr, nullptr, 0);
            if (FAILED(hr)) {
                // Decommitted: a stop is on its way. Wait for it instead of spinning.
                GetRequest();
                continue;
            }
            hr = FillBuffer(sample.Get());
            if (hr == S_OK) {
                hr = Deliver(sample.Get());
                // Downstream refuses more (flushing, stopped, end of stream): stop pushing.
                // A failure ends the stream, so downstream still hears that it is over.
                if (FAILED(hr)) DeliverEndOfStream();
                if (hr != S_OK) return S_OK;
            } else if (hr == S_FALSE) {
                sample.Reset();
                DeliverEndOfStream();
                return S_OK;
            } else {
                sample.Reset();
                m_pFilter->NotifyEvent(EC_ERRORABORT, hr, 0);
                DeliverEndOfStream();
                return hr;
            }
        }
        if (command != CMD_RUN && command != CMD_PAUSE) return S_FALSE;
        Reply(S_OK);
    }
}
