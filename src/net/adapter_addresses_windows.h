// The adapter-address list of IP Helper, read into a buffer the caller keeps.
#pragma once

#include <cstdint>

#include "core/result.h"
#include "net/ip_help_api.h"

namespace psw {

// Flags of the list: no anycast, multicast or DNS-server entries, with prefixes.
constexpr unsigned long kPmcAdapterAddressFlags = 30;

// A buffer aligned for the system's records; frees its memory when it ends.
class PmcRecordBuffer {
public:
    PmcRecordBuffer() noexcept = default;
    ~PmcRecordBuffer() { delete[] m_words; }
    PmcRecordBuffer(const PmcRecordBuffer&) = delete;
    PmcRecordBuffer& operator=(const PmcRecordBuffer&) = delete;

    // Replaces the contents by `bytes` zero bytes; false without memory.
    bool allocate(unsigned long bytes) noexcept;
    void* data() const noexcept { return m_words; }

private:
    uint64_t* m_words = nullptr;
};

// Fills `buffer` with GetAdaptersAddresses' list for `family` (AF_UNSPEC for all); the first
// entry starts at the buffer's first byte. PSW_ERR_NOT_AVAILABLE without the function,
// PSW_ERR_TOO_LONG when the size answer is not "buffer overflow" (also when the system has no
// data) or the second call fails, PSW_ERR_NO_MEMORY without memory.
// borrowed: `buffer` stays the caller's and is filled
Result pmc_read_adapter_addresses(const NPmcIpHelpAPI& api, unsigned long family,
                                  PmcRecordBuffer* buffer) noexcept;

}  // namespace psw
