// The wire trace: each datagram of the SNMP engine written as hex with its peer, at level Debug
// on the logger "snmp". A datagram longer than kWireTraceBytesPerLine bytes takes several lines,
// each saying at which byte it starts, so a reader can join them:
//   send to 127.0.0.2 port 161, 300 bytes, at 0: 3082012802...
//   send to 127.0.0.2 port 161, 300 bytes, at 256: 0500...
#pragma once

#include <cstddef>
#include <cstdint>

#include "log/log_interfaces.h"

namespace psw {

// Bytes shown per line: 512 hex digits plus header and prefix stay well inside the 1024
// characters of a log line.
inline constexpr size_t kWireTraceBytesPerLine = 256;

// Writes the lines; `what` is "send to" or "receive from", `peer` the peer's address text.
// borrowed: every argument is only read during the call
void pmc_write_wire_trace(IPmcLogger& logger, const char* what, const char* peer, unsigned port,
                          const uint8_t* bytes, size_t length) noexcept;

// The trace of one datagram on the channel "snmp"; when nobody listens at Debug it costs one
// test of the logger's live mask and formats nothing.
// borrowed: every argument is only read during the call
void pmc_trace_datagram(const char* what, const char* peer, unsigned port, const uint8_t* bytes,
                        size_t length) noexcept;

}  // namespace psw
