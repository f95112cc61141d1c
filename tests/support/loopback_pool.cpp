#include "support/loopback_pool.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "support/temp_dir.h"

namespace psw::test {
namespace {

using Clock = std::chrono::steady_clock;

std::string read_fd_text(int fd)
{
    std::string text;
    char buf[256];
    if (lseek(fd, 0, SEEK_SET) < 0) return text;
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<size_t>(n));
    return text;
}

// Start time of a process (field 22 of /proc/PID/stat), which tells a pid from a later reuse of
// the same number; empty when the process does not exist.
std::string process_start_time(long pid)
{
    std::string stat = read_text_file("/proc/" + std::to_string(pid) + "/stat");
    size_t pos = stat.rfind(')');
    if (pos == std::string::npos) return {};
    // After "pid (comm)" come fields 3.. separated by single spaces; start time is field 22.
    int field = 2;
    size_t i = pos + 1;
    while (i < stat.size() && field < 22) {
        if (stat[i] == ' ') ++field;
        ++i;
    }
    size_t stop = stat.find(' ', i);
    return stat.substr(i, stop == std::string::npos ? std::string::npos : stop - i);
}

void clear_file(int fd)
{
    if (ftruncate(fd, 0) != 0) return;
}

// An agent left behind by a test program that died holding the lease: the lock file names its
// pid and start time. End its process group (the agent leads its own group).
void end_stale_owner(int fd, const std::string& address, uint16_t port)
{
    std::string text = read_fd_text(fd);
    char* rest = nullptr;
    long pid = strtol(text.c_str(), &rest, 10);
    if (pid <= 1 || !rest) return;
    std::string recorded_start = rest;
    while (!recorded_start.empty() && (recorded_start.front() == ' '))
        recorded_start.erase(0, 1);
    while (!recorded_start.empty() &&
           (recorded_start.back() == '\n' || recorded_start.back() == ' '))
        recorded_start.pop_back();
    if (recorded_start.empty() || process_start_time(pid) != recorded_start) return;
    kill(static_cast<pid_t>(-pid), SIGKILL);
    kill(static_cast<pid_t>(pid), SIGKILL);
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (!udp_port_free(address, port) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// Opens and locks path; -1 when another process holds it (or on error).
int try_lock(const std::string& path)
{
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    fchmod(fd, 0666);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::string loopback_lock_dir()
{
    if (const char* dir = getenv("PSW_TEST_LOCK_DIR"); dir && *dir) return dir;
    return "/tmp";
}

bool udp_port_free(const std::string& address, uint16_t port)
{
    bool v6 = address.find(':') != std::string::npos;
    int fd = socket(v6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    int rc;
    if (v6) {
        sockaddr_in6 sa{};
        sa.sin6_family = AF_INET6;
        sa.sin6_port = htons(port);
        if (inet_pton(AF_INET6, address.c_str(), &sa.sin6_addr) != 1) {
            close(fd);
            return false;
        }
        rc = bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    } else {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(port);
        if (inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
            close(fd);
            return false;
        }
        rc = bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    }
    close(fd);
    return rc == 0;
}

LoopbackLease::LoopbackLease(std::string address, uint16_t port, std::string lock_path, int fd)
    : address_(std::move(address)),
      port_(port),
      lock_path_(std::move(lock_path)),
      fd_(fd)
{
}

LoopbackLease::LoopbackLease(LoopbackLease&& other) noexcept
    : address_(std::move(other.address_)),
      port_(other.port_),
      lock_path_(std::move(other.lock_path_)),
      fd_(std::exchange(other.fd_, -1))
{
}

LoopbackLease& LoopbackLease::operator=(LoopbackLease&& other) noexcept
{
    if (this != &other) {
        release();
        address_ = std::move(other.address_);
        port_ = other.port_;
        lock_path_ = std::move(other.lock_path_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

LoopbackLease::~LoopbackLease()
{
    release();
}

void LoopbackLease::release()
{
    if (fd_ < 0) return;
    clear_file(fd_);
    flock(fd_, LOCK_UN);
    close(fd_);
    fd_ = -1;
}

std::string LoopbackLease::endpoint() const
{
    return ipv6() ? "[" + address_ + "]:" + std::to_string(port_)
                  : address_ + ":" + std::to_string(port_);
}

std::string LoopbackLease::netsnmp_target() const
{
    return (ipv6() ? "udp6:" : "udp:") + endpoint();
}

void LoopbackLease::record_owner(pid_t pid)
{
    if (fd_ < 0) return;
    std::string text = std::to_string(pid) + " " + process_start_time(pid) + "\n";
    clear_file(fd_);
    if (pwrite(fd_, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()))
        clear_file(fd_);
}

std::optional<LoopbackLease> LoopbackLease::acquire(uint16_t port, std::string* error)
{
    std::string busy;
    for (int n = 2; n <= 254; ++n) {
        std::string address = "127.0.0." + std::to_string(n);
        std::string path =
            loopback_lock_dir() + "/psw-test-loopback-" + std::to_string(n) + ".lock";
        int fd = try_lock(path);
        if (fd < 0) continue;
        end_stale_owner(fd, address, port);
        if (!udp_port_free(address, port)) {
            // Someone outside the pool uses it: leave it alone and try the next one.
            if (busy.size() < 200) busy += " " + address;
            close(fd);
            continue;
        }
        clear_file(fd);
        return LoopbackLease(address, port, path, fd);
    }
    if (error)
        *error = "no free loopback address for UDP port " + std::to_string(port) +
                 " (all locks under " + loopback_lock_dir() + " held or ports busy:" + busy + ")";
    return std::nullopt;
}

std::optional<LoopbackLease> LoopbackLease::acquire_ipv6(uint16_t port,
                                                         std::chrono::milliseconds wait,
                                                         std::string* error)
{
    std::string path = loopback_lock_dir() + "/psw-test-loopback6-1.lock";
    const auto deadline = Clock::now() + wait;
    while (true) {
        int fd = try_lock(path);
        if (fd >= 0) {
            end_stale_owner(fd, "::1", port);
            if (udp_port_free("::1", port)) {
                clear_file(fd);
                return LoopbackLease("::1", port, path, fd);
            }
            close(fd);
            if (error)
                *error =
                    "UDP port " + std::to_string(port) + " on [::1] is used outside the test pool";
            return std::nullopt;
        }
        if (Clock::now() >= deadline) {
            if (error)
                *error =
                    "[::1] lease still held by another test program after waiting (" + path + ")";
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace psw::test
