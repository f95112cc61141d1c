// The rows of a table walk, kept compact: each row is held as the BER bytes of a small message
// carrying its bindings (about 150 bytes for four columns instead of about 2 KB of value
// objects), appended to large blocks. A visit decodes the rows one at a time into one scratch
// PDU, so the value objects exist for one row only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/factory.h"
#include "core/pms_packet_buffer.h"
#include "core/result.h"
#include "snmp/pms_pdu.h"
#include "snmp/snmp_target.h"

namespace psw {

class PmsWalkRows {
public:
    PmsWalkRows() noexcept = default;
    PmsWalkRows(const PmsWalkRows&) = delete;
    PmsWalkRows& operator=(const PmsWalkRows&) = delete;
    ~PmsWalkRows();
    // Destroys the rows (for OwnedPtr).
    void release() noexcept { delete this; }

    // Keeps a copy of the row's bindings (the PDU is as before afterwards; its header is not kept).
    // PSW_ERR_NO_MEMORY when memory runs out, a codec code when the bindings cannot be encoded.
    Result append(IPmsPdu* row) noexcept;
    uint32_t count() const noexcept { return m_count; }
    // Bytes held for the rows, block overhead included.
    size_t footprint() const noexcept;
    // Drops every row.
    void clear() noexcept;

    // Calls `visit(const IPmsPdu* row)` for each row in order, stopping at the first non-zero
    // result, which is returned. The row PDU is valid during its call only.
    template <class Visit>
    Result visit(Visit&& visit) noexcept
    {
        Result result = begin_visit();
        for (const Block* block = m_first; result == PSW_SUCCESS && block != nullptr;
             block = block->next) {
            for (size_t at = 0; result == PSW_SUCCESS && at < block->used;) {
                const IPmsPdu* row = nullptr;
                result = decode_at(block, &at, &row);
                if (result == PSW_SUCCESS) {
                    result = visit(row);
                }
            }
        }
        return result;
    }

private:
    struct Block {
        Block* next;
        size_t used;
        size_t size;
        uint8_t* bytes() noexcept { return reinterpret_cast<uint8_t*>(this + 1); }
        const uint8_t* bytes() const noexcept { return reinterpret_cast<const uint8_t*>(this + 1); }
    };
    // Room for `length` more bytes in the last block (a new block when it is full).
    uint8_t* reserve(size_t length) noexcept;
    Result make_coding_parts() noexcept;
    Result begin_visit() noexcept;
    Result decode_at(const Block* block, size_t* at, const IPmsPdu** row) noexcept;

    Block* m_first = nullptr;
    Block* m_last = nullptr;
    uint32_t m_count = 0;
    OwnedPtr<IPmsSnmpTarget> m_target;
    OwnedPtr<PmsPacketBuffer> m_buffer;
    OwnedPtr<IPmsPdu> m_scratch;
};

}  // namespace psw
