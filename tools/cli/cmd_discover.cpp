// psw discover: finds the printers of the supported model.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/progress.h"
#include "cli/session.h"
#include "cli/table.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

constexpr const char* kSupportedModel = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";

struct Options {
    ConnectionOptions connection;
    std::vector<std::string> filters;
};

struct Found {
    std::string address;
    std::string model;
    std::string sys_object_id;
};

// Why a single address gave no device of the supported model: it is silent, it ignores the
// community, it is of another model, or the filters left it out (nullopt then).
std::optional<Failure> why_not_found(const Connection& connection)
{
    PSWHandle handle = nullptr;
    if (PSWInit(&handle) != PSW_SUCCESS) {
        return std::nullopt;
    }
    PSWIdentityInfo identity;
    int32_t result = PSW_SUCCESS;
    if (connection.community) {
        result = PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_GET_OPTION,
                                  connection.community->c_str());
    }
    if (result == PSW_SUCCESS) {
        result = init_any_device(handle, connection, connection.retries);
    }
    if (result == PSW_SUCCESS) {
        result = run_with_progress("asking " + connection.address,
                                   std::chrono::milliseconds(connection.total_wait_ms()),
                                   [&] { return PSWGetIdentityInfo(handle, &identity); });
    }
    PSWUnInit(handle);
    if (result == PSW_ERR_TIMEOUT) {
        return silence_failure(connection);
    }
    if (result != PSW_SUCCESS) {
        return request_failure("no supported device answered via " + connection.shown(), result,
                               connection);
    }
    if (std::strcmp(identity.sys_object_id, kSupportedModel) == 0) {
        return std::nullopt;
    }
    return Failure{kExitOtherModel, "other_model",
                   connection.shown() +
                       " answered but is a printer of another model "
                       "(sysObjectID " +
                       std::string(identity.sys_object_id) +
                       "): 'psw status' reads it; discovery lists the supported model only",
                   0};
}

int run_discover(const CLI::App* command, const Options& options)
{
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return usage_error("discover", error);
    }
    const std::vector<std::string>& words = options.connection.words;
    if (words.size() > 1) {
        return usage_error("discover", "at most one address");
    }
    Connection connection;
    connection.retries = 0;
    const bool broadcast = words.empty();
    const bool json = options.connection.json;
    const std::string default_address = options.connection.ipv6 ? "ff02::1" : "255.255.255.255";
    if (!read_connection(options.connection, broadcast ? default_address : words[0], &connection,
                         &error)) {
        return usage_error("discover", error);
    }
    const std::vector<std::string>& filters = options.filters;
    for (const std::string& filter : filters) {
        if (filter.empty() || filter.size() > PSW_FILTER_MAX_LENGTH) {
            return usage_error("discover", "a filter holds 1 to 63 characters");
        }
    }

    PSWHandle handle = nullptr;
    int32_t result = PSWInit(&handle);
    if (result != PSW_SUCCESS) {
        return report_request_failure("discover", "cannot create a library handle",
                                      result == PSW_INIT_NO_MEMORY ? PSW_ERR_NO_MEMORY : result,
                                      connection, json);
    }
    struct HandleGuard {
        PSWHandle handle;
        ~HandleGuard() { PSWUnInit(handle); }
    } guard{handle};

    if (connection.community) {
        result =
            PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, connection.community->c_str());
        if (result != PSW_SUCCESS) {
            return report_request_failure("discover", "cannot set the community", result,
                                          connection, json);
        }
    }
    for (const std::string& filter : filters) {
        result = PSWFindAddFilter(handle, filter.c_str());
        if (result != PSW_SUCCESS) {
            return report_request_failure("discover", "cannot add filter '" + filter + "'", result,
                                          connection, json);
        }
    }
    int32_t count = 0;
    result = run_with_progress(
        "discovering via " + connection.address,
        std::chrono::milliseconds(connection.total_wait_ms()), [&] {
            const char* destination = broadcast ? nullptr : connection.address.c_str();
            if (connection.usm) {
                return PSWFindDeviceSNMPEx(handle, destination, connection.transport,
                                           PSW_SECURITY_MODE_V3, *connection.usm,
                                           connection.timeout_ms, connection.retries, &count);
            }
            return PSWFindDeviceSNMP(handle, destination, connection.transport,
                                     connection.timeout_ms, connection.retries, &count);
        });
    if (result != PSW_SUCCESS) {
        return report_request_failure("discover", "discovery via " + connection.shown() + " failed",
                                      result, connection, json);
    }
    std::vector<Found> found;
    char address[PSW_DEVICE_TEXT_SIZE];
    char model[PSW_DEVICE_TEXT_SIZE];
    char reserved[PSW_DEVICE_TEXT_SIZE];
    char sys_object_id[PSW_DEVICE_TEXT_SIZE];
    while (PSWGetDeviceNext(handle, address, model, reserved, sys_object_id) == 1) {
        found.push_back({address, model, sys_object_id});
    }

    if (found.empty()) {
        // A single address can say why; a broadcast cannot.
        std::optional<Failure> failure =
            broadcast ? std::optional<Failure>(Failure{
                            kExitNoAnswer, "no_answer",
                            "no supported device answered via " + connection.shown() + " within " +
                                std::to_string(connection.total_wait_ms()) + " ms",
                            0})
                      : why_not_found(connection);
        if (failure) {
            return report("discover", *failure, connection, json);
        }
    }
    if (json) {
        Json devices = Json::array();
        for (const Found& device : found) {
            devices.push_back({{"address", json_text(device.address)},
                               {"model", json_text(device.model)},
                               {"sysObjectID", json_text(device.sys_object_id)}});
        }
        print_json(Json{{"destination", json_text(connection.address)},
                        {"count", found.size()},
                        {"devices", devices}});
        return kExitOk;
    }
    if (found.empty()) {
        std::printf("no device via %s passed the filters\n", connection.shown().c_str());
        return kExitOk;
    }
    Table table({{"ADDRESS"}, {"MODEL"}, {"SYSOBJECTID"}});
    for (const Found& device : found) {
        table.add_row({device.address, device.model, device.sys_object_id});
    }
    std::fputs(table.render().c_str(), stdout);
    std::printf("%zu device%s found\n", found.size(), found.size() == 1 ? "" : "s");
    return kExitOk;
}

}  // namespace

void add_discover_command(CLI::App& app, int* exit_code)
{
    auto options = std::make_shared<Options>();
    CLI::App* command = add_connection_command(
        app, exit_code, options, run_discover, "discover", "find printers of the supported model",
        "[ADDRESS] [--ipv6] [--timeout MS] [--retries N] [-c C] [--filter PREFIX]... [--json]\n"
        "                    [SNMPv3 options]",
        "Sends one SNMP GET of sysObjectID to ADDRESS and lists the devices of the supported "
        "model\n"
        "that answer: address, model name and sysObjectID. ADDRESS may be a single printer (an\n"
        "address or a host name) or a broadcast address; without it the request goes to\n"
        "255.255.255.255 (ff02::1 with --ipv6). Answers are collected for MS milliseconds after\n"
        "each of the N+1 sends (default: one send). When a single printer gives no device, psw\n"
        "asks it again to tell silence (exit 3), a wrong community (exit 4) and a printer of\n"
        "another model (exit 5) apart.\n"
        "With SNMPv3 options an engine-id probe goes to ADDRESS, then each device that answered\n"
        "is asked once with the user given.");
    add_repeatable_option(command, "--filter", &options->filters,
                          "keep only devices whose sysObjectID begins with PREFIX (repeatable)");
}

}  // namespace psw::cli
