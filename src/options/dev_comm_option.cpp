// The generic option set: construction, copying, connection, community and the refresh.
#include <climits>
#include <cstring>

#include "core/factory.h"
#include "core/text_field.h"
#include "log/log_registry.h"
#include "net/network_address.h"
#include "options/get_data_factory.h"
#include "psw/psw_options.h"
#include "query/plugin_usm.h"
#include "request/request_objects.h"

namespace psw {

namespace {

constexpr uint16_t kUdpPort = 161;
constexpr uint16_t kIpxPort = 36879;

// The request takes signed counts; larger values mean "as long as possible".
int32_t clamp_count(uint32_t value) noexcept
{
    return value > static_cast<uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(value);
}

const char* or_empty(const char* text) noexcept
{
    return text != nullptr ? text : "";
}

}  // namespace

CPSWDevCommOption::CPSWDevCommOption() noexcept
    : m_protocol(IPmcNetworkAddress::kUnspecified),
      m_address{},
      m_port(0),
      m_timeout(0),
      m_retries(0),
      m_maxMessageSize(0),
      m_securityMode(0),
      m_pUserName(nullptr),
      m_securityLevel(0),
      m_authProtocol(0),
      m_privProtocol(0),
      m_pAuthPassPhrase(nullptr),
      m_pPrivPassPhrase(nullptr),
      m_pContextName(nullptr),
      m_connected(false),
      m_community{},
      m_communitySet(false),
      m_pfnCreateGetData(pmc_option_get_data_factory)
{
    initialize_data();
}

CPSWDevCommOption::CPSWDevCommOption(const CPSWDevCommOption& other) noexcept = default;

CPSWDevCommOption& CPSWDevCommOption::operator=(const CPSWDevCommOption& other) noexcept = default;

CPSWDevCommOption::~CPSWDevCommOption() = default;

void CPSWDevCommOption::destroy() noexcept
{
    delete this;
}

void CPSWDevCommOption::SetCommunityStr(const char* community) noexcept
{
    if (community == nullptr) {
        return;
    }
    pmc_copy_text(m_community, sizeof m_community, community);
    m_communitySet = true;
}

int32_t CPSWDevCommOption::Init(int32_t protocol, const char* address, IPSWPluginUSM* usm,
                                uint32_t timeout, uint32_t retries,
                                uint32_t maxMessageSize) noexcept
{
    // A longer address would be cut to another name: refuse it rather than ask a stranger.
    if (address == nullptr || strnlen(address, kAddressSize) >= kAddressSize) {
        return PSW_ERR_PARAMETER;
    }
    pmc_copy_text(m_address, sizeof m_address, address);
    m_protocol = protocol;
    switch (protocol) {
        case IPmcNetworkAddress::kUdpIpv4:
        case IPmcNetworkAddress::kUdpIpv6: m_port = kUdpPort; break;
        case IPmcNetworkAddress::kIpx: m_port = kIpxPort; break;
        default: m_connected = false; return PSW_ERR_PARAMETER;
    }
    m_timeout = timeout;
    m_retries = retries;
    m_maxMessageSize = maxMessageSize;
    if (usm != nullptr) {
        m_securityMode = usm->security_mode();
        m_pUserName = usm->user_name();
        m_securityLevel = usm->security_level();
        m_authProtocol = usm->auth_protocol();
        m_privProtocol = usm->priv_protocol();
        m_pAuthPassPhrase = usm->auth_pass_phrase();
        m_pPrivPassPhrase = usm->priv_pass_phrase();
        m_pContextName = usm->context_name();
    } else {
        m_securityMode = 0;
        m_pUserName = nullptr;
        m_securityLevel = 0;
        m_authProtocol = 0;
        m_privProtocol = 0;
        m_pAuthPassPhrase = nullptr;
        m_pPrivPassPhrase = nullptr;
        m_pContextName = nullptr;
    }
    m_connected = true;
    return PSW_SUCCESS;
}

void CPSWDevCommOption::initialize_data() noexcept
{
    std::memset(m_romVersion, 0, sizeof m_romVersion);
    std::memset(m_sysName, 0, sizeof m_sysName);
    std::memset(m_sapUnitName, 0, sizeof m_sapUnitName);
    m_duplexModule = false;
    m_manualSheetInserter = false;
    m_offsetCatch = false;
    m_isdnG4Kit = false;
    m_lineSwitchKit = false;
    m_memorySizeKB = 0;
    m_faxMaxSpeedDial = 0;
    m_faxType = 0;
    m_romVersionMajor = 0;
    m_romVersionMinor = 0;
    m_romVersionRevision = 0;
    m_paperSizeGroupSetting = 0;
    m_paperSize8KSetting = 0;
    m_printLimitedColorSetting = 0;
    m_minPasswordLength = 0;
    m_userPromptSetting = 0;
    m_deviceCount = 0;
    std::memset(m_devices, 0, sizeof m_devices);
    m_inputTrayCount = 0;
    std::memset(m_inputTrays, 0, sizeof m_inputTrays);
    m_outputTrayCount = 0;
    std::memset(m_outputTrays, 0, sizeof m_outputTrays);
}

void CPSWDevCommOption::set_get_data_factory(PmcGetDataFactory factory) noexcept
{
    m_pfnCreateGetData = factory != nullptr ? factory : pmc_option_get_data_factory;
}

IPmcGetData* CPSWDevCommOption::create_request(int32_t* result) const noexcept
{
    Result code = PSW_ERR_NO_MEMORY;
    IPmcGetData* request = m_pfnCreateGetData(&code);
    if (request == nullptr) {
        if (code == PSW_SUCCESS) {
            code = PSW_ERR_NO_MEMORY;
        }
        pmc_log("PSW", kLogError, "pmc_create_get_data()", code);
        set_result(result, code);
        return nullptr;
    }
    set_result(result, PSW_SUCCESS);
    return request;
}

int32_t CPSWDevCommOption::init_request(IPmcGetData* request) const noexcept
{
    Result code = PSW_SUCCESS;
    if (m_communitySet) {
        code = request->set_community(m_community);
    }
    if (code == PSW_SUCCESS) {
        const PmcUsmValues usm{or_empty(m_pUserName),
                               m_securityLevel,
                               m_authProtocol,
                               m_privProtocol,
                               or_empty(m_pAuthPassPhrase),
                               or_empty(m_pPrivPassPhrase),
                               or_empty(m_pContextName)};
        code = request->init(m_address, m_protocol, m_port, m_securityMode, usm,
                             clamp_count(m_timeout), clamp_count(m_retries), m_maxMessageSize);
    }
    if (code != PSW_SUCCESS) {
        pmc_log("PSW", kLogError, "pGetData->init()", code);
    }
    return code;
}

IPmcGetData* CPSWDevCommOption::open_request(int32_t* result) const noexcept
{
    IPmcGetData* request = create_request(result);
    if (request == nullptr) {
        return nullptr;
    }
    const Result code = init_request(request);
    if (code != PSW_SUCCESS) {
        request->release();
        set_result(result, code);
        return nullptr;
    }
    return request;
}

int32_t CPSWDevCommOption::refresh_options() noexcept
{
    initialize_data();
    if (!m_connected) {
        return PSW_ERR_NOT_INITIALIZED;
    }
    using Step = int32_t (CPSWDevCommOption::*)() noexcept;
    static constexpr Step kSteps[] = {
        &CPSWDevCommOption::refresh_system_attributes,
        &CPSWDevCommOption::refresh_hrdevice_table,
        &CPSWDevCommOption::refresh_input_tray_table,
        &CPSWDevCommOption::refresh_output_tray_table,
        &CPSWDevCommOption::refresh_memory_size,
        &CPSWDevCommOption::refresh_prt_media_table,
        &CPSWDevCommOption::refresh_netware_attributes,
        &CPSWDevCommOption::refresh_fax_attributes,
        &CPSWDevCommOption::refresh_xcm_hrdev_detail_setting,
    };
    for (Step step : kSteps) {
        const int32_t code = (this->*step)();
        if (code != PSW_SUCCESS) {
            return code;
        }
    }
    return PSW_SUCCESS;
}

}  // namespace psw
