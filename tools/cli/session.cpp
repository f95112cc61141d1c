#include "cli/session.h"

#include <chrono>
#include <cstdio>

#include "cli/names.h"
#include "cli/progress.h"

namespace psw::cli {

std::vector<OptionSpec> connection_options()
{
    std::vector<OptionSpec> options = {{"timeout", true},
                                       {"retries", true},
                                       {"community", true},
                                       {"ipv6", false},
                                       {"json", false}};
    const std::vector<OptionSpec> usm = usm_options();
    options.insert(options.end(), usm.begin(), usm.end());
    return options;
}

uint32_t Connection::total_wait_ms() const
{
    const uint64_t total = static_cast<uint64_t>(timeout_ms) * (static_cast<uint64_t>(retries) + 1);
    return total > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(total);
}

bool read_connection(const ParsedArgs& parsed, const std::string& address, Connection* connection,
                     std::string* error)
{
    connection->address = address;
    if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
        connection->address = address.substr(1, address.size() - 2);
    }
    if (connection->address.empty()) {
        *error = "the address is empty";
        return false;
    }
    if (connection->address.size() > kMaxAddressLength) {
        *error = "the address holds at most 63 characters";
        return false;
    }
    const bool ipv6 = parsed.has_flag("ipv6") || connection->address.find(':') != std::string::npos;
    connection->transport = ipv6 ? PSW_TRANSPORT_UDP_IPV6 : PSW_TRANSPORT_UDP_IPV4;
    if (auto text = parsed.value("timeout")) {
        auto value = parse_uint(*text, 1, 600000);
        if (!value) {
            *error = "--timeout takes milliseconds from 1 to 600000, not '" + *text + "'";
            return false;
        }
        connection->timeout_ms = *value;
    }
    if (auto text = parsed.value("retries")) {
        auto value = parse_uint(*text, 0, 100);
        if (!value) {
            *error = "--retries takes a number from 0 to 100, not '" + *text + "'";
            return false;
        }
        connection->retries = *value;
    }
    if (auto text = parsed.value("community")) {
        if (text->size() > PSW_COMMUNITY_MAX_LENGTH) {
            *error = "--community holds at most 255 characters";
            return false;
        }
        connection->community = *text;
    }
    return read_usm(parsed, &connection->usm, error);
}

int usage_error(const std::string& command, const std::string& message)
{
    std::fprintf(stderr, "psw: %s: %s\nTry 'psw %s --help'.\n", command.c_str(), message.c_str(),
                 command.c_str());
    return 2;
}

int report_failure(const std::string& command, const std::string& context, int32_t code,
                   const Connection& connection)
{
    std::fprintf(stderr, "psw: %s: %s\n", command.c_str(),
                 failure_text(context, code, connection.address, connection.total_wait_ms()).c_str());
    return 1;
}

DeviceSession::~DeviceSession()
{
    if (handle_ != nullptr) {
        PSWUnInit(handle_);
    }
}

int32_t DeviceSession::open(const Connection& connection,
                            const std::optional<std::string>& write_community)
{
    int32_t result = PSWInit(&handle_);
    if (result != PSW_SUCCESS) {
        handle_ = nullptr;
        return result == PSW_INIT_NO_MEMORY ? PSW_ERR_NO_MEMORY : result;
    }
    if (connection.community) {
        result = PSWCommandString(handle_, PSW_CMD_SET_COMMUNITY_GET_OPTION,
                                  connection.community->c_str());
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
    if (write_community) {
        result = PSWCommandString(handle_, PSW_CMD_SET_COMMUNITY_WRITE, write_community->c_str());
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
    return run_with_progress("connecting to " + connection.address,
                             std::chrono::milliseconds(connection.total_wait_ms()), [&] {
                                 if (connection.usm) {
                                     return PSWInitDeviceEx(
                                         handle_, connection.address.c_str(),
                                         connection.transport, PSW_SECURITY_MODE_V3,
                                         *connection.usm, connection.timeout_ms,
                                         connection.retries);
                                 }
                                 return PSWInitDevice(handle_, connection.address.c_str(),
                                                      connection.transport, connection.timeout_ms,
                                                      connection.retries);
                             });
}

}  // namespace psw::cli
