// Exported device-session calls: argument checks, then the member the call needs.
//
// The device layer (option set and device session) is built by PSWInitDevice; until it exists
// every call that needs it answers PSW_ERR_NOT_INITIALIZED after its argument checks.
#include "api/library_handle.h"
#include "api/transport.h"
#include "psw/psw.h"

namespace {

int32_t init_device(PSWHandle handle, const char* address, int32_t transport)
{
    if (handle == nullptr || address == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    if (psw::pmc_protocol_of_transport(transport) < 0) {
        return PSW_ERR_PARAMETER;
    }
    handle->release_device();
    // Building the option set and reading the printer needs the device layer.
    return PSW_ERR_UNSUPPORTED;
}

// The frame of every call that reads the device session.
int32_t needs_device(PSWHandle handle, const void* out)
{
    if (handle == nullptr || out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return handle->m_pDeviceQuery == nullptr ? PSW_ERR_NOT_INITIALIZED : PSW_SUCCESS;
}

// The frame of every call that reads the option set.
int32_t needs_options(PSWHandle handle, const char* name, const void* out)
{
    if (handle == nullptr || name == nullptr || out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return handle->m_pOptionSet == nullptr ? PSW_ERR_NOT_INITIALIZED : PSW_ERR_UNSUPPORTED;
}

}  // namespace

extern "C" {

PSW_API int32_t PSWInitDevice(PSWHandle handle, const char* address, int32_t transport,
                              uint32_t /*timeout*/, uint32_t /*retries*/)
{
    return init_device(handle, address, transport);
}

PSW_API int32_t PSWInitDeviceEx(PSWHandle handle, const char* address, int32_t transport,
                                int32_t /*securityMode*/, PSWUSMSettings /*settings*/,
                                uint32_t /*timeout*/, uint32_t /*retries*/)
{
    return init_device(handle, address, transport);
}

PSW_API int32_t PSWRefreshOptions(PSWHandle handle)
{
    if (handle == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    return handle->m_pOptionSet == nullptr ? PSW_ERR_NOT_INITIALIZED : PSW_ERR_UNSUPPORTED;
}

PSW_API int32_t PSWGetOptionValueBoolean(PSWHandle handle, const char* name, uint16_t,
                                         int16_t* out)
{
    return needs_options(handle, name, out);
}

PSW_API int32_t PSWGetOptionValueInteger(PSWHandle handle, const char* name, uint16_t,
                                         int32_t* out)
{
    return needs_options(handle, name, out);
}

PSW_API int32_t PSWGetOptionValueUInteger(PSWHandle handle, const char* name, uint16_t,
                                          uint32_t* out)
{
    return needs_options(handle, name, out);
}

PSW_API int32_t PSWGetOptionValueString(PSWHandle handle, const char* name, uint16_t, char* out)
{
    return needs_options(handle, name, out);
}

#define PSW_RECORD_CALLS(CountCall, CopyCall, Record)                                      \
    PSW_API int32_t CountCall(PSWHandle handle, int32_t* count)                            \
    {                                                                                      \
        return needs_device(handle, count);                                                \
    }                                                                                      \
    PSW_API int32_t CopyCall(PSWHandle handle, int32_t, Record* out)                       \
    {                                                                                      \
        return needs_device(handle, out);                                                  \
    }

PSW_RECORD_CALLS(PSWGetNumberOfStorageInfo, PSWGetStorageInfo, PSWStorageInfo)
PSW_RECORD_CALLS(PSWGetNumberOfDeviceInfo, PSWGetDeviceInfo, PSWDeviceInfo)
PSW_RECORD_CALLS(PSWGetNumberOfInputTrayInfo, PSWGetInputTrayInfo, PSWInputTrayInfo)
PSW_RECORD_CALLS(PSWGetNumberOfInputTrayInfoEx, PSWGetInputTrayInfoEx, PSWInputTrayInfoEx)
PSW_RECORD_CALLS(PSWGetNumberOfOutputTrayInfo, PSWGetOutputTrayInfo, PSWOutputTrayInfo)
PSW_RECORD_CALLS(PSWGetNumberOfTonerInfo, PSWGetTonerInfo, PSWTonerInfo)
PSW_RECORD_CALLS(PSWGetNumberOfAlertInfo, PSWGetAlertInfo, PSWAlertInfo)

#undef PSW_RECORD_CALLS

PSW_API int32_t PSWGetNumberOfJobInfo(PSWHandle handle, uint32_t kind, int32_t* count)
{
    if (handle == nullptr || count == nullptr || kind > PSW_JOB_KIND_SEPARATED) {
        return PSW_ERR_PARAMETER;
    }
    return needs_device(handle, count);
}

PSW_API int32_t PSWGetJobInfo(PSWHandle handle, int32_t, PSWJobInfo* out)
{
    return needs_device(handle, out);
}

PSW_API int32_t PSWGetPrinterInfo(PSWHandle handle, PSWPrinterInfo* out)
{
    return needs_device(handle, out);
}

PSW_API int32_t PSWGetCharSet(PSWHandle handle, uint32_t which, int32_t* out)
{
    if (handle == nullptr || out == nullptr || which > PSW_CHARSET_PRIVATE) {
        return PSW_ERR_PARAMETER;
    }
    return needs_device(handle, out);
}

PSW_API int32_t PSWCancelJob(PSWHandle handle, const char* jobId)
{
    return needs_device(handle, jobId);
}

}  // extern "C"
