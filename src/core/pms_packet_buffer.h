// PmsPacketBuffer: the raw bytes of one encoded message, carried between the codec and the
// sessions. The valid data run from the data start to the end of the storage, because the
// encoder fills the storage from its end.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"

namespace psw {

enum PmsBufferOwnership : int32_t {
    kPmsBufferBorrowed = 0,  // not released by the buffer
    kPmsBufferOwned = 1,     // made by allocate(); released with it
    kPmsBufferMalloced = 2,  // released with the runtime's free
};

class PmsPacketBuffer {
public:
    PmsPacketBuffer() noexcept = default;
    PmsPacketBuffer(const PmsPacketBuffer&) = delete;
    PmsPacketBuffer& operator=(const PmsPacketBuffer&) = delete;

    virtual void release() noexcept;
    // Frees owned storage first; the data start becomes the base.
    // takes ownership of `storage` as `ownership` says (kPmsBufferBorrowed: must outlive use)
    virtual void attach(uint8_t* storage, size_t size, int32_t ownership) noexcept;
    // Hands the storage back (the caller now frees it as its ownership says) and clears.
    // the caller owns the result; note the ownership kind is not reported back
    virtual uint8_t* detach(size_t* size) noexcept;
    virtual void free_storage() noexcept;
    // not a transfer (both base()): owned by the buffer or its attacher
    virtual uint8_t* base() noexcept { return m_base; }
    virtual const uint8_t* base() const noexcept { return m_base; }
    virtual size_t size() const noexcept { return m_size; }
    // Attaches new owned storage of `size` bytes (owned storage of that size is reused);
    // false when memory runs out.
    virtual bool allocate(size_t size) noexcept;
    // not a transfer: points into base(), valid while the storage stays attached
    virtual uint8_t* data() const noexcept { return m_data; }
    virtual void set_data_offset(size_t offset) noexcept { m_data = m_base + offset; }
    virtual size_t data_length() const noexcept
    {
        return m_size - static_cast<size_t>(m_data - m_base);
    }
    virtual ~PmsPacketBuffer();

    // Borrows `length` received bytes as the whole valid data.
    // borrowed: `bytes` must outlive the buffer's use of them
    void attach_received(const uint8_t* bytes, size_t length) noexcept
    {
        attach(const_cast<uint8_t*>(bytes), length, kPmsBufferBorrowed);
    }

private:
    uint8_t* m_base = nullptr;
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
    int32_t m_ownership = kPmsBufferBorrowed;
};

// the caller owns the result and releases it with release()
PmsPacketBuffer* create_packet_buffer(Result* result = nullptr) noexcept;

}  // namespace psw
