#include "snmp/walk_rows.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "snmp/pms_packet_coder.h"

namespace psw {

namespace {

// Rows are appended to blocks of this size (a larger row gets a block of its own size).
constexpr size_t kBlockBytes = 64 * 1024;
// Each row is stored as its length (4 bytes) and its message.
constexpr size_t kLengthBytes = 4;
// The largest message a row is encoded into.
constexpr size_t kRowMessageMax = 65535;
// SNMPv2c, so that exception values (noSuchObject, endOfMibView) can be kept as they came.
constexpr int32_t kRowVersion = 1;

}  // namespace

PmsWalkRows::~PmsWalkRows()
{
    clear();
}

void PmsWalkRows::clear() noexcept
{
    for (Block* block = m_first; block != nullptr;) {
        Block* next = block->next;
        std::free(block);
        block = next;
    }
    m_first = nullptr;
    m_last = nullptr;
    m_count = 0;
}

size_t PmsWalkRows::footprint() const noexcept
{
    size_t total = 0;
    for (const Block* block = m_first; block != nullptr; block = block->next) {
        total += sizeof(Block) + block->size;
    }
    return total;
}

uint8_t* PmsWalkRows::reserve(size_t length) noexcept
{
    if (m_last == nullptr || m_last->size - m_last->used < length) {
        const size_t size = length > kBlockBytes ? length : kBlockBytes;
        auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
        if (block == nullptr) {
            return nullptr;
        }
        block->next = nullptr;
        block->used = 0;
        block->size = size;
        (m_last != nullptr ? m_last->next : m_first) = block;
        m_last = block;
    }
    uint8_t* room = m_last->bytes() + m_last->used;
    m_last->used += length;
    return room;
}

Result PmsWalkRows::make_coding_parts() noexcept
{
    Result result = PSW_SUCCESS;
    if (!m_target) {
        OwnedPtr<IPmsSnmpTarget> target(create_community_target(&result));
        if (!target) {
            return result;
        }
        result = target->set_version(kRowVersion);
        if (result == PSW_SUCCESS) result = target->set_max_message_size(kRowMessageMax);
        if (result != PSW_SUCCESS) {
            return result;
        }
        m_target = std::move(target);
    }
    if (!m_buffer && !(m_buffer = OwnedPtr<PmsPacketBuffer>(create_packet_buffer(&result)))) {
        return result;
    }
    if (!m_scratch && !(m_scratch = OwnedPtr<IPmsPdu>(create_pdu(&result)))) {
        return result;
    }
    return PSW_SUCCESS;
}

Result PmsWalkRows::append(IPmsPdu* row) noexcept
{
    if (row == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    Result result = make_coding_parts();
    if (result != PSW_SUCCESS) {
        return result;
    }
    // A decode of an earlier visit may have changed the target's fields.
    result = m_target->set_max_message_size(kRowMessageMax);
    if (result == PSW_SUCCESS) result = m_target->set_version(kRowVersion);
    if (result == PSW_SUCCESS) {
        // Only the bindings are kept: the header is written as a plain Response and put back.
        const int32_t type = row->type();
        const int32_t status = row->error_status();
        const int32_t index = row->error_index();
        row->set_type(kPmsResponse);
        row->set_error_status(0);
        row->set_error_index(0);
        result = pms_packet_coder()->encode(row, m_target.get(), m_buffer.get(), nullptr);
        row->set_type(type);
        row->set_error_status(status);
        row->set_error_index(index);
    }
    if (result != PSW_SUCCESS) {
        return result;
    }
    const size_t length = m_buffer->data_length();
    uint8_t* room = reserve(kLengthBytes + length);
    if (room == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    const auto stored = static_cast<uint32_t>(length);
    std::memcpy(room, &stored, kLengthBytes);
    std::memcpy(room + kLengthBytes, m_buffer->data(), length);
    ++m_count;
    return PSW_SUCCESS;
}

Result PmsWalkRows::begin_visit() noexcept
{
    return m_first == nullptr ? PSW_SUCCESS : make_coding_parts();
}

Result PmsWalkRows::decode_at(const Block* block, size_t* at, const IPmsPdu** row) noexcept
{
    uint32_t length = 0;
    std::memcpy(&length, block->bytes() + *at, kLengthBytes);
    PmsPacketBuffer message;
    message.attach_received(block->bytes() + *at + kLengthBytes, length);
    *at += kLengthBytes + length;
    const Result result = pms_packet_coder()->decode(&message, m_scratch.get(), m_target.get(),
                                                     kPmsTranslateCommunity);
    if (result != PSW_SUCCESS) {
        return result;
    }
    *row = m_scratch.get();
    return PSW_SUCCESS;
}

}  // namespace psw
