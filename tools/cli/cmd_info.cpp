// psw transports and psw about: what this machine and this build offer.
#include <cstdio>
#include <string>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/session.h"
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

constexpr const char* kTransportsHelp =
    "usage: psw transports [--json]\n"
    "\n"
    "Tells which transports this machine can use for SNMP: UDP over IPv4, UDP over IPv6, IPX.\n";

constexpr const char* kAboutHelp =
    "usage: psw about\n"
    "\n"
    "Shows what this build of libpsw offers: a library handle is created and released, the\n"
    "community commands are listed, and the transports are checked.\n";

std::string transports_table()
{
    Table table({{"TRANSPORT"}, {"CODE", Align::right}, {"STATE"}});
    for (const Transport& transport : kTransports) {
        table.add_row({transport.name, std::to_string(transport.code),
                       PSWTransportAvailable(transport.code) != 0 ? "available" : "not available"});
    }
    return table.render();
}

}  // namespace

int run_transports(const Args& args)
{
    std::string error;
    auto parsed = parse_args(args, {{"json", false}}, &error);
    if (!parsed) {
        return usage_error("transports", error);
    }
    if (parsed->has_flag("help")) {
        std::fputs(kTransportsHelp, stdout);
        return 0;
    }
    if (!parsed->positionals.empty()) {
        return usage_error("transports", "no arguments expected");
    }
    if (parsed->has_flag("json")) {
        JsonWriter json;
        json.begin_object().key("transports").begin_array();
        for (const Transport& transport : kTransports) {
            json.begin_object()
                .key("name").string(transport.name)
                .key("code").number(transport.code)
                .key("available").boolean(PSWTransportAvailable(transport.code) != 0)
                .end_object();
        }
        json.end_array().end_object();
        std::fputs(json.str().c_str(), stdout);
        return 0;
    }
    std::fputs(transports_table().c_str(), stdout);
    return 0;
}

int run_about(const Args& args)
{
    std::string error;
    auto parsed = parse_args(args, {}, &error);
    if (!parsed) {
        return usage_error("about", error);
    }
    if (parsed->has_flag("help")) {
        std::fputs(kAboutHelp, stdout);
        return 0;
    }
    if (!parsed->positionals.empty()) {
        return usage_error("about", "no arguments expected");
    }
    PSWHandle handle = nullptr;
    const int32_t result = PSWInit(&handle);
    if (result != PSW_SUCCESS) {
        std::fprintf(stderr, "psw: about: cannot create a library handle: %s (%d)\n",
                     psw_result_meaning(result), result);
        return 1;
    }
    std::printf("libpsw: printer discovery and status over SNMP\n\n");
    std::printf("library handle   created and released\n");
    std::printf("communities      %s, %s, %s\n", PSW_CMD_SET_COMMUNITY_FIND,
                PSW_CMD_SET_COMMUNITY_GET_OPTION, PSW_CMD_SET_COMMUNITY_WRITE);
    PSWStorageInfo storage;
    const int32_t read = PSWGetStorageInfo(handle, 0, &storage);
    std::printf("device records   %s (%d) before a device is set up\n", psw_result_meaning(read),
                read);
    PSWUnInit(handle);
    std::printf("\n%s", transports_table().c_str());
    return 0;
}

}  // namespace psw::cli
