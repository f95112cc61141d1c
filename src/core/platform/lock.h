// A plain mutual-exclusion lock. Every lock of the library is one of these, so the platform
// decides what a lock is.
#pragma once

#include <atomic>
#include <mutex>

namespace psw {

#if defined(_WIN32)
// A critical section (windows_platform.cpp). It is made on first use, so a lock at namespace
// scope works before the dynamic initialisation of its file has run, as std::mutex does.
class PmcLock {
public:
    constexpr PmcLock() noexcept = default;
    ~PmcLock();
    PmcLock(const PmcLock&) = delete;
    PmcLock& operator=(const PmcLock&) = delete;

    void lock() noexcept;
    void unlock() noexcept;

private:
    // 0 not made, 1 being made, 2 ready.
    std::atomic<int> m_state{0};
    // Holds the CRITICAL_SECTION (40 bytes on 64-bit Windows).
    alignas(8) unsigned char m_section[40] = {};
};
#else
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
#endif

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
