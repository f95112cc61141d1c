/* Compiled by the header tests as C99, C11 and C++11: psw.h must be valid in each, and every
 * exported function must have exactly the type below. A mismatch stops the compilation. */
#include <psw/psw.h>

#include <string.h>

#include "expect_type.h"

EXPECT_TYPE(PSWInit, int32_t, (PSWHandle*));
EXPECT_TYPE(PSWUnInit, void, (PSWHandle));
EXPECT_TYPE(PSWCommandString, int32_t, (PSWHandle, const char*, const char*));
EXPECT_TYPE(PSWCommandInteger, int32_t, (PSWHandle, const void*, const void*));
EXPECT_TYPE(PSWTransportAvailable, int16_t, (int32_t));
EXPECT_TYPE(PSWIsSupportedOID, int16_t, (PSWHandle, const char*));
EXPECT_TYPE(PSWFindDeviceSNMP, int32_t,
            (PSWHandle, const char*, int32_t, uint32_t, uint32_t, int32_t*));
EXPECT_TYPE(PSWFindDeviceSNMPEx, int32_t,
            (PSWHandle, const char*, int32_t, int32_t, PSWUSMSettings, uint32_t, uint32_t,
             int32_t*));
EXPECT_TYPE(PSWFindAddFilter, int32_t, (PSWHandle, const char*));
EXPECT_TYPE(PSWFindClearFilter, void, (PSWHandle));
EXPECT_TYPE(PSWFindResetPosition, void, (PSWHandle));
EXPECT_TYPE(PSWGetDeviceNext, int16_t, (PSWHandle, char*, char*, char*, char*));
EXPECT_TYPE(PSWInitDevice, int32_t, (PSWHandle, const char*, int32_t, uint32_t, uint32_t));
EXPECT_TYPE(PSWInitDeviceEx, int32_t,
            (PSWHandle, const char*, int32_t, int32_t, PSWUSMSettings, uint32_t, uint32_t));
EXPECT_TYPE(PSWRefreshOptions, int32_t, (PSWHandle));
EXPECT_TYPE(PSWGetOptionValueBoolean, int32_t, (PSWHandle, const char*, uint16_t, int16_t*));
EXPECT_TYPE(PSWGetOptionValueInteger, int32_t, (PSWHandle, const char*, uint16_t, int32_t*));
EXPECT_TYPE(PSWGetOptionValueUInteger, int32_t, (PSWHandle, const char*, uint16_t, uint32_t*));
EXPECT_TYPE(PSWGetOptionValueString, int32_t, (PSWHandle, const char*, uint16_t, char*));
EXPECT_TYPE(PSWGetNumberOfStorageInfo, int32_t, (PSWHandle, int32_t*));
EXPECT_TYPE(PSWGetStorageInfo, int32_t, (PSWHandle, int32_t, PSWStorageInfo*));
EXPECT_TYPE(PSWGetNumberOfDeviceInfo, int32_t, (PSWHandle, int32_t*));
EXPECT_TYPE(PSWGetDeviceInfo, int32_t, (PSWHandle, int32_t, PSWDeviceInfo*));
EXPECT_TYPE(PSWGetNumberOfInputTrayInfo, int32_t, (PSWHandle, int32_t*));
EXPECT_TYPE(PSWGetInputTrayInfo, int32_t, (PSWHandle, int32_t, PSWInputTrayInfo*));
EXPECT_TYPE(PSWGetNumberOfInputTrayInfoEx, int32_t, (PSWHandle, int32_t*));
EXPECT_TYPE(PSWGetInputTrayInfoEx, int32_t, (PSWHandle, int32_t, PSWInputTrayInfoEx*));
EXPECT_TYPE(PSWGetNumberOfOutputTrayInfo, int32_t, (PSWHandle, int32_t*));
EXPECT_TYPE(PSWGetOutputTrayInfo, int32_t, (PSWHandle, int32_t, PSWOutputTrayInfo*));
EXPECT_TYPE(PSWGetNumberOfTonerInfo, int32_t, (PSWHandle, int32_t*));
EXPECT_TYPE(PSWGetTonerInfo, int32_t, (PSWHandle, int32_t, PSWTonerInfo*));
EXPECT_TYPE(PSWGetNumberOfAlertInfo, int32_t, (PSWHandle, int32_t*));
EXPECT_TYPE(PSWGetAlertInfo, int32_t, (PSWHandle, int32_t, PSWAlertInfo*));
EXPECT_TYPE(PSWGetNumberOfJobInfo, int32_t, (PSWHandle, uint32_t, int32_t*));
EXPECT_TYPE(PSWGetJobInfo, int32_t, (PSWHandle, int32_t, PSWJobInfo*));
EXPECT_TYPE(PSWGetPrinterInfo, int32_t, (PSWHandle, PSWPrinterInfo*));
EXPECT_TYPE(PSWGetCharSet, int32_t, (PSWHandle, uint32_t, int32_t*));
EXPECT_TYPE(PSWCancelJob, int32_t, (PSWHandle, const char*));
EXPECT_TYPE(PSWLogSetLevel, int32_t, (const char*, uint32_t));
EXPECT_TYPE(PSWLogAttachStdout, int32_t, (void));
EXPECT_TYPE(PSWLogDetachStdout, int32_t, (void));
EXPECT_TYPE(PSWLogAttachFile, int32_t, (const char*, uint64_t));
EXPECT_TYPE(PSWLogDetachFile, int32_t, (void));
EXPECT_TYPE(PSWLogAttachCallback, int32_t, (PSWLogCallback, void*));
EXPECT_TYPE(PSWLogDetachCallback, int32_t, (void));
EXPECT_TYPE(PSWGetVersion, const char*, (void));
EXPECT_TYPE(PSWInitAnyDevice, int32_t, (PSWHandle, const char*, int32_t, uint32_t, uint32_t));
EXPECT_TYPE(PSWInitAnyDeviceEx, int32_t,
            (PSWHandle, const char*, int32_t, int32_t, PSWUSMSettings, uint32_t, uint32_t));
