// The model check of the supported printer's option set.
#include <gtest/gtest.h>

#include <string>

#include "option_test_support.h"

namespace psw::test {
namespace {

class BramblingInit : public ::testing::Test {
protected:
    void SetUp() override { populate_printer(agent); }

    int32_t init_with(const std::string& sysObjectId)
    {
        agent.set_oid("1.3.6.1.2.1.1.2.0", sysObjectId);
        return options.Init(1, "192.0.2.10", &usm, 1000, 1, 0);
    }

    FakeAgent agent;
    FakeUsm usm;
    ExposedBrambling options;
};

TEST_F(BramblingInit, SupportedModelPasses)
{
    EXPECT_EQ(init_with(kModelOid), 0);
    EXPECT_STREQ(options.m_deviceOid, kModelOid);
    ASSERT_EQ(agent.requests.size(), 1u);
    const FakeRequestRecord& request = agent.requests[0];
    ASSERT_EQ(request.oids.size(), 1u);
    EXPECT_EQ(request.oids[0], "1.3.6.1.2.1.1.2.0");
    EXPECT_EQ(request.operation, "get_string");
    EXPECT_EQ(request.address, "192.0.2.10");
    EXPECT_EQ(request.security_mode, 2);
    EXPECT_TRUE(request.released);
    EXPECT_EQ(agent.live, 0);
}

TEST_F(BramblingInit, IdentifiersBelowTheModelPass)
{
    EXPECT_EQ(init_with("1.3.6.1.4.1.297.1.11.93.1.35.27.1.2"), 0);
}

TEST_F(BramblingInit, OtherModelsAreRefused)
{
    EXPECT_EQ(init_with("1.3.6.1.4.1.297.1.11.93.1.35.27.10"), PSW_ERR_PARAMETER);
    EXPECT_EQ(init_with("1.3.6.1.4.1.297.1.11.93.1.35.2"), PSW_ERR_PARAMETER);
    EXPECT_EQ(init_with("1.3.6.1.4.1.297.1.11.93.1.35.27"), PSW_ERR_PARAMETER);
    EXPECT_EQ(init_with("1.3.6.1.4.1.11.2.3.9.1"), PSW_ERR_PARAMETER);
}

TEST_F(BramblingInit, AMissingSysObjectIdIsAnotherModel)
{
    agent.remove("1.3.6.1.2.1.1.2.0");
    EXPECT_EQ(options.Init(1, "192.0.2.10", &usm, 1000, 1, 0), PSW_ERR_PARAMETER);
    EXPECT_STREQ(options.m_deviceOid, "");
}

TEST_F(BramblingInit, RefusedDeviceStillAnswersPrefixQuestions)
{
    EXPECT_EQ(init_with("1.3.6.1.4.1.297.1.11.93.1.35.2"), PSW_ERR_PARAMETER);
    EXPECT_STREQ(options.m_deviceOid, "1.3.6.1.4.1.297.1.11.93.1.35.2");
    EXPECT_TRUE(options.is_supported_OID("1.3.6.1.4.1.297"));
    EXPECT_FALSE(options.is_supported_OID(kModelOid));
}

TEST_F(BramblingInit, IsSupportedOidIsATextPrefixTest)
{
    ASSERT_EQ(init_with(kModelOid), 0);
    EXPECT_TRUE(options.is_supported_OID(nullptr));
    EXPECT_TRUE(options.is_supported_OID(""));
    EXPECT_TRUE(options.is_supported_OID("1.3.6.1.4.1.297"));
    EXPECT_TRUE(options.is_supported_OID(kModelOid));
    EXPECT_FALSE(options.is_supported_OID("1.3.6.1.4.1.297.1.11.93.1.35.27.1.5"));
    EXPECT_FALSE(options.is_supported_OID("1.3.6.1.4.1.253"));
    EXPECT_FALSE(options.is_supported_OID("2"));
}

TEST(BramblingFresh, IsSupportedOidBeforeAnyInit)
{
    CPSWBramblingOption options;
    EXPECT_TRUE(options.is_supported_OID(nullptr));
    EXPECT_TRUE(options.is_supported_OID(""));
    EXPECT_FALSE(options.is_supported_OID("1"));
    EXPECT_FALSE(options.is_supported_OID(kModelOid));
}

TEST_F(BramblingInit, CommunityComesBeforeInit)
{
    options.SetCommunityStr("model-check");
    ASSERT_EQ(init_with(kModelOid), 0);
    ASSERT_EQ(agent.requests.size(), 1u);
    EXPECT_TRUE(agent.requests[0].community_set);
    EXPECT_EQ(agent.requests[0].community, "model-check");
}

TEST_F(BramblingInit, UnknownProtocolTalksToNobody)
{
    EXPECT_EQ(options.Init(3, "192.0.2.10", &usm, 1000, 1, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(options.Init(1, nullptr, &usm, 1000, 1, 0), PSW_ERR_PARAMETER);
    EXPECT_TRUE(agent.requests.empty());
}

TEST_F(BramblingInit, AddressOfAnotherProtocolIsRefusedBeforeAnyRead)
{
    agent.address_protocol = 4;
    EXPECT_EQ(options.Init(1, "2001:db8::1", &usm, 1000, 1, 0), PSW_ERR_PARAMETER);
    ASSERT_EQ(agent.requests.size(), 1u);
    EXPECT_EQ(agent.requests[0].operation, "protocol_of");
    EXPECT_FALSE(agent.requests[0].initialised);
    EXPECT_TRUE(agent.requests[0].released);
    EXPECT_STREQ(options.m_deviceOid, "");
}

TEST_F(BramblingInit, AddressProtocolFailureIsReturned)
{
    agent.protocol_of_failure = PSW_ERR_NO_MEMORY;
    EXPECT_EQ(options.Init(1, "192.0.2.10", &usm, 1000, 1, 0), PSW_ERR_NO_MEMORY);
    EXPECT_EQ(agent.live, 0);
}

TEST_F(BramblingInit, SilentPrinterGivesTheTimeOut)
{
    test::LogCapture& log = test::LogCapture::attach("PSW");
    agent.read_failure_prefix = "1.3.6.1.2.1.1.2.0";
    agent.read_failure_code = PSW_ERR_TIMEOUT;
    EXPECT_EQ(options.Init(1, "192.0.2.10", &usm, 1000, 1, 0), PSW_ERR_TIMEOUT);
    EXPECT_EQ(log.size(), 0u) << "a failed read of the model is not logged";
    EXPECT_EQ(agent.live, 0);
}

TEST_F(BramblingInit, RequestFailuresAreLogged)
{
    test::LogCapture& log = test::LogCapture::attach("PSW");
    agent.create_failure = PSW_ERR_NO_MEMORY;
    EXPECT_EQ(options.Init(1, "192.0.2.10", &usm, 1000, 1, 0), PSW_ERR_NO_MEMORY);
    EXPECT_TRUE(log.contains("pmc_create_get_data()"));
    agent.create_failure = 0;

    log.clear();
    agent.init_failure = PSW_ERR_ADDRESS;
    EXPECT_EQ(options.Init(1, "192.0.2.10", &usm, 1000, 1, 0), PSW_ERR_ADDRESS);
    EXPECT_TRUE(log.contains("pGetData->init()"));
    agent.init_failure = 0;

    log.clear();
    agent.add_failure_oid = "1.3.6.1.2.1.1.2";
    agent.add_failure = PSW_ERR_PARAMETER;
    EXPECT_EQ(options.Init(1, "192.0.2.10", &usm, 1000, 1, 0), PSW_ERR_PARAMETER);
    EXPECT_TRUE(log.contains("pGetData->add_oid_string()"));
    EXPECT_EQ(agent.live, 0);
}

TEST_F(BramblingInit, AnotherInitReplacesTheSysObjectId)
{
    ASSERT_EQ(init_with(kModelOid), 0);
    EXPECT_EQ(init_with("1.3.6.1.4.1.297.1.11.93.1.35.27.10"), PSW_ERR_PARAMETER);
    EXPECT_STREQ(options.m_deviceOid, "1.3.6.1.4.1.297.1.11.93.1.35.27.10");
    EXPECT_FALSE(options.is_supported_OID((kModelOid + std::string(".")).c_str()));
}

TEST_F(BramblingInit, RefreshLeavesTheSysObjectIdAlone)
{
    ASSERT_EQ(init_with(kModelOid), 0);
    ASSERT_EQ(options.refresh_options(), 0);
    EXPECT_STREQ(options.m_deviceOid, kModelOid);
}

TEST(BramblingOptions, NullArgumentsAndUnsignedOptions)
{
    CPSWBramblingOption options;
    const char* text = nullptr;
    int32_t number = 0;
    bool flag = false;
    uint32_t unsignedNumber = 0;
    EXPECT_EQ(options.get_option(nullptr, &text, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(options.get_option("SysName", static_cast<const char**>(nullptr), 0),
              PSW_ERR_PARAMETER);
    EXPECT_EQ(options.get_option(nullptr, &number, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(options.get_option(nullptr, &flag, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(options.get_option("Scanner", &unsignedNumber, 0), PSW_ERR_UNSUPPORTED);
    EXPECT_EQ(options.get_option("Scanner", &flag, 0), 0);
    EXPECT_FALSE(flag);
    // Through the base class the derived answers are reached as well.
    CPSWDevCommOption& base = options;
    EXPECT_EQ(base.get_option("NumberOfOutputTray", &number, 0), 0);
    EXPECT_EQ(number, 0);
}

}  // namespace
}  // namespace psw::test
