#include <gtest/gtest.h>

#include <cstring>

#include "core/factory.h"
#include "query/plugin_usm.h"

namespace psw {
namespace {

class PluginUsmTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        usm.reset(pmc_create_plugin_usm(nullptr));
        ASSERT_NE(usm, nullptr);
        std::memset(&record, 0, sizeof record);
    }
    OwnedPtr<IPSWPluginUSM> usm;
    PSWUSMSettings record;
};

TEST_F(PluginUsmTest, BuiltInValues)
{
    EXPECT_EQ(usm->security_mode(), -1);
    EXPECT_STREQ(usm->user_name(), "Kolvaner");
    EXPECT_EQ(usm->security_level(), 2);
    EXPECT_EQ(usm->auth_protocol(), 1);
    EXPECT_EQ(usm->priv_protocol(), 1);
    EXPECT_STREQ(usm->auth_pass_phrase(), "8rofEnIWAguN53odes4y");
    EXPECT_STREQ(usm->priv_pass_phrase(), "KELPO48vinRaqusta7ne");
    EXPECT_STREQ(usm->context_name(), "");
}

TEST_F(PluginUsmTest, AllZeroRecordWithModeZero)
{
    usm->set_settings(0, record);
    EXPECT_EQ(usm->security_mode(), 0);
    EXPECT_STREQ(usm->user_name(), "Kolvaner");
    EXPECT_EQ(usm->security_level(), 0);
    EXPECT_EQ(usm->auth_protocol(), 0);
    EXPECT_EQ(usm->priv_protocol(), 0);
    EXPECT_STREQ(usm->auth_pass_phrase(), "8rofEnIWAguN53odes4y");
    EXPECT_STREQ(usm->context_name(), "");
}

TEST_F(PluginUsmTest, OutOfRangeValuesKeepDefaults)
{
    record.security_level = 5;
    usm->set_settings(7, record);
    EXPECT_EQ(usm->security_mode(), -1);
    EXPECT_EQ(usm->security_level(), 2);
    EXPECT_EQ(usm->auth_protocol(), 0);
    EXPECT_EQ(usm->priv_protocol(), 0);
    record.auth_protocol = -1;
    record.priv_protocol = PSW_USM_PRIV_PROTOCOL_MAX + 1;
    usm->set_settings(-3, record);
    EXPECT_EQ(usm->auth_protocol(), 1);
    EXPECT_EQ(usm->priv_protocol(), 1);
    record.auth_protocol = PSW_USM_AUTH_PROTOCOL_MAX + 1;
    usm->set_settings(2, record);
    EXPECT_EQ(usm->auth_protocol(), 1);
}

TEST_F(PluginUsmTest, SecondGenerationProtocolCodesAreKept)
{
    // The SHA-2 authentication and AES-192/256 privacy codes follow the first two.
    for (int32_t auth = PSW_USM_AUTH_HMAC_SHA224; auth <= PSW_USM_AUTH_PROTOCOL_MAX; ++auth) {
        record.auth_protocol = auth;
        record.priv_protocol = auth <= PSW_USM_PRIV_PROTOCOL_MAX ? auth : PSW_USM_PRIV_AES256;
        usm->set_settings(2, record);
        EXPECT_EQ(usm->auth_protocol(), auth);
        EXPECT_EQ(usm->priv_protocol(), record.priv_protocol);
    }
}

TEST_F(PluginUsmTest, EveryCallStartsFromTheDefaultsAndReadersSeeTheNewTexts)
{
    const char* name = usm->user_name();
    std::strcpy(record.user_name, "operator");
    std::strcpy(record.context_name, "printer");
    record.security_level = 1;
    usm->set_settings(2, record);
    EXPECT_STREQ(name, "operator");  // the reference follows the object
    EXPECT_STREQ(usm->auth_pass_phrase(), "8rofEnIWAguN53odes4y");
    EXPECT_STREQ(usm->context_name(), "printer");
    EXPECT_EQ(usm->security_mode(), 2);

    PSWUSMSettings zero;
    std::memset(&zero, 0, sizeof zero);
    usm->set_settings(0, zero);
    EXPECT_STREQ(name, "Kolvaner");
    EXPECT_STREQ(usm->context_name(), "");
}

TEST_F(PluginUsmTest, UnterminatedRecordTextsAreCutToTheirFields)
{
    std::memset(record.user_name, 'u', sizeof record.user_name);
    std::memset(record.auth_pass_phrase, 'a', sizeof record.auth_pass_phrase);
    std::memset(record.context_name, 'c', sizeof record.context_name);
    usm->set_settings(2, record);
    EXPECT_EQ(std::strlen(usm->user_name()), 63u);
    EXPECT_EQ(std::strlen(usm->auth_pass_phrase()), 63u);
    EXPECT_EQ(std::strlen(usm->context_name()), 511u);
}

}  // namespace
}  // namespace psw
