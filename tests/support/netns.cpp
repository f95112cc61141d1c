#include "support/netns.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <sstream>
#include <thread>

namespace psw::test {
namespace {

std::atomic<int> lab_counter{0};

}  // namespace

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

::testing::AssertionResult NetnsLab::sysctl(const std::string& ns, const std::string& setting)
{
    // Written through /proc/sys inside the namespace: no dependency on the procps package.
    auto eq = setting.find('=');
    std::string key = setting.substr(0, eq), value = setting.substr(eq + 1);
    for (auto& c : key)
        if (c == '.') c = '/';
    std::string path = "/proc/sys/" + key;
    std::string failure;
    auto ran = run_in(ns, [&] {
        int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0 || write(fd, value.data(), value.size()) != static_cast<ssize_t>(value.size()))
            failure = "cannot set " + setting + " in " + ns + ": " + strerror(errno);
        if (fd >= 0) close(fd);
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
    if (ip_.empty()) return ::testing::AssertionFailure() << "network lab: program 'ip' not found";
    remove_stale();
    std::vector<std::string> all = {bridge_, client_};
    all.insert(all.end(), hosts_.begin(), hosts_.end());
    auto fail = [&](::testing::AssertionResult r) {
        destroy();
        return r;
    };
    for (const auto& ns : all) {
        if (auto r = ip({"netns", "add", ns}); !r) return fail(r);
        created_.push_back(ns);
        // Before any interface exists, so every later one inherits it: no 2 s duplicate detection.
        if (auto r = sysctl(ns, "net.ipv6.conf.default.accept_dad=0"); !r) return fail(r);
        if (auto r = sysctl(ns, "net.ipv6.conf.all.accept_dad=0"); !r) return fail(r);
        if (auto r = ip({"-n", ns, "link", "set", "lo", "up"}); !r) return fail(r);
    }
    if (auto r = ip({"-n", bridge_, "link", "add", "br0", "type", "bridge"}); !r) return fail(r);
    if (auto r = ip({"-n", bridge_, "link", "set", "br0", "up"}); !r) return fail(r);

    struct Member {
        std::string ns, port, v4, v6;
    };
    std::vector<Member> members = {{client_, "pc", client_ipv4(), client_ipv6()}};
    for (int i = 0; i < host_count(); ++i)
        members.push_back({host(i), "p" + std::to_string(i), host_ipv4(i), host_ipv6(i)});
    for (const auto& m : members) {
        if (auto r = ip({"-n", bridge_, "link", "add", m.port, "type", "veth", "peer", "name",
                         "eth0", "netns", m.ns});
            !r)
            return fail(r);
        if (auto r = ip({"-n", bridge_, "link", "set", m.port, "master", "br0", "up"}); !r)
            return fail(r);
        if (auto r = ip({"-n", m.ns, "addr", "add", m.v4 + "/24", "broadcast", broadcast_ipv4(),
                         "dev", "eth0"});
            !r)
            return fail(r);
        if (auto r = ip({"-n", m.ns, "addr", "add", m.v6 + "/64", "dev", "eth0", "nodad"}); !r)
            return fail(r);
        if (auto r = ip({"-n", m.ns, "link", "set", "eth0", "up"}); !r) return fail(r);
    }
    for (const auto& h : hosts_)
        if (auto r = sysctl(h, "net.ipv6.bindv6only=1"); !r) return fail(r);
    if (options_.client_default_route)
        if (auto r = ip({"-n", client_, "route", "add", "default", "dev", "eth0"}); !r)
            return fail(r);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult NetnsLab::move_host_to_own_link(int i,
                                                           const std::string& client_interface)
{
    const std::string port = "p" + std::to_string(i);
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
    for (auto it = created_.rbegin(); it != created_.rend(); ++it)
        run_command({ip_, "netns", "delete", *it});
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
