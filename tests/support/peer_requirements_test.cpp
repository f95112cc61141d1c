// A missing peer skips outside CI and fails in CI; never a silent pass.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/peer_requirements.h"
#include "support/temp_dir.h"

namespace psw::test {
namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::optional<std::string> old_;
};

void refuse_peer()
{
    PSW_PEER_UNAVAILABLE("tool xyz missing");
}

void require_missing_program()
{
    // shared_printers points at an empty folder in the caller
    PSW_REQUIRE_PEERS(Peer::shared_printers);
}

// Runs fn and collects the test-part results it reported, without reporting them.
void intercept(void (*fn)(), ::testing::TestPartResultArray* results)
{
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, results);
    fn();
}

TEST(PeerRequirements, SkipsOutsideCi)
{
    ScopedEnv ci("CI", nullptr);
    EXPECT_FALSE(running_in_ci());
    ::testing::TestPartResultArray results;
    intercept(refuse_peer, &results);
    ASSERT_EQ(results.size(), 1);
    EXPECT_TRUE(results.GetTestPartResult(0).skipped());
    EXPECT_NE(std::string(results.GetTestPartResult(0).message()).find("tool xyz missing"),
              std::string::npos);
}

TEST(PeerRequirements, EmptyCiCountsAsUnset)
{
    ScopedEnv ci("CI", "");
    EXPECT_FALSE(running_in_ci());
    ::testing::TestPartResultArray results;
    intercept(refuse_peer, &results);
    ASSERT_EQ(results.size(), 1);
    EXPECT_TRUE(results.GetTestPartResult(0).skipped());
}

TEST(PeerRequirements, FailsInCi)
{
    ScopedEnv ci("CI", "true");
    EXPECT_TRUE(running_in_ci());
    ::testing::TestPartResultArray results;
    intercept(refuse_peer, &results);
    ASSERT_EQ(results.size(), 1);
    EXPECT_TRUE(results.GetTestPartResult(0).fatally_failed());
    EXPECT_NE(std::string(results.GetTestPartResult(0).message()).find("tool xyz missing"),
              std::string::npos);
}

TEST(PeerRequirements, RequireMacroUsesTheReasons)
{
    TempDir empty("noshared");
    ScopedEnv shared("PSW_SHARED_DATA_DIR", empty.path().c_str());
    {
        ScopedEnv ci("CI", "1");
        ::testing::TestPartResultArray results;
        intercept(require_missing_program, &results);
        ASSERT_EQ(results.size(), 1);
        EXPECT_TRUE(results.GetTestPartResult(0).fatally_failed());
        EXPECT_NE(std::string(results.GetTestPartResult(0).message()).find(empty.path()),
                  std::string::npos)
            << results.GetTestPartResult(0).message();
    }
    ScopedEnv ci("CI", nullptr);
    ::testing::TestPartResultArray results;
    intercept(require_missing_program, &results);
    ASSERT_EQ(results.size(), 1);
    EXPECT_TRUE(results.GetTestPartResult(0).skipped());
}

TEST(PeerRequirements, SharedDataFollowsTheOverride)
{
    TempDir dir("shared");
    ScopedEnv shared("PSW_SHARED_DATA_DIR", dir.path().c_str());
    EXPECT_EQ(shared_printers_dir(), dir.path() + "/printers");
    EXPECT_EQ(shared_printer_file("x.snmprec"), "");
    EXPECT_TRUE(peer_unavailable(Peer::shared_printers).has_value());
    std::filesystem::create_directories(dir.path() + "/printers");
    dir.write("printers/x.snmprec", "1.3.6.1.2.1.1.2.0|6|1.3.6.1.4.1.1\n");
    EXPECT_EQ(shared_printer_file("x.snmprec"), dir.path() + "/printers/x.snmprec");
    EXPECT_FALSE(peer_unavailable(Peer::shared_printers).has_value());
}

TEST(PeerRequirements, RootMatchesTheEffectiveUser)
{
    EXPECT_EQ(peer_unavailable(Peer::root).has_value(), geteuid() != 0);
}

}  // namespace
}  // namespace psw::test
