// Interfaces reached by identifier, and the four slots every such interface begins with.
//
// An identifier is a lower-case UUID text of 36 characters plus its terminating zero. Two
// identifiers are equal only when all 37 bytes are: no case folding, no parsing.
#pragma once

#include <cstddef>

#include "core/result.h"

namespace psw {

using PmcInterfaceId = const char*;

constexpr size_t kPmcInterfaceIdBytes = 37;

// Compares a caller's identifier with one of ours. Reads no byte of `id` past its terminator,
// since `known` holds its only zero at the last of the 37 bytes.
bool pmc_interface_id_equal(PmcInterfaceId id, PmcInterfaceId known) noexcept;

class IPmcInterface {
public:
    // Writes the address of the part of this object that implements `id`; PSW_ERR_PARAMETER for a
    // null argument (nothing written), PSW_ERR_NO_INTERFACE with null written when `id` is not
    // answered.
    // not a transfer: `*out` points into this object and lives as long as it does
    virtual Result query_interface(PmcInterfaceId id, void** out) noexcept = 0;
    // The same question put to the complete object that contains this part.
    // not a transfer: `*out` points into the complete object, valid while it lives
    virtual Result query_outer(PmcInterfaceId id, void** out) noexcept = 0;
    // Objects of this family are not reference-counted: always PSW_ERR_UNSUPPORTED.
    virtual Result unsupported() noexcept = 0;
    // Deletes the complete object; a no-op for embedded and static objects.
    virtual void destroy() noexcept = 0;

protected:
    ~IPmcInterface() = default;
};

// One entry of an object's answer table: an identifier and the part that answers it.
struct PmcInterfaceEntry {
    PmcInterfaceId id;
    void* part;
};

// The common query: looks `id` up in `entries` and answers by the rules above.
// not a transfer: `*out` receives a borrowed part from `entries`
Result pmc_query_table(const PmcInterfaceEntry* entries, size_t count, PmcInterfaceId id,
                       void** out) noexcept;

}  // namespace psw