EXPECT_TYPE(PSWGetNumberOfSupplyInfo, int32_t, (PSWHandle, int32_t*));
EXPECT_TYPE(PSWGetSupplyInfo, int32_t, (PSWHandle, int32_t, PSWSupplyInfo*));
EXPECT_TYPE(PSWGetIdentityInfo, int32_t, (PSWHandle, PSWIdentityInfo*));
EXPECT_TYPE(PSWGetMediumSize, int32_t, (int32_t, int32_t, int32_t, int32_t*));

/* The constants are usable where C needs constant expressions. */
static const char community_command[] = PSW_CMD_SET_COMMUNITY_FIND;
static char found_address[PSW_DEVICE_TEXT_SIZE];
static char option_text[PSW_OPTION_TEXT_SIZE];
static const uint32_t log_levels[] = {PSW_LOG_ERROR, PSW_LOG_WARN,  PSW_LOG_INFO,
                                      PSW_LOG_DEBUG, PSW_LOG_TRACE, PSW_LOG_ALL};
static const int transports[] = {PSW_TRANSPORT_UDP_IPV4, PSW_TRANSPORT_IPX, PSW_TRANSPORT_NONE,
                                 PSW_TRANSPORT_UDP_IPV6};

/* A C caller builds the by-value settings record and reads records field by field. */
int32_t psw_c_check_use(PSWHandle handle)
{
    PSWUSMSettings settings;
    PSWInputTrayInfoEx tray;
    int32_t count = 0;
    memset(&settings, 0, sizeof settings);
    settings.security_level = PSW_USM_AUTH_PRIV;
    settings.auth_protocol = PSW_USM_AUTH_HMAC_SHA;
    settings.priv_protocol = PSW_USM_PRIV_AES;
    if (PSWGetInputTrayInfoEx(handle, 0, &tray) == PSW_SUCCESS && tray.tray.max_capacity < 0)
        return tray.extension;
    (void)community_command;
    (void)found_address;
    (void)option_text;
    (void)transports;
    (void)log_levels;
    return PSWFindDeviceSNMPEx(handle, 0, transports[0], PSW_SECURITY_MODE_V3, settings, 1000, 1,
                               &count);
}
