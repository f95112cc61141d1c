// Exported calls of the library handle: creation, commands, transport and OID checks.
#include <cstdint>
#include <new>

#include "api/library_handle.h"
#include "api/transport.h"
#include "net/address_services.h"
#include "options/medium_size.h"
#include "psw/psw.h"
#include "psw/psw_options.h"

extern "C" {

PSW_API int32_t PSWInit(PSWHandle* out)
{
    if (out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    auto* library = new (std::nothrow) PSWLibrary();
    if (library == nullptr) {
        return PSW_INIT_NO_MEMORY;
    }
    const psw::Result result = library->create_members();
    if (result != PSW_SUCCESS) {
        delete library;
        return result;
    }
    *out = library;
    return PSW_SUCCESS;
}

PSW_API void PSWUnInit(PSWHandle handle)
{
    delete handle;
}

PSW_API int32_t PSWCommandString(PSWHandle handle, const char* command, const char* value)
{
    if (handle == nullptr || command == nullptr || value == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return handle->set_community(command, value);
}

PSW_API int32_t PSWCommandInteger(PSWHandle handle, const void* /*command*/, const void* value)
{
    if (handle == nullptr || value == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return PSW_ERR_UNSUPPORTED;
}

PSW_API int16_t PSWTransportAvailable(int32_t transport)
{
    const int32_t protocol = psw::pmc_protocol_of_transport(transport);
    if (protocol < 0 || protocol == psw::kProtocolNone) {
        return 0;
    }
    bool available = false;
    const psw::Result result = psw::transport_available(
        static_cast<psw::IPmcNetworkAddress::EProtocol>(protocol), &available);
    return result == PSW_SUCCESS && available ? 1 : 0;
}

PSW_API int16_t PSWIsSupportedOID(PSWHandle handle, const char* oid)
{
    if (handle == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (handle->m_pOptionSet == nullptr) {
        return 0;
    }
    if (oid == nullptr || *oid == '\0') {
        return 1;
    }
    return handle->m_pOptionSet->is_supported_OID(oid) ? 1 : 0;
}

}  // extern "C"

extern "C" {

// Extension: the library's version, as the headers it was built with give it.
PSW_API const char* PSWGetVersion(void)
{
    return PSW_VERSION;
}

// Extension: the option sets' medium-size table for any caller, e.g. psw's tray sizes.
PSW_API int32_t PSWGetMediumSize(int32_t unit, int32_t feed, int32_t crossFeed, int32_t* sizeCode)
{
    constexpr int32_t kTenThousandthsInch = 3;
    constexpr int32_t kMicrometres = 4;
    if (sizeCode == nullptr || feed < 0 || crossFeed < 0 ||
        (unit != kTenThousandthsInch && unit != kMicrometres)) {
        return PSW_ERR_PARAMETER;
    }
    // 1/10000 inch = 2.54 micrometres, rounded; 64-bit so that no dimension overflows.
    const auto to_um = [unit](int32_t value) noexcept {
        const int64_t um =
            unit == kMicrometres ? value : (static_cast<int64_t>(value) * 254 + 50) / 100;
        return um > INT32_MAX ? INT32_MAX : static_cast<int32_t>(um);
    };
    const int32_t code = psw::pmc_medium_size_code(to_um(feed), to_um(crossFeed));
    if (code == 0) {
        return PSW_ERR_NOT_FOUND;
    }
    *sizeCode = code;
    return PSW_SUCCESS;
}

}  // extern "C"
