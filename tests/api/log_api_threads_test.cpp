// Four threads log at once while a fifth switches outputs and levels through the exported calls:
// every line the callback gets is whole, none is lost while it stays attached, and the file
// output can come and go underneath. Run under ThreadSanitizer (ctest -R Threads).
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "api/log_api_fixture.h"
#include "support/temp_dir.h"

namespace psw::test {
namespace {

using LogApiThreads = LogApiTest;

TEST_F(LogApiThreads, FourThreadsLogWhileOutputsAreSwitched)
{
    constexpr int kThreads = 4;
    constexpr int kLinesEach = 400;
    const char* loggers[kThreads] = {"PSW", "socket", "snmp", "PSW"};
    TempDir dir("psw-log-threads");
    const std::string path = dir.file("threads.log");

    Lines got;
    ASSERT_EQ(PSWLogSetLevel(nullptr, PSW_LOG_ALL), PSW_SUCCESS);
    ASSERT_EQ(PSWLogAttachCallback(Lines::collect, &got), PSW_SUCCESS);

    std::atomic<bool> done{false};
    std::thread switcher([&] {
        int round = 0;
        while (!done.load()) {
            EXPECT_EQ(PSWLogAttachFile(path.c_str(), 4096), PSW_SUCCESS);
            EXPECT_EQ(PSWLogSetLevel("unused-by-the-library", PSW_LOG_INFO), PSW_SUCCESS);
            EXPECT_EQ(PSWLogAttachCallback(Lines::collect, &got), PSW_SUCCESS);
            EXPECT_EQ(PSWLogDetachFile(), PSW_SUCCESS);
            ++round;
        }
        EXPECT_GT(round, 0);
    });
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            for (int i = 0; i < kLinesEach; ++i) {
                pmc_log(loggers[t], PSW_LOG_INFO, "writer %d line %d end", t, i);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    done = true;
    switcher.join();

    ASSERT_EQ(got.size(), static_cast<size_t>(kThreads * kLinesEach));
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : got.lines) {
        int t = -1;
        int i = -1;
        const size_t at = line.find(", Info , writer ");
        ASSERT_NE(at, std::string::npos) << line;
        ASSERT_EQ(std::sscanf(line.c_str() + at, ", Info , writer %d line %d end", &t, &i), 2)
            << line;
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        // One thread's lines arrive in its order.
        EXPECT_EQ(i, next[static_cast<size_t>(t)]++) << line;
        EXPECT_EQ(line.substr(line.size() - 4), " end") << line;
    }
}

}  // namespace
}  // namespace psw::test
