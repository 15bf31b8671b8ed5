#include "platform/media/graph/system_clock.h"

#include <chrono>

#include "platform/media/base/event.h"

namespace kvmedia {

namespace {
using Ticks = std::chrono::duration<REFERENCE_TIME, std::ratio<1, 10'000'000>>;
// Longest single sleep of the clock thread; far-off advises are re-checked after it.
constexpr REFERENCE_TIME kLongestWait = 10'000'000;  // one second
}  // namespace

CUnknown* SystemClock::CreateInstance(IUnknown* outer, HRESULT* phr) {
    if (phr) *phr = S_OK;
    return new SystemClock(outer);
}

SystemClock::SystemClock(IUnknown* outer) : CUnknown("SystemClock", outer) {}

SystemClock::~SystemClock() {
    {
        std::scoped_lock lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

HRESULT SystemClock::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IReferenceClock) return GetInterface(static_cast<IReferenceClock*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

REFERENCE_TIME SystemClock::Now() {
    return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

HRESULT SystemClock::GetTime(REFERENCE_TIME* time) {
    if (!time) return E_POINTER;
    *time = Now();
    return S_OK;
}

HRESULT SystemClock::AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT event,
                                DWORD_PTR* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!event || baseTime < 0 || streamTime < 0 || streamTime > MAXLONGLONG - baseTime) return E_INVALIDARG;
    return AddAdvise({baseTime + streamTime, 0, event}, cookie);
}

HRESULT SystemClock::AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME period, HSEMAPHORE semaphore,
                                    DWORD_PTR* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!semaphore || startTime < 0 || period <= 0) return E_INVALIDARG;
    return AddAdvise({startTime, period, semaphore}, cookie);
}

HRESULT SystemClock::AddAdvise(const Advise& advise, DWORD_PTR* cookie) {
    {
        std::scoped_lock lock(mutex_);
        *cookie = nextCookie_++;
        advises_.emplace(*cookie, advise);
        if (!thread_.joinable()) thread_ = std::thread([this] { ServeAdvises(); });
    }
    changed_.notify_all();
    return S_OK;
}

HRESULT SystemClock::Unadvise(DWORD_PTR cookie) {
    std::scoped_lock lock(mutex_);
    return advises_.erase(cookie) ? S_OK : S_FALSE;
}

void SystemClock::ServeAdvises() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const REFERENCE_TIME now = Now();
        REFERENCE_TIME nextDue = MAXLONGLONG;
        for (auto it = advises_.begin(); it != advises_.end();) {
            Advise& advise = it->second;
            if (advise.due <= now) {
                // Signalled under the lock: once Unadvise has returned, the event is not ours.
                CAMEvent::FromHandle(advise.event)->Set();
                if (advise.period == 0) {
                    it = advises_.erase(it);
                    continue;
                }
                // A late thread skips missed periods rather than firing a burst; a
                // period that would run past the end of time simply ends.
                const REFERENCE_TIME periods = (now - advise.due) / advise.period + 1;
                if (advise.period > (MAXLONGLONG - advise.due) / periods) {
                    it = advises_.erase(it);
                    continue;
                }
                advise.due += periods * advise.period;
            }
            nextDue = std::min(nextDue, advise.due);
            ++it;
        }
        const REFERENCE_TIME wait = nextDue == MAXLONGLONG ? kLongestWait : std::min(nextDue - now, kLongestWait);
        changed_.wait_for(lock, Ticks(wait));
    }
}

}  // namespace kvmedia
