// The SNMPv3 session until the library speaks SNMPv3: every request is refused with
// PSW_ERR_UNSUPPORTED, after the same argument checks as the other sessions.
#include "session/v3_request_session.h"

#include "core/factory.h"

namespace psw {

namespace {

class CPmsV3RequestSession final : public IPmsRequestSession {
public:
    void release() noexcept override { delete this; }
    Result send_sync(IPmsPdu* pdu, IPmsSnmpTarget* target) noexcept override
    {
        return pdu == nullptr || target == nullptr ? PSW_ERR_PARAMETER : PSW_ERR_UNSUPPORTED;
    }
    Result send_sync(IPmsSnmpPacket* packet) noexcept override
    {
        return packet == nullptr ? PSW_ERR_PARAMETER
                                 : send_sync(packet->pdu(), packet->target());
    }
    Result send_broad_cast_sync(IPmsSnmpPacket* packet,
                                IPmsSnmpPacketList** list) noexcept override
    {
        return packet == nullptr ? PSW_ERR_PARAMETER
                                 : send_broad_cast_sync(packet->pdu(), packet->target(), list);
    }
    Result send_broad_cast_sync(IPmsPdu* pdu, IPmsSnmpTarget* target,
                                IPmsSnmpPacketList** list) noexcept override
    {
        return pdu == nullptr || target == nullptr || list == nullptr ? PSW_ERR_PARAMETER
                                                                      : PSW_ERR_UNSUPPORTED;
    }
};

}  // namespace

IPmsRequestSession* create_v3_request_session(Result* result) noexcept
{
    IPmsRequestSession* session = pmc_new<CPmsV3RequestSession>();
    set_result(result, session != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return session;
}

}  // namespace psw
