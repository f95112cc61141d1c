// Detaching an output: by name from the master and every logger, the registry's own outputs
// destroyed (their file closed), and what a logger promises through accepts().
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/interface_ids.h"
#include "log/capture_output.h"
#include "log/log_registry.h"
#include "support/temp_dir.h"

namespace psw {
namespace {

using test::CaptureOutput;

// How many descriptors of this process have `path` open.
int open_descriptors_of(const std::string& path)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == path) {
            ++count;
        }
    }
    return count;
}

class OutputDetach : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry = pmc_log_registry(nullptr);
        ASSERT_NE(registry, nullptr);
        registry->reset();
        master = registry->get_logger("All", nullptr);
    }
    void TearDown() override { registry->reset(); }

    CPmcLogRegistry* registry = nullptr;
    IPmcLogger* master = nullptr;
};

TEST_F(OutputDetach, MasterOutputLeavesEveryLoggerMadeBeforeAndAfter)
{
    CaptureOutput capture("shared");
    IPmcLogger* before = registry->get_logger("before", nullptr);
    ASSERT_EQ(master->add_output(&capture), PSW_SUCCESS);
    IPmcLogger* after = registry->get_logger("after", nullptr);
    master->set_level_mask(kLogAll);
    before->output(kLogError, "one");
    after->output(kLogError, "two");
    ASSERT_EQ(capture.lines.size(), 2u);

    EXPECT_EQ(registry->discard_output("shared"), PSW_SUCCESS);
    before->output(kLogError, "three");
    after->output(kLogError, "four");
    registry->get_logger("later", nullptr)->output(kLogError, "five");
    EXPECT_EQ(capture.lines.size(), 2u);
    EXPECT_FALSE(before->accepts(kLogError));
    // Twice, and for a name nobody knows, is harmless; a null name is refused.
    EXPECT_EQ(registry->discard_output("shared"), PSW_SUCCESS);
    EXPECT_EQ(registry->discard_output("never-attached"), PSW_SUCCESS);
    EXPECT_EQ(registry->discard_output(nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(master->remove_output(nullptr), PSW_ERR_PARAMETER);
}

TEST_F(OutputDetach, OtherOutputsOfALoggerStay)
{
    CaptureOutput kept("kept");
    CaptureOutput dropped("dropped");
    IPmcLogger* logger = registry->get_logger("PSW", nullptr);
    logger->add_output(&kept);
    logger->add_output(&dropped);
    logger->set_level_mask(kLogWarn);
    EXPECT_EQ(logger->remove_output("dropped"), PSW_SUCCESS);
    logger->output(kLogWarn, "still here");
    EXPECT_EQ(kept.lines.size(), 1u);
    EXPECT_TRUE(dropped.lines.empty());
    EXPECT_TRUE(logger->accepts(kLogWarn));
    EXPECT_FALSE(logger->accepts(kLogError));
}

TEST_F(OutputDetach, RegistryFileOutputIsClosedAndForgotten)
{
    test::TempDir dir("psw-detach");
    const std::string path = dir.file("detach.log");
    IPmcLogOutput* output = registry->get_output("file", "detached-file");
    void* part = nullptr;
    ASSERT_EQ(output->query_interface(kIidPmcLogFileOutput, &part), PSW_SUCCESS);
    ASSERT_EQ(static_cast<IPmcLogFileOutput*>(part)->set_path(path.c_str()), PSW_SUCCESS);
    master->add_output(output);
    master->set_level_mask(kLogAll);
    IPmcLogger* logger = registry->get_logger("socket", nullptr);
    logger->output(kLogInfo, "first");
    EXPECT_EQ(open_descriptors_of(path), 1);
    EXPECT_EQ(registry->discard_output("detached-file"), PSW_SUCCESS);
    EXPECT_EQ(open_descriptors_of(path), 0);
    // Gone from the registry: a lookup of the name finds the null output now.
    EXPECT_STREQ(registry->find_output("detached-file", nullptr)->type_name(), "null_standard");
    logger->output(kLogInfo, "second");
    std::ifstream in(path);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(content.find("first"), std::string::npos);
    EXPECT_EQ(content.find("second"), std::string::npos);
}

TEST_F(OutputDetach, MasterAndNullLoggerNeverAccept)
{
    CaptureOutput capture;
    master->add_output(&capture);
    master->set_level_mask(kLogAll);
    EXPECT_FALSE(master->accepts(kLogError));
    IPmcLogger* null_logger = registry->get_logger(nullptr, nullptr);
    EXPECT_STREQ(null_logger->name(), "null_session");
    EXPECT_FALSE(null_logger->accepts(kLogAll));
    EXPECT_EQ(null_logger->remove_output("x"), PSW_SUCCESS);
}

}  // namespace
}  // namespace psw
