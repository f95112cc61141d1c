// Child processes: captured output, time-outs, environment, and no strays after stop.
#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "support/process.h"
#include "support/temp_dir.h"

namespace psw::test {
namespace {

bool process_gone(pid_t pid, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline) {
        // A killed orphan may linger as a zombie until init reaps it.
        std::string stat = read_text_file("/proc/" + std::to_string(pid) + "/stat");
        if (stat.empty() || stat.find(") Z") != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(RunCommand, CapturesOutputAndExitCode)
{
    auto r = run_command({"sh", "-c", "echo out; echo err >&2; exit 3"});
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.out, "out\n");
    EXPECT_EQ(r.err, "err\n");
    EXPECT_NE(r.describe().find("exited with 3"), std::string::npos) << r.describe();
}

TEST(RunCommand, ReportsAMissingProgram)
{
    auto r = run_command({"psw-no-such-program-xyz"});
    EXPECT_EQ(r.exit_code, -1);
    EXPECT_NE(r.err.find("not found"), std::string::npos) << r.err;
}

TEST(RunCommand, KillsOnTimeOut)
{
    CommandOptions options;
    options.timeout = std::chrono::milliseconds(300);
    const auto start = std::chrono::steady_clock::now();
    auto r = run_command({"sh", "-c", "sleep 30"}, options);
    EXPECT_TRUE(r.timed_out);
    EXPECT_FALSE(r.ok());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(RunCommand, AppliesEnvironmentChanges)
{
    setenv("PSW_TEST_REMOVED_VAR", "present", 1);
    CommandOptions options;
    options.env = {{"PSW_TEST_SET_VAR", "hello"}, {"PSW_TEST_REMOVED_VAR", std::nullopt}};
    auto r = run_command({"sh", "-c", "echo \"${PSW_TEST_SET_VAR}|${PSW_TEST_REMOVED_VAR-unset}\""},
                         options);
    unsetenv("PSW_TEST_REMOVED_VAR");
    EXPECT_EQ(r.out, "hello|unset\n");
}

TEST(Subprocess, StopEndsTheWholeProcessGroup)
{
    TempDir dir("proc");
    std::string pid_file = dir.file("grandchild.pid");
    Subprocess p;
    std::string error;
    ASSERT_TRUE(p.start({"sh", "-c", "sleep 60 & echo $! > " + pid_file + "; wait"},
                        dir.file("log"), {}, &error))
        << error;
    std::string text;
    for (int i = 0; i < 200 && text.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        text = read_text_file(pid_file);
    }
    ASSERT_FALSE(text.empty());
    pid_t grandchild = static_cast<pid_t>(std::stol(text));
    pid_t child = p.pid();
    EXPECT_TRUE(p.running());
    auto status = p.stop();
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 128 + SIGTERM);
    EXPECT_FALSE(p.running());
    EXPECT_TRUE(process_gone(child, std::chrono::milliseconds(2000)));
    EXPECT_TRUE(process_gone(grandchild, std::chrono::milliseconds(2000)))
        << "grandchild " << grandchild << " survived";
}

TEST(Subprocess, KillsAChildThatIgnoresTerm)
{
    TempDir dir("proc");
    Subprocess p;
    std::string error;
    ASSERT_TRUE(p.start({"sh", "-c", "trap '' TERM; echo ready; while :; do sleep 0.05; done"},
                        dir.file("log"), {}, &error))
        << error;
    for (int i = 0; i < 200 && read_text_file(dir.file("log")).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    pid_t child = p.pid();
    auto status = p.stop(std::chrono::milliseconds(300));
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 128 + SIGKILL);
    EXPECT_TRUE(process_gone(child, std::chrono::milliseconds(2000)));
}

TEST(Subprocess, WritesOutputToTheLogAndNoticesExit)
{
    TempDir dir("proc");
    Subprocess p;
    std::string error;
    ASSERT_TRUE(
        p.start({"sh", "-c", "echo to-log; echo err-log >&2; exit 4"}, dir.file("log"), {}, &error))
        << error;
    for (int i = 0; i < 300 && p.running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(p.running());
    EXPECT_EQ(p.exit_status(), 4);
    EXPECT_EQ(read_text_file(dir.file("log")), "to-log\nerr-log\n");
}

TEST(TempDir, RemovesItsFolder)
{
    std::string path;
    {
        TempDir dir("rm");
        path = dir.path();
        ASSERT_FALSE(dir.write("x.txt", "text").empty());
        EXPECT_EQ(read_text_file(dir.file("x.txt")), "text");
        EXPECT_EQ(tail_of_file(dir.write("lines", "1\n2\n3\n4\n"), 2), "3\n4\n");
    }
    EXPECT_NE(access(path.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace psw::test
