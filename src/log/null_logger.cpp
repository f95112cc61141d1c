#include "log/null_logger.h"

#include "core/interface_ids.h"

namespace psw {

Result CPmcNullLogger::query_interface(PmcInterfaceId id, void** out) noexcept
{
    const PmcInterfaceEntry entries[] = {
        {kIidPmcInterface, static_cast<IPmcLogger*>(this)},
        {kIidPmcLogger, static_cast<IPmcLogger*>(this)},
    };
    return pmc_query_table(entries, 2, id, out);
}

Result CPmcNullLogger::query_outer(PmcInterfaceId id, void** out) noexcept
{
    return query_interface(id, out);
}

}  // namespace psw
