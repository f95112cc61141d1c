// psw discover: finds the printers of the supported model.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/progress.h"
#include "cli/session.h"
#include "cli/table.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

constexpr const char* kHelp =
    "usage: psw discover [ADDRESS] [--ipv6] [--timeout MS] [--retries N] [--community C]\n"
    "                    [--filter PREFIX]... [--json] [SNMPv3 options]\n"
    "\n"
    "Sends one SNMP GET of sysObjectID to ADDRESS and lists the devices of the supported model\n"
    "that answer: address, model name and sysObjectID. ADDRESS may be a single printer or a\n"
    "broadcast address; without it the request goes to 255.255.255.255 (ff02::1 with --ipv6).\n"
    "Answers are collected for MS milliseconds after each of the N+1 sends.\n"
    "\n"
    "options:\n"
    "  --ipv6            use UDP over IPv6 (implied by an IPv6 address)\n"
    "  --timeout MS      wait after each send, in milliseconds (default 2000)\n"
    "  --retries N       extra sends (default 0)\n"
    "  --community C     discovery community (default \"public\")\n"
    "  --filter PREFIX   keep only devices whose sysObjectID begins with PREFIX (repeatable)\n"
    "  --json            one JSON document on stdout\n"
    "With SNMPv3 options an engine-id probe goes to ADDRESS, then each device that answered is\n"
    "asked once with the user given.\n";

struct Found {
    std::string address;
    std::string model;
    std::string sys_object_id;
};

}  // namespace

int run_discover(const Args& args)
{
    std::vector<OptionSpec> specs = {{"timeout", true}, {"retries", true}, {"community", true},
                                     {"ipv6", false},   {"json", false},   {"filter", true, true}};
    const std::vector<OptionSpec> usm = usm_options();
    specs.insert(specs.end(), usm.begin(), usm.end());
    std::string error;
    auto parsed = parse_args(args, specs, &error);
    if (!parsed) {
        return usage_error("discover", error);
    }
    if (parsed->has_flag("help")) {
        std::fputs(kHelp, stdout);
        std::fputs(usm_help(), stdout);
        return 0;
    }
    if (parsed->positionals.size() > 1) {
        return usage_error("discover", "at most one address");
    }
    Connection connection;
    connection.retries = 0;
    const bool broadcast = parsed->positionals.empty();
    const std::string default_address = parsed->has_flag("ipv6") ? "ff02::1" : "255.255.255.255";
    if (!read_connection(*parsed, broadcast ? default_address : parsed->positionals[0],
                         &connection, &error)) {
        return usage_error("discover", error);
    }
    const std::vector<std::string> filters = parsed->all("filter");
    for (const std::string& filter : filters) {
        if (filter.empty() || filter.size() > PSW_FILTER_MAX_LENGTH) {
            return usage_error("discover", "a filter holds 1 to 63 characters");
        }
    }

    PSWHandle handle = nullptr;
    int32_t result = PSWInit(&handle);
    if (result != PSW_SUCCESS) {
        return report_failure("discover", "cannot create a library handle",
                              result == PSW_INIT_NO_MEMORY ? PSW_ERR_NO_MEMORY : result, connection);
    }
    struct HandleGuard {
        PSWHandle handle;
        ~HandleGuard() { PSWUnInit(handle); }
    } guard{handle};

    if (connection.community) {
        result = PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, connection.community->c_str());
        if (result != PSW_SUCCESS) {
            return report_failure("discover", "cannot set the community", result, connection);
        }
    }
    for (const std::string& filter : filters) {
        result = PSWFindAddFilter(handle, filter.c_str());
        if (result != PSW_SUCCESS) {
            return report_failure("discover", "cannot add filter '" + filter + "'", result,
                                  connection);
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
        return report_failure("discover", "discovery via " + connection.address + " failed",
                              result, connection);
    }
    std::vector<Found> found;
    char address[PSW_DEVICE_TEXT_SIZE];
    char model[PSW_DEVICE_TEXT_SIZE];
    char reserved[PSW_DEVICE_TEXT_SIZE];
    char sys_object_id[PSW_DEVICE_TEXT_SIZE];
    while (PSWGetDeviceNext(handle, address, model, reserved, sys_object_id) == 1) {
        found.push_back({address, model, sys_object_id});
    }

    if (parsed->has_flag("json")) {
        JsonWriter json;
        json.begin_object().key("destination").string(connection.address);
        json.key("count").number(static_cast<int64_t>(found.size()));
        json.key("devices").begin_array();
        for (const Found& device : found) {
            json.begin_object()
                .key("address").string(device.address)
                .key("model").string(device.model)
                .key("sysObjectID").string(device.sys_object_id)
                .end_object();
        }
        json.end_array().end_object();
        std::fputs(json.str().c_str(), stdout);
        return 0;
    }
    if (found.empty()) {
        std::printf("no supported device answered via %s\n", connection.address.c_str());
        return 0;
    }
    Table table({{"ADDRESS"}, {"MODEL"}, {"SYSOBJECTID"}});
    for (const Found& device : found) {
        table.add_row({device.address, device.model, device.sys_object_id});
    }
    std::fputs(table.render().c_str(), stdout);
    std::printf("%zu device%s found\n", found.size(), found.size() == 1 ? "" : "s");
    return 0;
}

}  // namespace psw::cli
