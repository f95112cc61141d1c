// The find-device request: one GET to a broadcast or multicast address, every answer back.
#include <new>

#include "session/session_dispatcher.h"
#include "snmp/request_base.h"

namespace psw {

namespace {

class PmcFindDeviceSnmp final : public IPmcFindDeviceSnmp, public PmcRequestBase {
public:
    void release() noexcept override { delete this; }

    Result set_community(const char* community) noexcept override
    {
        return set_community_text(community);
    }

    Result init(const char* address, int32_t protocol, uint16_t port, int32_t security_mode,
                const PmcUsmValues& usm, int32_t timeout, int32_t retries,
                uint32_t max_message_size) noexcept override
    {
        return init_request(address, protocol, port, security_mode, usm, timeout, retries,
                            max_message_size);
    }

    Result add_oid_string(const char* oid) noexcept override
    {
        return add_null_binding(oid, true);
    }

    Result send_broad_cast(IPmsSnmpPacketList** answers) noexcept override
    {
        Result result = require_init();
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (answers == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        m_pdu->set_type(kPmsGetRequest);
        OwnedPtr<SessionDispatcher> dispatcher(make_dispatcher(&result));
        if (!dispatcher) {
            return result;
        }
        IPmsSnmpPacketList* list = nullptr;
        result = dispatcher->send_broad_cast_sync(m_pdu.get(), m_target.get(), &list);
        if (result == PSW_SUCCESS) {
            *answers = list;
        }
        return result;
    }

    Result protocol_of(const char* address, int32_t* protocol) noexcept override
    {
        return protocol_of_text(address, protocol);
    }
};

}  // namespace

IPmcFindDeviceSnmp* pmc_create_find_device_snmp(Result* result) noexcept
{
    IPmcFindDeviceSnmp* request = new (std::nothrow) PmcFindDeviceSnmp();
    set_result(result, request != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return request;
}

}  // namespace psw
