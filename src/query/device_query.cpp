#include "query/device_query.h"

#include <cstring>

#include "core/text_field.h"
#include "query/plugin_usm.h"
#include "query/record_fields.h"

namespace psw {

IPmcGetData* pmc_default_get_data(Result* result) noexcept
{
    return pmc_create_get_data(result);
}

namespace {

constexpr char kDefaultWriteCommunity[] = "private";

}  // namespace

PSWDeviceQuery::PSWDeviceQuery(GetDataFactory factory) noexcept
    : m_create_get_data(factory != nullptr ? factory : pmc_default_get_data)
{
    pmc_copy_text(m_writeCommunity, sizeof m_writeCommunity, kDefaultWriteCommunity);
}

void PSWDeviceQuery::set_read_community(const char* community) noexcept
{
    pmc_copy_text(m_readCommunity, sizeof m_readCommunity, community);
    m_readCommunitySet = true;
}

void PSWDeviceQuery::set_write_community(const char* community) noexcept
{
    pmc_copy_text(m_writeCommunity, sizeof m_writeCommunity, community);
}

Result PSWDeviceQuery::init(int32_t protocol, const char* address, const IPSWPluginUSM* usm,
                            uint32_t timeout, uint32_t retries, uint32_t max_message_size) noexcept
{
    if (address == nullptr || usm == nullptr ||
        strnlen(address, kDeviceAddressSize) >= kDeviceAddressSize) {
        return PSW_ERR_PARAMETER;
    }
    uint16_t port = 0;
    switch (protocol) {
        case kProtocolUdpIpv4:
        case kProtocolUdpIpv6: port = kSnmpUdpPort; break;
        case kProtocolIpx: port = kSnmpIpxPort; break;
        default: return PSW_ERR_PARAMETER;
    }
    m_protocol = protocol;
    pmc_copy_text(m_address, sizeof m_address, address);
    m_port = port;
    m_timeout = timeout;
    m_retries = retries;
    m_maxMessageSize = max_message_size;
    m_securityMode = usm->security_mode();
    pmc_copy_text(m_userName, sizeof m_userName, usm->user_name());
    m_usm.security_level = usm->security_level();
    m_usm.auth_protocol = usm->auth_protocol();
    m_usm.priv_protocol = usm->priv_protocol();
    pmc_copy_text(m_authPassPhrase, sizeof m_authPassPhrase, usm->auth_pass_phrase());
    pmc_copy_text(m_privPassPhrase, sizeof m_privPassPhrase, usm->priv_pass_phrase());
    pmc_copy_text(m_contextName, sizeof m_contextName, usm->context_name());
    return PSW_SUCCESS;
}

void PSWDeviceQuery::clear_tables() noexcept
{
    m_storage.clear();
    m_devices.clear();
    m_inputTrays.clear();
    m_inputTraysEx.clear();
    m_outputTrays.clear();
    m_toners.clear();
    m_alerts.clear();
    m_jobs.clear();
    m_supplies.clear();
}

}  // namespace psw
