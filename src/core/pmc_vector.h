// A growable array of trivially copyable elements (pointers, records) that reports allocation
// failure instead of throwing. It owns its storage, never its elements.
#pragma once

#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>

namespace psw {

template <class T>
class PmcVector {
    static_assert(std::is_trivially_copyable_v<T>, "PmcVector holds plain values only");

public:
    PmcVector() noexcept = default;
    PmcVector(const PmcVector&) = delete;
    PmcVector& operator=(const PmcVector&) = delete;
    ~PmcVector() { ::operator delete(m_items, std::nothrow); }

    size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }
    T& operator[](size_t i) noexcept { return m_items[i]; }
    const T& operator[](size_t i) const noexcept { return m_items[i]; }
    // not a transfer (begin/end): owned by the vector, invalid after it grows
    T* begin() noexcept { return m_items; }
    T* end() noexcept { return m_items + m_size; }
    const T* begin() const noexcept { return m_items; }
    const T* end() const noexcept { return m_items + m_size; }

    // False (and nothing changed) when memory runs out.
    bool push_back(const T& item) noexcept
    {
        if (m_size == m_capacity && !grow()) {
            return false;
        }
        m_items[m_size++] = item;
        return true;
    }

    void erase_at(size_t index) noexcept
    {
        if (index < m_size) {
            std::memmove(static_cast<void*>(m_items + index), m_items + index + 1,
                         (m_size - index - 1) * sizeof(T));
            --m_size;
        }
    }

    void clear() noexcept { m_size = 0; }

private:
    bool grow() noexcept
    {
        const size_t capacity = m_capacity == 0 ? 4 : m_capacity * 2;
        auto* items = static_cast<T*>(::operator new(capacity * sizeof(T), std::nothrow));
        if (items == nullptr) {
            return false;
        }
        if (m_size != 0) {
            std::memcpy(static_cast<void*>(items), m_items, m_size * sizeof(T));
        }
        ::operator delete(m_items, std::nothrow);
        m_items = items;
        m_capacity = capacity;
        return true;
    }

    T* m_items = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

}  // namespace psw
