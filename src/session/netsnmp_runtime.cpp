#include "session/netsnmp_runtime.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstring>

#include "core/platform/lock.h"
#include "log/log_channel.h"

namespace psw {

namespace {

// Every use of Net-SNMP in the process, one after the other.
PmcLock& netsnmp_lock() noexcept
{
    static PmcLock lock;
    return lock;
}

// Net-SNMP is initialised once, by the first use, and stays initialised: every shutdown and
// initialisation would lose memory inside Net-SNMP's MIB set-up (4800 bytes a time in 5.9) and
// pull the process-wide state from under any other Net-SNMP user in the host.
bool g_initialised = false;

// Set while init_snmp runs (under the lock): Net-SNMP then reports on its own set-up, for
// example that it found no MIB modules to load, which the library never asks it to.
bool g_initialising = false;

// Forwards one Net-SNMP log message to the "snmp" channel without its line end.
int forward_log_message(int /*major*/, int /*minor*/, void* server_argument, void* /*client*/)
{
    const auto* message = static_cast<const snmp_log_message*>(server_argument);
    if (message == nullptr || message->msg == nullptr) {
        return 0;
    }
    size_t length = std::strlen(message->msg);
    while (length > 0 && (message->msg[length - 1] == '\n' || message->msg[length - 1] == '\r')) {
        --length;
    }
    const uint32_t level = g_initialising ? kLogDebug : pms_netsnmp_log_level(message->priority);
    pmc_snmp_channel().logger()->output(level, "%.*s", static_cast<int>(length), message->msg);
    return 0;
}

void set_switches() noexcept
{
    static const int kOn[] = {
        NETSNMP_DS_LIB_DONT_READ_CONFIGS,       NETSNMP_DS_LIB_DONT_PERSIST_STATE,
        NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE,
        NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES,    NETSNMP_DS_LIB_NO_TOKEN_WARNINGS,
        NETSNMP_DS_LIB_ALARM_DONT_USE_SIG,
    };
    for (const int which : kOn) {
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, which, 1);
    }
    // No folder to read MIB modules from, and no complaint about the modules not found: the
    // session works with numeric identifiers only.
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIBDIRS, "");
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_ERRORS, 0);
    netsnmp_ds_set_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_WARNINGS, 0);
}

void hook_log() noexcept
{
    // The callback handler receives every message; with a handler registered Net-SNMP no
    // longer falls back to stderr.
    snmp_register_callback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_LOGGING, forward_log_message,
                           nullptr);
    netsnmp_log_handler* handler =
        netsnmp_register_loghandler(NETSNMP_LOGHANDLER_CALLBACK, LOG_DEBUG);
    if (handler != nullptr) {
        handler->pri_max = LOG_EMERG;
    }
}

}  // namespace

CPmsNetSnmpUse::CPmsNetSnmpUse() noexcept
{
    netsnmp_lock().lock();
    if (!g_initialised) {
        set_switches();
        hook_log();
        g_initialising = true;
        init_snmp("");
        g_initialising = false;
        g_initialised = true;
    }
}

CPmsNetSnmpUse::~CPmsNetSnmpUse()
{
    netsnmp_lock().unlock();
}

Result pms_netsnmp_result(int32_t snmp_error) noexcept
{
    switch (snmp_error) {
        case SNMPERR_SUCCESS: return PSW_SUCCESS;
        case SNMPERR_JUST_A_CONTEXT_PROBE: return PSW_ERR_NOT_AVAILABLE;
        case SNMPERR_PROTOCOL:
        case SNMPERR_USM_DECRYPTIONERROR:
        case SNMPERR_USM_NOTINTIMEWINDOW:
        case SNMPERR_USM_UNKNOWNENGINEID:
        case SNMPERR_USM_PARSEERROR:
        case SNMPERR_UNKNOWN_REPORT:
        case SNMPERR_SC_GENERAL_FAILURE:
        case SNMPERR_INVALID_MSG:
        case SNMPERR_ASN_PARSE_ERR:
        case SNMPERR_BAD_PARSE:
        case SNMPERR_BAD_ASN1_BUILD: return PSW_ERR_MALFORMED;
        case SNMPERR_MALLOC: return PSW_ERR_NO_MEMORY;
        case SNMPERR_VAR_TYPE:
        case SNMPERR_NO_VARS:
        case SNMPERR_NULL_PDU:
        case SNMPERR_UNKNOWN_OBJID:
        case SNMPERR_VALUE:
        case SNMPERR_BAD_NAME:
        case SNMPERR_USM_ENCRYPTIONERROR:
        case SNMPERR_BAD_SEC_LEVEL:
        case SNMPERR_BAD_SEC_NAME:
        case SNMPERR_UNKNOWN_PDU:
        case SNMPERR_NOAUTH_DESPRIV:
        case SNMPERR_BAD_CONTEXT:
        case SNMPERR_BAD_VERSION:
        case SNMPERR_TOO_LONG:
        case SNMPERR_BAD_SESSION:
        case SNMPERR_BAD_ADDRESS: return PSW_ERR_PARAMETER;
        case SNMPERR_USM_AUTHENTICATIONFAILURE:
        case SNMPERR_USM_UNSUPPORTEDSECURITYLEVEL:
        case SNMPERR_USM_UNKNOWNSECURITYNAME:
        case SNMPERR_USM_GENERICERROR:
        case SNMPERR_DECRYPTION_ERR:
        case SNMPERR_NOT_IN_TIME_WINDOW:
        case SNMPERR_AUTHENTICATION_FAILURE:
        case SNMPERR_UNSUPPORTED_SEC_LEVEL:
        case SNMPERR_UNKNOWN_USER_NAME:
        case SNMPERR_UNKNOWN_SEC_MODEL: return PSW_ERR_SECURITY;
        case SNMPERR_UNKNOWN_ENG_ID:
        case SNMPERR_BAD_RECVFROM: return PSW_ERR_RECEIVE;
        case SNMPERR_TIMEOUT: return PSW_ERR_TIMEOUT;
        case SNMPERR_BAD_SENDTO: return PSW_ERR_SEND;
        default: return PSW_ERR_SNMPV3;
    }
}

Result pms_netsnmp_status_result(int32_t status, int32_t snmp_error) noexcept
{
    if (status == STAT_SUCCESS) {
        return PSW_SUCCESS;
    }
    return status == STAT_TIMEOUT ? PSW_ERR_TIMEOUT : pms_netsnmp_result(snmp_error);
}

uint32_t pms_netsnmp_log_level(int32_t priority) noexcept
{
    if (priority <= LOG_ERR) {
        return kLogError;
    }
    if (priority == LOG_WARNING) {
        return kLogWarn;
    }
    return priority == LOG_DEBUG ? kLogDebug : kLogInfo;
}

}  // namespace psw
