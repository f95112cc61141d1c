// The option set of the supported printer model: Init checks the printer's sysObjectID.
#include <cstring>

#include "core/factory.h"
#include "core/text_field.h"
#include "log/log_registry.h"
#include "psw/psw_options.h"
#include "query/mib_objects.h"
#include "request/request_objects.h"

namespace psw {

namespace {

constexpr char kSupportedModel[] = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";
constexpr size_t kSupportedModelLength = sizeof kSupportedModel - 1;

// The model itself or an identifier below it; 1.3.6.1.4.1.297.1.11.93.1.35.27.10 is another.
bool is_supported_model(const char* oid) noexcept
{
    return std::strncmp(oid, kSupportedModel, kSupportedModelLength) == 0 &&
           (oid[kSupportedModelLength] == '.' || oid[kSupportedModelLength] == '\0');
}

}  // namespace

CPSWBramblingOption::CPSWBramblingOption() noexcept : m_deviceOid{}
{
}

CPSWBramblingOption::CPSWBramblingOption(const CPSWBramblingOption& other) noexcept = default;

CPSWBramblingOption& CPSWBramblingOption::operator=(const CPSWBramblingOption& other) noexcept =
    default;

CPSWBramblingOption::~CPSWBramblingOption() = default;

int32_t CPSWBramblingOption::Init(int32_t protocol, const char* address, IPSWPluginUSM* usm,
                                  uint32_t timeout, uint32_t retries,
                                  uint32_t maxMessageSize) noexcept
{
    const int32_t code =
        CPSWDevCommOption::Init(protocol, address, usm, timeout, retries, maxMessageSize);
    if (code != PSW_SUCCESS) {
        return code;
    }
    return is_supported_device();
}

int32_t CPSWBramblingOption::is_supported_device() noexcept
{
    Result code = PSW_SUCCESS;
    OwnedPtr<IPmcGetData> request(create_request(&code));
    if (request == nullptr) {
        return code;
    }
    int32_t addressProtocol = 0;
    code = request->protocol_of(m_address, &addressProtocol);
    if (code != PSW_SUCCESS) {
        return code;
    }
    if (addressProtocol != m_protocol) {
        return PSW_ERR_PARAMETER;
    }
    code = init_request(request.get());
    if (code != PSW_SUCCESS) {
        return code;
    }
    code = request->add_oid_string(mib::kSysObjectId, true);
    if (code != PSW_SUCCESS) {
        pmc_log("PSW", kLogError, "pGetData->add_oid_string()", code);
        return code;
    }
    char oid[kDeviceOidSize] = {};
    static_assert(kDeviceOidSize >= kGetStringCapacity);
    code = request->get_string(oid);
    if (code != PSW_SUCCESS) {
        return code;
    }
    oid[kDeviceOidSize - 1] = '\0';
    pmc_copy_text(m_deviceOid, sizeof m_deviceOid, oid);
    return is_supported_model(m_deviceOid) ? PSW_SUCCESS : PSW_ERR_PARAMETER;
}

bool CPSWBramblingOption::is_supported_OID(const char* oid) noexcept
{
    if (oid == nullptr) {
        return true;
    }
    return std::strncmp(m_deviceOid, oid, std::strlen(oid)) == 0;
}

int32_t CPSWBramblingOption::get_option(const char* name, const char** value,
                                        int32_t index) const noexcept
{
    if (name == nullptr || value == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return CPSWDevCommOption::get_option(name, value, index);
}

int32_t CPSWBramblingOption::get_option(const char* name, int32_t* value,
                                        int32_t index) const noexcept
{
    if (name == nullptr || value == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return CPSWDevCommOption::get_option(name, value, index);
}

int32_t CPSWBramblingOption::get_option(const char* name, bool* value, int32_t index) const noexcept
{
    if (name == nullptr || value == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return CPSWDevCommOption::get_option(name, value, index);
}

}  // namespace psw
