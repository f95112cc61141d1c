// psw transports and psw about: what this machine and this build offer.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/table.h"
#include "psw/psw.h"

namespace psw::cli {

namespace {

struct Transport {
    int32_t code;
    const char* name;
};

constexpr Transport kTransports[] = {
    {PSW_TRANSPORT_UDP_IPV4, "udp-ipv4"},
    {PSW_TRANSPORT_UDP_IPV6, "udp-ipv6"},
    {PSW_TRANSPORT_IPX, "ipx"},
};

std::string transports_table()
{
    Table table({{"TRANSPORT"}, {"CODE", Align::right}, {"STATE"}});
    for (const Transport& transport : kTransports) {
        table.add_row({transport.name, std::to_string(transport.code),
                       PSWTransportAvailable(transport.code) != 0 ? "available" : "not available"});
    }
    return table.render();
}

int run_transports(const CLI::App* command, const std::vector<std::string>& words, bool json)
{
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return usage_error("transports", error);
    }
    if (!words.empty()) {
        return usage_error("transports", "no arguments expected");
    }
    if (json) {
        Json list = Json::array();
        for (const Transport& transport : kTransports) {
            list.push_back({{"name", transport.name},
                            {"code", transport.code},
                            {"available", PSWTransportAvailable(transport.code) != 0}});
        }
        print_json(Json{{"transports", list}});
        return kExitOk;
    }
    std::fputs(transports_table().c_str(), stdout);
    return kExitOk;
}

int run_about(const CLI::App* command, const std::vector<std::string>& words)
{
    std::string error;
    if (!no_unknown_options(command, &error)) {
        return usage_error("about", error);
    }
    if (!words.empty()) {
        return usage_error("about", "no arguments expected");
    }
    PSWHandle handle = nullptr;
    const int32_t result = PSWInit(&handle);
    if (result != PSW_SUCCESS) {
        std::fprintf(stderr, "psw: about: cannot create a library handle: %s (%d)\n",
                     psw_result_meaning(result), result);
        return kExitFailed;
    }
    std::printf("libpsw %s: printer discovery and status over SNMP\n\n", PSWGetVersion());
    std::printf("library handle   created and released\n");
    std::printf("communities      %s, %s, %s\n", PSW_CMD_SET_COMMUNITY_FIND,
                PSW_CMD_SET_COMMUNITY_GET_OPTION, PSW_CMD_SET_COMMUNITY_WRITE);
    PSWStorageInfo storage;
    const int32_t read = PSWGetStorageInfo(handle, 0, &storage);
    std::printf("device records   %s (%d) before a device is set up\n", psw_result_meaning(read),
                read);
    PSWUnInit(handle);
    std::printf("\n%s", transports_table().c_str());
    return kExitOk;
}

}  // namespace

void add_transports_command(CLI::App& app, int* exit_code)
{
    struct Options {
        std::vector<std::string> words;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = add_command(
        app, "transports", "which transports this machine can use", "[--json | --format FORMAT]",
        "Tells which transports this machine can use for SNMP: UDP over IPv4, UDP over IPv6, "
        "IPX.");
    command->add_option("words", options->words)->expected(0, -1);
    command->add_flag("--json", options->json, "one JSON document on stdout");
    add_format_option(command, &options->json);
    command->callback([=] { *exit_code = run_transports(command, options->words, options->json); });
}

void add_about_command(CLI::App& app, int* exit_code)
{
    auto words = std::make_shared<std::vector<std::string>>();
    CLI::App* command = add_command(
        app, "about", "what this build of libpsw offers", "",
        "Shows what this build of libpsw offers: its version, a library handle created and\n"
        "released, the community commands, and the transports.");
    command->add_option("words", *words)->expected(0, -1);
    command->callback([=] { *exit_code = run_about(command, *words); });
}

}  // namespace psw::cli
