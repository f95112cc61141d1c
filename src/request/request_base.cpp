#include "request/request_base.h"

#include <cstring>

#include "net/address_services.h"
#include "request/walk_order.h"
#include "session/session_dispatcher.h"
#include "snmp/pms_value.h"

namespace psw {

namespace {

constexpr char kDefaultCommunity[] = "public";
constexpr int32_t kCommunityVersion = 0;  // SNMPv1
constexpr int32_t kUsmVersion = 2;        // SNMPv3

Result configure_usm(IPmsSnmpTarget* target, const PmcUsmValues& usm) noexcept
{
    IPmsUsmTarget* settings = pms_usm_of(target);
    if (settings == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    Result result = settings->set_security_name(usm.user_name);
    if (result == PSW_SUCCESS) result = settings->set_security_level(usm.security_level);
    if (result == PSW_SUCCESS) result = settings->set_auth_protocol(usm.auth_protocol);
    if (result == PSW_SUCCESS) result = settings->set_priv_protocol(usm.priv_protocol);
    if (result == PSW_SUCCESS) result = settings->set_auth_pass_phrase(usm.auth_pass_phrase);
    if (result == PSW_SUCCESS) result = settings->set_priv_pass_phrase(usm.priv_pass_phrase);
    if (result == PSW_SUCCESS) result = settings->set_context_name(usm.context_name);
    return result;
}

}  // namespace

uint32_t pmc_request_message_size(int32_t protocol, uint32_t requested) noexcept
{
    const bool udp =
        protocol == IPmcNetworkAddress::kUdpIpv4 || protocol == IPmcNetworkAddress::kUdpIpv6;
    const uint32_t limit = udp ? kUdpMaxMessageSize : kIpxMaxMessageSize;
    return requested >= 1 && requested <= limit ? requested : limit;
}

PmcRequestBase::PmcRequestBase() noexcept
{
    std::memset(m_community, 0, sizeof m_community);
    std::memcpy(m_community, kDefaultCommunity, sizeof kDefaultCommunity);
}

Result PmcRequestBase::set_community_text(const char* community) noexcept
{
    if (community == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    const size_t length = strnlen(community, kRequestCommunityMax + 1);
    if (length > kRequestCommunityMax) {
        return PSW_ERR_PARAMETER;
    }
    std::memset(m_community, 0, sizeof m_community);
    std::memcpy(m_community, community, length);
    return PSW_SUCCESS;
}

Result PmcRequestBase::init_request(const char* address, int32_t protocol, uint16_t port,
                                    int32_t security_mode, const PmcUsmValues& usm, int32_t timeout,
                                    int32_t retries, uint32_t max_message_size) noexcept
{
    if (address == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    Result result = PSW_SUCCESS;
    OwnedPtr<IPmcNetworkAddress> agent(create_empty_address(&result));
    if (!agent) {
        return result;
    }
    result = agent->set(address, static_cast<IPmcNetworkAddress::EProtocol>(protocol), port);
    if (result != PSW_SUCCESS) {
        return result;
    }
    const uint32_t message_size = pmc_request_message_size(agent->protocol(), max_message_size);

    const bool usm_mode = security_mode == kSecurityModeUsm;
    OwnedPtr<IPmsSnmpTarget> target(usm_mode ? create_usm_target(&result)
                                             : create_community_target(&result));
    if (!target) {
        return result;
    }
    result = target->set_timeout(timeout);
    if (result == PSW_SUCCESS) result = target->set_retries(retries);
    if (result == PSW_SUCCESS)
        result = target->set_version(usm_mode ? kUsmVersion : kCommunityVersion);
    if (usm_mode) {
        if (result == PSW_SUCCESS) result = target->set_address(agent.get());
        if (result == PSW_SUCCESS) result = configure_usm(target.get(), usm);
    } else {
        IPmsCommunityTarget* community = pms_community_of(target.get());
        if (result == PSW_SUCCESS) {
            result =
                community != nullptr ? community->set_community(m_community) : PSW_ERR_PARAMETER;
        }
        if (result == PSW_SUCCESS) result = target->set_address(agent.get());
    }
    if (result == PSW_SUCCESS) result = target->set_max_message_size(message_size);
    if (result != PSW_SUCCESS) {
        return result;
    }
    OwnedPtr<IPmsPdu> pdu(create_pdu(&result));
    if (!pdu) {
        return result;
    }
    m_security_mode = security_mode;
    m_address = std::move(agent);
    m_target = std::move(target);
    m_pdu = std::move(pdu);
    return PSW_SUCCESS;
}

PmcRequestBase::~PmcRequestBase()
{
    if (m_dispatcher != nullptr) {
        m_dispatcher->release();
    }
}

Result PmcRequestBase::make_name(const char* oid, OwnedPtr<IPmsOid>* name) const noexcept
{
    Result result = require_init();
    if (result != PSW_SUCCESS) {
        return result;
    }
    if (oid == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    name->reset(pmc_oid_from_text(oid, &result));
    if (!*name) {
        return result == PSW_ERR_NO_MEMORY ? result : PSW_ERR_PARAMETER;
    }
    return PSW_SUCCESS;
}

Result PmcRequestBase::add_null_binding(const char* oid, bool instance) noexcept
{
    OwnedPtr<IPmsOid> name;
    Result result = make_name(oid, &name);
    if (result != PSW_SUCCESS) {
        return result;
    }
    if (instance && (result = name->append(0)) != PSW_SUCCESS) {
        return result;
    }
    IPmsValue* value = create_value(kPmsNull, &result);
    if (value == nullptr) {
        return result;
    }
    // The PDU takes both, also when it fails.
    return m_pdu->add(name.release(), value);
}

Result PmcRequestBase::protocol_of_text(const char* address, int32_t* protocol) noexcept
{
    if (address == nullptr || protocol == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    IPmcNetworkAddress::EProtocol found = IPmcNetworkAddress::kUnspecified;
    const Result result = protocol_of(address, &found);
    if (result == PSW_SUCCESS) {
        *protocol = found;
    }
    return result;
}

Result PmcRequestBase::require_init() const noexcept
{
    return m_pdu && m_target ? PSW_SUCCESS : PSW_ERR_NOT_INITIALIZED;
}

SessionDispatcher* PmcRequestBase::make_dispatcher(Result* result) noexcept
{
    return create_session_dispatcher(result);
}

Result PmcRequestBase::exchange(int32_t type) noexcept
{
    Result result = require_init();
    if (result != PSW_SUCCESS) {
        return result;
    }
    m_pdu->set_type(type);
    if (m_security_mode == kSecurityModeUsm) {
        OwnedPtr<SessionDispatcher> dispatcher(make_dispatcher(&result));
        if (!dispatcher) {
            return result;
        }
        return dispatcher->send_sync(m_pdu.get(), m_target.get());
    }
    if (m_dispatcher == nullptr) {
        m_dispatcher = make_dispatcher(&result);
        if (m_dispatcher == nullptr) {
            return result;
        }
    }
    return m_dispatcher->send_sync(m_pdu.get(), m_target.get());
}

}  // namespace psw
