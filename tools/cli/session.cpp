#include "cli/session.h"

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstring>

#include "cli/json_output.h"
#include "cli/messages.h"
#include "cli/progress.h"
#include "cli/usm_options.h"
#include "psw/psw_result.h"

namespace psw::cli {

namespace {

constexpr const char* kDefaultCommunity = "public";

bool is_address(const std::string& text)
{
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, text.c_str(), buffer) == 1 ||
           text.find(':') != std::string::npos;  // IPv6, possibly with a zone
}

// The first address of `name` in `family`; empty with *error set when there is none.
std::string resolve(const std::string& name, int family, std::string* error)
{
    addrinfo hints{};
    hints.ai_family = family;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
#if defined(_WIN32)
    // The program (not the library) links the socket library; it is started once and kept.
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) {
        *error = "cannot resolve host name '" + name + "': no socket library";
        return {};
    }
#endif
    const int code = getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (code != 0 || found == nullptr) {
        *error = "cannot resolve host name '" + name + "': " + gai_strerror(code);
        return {};
    }
    char text[INET6_ADDRSTRLEN] = {};
    const void* raw = family == AF_INET6
                          ? static_cast<const void*>(
                                &reinterpret_cast<const sockaddr_in6*>(found->ai_addr)->sin6_addr)
                          : static_cast<const void*>(
                                &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr);
    inet_ntop(family, raw, text, sizeof text);
    freeaddrinfo(found);
    return text;
}

// Whether the printer answers `community`: one read of hrPrinterTable on a handle of its own.
bool answers(const Connection& connection, const std::string& community)
{
    PSWHandle handle = nullptr;
    if (PSWInit(&handle) != PSW_SUCCESS) {
        return false;
    }
    PSWPrinterInfo printer;
    const bool answered =
        PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION, community.c_str()) ==
            PSW_SUCCESS &&
        init_any_device(handle, connection, 0) == PSW_SUCCESS &&
        run_with_progress("asking " + connection.address + " with \"" + community + "\"",
                          std::chrono::milliseconds(connection.timeout_ms),
                          [&] { return PSWGetPrinterInfo(handle, &printer); }) == PSW_SUCCESS;
    PSWUnInit(handle);
    return answered;
}

}  // namespace

uint32_t Connection::total_wait_ms() const
{
    const uint64_t total = static_cast<uint64_t>(timeout_ms) * (static_cast<uint64_t>(retries) + 1);
    return total > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(total);
}

std::string Connection::shown() const
{
    return name == address ? address : name + " (" + address + ")";
}

std::string Connection::community_in_use() const
{
    return community.value_or(kDefaultCommunity);
}

bool read_connection(const ConnectionOptions& options, const std::string& address,
                     Connection* connection, std::string* error)
{
    std::string text = address;
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        text = text.substr(1, text.size() - 2);
    }
    if (text.empty()) {
        *error = "the address is empty";
        return false;
    }
    connection->name = text;
    connection->address = text;
    if (!is_address(text)) {
        connection->address = resolve(text, options.ipv6 ? AF_INET6 : AF_INET, error);
        if (connection->address.empty()) {
            return false;
        }
    }
    if (connection->address.size() > kMaxAddressLength) {
        *error = "the address holds at most 63 characters";
        return false;
    }
    const bool ipv6 = options.ipv6 || connection->address.find(':') != std::string::npos;
    connection->transport = ipv6 ? PSW_TRANSPORT_UDP_IPV6 : PSW_TRANSPORT_UDP_IPV4;
    if (options.timeout) {
        auto value = parse_uint(*options.timeout, 1, 600000);
        if (!value) {
            *error =
                "--timeout takes milliseconds from 1 to 600000, not '" + *options.timeout + "'";
            return false;
        }
        connection->timeout_ms = *value;
    }
    if (options.retries) {
        auto value = parse_uint(*options.retries, 0, 100);
        if (!value) {
            *error = "--retries takes a number from 0 to 100, not '" + *options.retries + "'";
            return false;
        }
        connection->retries = *value;
    }
    if (options.community) {
        if (options.community->size() > PSW_COMMUNITY_MAX_LENGTH) {
            *error = "--community holds at most 255 characters";
            return false;
        }
        connection->community = *options.community;
    }
    return read_usm(options.usm, &connection->usm, error);
}

int32_t init_any_device(PSWHandle handle, const Connection& connection, uint32_t retries)
{
    if (connection.usm) {
        return PSWInitAnyDeviceEx(handle, connection.address.c_str(), connection.transport,
                                  PSW_SECURITY_MODE_V3, *connection.usm, connection.timeout_ms,
                                  retries);
    }
    return PSWInitAnyDevice(handle, connection.address.c_str(), connection.transport,
                            connection.timeout_ms, retries);
}

int32_t set_up_any_device(PSWHandle handle, const Connection& connection)
{
    if (connection.community) {
        const int32_t result = PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION,
                                                connection.community->c_str());
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
    return init_any_device(handle, connection, connection.retries);
}

