// What the get-data and find-device requests share: the agent's address, one target, one PDU,
// the community and the security mode, built by init().
#pragma once

#include "core/factory.h"
#include "net/network_address.h"
#include "request/request_objects.h"
#include "snmp/pms_pdu.h"
#include "snmp/snmp_target.h"

namespace psw {

class SessionDispatcher;

// Largest community text, terminator excluded.
inline constexpr size_t kRequestCommunityMax = 255;

// Maximum message sizes chosen when the caller gives none (or one out of range).
inline constexpr uint32_t kUdpMaxMessageSize = 1400;
inline constexpr uint32_t kIpxMaxMessageSize = 546;

// The size a request uses for `protocol` when the caller asks for `requested`.
uint32_t pmc_request_message_size(int32_t protocol, uint32_t requested) noexcept;

class PmcRequestBase {
public:
    PmcRequestBase() noexcept;
    PmcRequestBase(const PmcRequestBase&) = delete;
    PmcRequestBase& operator=(const PmcRequestBase&) = delete;

    // borrowed: `community` is copied
    Result set_community_text(const char* community) noexcept;
    // borrowed: `address` and the `usm` texts are copied
    Result init_request(const char* address, int32_t protocol, uint16_t port, int32_t security_mode,
                        const PmcUsmValues& usm, int32_t timeout, int32_t retries,
                        uint32_t max_message_size) noexcept;
    // Adds `oid` (plus ".0" when `instance`) with a NULL value; PSW_ERR_PARAMETER for an invalid
    // text.
    // borrowed: `oid` is copied into a new binding
    Result add_null_binding(const char* oid, bool instance) noexcept;
    // borrowed: `address` is only read
    static Result protocol_of_text(const char* address, int32_t* protocol) noexcept;

    // not a transfer: owned by the request
    IPmsPdu* pdu() const noexcept { return m_pdu.get(); }
    // not a transfer: owned by the request
    IPmsSnmpTarget* target() const noexcept { return m_target.get(); }

protected:
    // PSW_ERR_NOT_INITIALIZED until init succeeded.
    Result require_init() const noexcept;
    // One exchange of the PDU as `type`. Community requests keep one dispatcher (and so one
    // session with its buffers) from their first exchange on; SNMPv3 requests use a new one
    // for every exchange.
    Result exchange(int32_t type) noexcept;
    // A new name from `oid` once init succeeded: PSW_ERR_NOT_INITIALIZED before, PSW_ERR_PARAMETER
    // for a null or invalid text, PSW_ERR_NO_MEMORY.
    // borrowed: `oid` is copied; `*name` receives a new OID the caller owns
    Result make_name(const char* oid, OwnedPtr<IPmsOid>* name) const noexcept;
    // A new dispatcher for one exchange; tests may substitute the sessions behind it.
    // the caller owns the result and releases it with release()
    virtual SessionDispatcher* make_dispatcher(Result* result) noexcept;
    virtual ~PmcRequestBase();

    char m_community[kRequestCommunityMax + 1];
    int32_t m_security_mode = 0;
    OwnedPtr<IPmcNetworkAddress> m_address;
    OwnedPtr<IPmsSnmpTarget> m_target;
    OwnedPtr<IPmsPdu> m_pdu;
    // not a transfer: owned by the request (released in its destructor)
    SessionDispatcher* m_dispatcher = nullptr;
};

// The operations both request interfaces share, forwarded to the common part.
template <class Interface>
class PmcRequest : public Interface, public PmcRequestBase {
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
    Result protocol_of(const char* address, int32_t* protocol) noexcept override
    {
        return protocol_of_text(address, protocol);
    }
};

}  // namespace psw
