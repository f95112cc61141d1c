#include "support/alloc_failure.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace psw::test {

namespace {

std::atomic<bool> g_counting{false};
std::atomic<uint64_t> g_seen{0};
std::atomic<uint64_t> g_fail_at{0};
std::atomic<bool> g_triggered{false};

// True when this allocation is the one to fail.
bool should_fail() noexcept
{
    if (!g_counting.load(std::memory_order_relaxed)) {
        return false;
    }
    const uint64_t n = g_seen.fetch_add(1, std::memory_order_relaxed) + 1;
    if (n == g_fail_at.load(std::memory_order_relaxed)) {
        g_triggered.store(true, std::memory_order_relaxed);
        return true;
    }
    return false;
}

}  // namespace

void* alloc_failure_allocate(std::size_t size) noexcept
{
    if (should_fail()) {
        return nullptr;
    }
    return std::malloc(size != 0 ? size : 1);
}

void* alloc_failure_allocate_aligned(std::size_t size, std::align_val_t alignment) noexcept
{
    if (should_fail()) {
        return nullptr;
    }
    const auto align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size + align - 1) / align * align;
    return std::aligned_alloc(align, rounded != 0 ? rounded : align);
}

void AllocFailure::fail_at(uint64_t k) noexcept
{
    g_seen = 0;
    g_triggered = false;
    g_fail_at = k;
    g_counting = true;
}

void AllocFailure::count_only() noexcept
{
    fail_at(0);
}

void AllocFailure::disarm() noexcept
{
    g_counting = false;
    g_fail_at = 0;
}

bool AllocFailure::triggered() noexcept
{
    return g_triggered;
}

uint64_t AllocFailure::count() noexcept
{
    return g_seen;
}

}  // namespace psw::test

// ---- the replaced global operators ----

void* operator new(std::size_t size)
{
    void* p = psw::test::alloc_failure_allocate(size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return psw::test::alloc_failure_allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return psw::test::alloc_failure_allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment)
{
    void* p = psw::test::alloc_failure_allocate_aligned(size, alignment);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}
void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return operator new(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return psw::test::alloc_failure_allocate_aligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return psw::test::alloc_failure_allocate_aligned(size, alignment);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(p);
}