Failure request_failure(const std::string& context, int32_t code, const Connection& connection)
{
    const std::string message =
        failure_text(context, code, connection.shown(), connection.total_wait_ms());
    if (code == PSW_ERR_TIMEOUT) {
        return {kExitNoAnswer, "no_answer", message, code};
    }
    return {kExitFailed, "failed", message, code};
}

Failure silence_failure(const Connection& connection)
{
    Failure failure = request_failure("", PSW_ERR_TIMEOUT, connection);
    if (connection.usm) {
        failure.message +=
            ": the printer is off or unreachable, no SNMP agent listens there, or the privacy "
            "pass phrase is wrong (the agent cannot read the request then)";
        return failure;
    }
    const std::string used = connection.community_in_use();
    if (used != kDefaultCommunity && answers(connection, kDefaultCommunity)) {
        failure.exit_code = kExitWrongCommunity;
        failure.kind = "wrong_community";
        failure.message += ": it answers the community \"public\" but not \"" + used +
                           "\"; the community is wrong";
        return failure;
    }
    failure.message +=
        ": the printer is off or unreachable, no SNMP agent listens there, or "
        "the community \"" +
        used +
        "\" is wrong (agents ignore requests with a "
        "wrong community)";
    return failure;
}

Failure other_model_failure(const Connection& connection, const std::string& what)
{
    std::string identity;
    PSWHandle handle = nullptr;
    if (PSWInit(&handle) == PSW_SUCCESS) {
        PSWIdentityInfo info;
        if (set_up_any_device(handle, connection) == PSW_SUCCESS &&
            PSWGetIdentityInfo(handle, &info) == PSW_SUCCESS) {
            identity = " (sysObjectID " + std::string(info.sys_object_id) + ", \"" +
                       std::string(info.sys_descr).substr(0, 60) + "\")";
        }
        PSWUnInit(handle);
    }
    return {kExitOtherModel, "other_model",
            connection.shown() + " is a printer of another model" + identity + ": " + what,
            PSW_ERR_PARAMETER};
}

int report(const std::string& command, const Failure& failure, const Connection& connection,
           bool json)
{
    std::fprintf(stderr, "psw: %s: %s\n", command.c_str(), failure.message.c_str());
    if (json) {
        Json error = {
            {"command", command},
            {"address", json_text(connection.address)},
            {"kind", failure.kind},
            {"exit_code", failure.exit_code},
            {"message", json_text(failure.message)},
        };
        if (failure.code != 0) {
            error["code"] = failure.code;
            error["meaning"] = psw_result_meaning(failure.code);
        } else {
            error["code"] = nullptr;
            error["meaning"] = nullptr;
        }
        print_json(Json{{"error", error}});
    }
    return failure.exit_code;
}

int report_request_failure(const std::string& command, const std::string& context, int32_t code,
                           const Connection& connection, bool json)
{
    return report(command, request_failure(context, code, connection), connection, json);
}

DeviceSession::~DeviceSession()
{
    if (handle_ != nullptr) {
        PSWUnInit(handle_);
    }
}

std::optional<Failure> DeviceSession::open(const Connection& connection,
                                           const std::optional<std::string>& write_community,
                                           bool any_model, const std::string& why_model)
{
    const std::string context = "cannot set up " + connection.shown();
    int32_t result = PSWInit(&handle_);
    if (result != PSW_SUCCESS) {
        handle_ = nullptr;
        return request_failure(context, result == PSW_INIT_NO_MEMORY ? PSW_ERR_NO_MEMORY : result,
                               connection);
    }
    if (connection.community) {
        result = PSWCommandString(handle_, PSW_CMD_SET_COMMUNITY_GET_OPTION,
                                  connection.community->c_str());
        if (result != PSW_SUCCESS) {
            return request_failure(context, result, connection);
        }
    }
    if (write_community) {
        result = PSWCommandString(handle_, PSW_CMD_SET_COMMUNITY_WRITE, write_community->c_str());
        if (result != PSW_SUCCESS) {
            return request_failure(context, result, connection);
        }
    }
    result = run_with_progress(
        "connecting to " + connection.address,
        std::chrono::milliseconds(connection.total_wait_ms()), [&] {
            if (connection.usm) {
                return PSWInitDeviceEx(handle_, connection.address.c_str(), connection.transport,
                                       PSW_SECURITY_MODE_V3, *connection.usm, connection.timeout_ms,
                                       connection.retries);
            }
            return PSWInitDevice(handle_, connection.address.c_str(), connection.transport,
                                 connection.timeout_ms, connection.retries);
        });
    if (result == PSW_SUCCESS) {
        supported_ = true;
        return std::nullopt;
    }
    if (result == PSW_ERR_TIMEOUT) {
        return silence_failure(connection);
    }
    // The arguments were checked here, so -2 means that the printer answered with another
    // sysObjectID, and -7 that it has none.
    if (result != PSW_ERR_PARAMETER && result != PSW_ERR_TOO_LONG) {
        return request_failure(context, result, connection);
    }
    if (!any_model) {
        return other_model_failure(connection, why_model);
    }
    result = init_any_device(handle_, connection, connection.retries);
    if (result != PSW_SUCCESS) {
        return request_failure(context, result, connection);
    }
    return std::nullopt;
}

}  // namespace psw::cli
