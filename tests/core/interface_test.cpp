#include <gtest/gtest.h>

#include <string>

#include "core/interface_ids.h"
#include "log/log_registry.h"

namespace psw {
namespace {

TEST(InterfaceIdTest, ComparesAllThirtySevenBytesWithoutFolding)
{
    EXPECT_TRUE(pmc_interface_id_equal("5fe5b960-6b6f-11d5-82ea-00e02941dfe1", kIidPmcLogger));
    EXPECT_FALSE(pmc_interface_id_equal("5FE5B960-6B6F-11D5-82EA-00E02941DFE1", kIidPmcLogger));
    EXPECT_FALSE(pmc_interface_id_equal("5fe5b960-6b6f-11d5-82ea-00e02941dfe1x", kIidPmcLogger));
    EXPECT_FALSE(pmc_interface_id_equal("5fe5b960-6b6f-11d5-82ea-00e02941dfe", kIidPmcLogger));
    EXPECT_FALSE(pmc_interface_id_equal("", kIidPmcLogger));
}

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry = pmc_log_registry(nullptr);
        registry->reset();
    }
    CPmcLogRegistry* registry = nullptr;
};

TEST_F(QueryTest, LoggerAnswersItsPartsAtStableAddresses)
{
    IPmcLogger* logger = registry->get_logger("PSW", nullptr);
    void* base = nullptr;
    void* as_logger = nullptr;
    void* control = nullptr;
    ASSERT_EQ(logger->query_interface(kIidPmcInterface, &base), PSW_SUCCESS);
    ASSERT_EQ(logger->query_interface(kIidPmcLogger, &as_logger), PSW_SUCCESS);
    ASSERT_EQ(logger->query_outer(kIidPmcLoggerControl, &control), PSW_SUCCESS);
    EXPECT_EQ(base, static_cast<void*>(logger));
    EXPECT_EQ(as_logger, static_cast<void*>(logger));
    EXPECT_NE(control, nullptr);
    EXPECT_NE(control, static_cast<void*>(logger));

    // The control part resets the very same logger.
    logger->set_level_mask(kLogAll);
    static_cast<IPmcLoggerControl*>(control)->reset();
    EXPECT_EQ(logger->get_level_mask(), 0u);
    EXPECT_EQ(logger->unsupported(), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(logger->reserved(), PSW_ERR_NOT_FOUND);

    void* group = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(logger->query_interface(kIidPmcLoggerGroup, &group), PSW_ERR_NO_INTERFACE);
    EXPECT_EQ(group, nullptr);
}

TEST_F(QueryTest, UnknownOrMalformedIdentifiersAreNotAnswered)
{
    IPmcLogger* logger = registry->get_logger("PSW", nullptr);
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(logger->query_interface("DA74598A-9178-43C9-86C6-CEE9988F1B7F", &out),
              PSW_ERR_NO_INTERFACE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(logger->query_interface(nullptr, &out), PSW_ERR_PARAMETER);
    EXPECT_EQ(out, reinterpret_cast<void*>(0x1));
    EXPECT_EQ(logger->query_interface(kIidPmcLogger, nullptr), PSW_ERR_PARAMETER);
}

TEST_F(QueryTest, MasterAnswersGroupThroughBothIdentifiersAndSurvivesDestroy)
{
    IPmcLogger* master = registry->get_logger("All", nullptr);
    void* group = nullptr;
    void* same_group = nullptr;
    ASSERT_EQ(master->query_interface(kIidPmcLoggerGroup, &group), PSW_SUCCESS);
    ASSERT_EQ(master->query_interface(kIidPmcMasterLogger, &same_group), PSW_SUCCESS);
    EXPECT_EQ(group, same_group);
    master->destroy();
    master->set_level_mask(kLogError);
    EXPECT_EQ(master->get_level_mask(), static_cast<uint32_t>(kLogError));

    // A logger that leaves the group stops following the master.
    IPmcLogger* member = registry->get_logger("member", nullptr);
    auto* membership = static_cast<IPmcLoggerGroup*>(group);
    EXPECT_EQ(membership->unregister_member(member), member);
    EXPECT_EQ(membership->unregister_member(member), nullptr);
    master->set_level_mask(kLogAll);
    EXPECT_EQ(member->get_level_mask(), static_cast<uint32_t>(kLogError));
}

TEST_F(QueryTest, OutputsAnswerTheirOwnIdentifiers)
{
    IPmcLogOutput* console = registry->get_output("stdout", "console");
    void* out = nullptr;
    EXPECT_EQ(console->query_interface(kIidPmcLogOutput, &out), PSW_SUCCESS);
    EXPECT_EQ(out, static_cast<void*>(console));
    EXPECT_EQ(console->query_interface(kIidPmcLogFileOutput, &out), PSW_ERR_NO_INTERFACE);

    IPmcLogFileOutput* null_file = pmc_null_file_output();
    EXPECT_EQ(null_file->query_interface(kIidPmcLogFileOutput, &out), PSW_SUCCESS);
    EXPECT_EQ(out, static_cast<void*>(null_file));
    null_file->destroy();
    EXPECT_EQ(null_file->write_line("ignored"), PSW_SUCCESS);
    EXPECT_STREQ(null_file->name(), "null_file");
}

}  // namespace
}  // namespace psw
