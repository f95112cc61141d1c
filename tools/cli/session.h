// What the device commands share: the connection options, a library handle bound to one
// printer, and the failure and usage messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/usm_options.h"
#include "psw/psw.h"

namespace psw::cli {

constexpr uint32_t kDefaultTimeoutMs = 2000;
constexpr uint32_t kDefaultRetries = 1;
constexpr size_t kMaxAddressLength = PSW_DEVICE_TEXT_SIZE - 1;  // the library keeps 63 characters
constexpr size_t kMaxJobIdLength = 255;                         // a job identifier field holds 255

// The options every device command takes (the SNMPv3 options of usm_options.h included).
std::vector<OptionSpec> connection_options();

struct Connection {
    std::string address;
    int32_t transport = PSW_TRANSPORT_UDP_IPV4;
    uint32_t timeout_ms = kDefaultTimeoutMs;
    uint32_t retries = kDefaultRetries;
    std::optional<std::string> community;  // read community (--community)
    std::optional<PSWUSMSettings> usm;     // SNMPv3 settings when any SNMPv3 option was given

    // How long one exchange may wait in all: timeout × (retries + 1).
    uint32_t total_wait_ms() const;
};

// Fills `connection` from --timeout, --retries, --community, --ipv6, the SNMPv3 options and
// the address; an
// address with a ':' (or in brackets) is taken as IPv6. On a bad value returns false with
// *error set.
bool read_connection(const ParsedArgs& parsed, const std::string& address, Connection* connection,
                     std::string* error);

// Prints "psw: <command>: <message>" and a pointer to --help on stderr; returns 2.
int usage_error(const std::string& command, const std::string& message);
// Prints "psw: <command>: <failure_text(...)>" on stderr; returns 1.
int report_failure(const std::string& command, const std::string& context, int32_t code,
                   const Connection& connection);

// A library handle bound to one printer; released when the object ends.
class DeviceSession {
public:
    DeviceSession() = default;
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // PSWInit, the communities, then PSWInitDevice, or PSWInitDeviceEx with security mode 2 for
    // SNMPv3 (with a spinner on a terminal). Returns the
    // first failing code, or PSW_SUCCESS.
    int32_t open(const Connection& connection, const std::optional<std::string>& write_community);
    PSWHandle handle() const { return handle_; }

private:
    PSWHandle handle_ = nullptr;
};

}  // namespace psw::cli
