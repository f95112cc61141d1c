// psw discover: finds the printers of the supported model.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/progress.h"
#include "cli/session.h"
#include "cli/sweep_targets.h"
#include "cli/table.h"
#include "cli/text_format.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

constexpr const char* kSupportedModel = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";

constexpr uint32_t kDefaultSweepThreads = 256;

struct Options {
    ConnectionOptions connection;
    std::vector<std::string> filters;
    std::optional<std::string> concurrency;
};

struct Found {
    std::string address;
    std::string model;
    std::string sys_object_id;
};

// The "devices" member of the JSON document: one object a device found.
Json devices_json(const std::vector<Found>& found)
{
    Json devices = Json::array();
    for (const Found& device : found) {
        devices.push_back({{"address", json_text(device.address)},
                           {"model", json_text(device.model)},
                           {"sysObjectID", json_text(device.sys_object_id)}});
    }
    return devices;
}

// Why a single address gave no device of the supported model: it is silent, it ignores the
// community, it is of another model, or the filters left it out (nullopt then).
std::optional<Failure> why_not_found(const Connection& connection)
{
    PSWHandle handle = nullptr;
    if (PSWInit(&handle) != PSW_SUCCESS) {
        return std::nullopt;
    }
    PSWIdentityInfo identity;
    int32_t result = set_up_any_device(handle, connection);
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

// Asks every target of a sweep by unicast: `threads` threads, each with a handle of its own,
// take the next target until none is left. Silent targets cost one time-out window each, so
// that a block of silent addresses takes about one window per `threads` of them.
std::vector<Found> sweep(const std::vector<Connection>& targets, const Options& options,
                         uint32_t threads)
{
    std::vector<std::vector<Found>> found(targets.size());
    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    std::atomic<size_t> answered{0};
    const auto worker = [&] {
        PSWHandle handle = nullptr;
        if (PSWInit(&handle) != PSW_SUCCESS) {
            return;
        }
        const Connection& first = targets.front();
        if (first.community) {
            PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, first.community->c_str());
        }
        for (const std::string& filter : options.filters) {
            PSWFindAddFilter(handle, filter.c_str());
        }
        for (size_t i = next++; i < targets.size(); i = next++) {
            const Connection& target = targets[i];
            int32_t count = 0;
            const int32_t result =
                target.usm ? PSWFindDeviceSNMPEx(handle, target.address.c_str(), target.transport,
                                                 PSW_SECURITY_MODE_V3, *target.usm,
                                                 target.timeout_ms, target.retries, &count)
                           : PSWFindDeviceSNMP(handle, target.address.c_str(), target.transport,
                                               target.timeout_ms, target.retries, &count);
            char address[PSW_DEVICE_TEXT_SIZE];
            char model[PSW_DEVICE_TEXT_SIZE];
            char reserved[PSW_DEVICE_TEXT_SIZE];
            char sys_object_id[PSW_DEVICE_TEXT_SIZE];
            while (result == PSW_SUCCESS &&
                   PSWGetDeviceNext(handle, address, model, reserved, sys_object_id) == 1) {
                found[i].push_back({address, model, sys_object_id});
            }
            answered += found[i].empty() ? 0 : 1;
            ++done;
        }
        PSWUnInit(handle);
    };
    std::vector<std::thread> pool;
    const size_t count = std::min<size_t>(threads, targets.size());
    for (size_t i = 0; i < count; ++i) {
        pool.emplace_back(worker);
    }
    if (progress_wanted()) {
        while (done < targets.size()) {
            const size_t finished = done;
            std::fprintf(stderr, "\r%s %zu/%zu addresses, %zu found ",
                         level_bar(static_cast<int>(finished * 100 / targets.size()), 20).c_str(),
                         finished, targets.size(), answered.load());
            std::fflush(stderr);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        clear_progress();
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
    std::vector<Found> all;
    for (const auto& list : found) {
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

int run_sweep(const Options& options)
{
    const bool json = options.connection.json;
    std::vector<std::string> words;
    std::string error;
    for (const std::string& word : options.connection.words) {
        if (!expand_targets(word, &words, &error)) {
            return usage_error("discover", error);
        }
    }
    uint32_t threads = kDefaultSweepThreads;
    if (options.concurrency) {
        const auto parsed = parse_uint(*options.concurrency, 1, 1024);
        if (!parsed) {
            return usage_error("discover", "--concurrency takes a number from 1 to 1024, not '" +
                                               *options.concurrency + "'");
        }
        threads = *parsed;
    }
    std::vector<Connection> targets;
    for (const std::string& word : words) {
        Connection connection;
        connection.retries = 0;
        if (!read_connection(options.connection, word, &connection, &error)) {
            return usage_error("discover", error);
        }
        targets.push_back(connection);
    }
    if (targets.empty()) {
        return usage_error("discover", "the sweep has no address");
    }
    const std::vector<Found> found = sweep(targets, options, threads);
    if (json) {
        const Json devices = devices_json(found);
        print_json(Json{
            {"addresses_asked", targets.size()}, {"count", found.size()}, {"devices", devices}});
    } else if (!found.empty()) {
        Table table({{"ADDRESS"}, {"MODEL"}, {"SYSOBJECTID"}});
        for (const Found& device : found) {
            table.add_row({device.address, device.model, device.sys_object_id});
        }
        std::fputs(table.render().c_str(), stdout);
        std::printf("%zu device%s found among %zu addresses\n", found.size(),
                    found.size() == 1 ? "" : "s", targets.size());
    }
    if (found.empty()) {
        std::fprintf(stderr,
                     "psw: discover: no supported device answered among %zu addresses within %u "
                     "ms each\n",
                     targets.size(), targets.front().total_wait_ms());
        return kExitNoAnswer;
    }
    return kExitOk;
}

int run_discover(const CLI::App* command, const Options& options)
{
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return usage_error("discover", error);
    }
    const std::vector<std::string>& words = options.connection.words;
    for (const std::string& filter : options.filters) {
        if (filter.empty() || filter.size() > PSW_FILTER_MAX_LENGTH) {
            return usage_error("discover", "a filter holds 1 to 63 characters");
        }
    }
    if (words.size() > 1 || (words.size() == 1 && is_sweep_word(words[0]))) {
        return run_sweep(options);
    }
    if (options.concurrency) {
        return usage_error("discover", "--concurrency is for sweeps over several addresses");
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
        const Json devices = devices_json(found);
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
        "[ADDRESS | TARGET...] [--ipv6] [--timeout MS] [--retries N] [-c C]\n"
        "                    [--filter PREFIX]... [--concurrency N] [--json | --format csv]\n"
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
        "is asked once with the user given.\n"
        "Sweeps: several TARGETs, an IPv4 block (10.1.2.0/24, without its network and broadcast\n"
        "addresses), a range (10.1.2.10-10.1.2.50 or 10.1.2.10-50) or @FILE (one target a line,\n"
        "'#' comments) ask every address by unicast, --concurrency N at once (default 256, each\n"
        "with a handle of its own), so a /24 of silent addresses takes about one time-out\n"
        "window. A progress bar shows on a terminal. Broadcast never crosses a router; a\n"
        "sweep does.");
    add_repeatable_option(command, "--filter", &options->filters,
                          "keep only devices whose sysObjectID begins with PREFIX (repeatable)");
    command
        ->add_option("--concurrency", options->concurrency,
                     "addresses of a sweep asked at once (default 256)")
        ->type_name("N");
}

}  // namespace psw::cli
