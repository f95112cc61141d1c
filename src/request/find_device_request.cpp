// The find-device request: one GET to a broadcast or multicast address, every answer back.
#include <new>

#include "request/request_base.h"
#include "session/session_dispatcher.h"

namespace psw {

namespace {

class PmcFindDeviceSnmp final : public PmcRequest<IPmcFindDeviceSnmp> {
public:
    Result add_oid_string(const char* oid) noexcept override { return add_null_binding(oid, true); }

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
};

}  // namespace

IPmcFindDeviceSnmp* pmc_create_find_device_snmp(Result* result) noexcept
{
    IPmcFindDeviceSnmp* request = new (std::nothrow) PmcFindDeviceSnmp();
    set_result(result, request != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return request;
}

}  // namespace psw
