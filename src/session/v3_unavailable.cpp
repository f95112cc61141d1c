// The SNMPv3 session of a build without Net-SNMP (the Windows build): there is no session to
// make, so every SNMPv3 exchange fails with PSW_ERR_NOT_AVAILABLE.
#include "log/log_channel.h"
#include "session/v3_request_session.h"

namespace psw {

IPmsRequestSession* create_v3_request_session(Result* result) noexcept
{
    pmc_snmp_channel().logger()->output(kLogError,
                                        "SNMPv3 is not available: built without Net-SNMP.");
    set_result(result, PSW_ERR_NOT_AVAILABLE);
    return nullptr;
}

}  // namespace psw
