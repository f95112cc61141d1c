// A plain mutual-exclusion lock. Every lock of the library is one of these, so the platform
// decides what a lock is.
#pragma once

#include <mutex>

namespace psw {

class PmcLock {
public:
    PmcLock() = default;
    PmcLock(const PmcLock&) = delete;
    PmcLock& operator=(const PmcLock&) = delete;

    void lock() noexcept { m_mutex.lock(); }
    void unlock() noexcept { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};

// Holds a lock for one scope.
class PmcLockGuard {
public:
    explicit PmcLockGuard(PmcLock& lock) noexcept : m_lock(lock) { m_lock.lock(); }
    ~PmcLockGuard() { m_lock.unlock(); }
    PmcLockGuard(const PmcLockGuard&) = delete;
    PmcLockGuard& operator=(const PmcLockGuard&) = delete;

private:
    PmcLock& m_lock;
};

}  // namespace psw
