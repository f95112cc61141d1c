// Net-SNMP as the SNMPv3 session uses it: one use at a time in the whole process, and its
// result codes in the library's terms.
//
// Net-SNMP keeps process-wide state (its user table, engine-time cache, request ids, log
// handlers). The library serialises every use behind one lock instead of sharing that state
// between threads: a CPmsNetSnmpUse holds the lock for its whole life. The first use
// initialises Net-SNMP, which then stays initialised (shutting it down and initialising it again
// loses memory inside Net-SNMP). Net-SNMP reads no configuration file, loads and saves no
// persistent state and writes its log messages to the "snmp" channel only (never to stdout or
// stderr). A session removes the user it made from Net-SNMP's user table when it closes, so no
// keys outlive a request.
#pragma once

#include <cstdint>

#include "core/result.h"

namespace psw {

class CPmsNetSnmpUse {
public:
    // Takes the process-wide lock; the first time also sets Net-SNMP's switches, hooks its log
    // and initialises it.
    CPmsNetSnmpUse() noexcept;
    // Releases the lock.
    ~CPmsNetSnmpUse();
    CPmsNetSnmpUse(const CPmsNetSnmpUse&) = delete;
    CPmsNetSnmpUse& operator=(const CPmsNetSnmpUse&) = delete;
};

// The library result of a Net-SNMP error number (SNMPERR_*): the table of the SNMPv3 session.
Result pms_netsnmp_result(int32_t snmp_error) noexcept;

// The library result of a synchronous send's status and the session's error number: 0 for
// success, PSW_ERR_TIMEOUT for a time-out status, else the error number's translation.
Result pms_netsnmp_status_result(int32_t status, int32_t snmp_error) noexcept;

// The level of the "snmp" channel for a syslog priority of a Net-SNMP log message.
uint32_t pms_netsnmp_log_level(int32_t priority) noexcept;

}  // namespace psw
