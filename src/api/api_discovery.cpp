// Exported discovery calls: the discovery itself, filters and the list of found devices.
#include <cstring>

#include "api/discovery.h"
#include "api/library_handle.h"
#include "api/transport.h"
#include "psw/psw.h"

namespace {

int32_t find_devices(PSWHandle handle, const char* address, int32_t transport,
                     int32_t security_mode, const PSWUSMSettings& settings, uint32_t timeout,
                     uint32_t retries, int32_t* count)
{
    if (handle == nullptr || count == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    const int32_t protocol = psw::pmc_protocol_of_transport(transport);
    if (protocol < 0) {
        return PSW_ERR_PARAMETER;
    }
    if (protocol == psw::kProtocolNone) {
        return PSW_ERR_UNSUPPORTED;
    }
    handle->m_pUsm->set_settings(security_mode, settings);
    if (handle->m_findCommunity[0] != '\0') {
        handle->m_pFinder->set_community(handle->m_findCommunity);
    }
    const psw::PSWDiscoveryRequest request = {address, protocol, timeout, retries};
    return psw::pmc_discover(handle->m_pFinder, handle->m_pUsm, request, count);
}

}  // namespace

extern "C" {

PSW_API int32_t PSWFindDeviceSNMP(PSWHandle handle, const char* address, int32_t transport,
                                  uint32_t timeout, uint32_t retries, int32_t* count)
{
    PSWUSMSettings settings;
    std::memset(&settings, 0, sizeof settings);
    return find_devices(handle, address, transport, PSW_SECURITY_MODE_COMMUNITY, settings,
                        timeout, retries, count);
}

PSW_API int32_t PSWFindDeviceSNMPEx(PSWHandle handle, const char* address, int32_t transport,
                                    int32_t securityMode, PSWUSMSettings settings,
                                    uint32_t timeout, uint32_t retries, int32_t* count)
{
    return find_devices(handle, address, transport, securityMode, settings, timeout, retries,
                        count);
}

PSW_API int32_t PSWFindAddFilter(PSWHandle handle, const char* filter)
{
    if (handle == nullptr || filter == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return handle->m_pFinder->add_filter(filter);
}

PSW_API void PSWFindClearFilter(PSWHandle handle)
{
    if (handle != nullptr) {
        handle->m_pFinder->clear_filters();
    }
}

PSW_API void PSWFindResetPosition(PSWHandle handle)
{
    if (handle != nullptr) {
        handle->m_pFinder->reset_position();
    }
}

PSW_API int16_t PSWGetDeviceNext(PSWHandle handle, char* address, char* modelName,
                                 char* reserved, char* sysObjectId)
{
    if (handle == nullptr || address == nullptr || modelName == nullptr || reserved == nullptr ||
        sysObjectId == nullptr) {
        return 0;
    }
    psw::PSWFoundDevice device;
    if (!handle->m_pFinder->next(&device)) {
        return 0;
    }
    std::memcpy(address, device.address, std::strlen(device.address) + 1);
    std::memcpy(modelName, device.model_name, std::strlen(device.model_name) + 1);
    *reserved = '\0';
    std::memcpy(sysObjectId, device.sys_object_id, std::strlen(device.sys_object_id) + 1);
    return 1;
}

}  // extern "C"
