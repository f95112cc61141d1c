#include "support/netns.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

namespace psw::test {
namespace {

std::atomic<int> lab_counter{0};

constexpr uint32_t kSubnet = (10u << 24) | (77u << 16);  // 10.77.0.0
constexpr int kFirstHost = 11;                           // host 0 is 10.77.0.11

std::string dotted(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xff) + "." +
           std::to_string((address >> 8) & 0xff) + "." + std::to_string(address & 0xff);
}

// The bridge's end of host i's veth pair. Built by appending: adding a literal and a
// std::to_string() result makes g++ 12 -O2 warn falsely (-Wrestrict).
std::string bridge_port(int i)
{
    std::string name = "p";
    name += std::to_string(i);
    return name;
}

// A new temporary file holding one line per command, for `ip -batch`; empty on failure.
std::string write_batch_file(const std::vector<std::string>& lines)
{
    char path[] = "/tmp/psw-netns-batch-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return {};
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    if (written) return path;
    unlink(path);
    return {};
}

}  // namespace

std::string NetnsLab::host_ipv4(int i) const
{
    return dotted(kSubnet + static_cast<uint32_t>(kFirstHost + i));
}

std::string NetnsLab::broadcast_ipv4() const
{
    return dotted(kSubnet | ((1u << (32 - options_.ipv4_prefix)) - 1));
}

int NetnsLab::most_hosts(int ipv4_prefix)
{
    if (ipv4_prefix < 16 || ipv4_prefix > 24) return 0;
    // Everything above the client and below the broadcast address.
    return (1 << (32 - ipv4_prefix)) - 1 - kFirstHost;
}

NetnsLab::NetnsLab(NetnsLabOptions options) : options_(options)
{
    prefix_ = "psw" + std::to_string(getpid()) + "-" + std::to_string(lab_counter++);
    bridge_ = prefix_ + "-br";
    client_ = prefix_ + "-c";
    for (int i = 0; i < options_.hosts; ++i)
        hosts_.push_back(prefix_ + "-h" + std::to_string(i));
    ip_ = find_program("ip");
}

NetnsLab::~NetnsLab()
{
    destroy();
}

std::vector<std::string> NetnsLab::wrap(const std::string& ns,
                                        const std::vector<std::string>& argv) const
{
    std::vector<std::string> full = {ip_, "netns", "exec", ns};
    full.insert(full.end(), argv.begin(), argv.end());
    return full;
}

CommandResult NetnsLab::exec(const std::string& ns, const std::vector<std::string>& argv,
                             const CommandOptions& options) const
{
    return run_command(wrap(ns, argv), options);
}

::testing::AssertionResult NetnsLab::ip(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {ip_};
    argv.insert(argv.end(), args.begin(), args.end());
    CommandOptions options;
    options.timeout = std::chrono::milliseconds(10000);
    auto r = run_command(argv, options);
    if (!r.ok()) return ::testing::AssertionFailure() << "network lab: " << r.describe();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult NetnsLab::ip_batch(const std::string& ns,
                                              const std::vector<std::string>& lines) const
{
    const std::string path = write_batch_file(lines);
    if (path.empty())
        return ::testing::AssertionFailure() << "network lab: cannot write a batch file";
    std::vector<std::string> argv = {ip_};
    if (!ns.empty()) argv.insert(argv.end(), {"-n", ns});
    argv.insert(argv.end(), {"-batch", path});
    CommandOptions options;
    // Creating a few hundred veth pairs takes a while on a loaded machine.
    options.timeout = std::chrono::milliseconds(10000 + 100 * static_cast<int64_t>(lines.size()));
    const CommandResult r = run_command(argv, options);
    unlink(path.c_str());
    if (r.ok()) return ::testing::AssertionSuccess();
    // ip says "Command failed <file>:<line>"; name that line.
    std::string failed;
    const std::string mark = path + ":";
    if (size_t at = r.err.find(mark); at != std::string::npos) {
        const long n = std::strtol(r.err.c_str() + at + mark.size(), nullptr, 10);
        if (n >= 1 && static_cast<size_t>(n) <= lines.size())
            failed = lines[static_cast<size_t>(n - 1)];
    }
    return ::testing::AssertionFailure() << "network lab: " << r.describe()
                                         << (failed.empty() ? "" : "\nfailed line: ") << failed;
}

::testing::AssertionResult NetnsLab::sysctl(const std::string& ns,
                                            const std::vector<std::string>& settings)
{
    // Written through /proc/sys inside the namespace: no dependency on the procps package.
    std::string failure;
    auto ran = run_in(ns, [&] {
        for (const auto& setting : settings) {
            auto eq = setting.find('=');
            std::string key = setting.substr(0, eq), value = setting.substr(eq + 1);
            for (auto& c : key)
                if (c == '.') c = '/';
            std::string path = "/proc/sys/" + key;
            int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0 ||
                write(fd, value.data(), value.size()) != static_cast<ssize_t>(value.size()))
                failure = "cannot set " + setting + " in " + ns + ": " + strerror(errno);
            if (fd >= 0) close(fd);
            if (!failure.empty()) return;
        }
    });
    if (!ran) return ran;
    if (!failure.empty()) return ::testing::AssertionFailure() << "network lab: " << failure;
    return ::testing::AssertionSuccess();
}

