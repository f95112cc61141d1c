#include "support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <thread>

extern char** environ;

namespace psw::test {
namespace {

using Clock = std::chrono::steady_clock;

// True once the leader has exited, without reaping it: while the zombie exists its pid (and so
// its process group id) cannot be reused, so killpg still reaches only our own processes.
bool leader_exited(pid_t pid, bool block)
{
    siginfo_t info{};
    int flags = WEXITED | WNOWAIT | (block ? 0 : WNOHANG);
    while (waitid(P_PID, static_cast<id_t>(pid), &info, flags) != 0) {
        if (errno != EINTR) return true;  // nothing to wait for: treat as gone
    }
    return info.si_pid == pid;
}

// Ends any process left in the group, then reaps the leader and returns its decoded status.
int finish(pid_t pid)
{
    killpg(pid, SIGKILL);
    int status = 0;
    pid_t r;
    do {
        r = waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    if (r != pid) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// Everything the child needs, prepared before fork so the child only calls async-signal-safe
// functions between fork and exec.
struct ExecPlan {
    std::string path;
    std::vector<std::string> args;
    std::vector<std::string> env;
    std::vector<char*> argv_ptrs;
    std::vector<char*> env_ptrs;

    bool prepare(const std::vector<std::string>& argv, const EnvChanges& changes,
                 std::string* error)
    {
        if (argv.empty()) {
            if (error) *error = "empty command";
            return false;
        }
        path = argv[0].find('/') == std::string::npos ? find_program(argv[0]) : argv[0];
        if (path.empty() || access(path.c_str(), X_OK) != 0) {
            if (error) *error = "program not found or not executable: " + argv[0];
            return false;
        }
        args = argv;
        std::map<std::string, std::string> vars;
        for (char** e = environ; e && *e; ++e) {
            std::string entry(*e);
            auto eq = entry.find('=');
            if (eq != std::string::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        for (const auto& [name, value] : changes) {
            if (value)
                vars[name] = *value;
            else
                vars.erase(name);
        }
        for (const auto& [name, value] : vars)
            env.push_back(name + "=" + value);
        for (auto& a : args)
            argv_ptrs.push_back(a.data());
        argv_ptrs.push_back(nullptr);
        for (auto& e : env)
            env_ptrs.push_back(e.data());
        env_ptrs.push_back(nullptr);
        return true;
    }
};

// Child side: own process group, killed with the parent, the given descriptors as 0/1/2.
[[noreturn]] void exec_child(const ExecPlan& plan, pid_t parent, int in_fd, int out_fd, int err_fd)
{
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    dup2(in_fd, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    // Signals the test program ignores or blocks must not leak into the peer.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    execve(plan.path.c_str(), plan.argv_ptrs.data(), plan.env_ptrs.data());
    _exit(127);
}

std::string excerpt(const std::string& text, size_t limit = 600)
{
    if (text.size() <= limit) return text;
    return text.substr(0, limit) + "...";
}

}  // namespace

std::string join_command(const std::vector<std::string>& argv)
{
    std::string joined;
    for (const auto& a : argv) {
        if (!joined.empty()) joined += ' ';
        joined += a;
    }
    return joined;
}

std::string CommandResult::describe() const
{
    std::string text = "`" + command + "` ";
    if (timed_out)
        text += "timed out";
    else if (exit_code == -1)
        text += "could not start";
    else
        text += "exited with " + std::to_string(exit_code);
    if (!err.empty()) text += "; stderr: " + excerpt(err);
    if (!out.empty()) text += "; stdout: " + excerpt(out);
    return text;
}

std::string find_program(const std::string& name)
{
    std::string dirs;
    if (const char* path = getenv("PATH")) dirs = path;
    dirs += ":/usr/local/sbin:/usr/sbin:/sbin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        if (!dir.empty()) {
            std::string candidate = dir + "/" + name;
            struct stat st {};
            if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

CommandResult run_command(const std::vector<std::string>& argv, const CommandOptions& options)
{
    CommandResult result;
    result.command = join_command(argv);
    ExecPlan plan;
    std::string error;
    if (!plan.prepare(argv, options.env, &error)) {
        result.err = error;
        return result;
    }
    int out_pipe[2], err_pipe[2];
    if (pipe2(out_pipe, O_CLOEXEC) != 0) {
        result.err = std::string("pipe: ") + strerror(errno);
        return result;
    }
    if (pipe2(err_pipe, O_CLOEXEC) != 0) {
        result.err = std::string("pipe: ") + strerror(errno);
        close(out_pipe[0]);
        close(out_pipe[1]);
        return result;
    }
    int null_fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) exec_child(plan, parent, null_fd, out_pipe[1], err_pipe[1]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (null_fd >= 0) close(null_fd);
    if (pid < 0) {
        result.err = std::string("fork: ") + strerror(errno);
        close(out_pipe[0]);
        close(err_pipe[0]);
        return result;
    }
    setpgid(pid, pid);  // also from the parent, so killpg works whoever runs first

    const auto deadline = Clock::now() + options.timeout;
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_fds = 2;
    while (open_fds > 0) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            result.timed_out = true;
            killpg(pid, SIGKILL);
            break;
        }
        int n = poll(fds, 2, static_cast<int>(std::min<long long>(left, 200)));
        if (n < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buf[4096];
            ssize_t got = read(fds[i].fd, buf, sizeof buf);
            if (got > 0) {
                sinks[i]->append(buf, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open_fds;
            }
        }
    }
    for (auto& f : fds)
        if (f.fd >= 0) close(f.fd);
    while (!leader_exited(pid, false)) {
        if (Clock::now() > deadline) {
            result.timed_out = true;
            killpg(pid, SIGKILL);
            leader_exited(pid, true);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Grandchildren that kept the group alive must not outlive the command.
    result.exit_code = finish(pid);
    return result;
}

Subprocess::~Subprocess()
{
    stop();
}

Subprocess::Subprocess(Subprocess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      status_(std::exchange(other.status_, std::nullopt))
{
}

Subprocess& Subprocess::operator=(Subprocess&& other) noexcept
{
    if (this != &other) {
        stop();
        pid_ = std::exchange(other.pid_, -1);
        status_ = std::exchange(other.status_, std::nullopt);
    }
    return *this;
}

bool Subprocess::start(const std::vector<std::string>& argv, const std::string& log_path,
                       const EnvChanges& env, std::string* error)
{
    stop();
    status_.reset();
    ExecPlan plan;
    if (!plan.prepare(argv, env, error)) return false;
    int log_fd = open(log_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log_fd < 0) {
        if (error) *error = "cannot open log " + log_path + ": " + strerror(errno);
        return false;
    }
    int null_fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) exec_child(plan, parent, null_fd, log_fd, log_fd);
    close(log_fd);
    if (null_fd >= 0) close(null_fd);
    if (pid < 0) {
        if (error) *error = std::string("fork: ") + strerror(errno);
        return false;
    }
    setpgid(pid, pid);
    pid_ = pid;
    return true;
}

bool Subprocess::running()
{
    if (pid_ <= 0 || status_) return false;
    if (!leader_exited(pid_, false)) return true;
    status_ = finish(pid_);  // also ends anything the agent left in its group
    return false;
}

std::optional<int> Subprocess::stop(std::chrono::milliseconds grace)
{
    if (pid_ <= 0) return std::nullopt;
    if (!status_) {
        killpg(pid_, SIGTERM);
        const auto deadline = Clock::now() + grace;
        while (!leader_exited(pid_, false)) {
            if (Clock::now() >= deadline) {
                killpg(pid_, SIGKILL);
                leader_exited(pid_, true);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        status_ = finish(pid_);
    }
    pid_ = -1;
    return status_;
}

}  // namespace psw::test
