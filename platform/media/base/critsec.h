#pragma once
// CCritSec and CAutoLock: the filter locks. A filter's lock is re-entered on
// one thread (a state change calls pin methods that lock it again), so it is
// a recursive mutex; CAutoLock holds it for one scope.
#include <mutex>

using CCritSec = std::recursive_mutex;

class CAutoLock {
public:
    explicit CAutoLock(CCritSec* lock) : lock_(*lock) {}
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    std::scoped_lock<CCritSec> lock_;
};
