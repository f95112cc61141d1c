#include "core/pms_packet_buffer.h"

#include <cstdlib>

#include "core/factory.h"

namespace psw {

PmsPacketBuffer::~PmsPacketBuffer()
{
    free_storage();
}

void PmsPacketBuffer::release() noexcept
{
    delete this;
}

void PmsPacketBuffer::free_storage() noexcept
{
    if (m_ownership == kPmsBufferOwned) {
        delete[] m_base;
    } else if (m_ownership == kPmsBufferMalloced) {
        std::free(m_base);
    }
    m_base = nullptr;
    m_data = nullptr;
    m_size = 0;
    m_ownership = kPmsBufferBorrowed;
}

void PmsPacketBuffer::attach(uint8_t* storage, size_t size, int32_t ownership) noexcept
{
    if (storage != m_base) {
        free_storage();
    }
    m_base = storage;
    m_data = storage;
    m_size = storage != nullptr ? size : 0;
    m_ownership = ownership;
}

uint8_t* PmsPacketBuffer::detach(size_t* size) noexcept
{
    uint8_t* storage = m_base;
    if (size != nullptr) {
        *size = m_size;
    }
    m_base = nullptr;
    m_data = nullptr;
    m_size = 0;
    m_ownership = kPmsBufferBorrowed;
    return storage;
}

bool PmsPacketBuffer::allocate(size_t size) noexcept
{
    if (m_ownership == kPmsBufferOwned && m_size == size && m_base != nullptr) {
        m_data = m_base;
        return true;
    }
    auto* storage = new (std::nothrow) uint8_t[size != 0 ? size : 1];
    if (storage == nullptr) {
        return false;
    }
    attach(storage, size, kPmsBufferOwned);
    return true;
}

PmsPacketBuffer* create_packet_buffer(Result* result) noexcept
{
    return pmc_made(pmc_new<PmsPacketBuffer>(), result);
}

}  // namespace psw
