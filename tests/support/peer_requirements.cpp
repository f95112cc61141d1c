#include "support/peer_requirements.h"

#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/process.h"

namespace psw::test {
namespace {

bool executable(const std::string& path)
{
    return access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> need_program(const std::string& name)
{
    if (find_program(name).empty()) return "program '" + name + "' not found";
    return std::nullopt;
}

// Forks a child that tries to enter a fresh network namespace.
bool can_create_netns()
{
    pid_t pid = fork();
    if (pid == 0) _exit(unshare(CLONE_NEWNET) == 0 ? 0 : 1);
    if (pid < 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

const char* peer_name(Peer peer)
{
    switch (peer) {
        case Peer::root: return "root";
        case Peer::snmpsim: return "snmpsim";
        case Peer::snmpd: return "snmpd";
        case Peer::netsnmp_tools: return "netsnmp_tools";
        case Peer::python3: return "python3";
        case Peer::iproute2: return "iproute2";
        case Peer::netns: return "netns";
        case Peer::tshark: return "tshark";
        case Peer::shared_printers: return "shared_printers";
    }
    return "?";
}

bool running_in_ci()
{
    const char* ci = getenv("CI");
    return ci && *ci;
}

std::string shared_printers_dir()
{
    if (const char* dir = getenv("PSW_SHARED_DATA_DIR"); dir && *dir)
        return std::string(dir) + "/printers";
    return std::string(PSW_SHARED_DATA_DIR) + "/printers";
}

std::string shared_printer_file(const std::string& file_name)
{
    std::string path = shared_printers_dir() + "/" + file_name;
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) ? path : std::string();
}

std::optional<std::string> peer_unavailable(Peer peer)
{
    switch (peer) {
        case Peer::root:
            if (geteuid() != 0)
                return std::string("needs root (effective uid is ") + std::to_string(geteuid()) +
                       ")";
            return std::nullopt;
        case Peer::snmpsim:
            if (!executable("/usr/bin/snmpsimd"))
                return std::string("/usr/bin/snmpsimd not installed (package snmpsim)");
            if (!executable("/usr/bin/python3")) return std::string("/usr/bin/python3 missing");
            if (!getpwnam("nobody")) return std::string("user 'nobody' missing");
            if (!getgrnam("nogroup")) return std::string("group 'nogroup' missing");
            return std::nullopt;
        case Peer::snmpd:
            if (auto r = need_program("snmpd")) return *r + " (package snmpd)";
            return std::nullopt;
        case Peer::netsnmp_tools:
            for (const char* tool : {"snmpget", "snmpgetnext", "snmpwalk", "snmpset"})
                if (auto r = need_program(tool)) return *r + " (package snmp)";
            return std::nullopt;
        case Peer::python3:
            if (!executable("/usr/bin/python3")) return std::string("/usr/bin/python3 missing");
            return std::nullopt;
        case Peer::iproute2:
            if (auto r = need_program("ip")) return *r + " (package iproute2)";
            return std::nullopt;
        case Peer::netns:
            if (auto r = peer_unavailable(Peer::root)) return *r;
            if (auto r = peer_unavailable(Peer::iproute2)) return *r;
            if (!can_create_netns())
                return std::string(
                    "cannot create network namespaces here (unshare(CLONE_NEWNET) refused)");
            return std::nullopt;
        case Peer::tshark:
            if (auto r = need_program("tshark")) return *r + " (package tshark)";
            if (auto r = need_program("text2pcap")) return *r + " (package wireshark-common)";
            return std::nullopt;
        case Peer::shared_printers: {
            std::error_code ec;
            if (!std::filesystem::is_directory(shared_printers_dir(), ec))
                return "captured printer data absent: " + shared_printers_dir();
            return std::nullopt;
        }
    }
    return std::string("unknown peer");
}

std::optional<std::string> peer_unavailable(std::initializer_list<Peer> peers)
{
    std::optional<std::string> reasons;
    for (Peer peer : peers) {
        if (auto r = peer_unavailable(peer)) {
            if (reasons)
                *reasons += "; ";
            else
                reasons.emplace();
            *reasons += std::string(peer_name(peer)) + ": " + *r;
        }
    }
    return reasons;
}

}  // namespace psw::test
