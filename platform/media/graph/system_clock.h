#pragma once
// SystemClock (CLSID_SystemClock): the graph's default reference clock. Time
// is the machine's monotonic clock in 100 ns units. Advises are served by one
// clock thread, started at the first advise and ended with the object.
//
// The handles passed to AdviseTime and AdvisePeriodic are CAMEvent addresses
// (platform/media/base/event.h); a periodic advise sets its event once per
// period. After Unadvise returns the event is never touched again, so its
// owner may destroy it.
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "platform/com/combase.h"
#include "platform/media/strmif.h"

namespace kvmedia {

class SystemClock final : public CUnknown, public IReferenceClock {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);
    explicit SystemClock(IUnknown* outer);
    ~SystemClock() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetTime(REFERENCE_TIME* time) override;
    HRESULT AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT event,
                       DWORD_PTR* cookie) override;
    HRESULT AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME period, HSEMAPHORE semaphore,
                           DWORD_PTR* cookie) override;
    // S_FALSE when the cookie names no advise (already fired or never given).
    HRESULT Unadvise(DWORD_PTR cookie) override;

private:
    static REFERENCE_TIME Now();

    struct Advise {
        REFERENCE_TIME due;
        REFERENCE_TIME period;  // 0 for a one-shot advise
        HEVENT event;
    };

    HRESULT AddAdvise(const Advise& advise, DWORD_PTR* cookie);
    void ServeAdvises();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<DWORD_PTR, Advise> advises_;  // guarded by mutex_
    DWORD_PTR nextCookie_ = 1;             // guarded by mutex_
    bool stopping_ = false;                // guarded by mutex_
    std::thread thread_;                   // started under mutex_ at the first advise
};

}  // namespace kvmedia
