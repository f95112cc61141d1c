#include "core/interface.h"

namespace psw {

bool pmc_interface_id_equal(PmcInterfaceId id, PmcInterfaceId known) noexcept
{
    for (size_t i = 0; i < kPmcInterfaceIdBytes; ++i) {
        if (id[i] != known[i]) {
            return false;
        }
    }
    return true;
}

Result pmc_query_table(const PmcInterfaceEntry* entries, size_t count, PmcInterfaceId id,
                       void** out) noexcept
{
    if (id == nullptr || out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    for (size_t i = 0; i < count; ++i) {
        if (pmc_interface_id_equal(id, entries[i].id)) {
            *out = entries[i].part;
            return PSW_SUCCESS;
        }
    }
    *out = nullptr;
    return PSW_ERR_NO_INTERFACE;
}

}  // namespace psw