void NetnsLab::remove_stale() const
{
    // Namespaces named psw<pid>-... whose program is gone were left by a killed test run.
    auto list = run_command({ip_, "netns", "list"});
    std::istringstream in(list.out);
    for (std::string line; std::getline(in, line);) {
        std::string name = line.substr(0, line.find(' '));
        if (name.rfind("psw", 0) != 0) continue;
        size_t dash = name.find('-');
        if (dash == std::string::npos || dash == 3) continue;
        std::string digits = name.substr(3, dash - 3);
        if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
        pid_t pid = static_cast<pid_t>(std::stol(digits));
        if (pid == getpid()) continue;
        if (kill(pid, 0) == 0 || errno == EPERM) continue;  // its program still runs
        run_command({ip_, "netns", "delete", name});
    }
}

::testing::AssertionResult NetnsLab::create()
{
    if (host_count() > most_hosts(options_.ipv4_prefix))
        return ::testing::AssertionFailure()
               << "network lab: " << host_count() << " hosts do not fit in 10.77.0.0/"
               << options_.ipv4_prefix << " (at most " << most_hosts(options_.ipv4_prefix)
               << "; prefix 16 to 24)";
    if (ip_.empty()) return ::testing::AssertionFailure() << "network lab: program 'ip' not found";
    remove_stale();
    std::vector<std::string> all = {bridge_, client_};
    all.insert(all.end(), hosts_.begin(), hosts_.end());
    auto fail = [&](::testing::AssertionResult r) {
        destroy();
        return r;
    };
    // A few `ip -batch` runs instead of some ten `ip` processes per host: starting processes
    // was nearly all of the set-up time of a large lab.
    std::vector<std::string> lines;
    for (const auto& ns : all)
        lines.push_back("netns add " + ns);
    // Deleting one that was never made only fails quietly, so all are listed before the batch.
    created_ = all;
    if (auto r = ip_batch("", lines); !r) return fail(r);
    for (const auto& ns : all) {
        std::vector<std::string> settings = {
            // Before any interface exists, so every later one inherits it: no 2 s duplicate
            // detection.
            "net.ipv6.conf.default.accept_dad=0", "net.ipv6.conf.all.accept_dad=0"};
        if (ns != bridge_ && ns != client_) settings.push_back("net.ipv6.bindv6only=1");
        if (auto r = sysctl(ns, settings); !r) return fail(r);
    }

    struct Member {
        std::string ns, port, v4, v6;
    };
    std::vector<Member> members = {{client_, "pc", client_ipv4(), client_ipv6()}};
    for (int i = 0; i < host_count(); ++i)
        members.push_back({host(i), bridge_port(i), host_ipv4(i), host_ipv6(i)});
    lines = {"link set lo up", "link add br0 type bridge", "link set br0 up"};
    for (const auto& m : members) {
        lines.push_back("link add " + m.port + " type veth peer name eth0 netns " + m.ns);
        lines.push_back("link set " + m.port + " master br0 up");
    }
    if (auto r = ip_batch(bridge_, lines); !r) return fail(r);
    std::string client_link;
    if (options_.static_client_neighbour) {
        auto link = run_command({ip_, "-n", client_, "-o", "link", "show", "dev", "eth0"});
        const std::string mark = "link/ether ";
        const size_t at = link.out.find(mark);
        if (!link.ok() || at == std::string::npos)
            return fail(::testing::AssertionFailure()
                        << "network lab: no link address of the client: " << link.describe());
        client_link = link.out.substr(at + mark.size(), 17);
    }
    std::string prefix = "/";
    prefix += std::to_string(options_.ipv4_prefix);
    for (const auto& m : members) {
        lines = {"link set lo up",
                 "addr add " + m.v4 + prefix + " broadcast " + broadcast_ipv4() + " dev eth0",
                 "addr add " + m.v6 + "/64 dev eth0 nodad", "link set eth0 up"};
        if (m.ns == client_ && options_.client_default_route)
            lines.push_back("route add default dev eth0");
        if (m.ns != client_ && !client_link.empty())
            lines.push_back("neigh replace " + client_ipv4() + " lladdr " + client_link +
                            " dev eth0 nud permanent");
        if (auto r = ip_batch(m.ns, lines); !r) return fail(r);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult NetnsLab::move_host_to_own_link(int i,
                                                           const std::string& client_interface)
{
    const std::string port = bridge_port(i);
    if (auto r = ip({"-n", bridge_, "link", "del", port}); !r) return r;
    if (auto r = ip({"-n", client_, "link", "add", client_interface, "type", "veth", "peer", "name",
                     "eth0", "netns", host(i)});
        !r)
        return r;
    if (auto r = ip({"-n", client_, "link", "set", client_interface, "up"}); !r) return r;
    if (auto r = ip({"-n", host(i), "link", "set", "eth0", "up"}); !r) return r;
    if (auto r = wait_link_local(client_, client_interface); !r) return r;
    return wait_link_local(host(i), "eth0");
}

::testing::AssertionResult NetnsLab::wait_link_local(const std::string& ns,
                                                     const std::string& dev) const
{
    // The kernel gives a new link its link-local address (and multicast route) only once the
    // carrier is seen, a moment after both ends are up; until then multicast is lost.
    CommandResult r;
    for (int attempt = 0; attempt < 500; ++attempt) {
        r = run_command({ip_, "-n", ns, "-6", "addr", "show", "dev", dev, "scope", "link"});
        if (r.ok() && r.out.find("inet6 fe80:") != std::string::npos &&
            r.out.find("tentative") == std::string::npos)
            return ::testing::AssertionSuccess();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ::testing::AssertionFailure() << "network lab: no link-local address on " << dev
                                         << " in " << ns << ": " << r.describe();
}

void NetnsLab::destroy()
{
    if (created_.empty()) return;
    std::vector<std::string> lines;
    for (auto it = created_.rbegin(); it != created_.rend(); ++it)
        lines.push_back("netns delete " + *it);
    // -force: one that is already gone does not stop the others.
    const std::string path = write_batch_file(lines);
    if (!path.empty()) {
        run_command({ip_, "-force", "-batch", path});
        unlink(path.c_str());
    }
    // Whatever the batch could not delete goes one by one.
    auto list = run_command({ip_, "netns", "list"});
    std::istringstream in(list.out);
    for (std::string line; std::getline(in, line);) {
        const std::string name = line.substr(0, line.find(' '));
        for (const auto& ns : created_)
            if (name == ns) run_command({ip_, "netns", "delete", ns});
    }
    created_.clear();
}

::testing::AssertionResult NetnsLab::run_in(const std::string& ns,
                                            const std::function<void()>& fn) const
{
    std::string error;
    std::thread worker([&] {
        std::string path = "/run/netns/" + ns;
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            error = "cannot open " + path + ": " + strerror(errno);
            return;
        }
        // Network namespaces are per thread: only this thread moves.
        if (setns(fd, CLONE_NEWNET) != 0) {
            error = "setns(" + path + "): " + strerror(errno);
            close(fd);
            return;
        }
        close(fd);
        fn();
    });
    worker.join();
    if (!error.empty()) return ::testing::AssertionFailure() << "network lab: " << error;
    return ::testing::AssertionSuccess();
}

}  // namespace psw::test
