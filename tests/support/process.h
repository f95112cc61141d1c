// Child processes for tests: run a command and capture its output, or keep a peer program
// (an SNMP agent) running in its own process group until the owning object ends.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace psw::test {

// Environment changes for a child: a value sets the variable, nullopt removes it.
using EnvChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

struct CommandResult {
    int exit_code = -1;      // exit status; 128 + signal when killed; -1 when it could not start
    bool timed_out = false;  // the command overran its time limit and was killed
    std::string out;
    std::string err;

    bool ok() const { return exit_code == 0 && !timed_out; }
    // One line for failure messages: the command, its exit, and the start of stderr/stdout.
    std::string describe() const;
    std::string command;  // the argv joined by spaces, for messages
};

struct CommandOptions {
    EnvChanges env;
    std::chrono::milliseconds timeout{30000};
};

// Runs argv[0] (looked up in PATH when it has no '/') with stdin from /dev/null, waits for it
// (killing its whole process group on time-out) and returns its exit and captured output.
CommandResult run_command(const std::vector<std::string>& argv, const CommandOptions& options = {});

// The full path of an executable: PATH first, then the sbin folders; empty when not found.
std::string find_program(const std::string& name);

std::string join_command(const std::vector<std::string>& argv);

// A long-running child in its own process group, stdout and stderr appended to a log file.
// The destructor stops it (SIGTERM to the group, then SIGKILL) and reaps it.
class Subprocess {
public:
    Subprocess() = default;
    ~Subprocess();
    Subprocess(Subprocess&& other) noexcept;
    Subprocess& operator=(Subprocess&& other) noexcept;
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;

    // False with *error set when the program cannot be started.
    bool start(const std::vector<std::string>& argv, const std::string& log_path,
               const EnvChanges& env, std::string* error);
    // True while the child has not exited (reaps it when it has).
    bool running();
    pid_t pid() const { return pid_; }
    // Exit status as run_command reports it, once the child has ended.
    std::optional<int> exit_status() const { return status_; }
    // Stops the process group and returns the exit status (nullopt when nothing was started).
    std::optional<int> stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

}  // namespace psw::test
