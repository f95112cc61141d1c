// psw: a person's way into libpsw. Uses nothing but the public header and the shared library.
#include <cstdio>
#include <cstring>

#include "psw/psw.h"

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

int usage(FILE* out)
{
    std::fprintf(out,
                 "usage: psw <command>\n"
                 "\n"
                 "commands:\n"
                 "  about        what this build of libpsw offers\n"
                 "  transports   which transports this machine can use\n"
                 "  --help       this text\n");
    return out == stdout ? 0 : 2;
}

int fail(const char* what, int32_t code)
{
    std::fprintf(stderr, "psw: %s: %s (%d)\n", what, psw_result_meaning(code), code);
    return 1;
}

int transports()
{
    for (const Transport& transport : kTransports) {
        std::printf("%-10s %s\n", transport.name,
                    PSWTransportAvailable(transport.code) != 0 ? "available" : "not available");
    }
    return 0;
}

int about()
{
    PSWHandle handle = nullptr;
    const int32_t result = PSWInit(&handle);
    if (result != PSW_SUCCESS) {
        return fail("cannot create a library handle", result);
    }
    std::printf("libpsw: printer discovery and status over SNMP\n\n");
    std::printf("library handle        created and released\n");
    std::printf("communities           %s, %s, %s\n", PSW_CMD_SET_COMMUNITY_FIND,
                PSW_CMD_SET_COMMUNITY_GET_OPTION, PSW_CMD_SET_COMMUNITY_WRITE);
    const int32_t set = PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, "public");
    std::printf("set find community    %s\n", psw_result_meaning(set));
    int32_t count = 0;
    const int32_t found = PSWFindDeviceSNMP(handle, nullptr, PSW_TRANSPORT_UDP_IPV4, 1000, 0,
                                            &count);
    std::printf("discovery             %s\n", found == PSW_SUCCESS
                                                  ? "available"
                                                  : psw_result_meaning(found));
    PSWStorageInfo storage;
    const int32_t read = PSWGetStorageInfo(handle, 0, &storage);
    std::printf("device records        %s before PSWInitDevice\n", psw_result_meaning(read));
    PSWUnInit(handle);
    std::printf("\ntransports:\n");
    return transports();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        return usage(stderr);
    }
    const char* command = argv[1];
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        return usage(stdout);
    }
    if (std::strcmp(command, "about") == 0) {
        return about();
    }
    if (std::strcmp(command, "transports") == 0) {
        return transports();
    }
    std::fprintf(stderr, "psw: unknown command '%s'\n", command);
    return usage(stderr);
}
