// Creation and single ownership.
//
// Objects are allocated without exceptions; a factory reports PSW_ERR_NO_MEMORY when memory runs
// out. Owned objects inside the library are held by OwnedPtr, whose deleter calls the object's
// release() (or destroy() for the log family), so early returns never leak.
#pragma once

#include <memory>
#include <new>
#include <utility>

#include "core/result.h"

namespace psw {

// new without exceptions: null when memory runs out.
// the caller owns the result (delete, or the object's release()/destroy())
template <class T, class... Args>
T* pmc_new(Args&&... args) noexcept
{
    return new (std::nothrow) T(std::forward<Args>(args)...);
}

// Finishes a factory that only allocates: writes PSW_SUCCESS, or PSW_ERR_NO_MEMORY when
// |object| is null, to *result (when not null) and returns |object| (ownership passes through).
template <class T>
T* pmc_made(T* object, Result* result) noexcept
{
    set_result(result, object != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return object;
}

struct PmcReleaser {
    template <class T>
    void operator()(T* object) const noexcept
    {
        if (object != nullptr) {
            object->release();
        }
    }
};

struct PmcDestroyer {
    template <class T>
    void operator()(T* object) const noexcept
    {
        if (object != nullptr) {
            object->destroy();
        }
    }
};

template <class T>
using OwnedPtr = std::unique_ptr<T, PmcReleaser>;

template <class T>
using DestroyedPtr = std::unique_ptr<T, PmcDestroyer>;

// Finishes a factory that makes an object and then fills it: takes ownership of |object| (null
// when making it failed, which then set *result), applies `fill` (object -> Result) and hands
// the object to the caller when that gives PSW_SUCCESS; otherwise releases it and returns null.
// *result, when not null, gets what `fill` gave.
template <class T, class Fill>
T* pmc_filled(T* object, Result* result, Fill&& fill) noexcept
{
    OwnedPtr<T> owned(object);
    if (!owned) {
        return nullptr;
    }
    const Result filled = fill(owned.get());
    set_result(result, filled);
    return filled == PSW_SUCCESS ? owned.release() : nullptr;
}

}  // namespace psw
