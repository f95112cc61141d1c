// What the device commands share: the connection (address, resolved host name, time-out,
// community), a library handle bound to one printer, and the failures with their exit status.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "psw/psw.h"

namespace psw::cli {

constexpr uint32_t kDefaultTimeoutMs = 2000;
constexpr uint32_t kDefaultRetries = 1;
constexpr size_t kMaxAddressLength = PSW_DEVICE_TEXT_SIZE - 1;  // the library keeps 63 characters
constexpr size_t kMaxJobIdLength = 255;                         // a job identifier field holds 255

struct Connection {
    std::string name;     // the printer as the user wrote it (host name or address)
    std::string address;  // the numeric address the library is given
    int32_t transport = PSW_TRANSPORT_UDP_IPV4;
    uint32_t timeout_ms = kDefaultTimeoutMs;
    uint32_t retries = kDefaultRetries;
    std::optional<std::string> community;  // read community (--community)
    std::optional<PSWUSMSettings> usm;     // SNMPv3 settings when any SNMPv3 option was given

    // How long one exchange may wait in all: timeout × (retries + 1).
    uint32_t total_wait_ms() const;
    // "printer.example (192.0.2.7)" for a host name, the address alone otherwise.
    std::string shown() const;
    // The read community in use: the one given, or the library's default "public".
    std::string community_in_use() const;
};

// Fills `connection` from the options (the SNMPv3 ones included) and `address`: an IPv4 or IPv6
// address (with ':' or in brackets) is taken as it is, anything else is a host name resolved
// here (IPv4 first, IPv6 with --ipv6). On a bad value returns false with *error set.
bool read_connection(const ConnectionOptions& options, const std::string& address,
                     Connection* connection, std::string* error);

// PSWInitAnyDevice on `handle` for the connection's printer, or PSWInitAnyDeviceEx with
// security mode 2 when the connection speaks SNMPv3. Returns the library's code.
int32_t init_any_device(PSWHandle handle, const Connection& connection, uint32_t retries);
// The connection's read community on `handle` (when one was given), then init_any_device with
// the connection's retries. Returns the first failing library code, or 0.
int32_t set_up_any_device(PSWHandle handle, const Connection& connection);

// A failed run: the exit status, a word for scripts, the line after "psw: <command>: " and the
// library's code (0 when there is none).
struct Failure {
    int exit_code = kExitFailed;
    std::string kind;
    std::string message;
    int32_t code = 0;
};

// The failure of a library call: a time-out is "no_answer" (exit 3) with its likely causes,
// anything else "failed" (exit 1) with "<context>: <meaning> (<code>)".
Failure request_failure(const std::string& context, int32_t code, const Connection& connection);

// Prints "psw: <command>: <message>" on stderr and, with `json`, also one JSON object
// {"error": {...}} on stdout; returns the exit status.
int report(const std::string& command, const Failure& failure, const Connection& connection,
           bool json);

// report() of request_failure(context, code, connection): the usual end of a failed call.
int report_request_failure(const std::string& command, const std::string& context, int32_t code,
                           const Connection& connection, bool json);

// A library handle bound to one printer; released when the object ends.
class DeviceSession {
public:
    DeviceSession() = default;
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // PSWInit, the communities, then PSWInitDevice, or PSWInitDeviceEx with security mode 2 for
    // SNMPv3 (with a spinner on a terminal). A printer
    // of another model is bound with PSWInitAnyDevice when `any_model`, else it is a failure
    // (exit 5) whose message ends in `why_model`. Silence is told apart from a wrong community
    // by asking again with "public".
    std::optional<Failure> open(const Connection& connection,
                                const std::optional<std::string>& write_community, bool any_model,
                                const std::string& why_model =
                                    "this command needs the "
                                    "supported model");
    PSWHandle handle() const { return handle_; }
    // True when the printer is of the supported model (its options can be read).
    bool supported_model() const { return supported_; }

private:
    PSWHandle handle_ = nullptr;
    bool supported_ = false;
};

// Why a printer did not answer: asks it once more under the default community "public" when
// another one was used; a printer that answers then has a wrong community (exit 4), otherwise
// it is silent (exit 3). Over SNMPv3 there is no community to blame: it is silent then.
Failure silence_failure(const Connection& connection);

// The failure for a printer of another model, naming its sysObjectID and sysDescr when they
// can be read.
Failure other_model_failure(const Connection& connection, const std::string& what);

}  // namespace psw::cli
