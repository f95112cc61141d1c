// The device session's set-up and the common query procedure every query follows.
#include <gtest/gtest.h>

#include "query/query_fixture.h"

namespace psw::test {
namespace {

constexpr char kStorageType[] = "1.3.6.1.2.1.25.2.3.1.2";

using DeviceQueryTest = QueryTest;

TEST_F(DeviceQueryTest, InitSetsThePortFromTheProtocol)
{
    PSWDeviceQuery session(fake_get_data_factory);
    EXPECT_EQ(session.init(1, "192.0.2.1", usm.get(), 1, 0, 0), PSW_SUCCESS);
    EXPECT_EQ(session.port(), 161);
    EXPECT_EQ(session.init(4, "2001:db8::1", usm.get(), 1, 0, 0), PSW_SUCCESS);
    EXPECT_EQ(session.port(), 161);
    EXPECT_EQ(session.init(2, "00000001:000000000001", usm.get(), 1, 0, 0), PSW_SUCCESS);
    EXPECT_EQ(session.port(), 36879);
    EXPECT_EQ(session.init(3, "192.0.2.1", usm.get(), 1, 0, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(session.init(0, "192.0.2.1", usm.get(), 1, 0, 0), PSW_ERR_PARAMETER);
    EXPECT_STREQ(session.address(), "00000001:000000000001");
}

TEST_F(DeviceQueryTest, InitRefusesAnAddressThatDoesNotFitItsField)
{
    PSWDeviceQuery session(fake_get_data_factory);
    const std::string longest(63, 'a');
    EXPECT_EQ(session.init(1, longest.c_str(), usm.get(), 1, 0, 0), PSW_SUCCESS);
    EXPECT_EQ(session.address(), longest);
    const std::string too_long(64, 'b');
    EXPECT_EQ(session.init(1, too_long.c_str(), usm.get(), 1, 0, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(session.address(), longest) << "a refused address changes nothing";
    EXPECT_EQ(session.init(1, nullptr, usm.get(), 1, 0, 0), PSW_ERR_PARAMETER);
}

TEST_F(DeviceQueryTest, EveryRequestIsInitialisedWithTheSessionValues)
{
    ASSERT_EQ(query.query_storage(), PSW_SUCCESS);
    ASSERT_EQ(script.requests.size(), 1u);
    const FakeRequestRecord& seen = script.requests[0];
    EXPECT_FALSE(seen.community_set) << "without a read community the request keeps its own";
    EXPECT_EQ(seen.address, "192.0.2.10");
    EXPECT_EQ(seen.protocol, 1);
    EXPECT_EQ(seen.port, 161);
    EXPECT_EQ(seen.security_mode, 0);
    EXPECT_EQ(seen.user_name, "Kolvaner");
    EXPECT_EQ(seen.security_level, 0);
    EXPECT_EQ(seen.auth_protocol, 0);
    EXPECT_EQ(seen.priv_protocol, 0);
    EXPECT_EQ(seen.auth_pass_phrase, "8rofEnIWAguN53odes4y");
    EXPECT_EQ(seen.priv_pass_phrase, "KELPO48vinRaqusta7ne");
    EXPECT_EQ(seen.context_name, "");
    EXPECT_EQ(seen.timeout, 500);
    EXPECT_EQ(seen.retries, 2);
    EXPECT_EQ(seen.max_message_size, 0u);
    EXPECT_TRUE(seen.released);
}

TEST_F(DeviceQueryTest, TheReadCommunityIsGivenOnceSet)
{
    query.set_read_community("secret");
    ASSERT_EQ(query.query_storage(), PSW_SUCCESS);
    ASSERT_EQ(script.requests.size(), 1u);
    EXPECT_TRUE(script.requests[0].community_set);
    EXPECT_EQ(script.requests[0].community, "secret");
}

// The handle's settings object is rewritten by every discovery; a session keeps the user it was
// set up with, texts and numbers alike, so credentials are never mixed.
TEST_F(DeviceQueryTest, SessionCopiesEverySettingItWasSetUpWith)
{
    PSWUSMSettings first;
    std::memset(&first, 0, sizeof first);
    std::strcpy(first.user_name, "alice");
    first.security_level = 1;
    first.auth_protocol = 2;
    usm->set_settings(2, first);
    ASSERT_EQ(query.init(1, "192.0.2.10", usm.get(), 500, 2, 0), PSW_SUCCESS);

    PSWUSMSettings second;
    std::memset(&second, 0, sizeof second);
    std::strcpy(second.user_name, "bob");
    std::strcpy(second.context_name, "ctx");
    usm->set_settings(0, second);

    ASSERT_EQ(query.query_storage(), PSW_SUCCESS);
    const FakeRequestRecord& seen = script.requests.back();
    EXPECT_EQ(seen.user_name, "alice");
    EXPECT_EQ(seen.context_name, "");
    EXPECT_EQ(seen.security_mode, 2);
    EXPECT_EQ(seen.security_level, 1);
    EXPECT_EQ(seen.auth_protocol, 2);
}

TEST_F(DeviceQueryTest, FailedCreationIsLoggedAndReturned)
{
    script.create_failure = PSW_ERR_NO_MEMORY;
    EXPECT_EQ(query.query_storage(), PSW_ERR_NO_MEMORY);
    EXPECT_TRUE(logged("pmc_create_get_data()"));
}

TEST_F(DeviceQueryTest, FailedInitIsLoggedAndReturned)
{
    script.init_failure = PSW_ERR_ADDRESS;
    EXPECT_EQ(query.query_alerts(), PSW_ERR_ADDRESS);
    EXPECT_TRUE(logged("pGetData->init()"));
    EXPECT_FALSE(logged("pGetData->get_data()"));
    ASSERT_EQ(script.requests.size(), 1u);
    EXPECT_TRUE(script.requests[0].released);
}

TEST_F(DeviceQueryTest, FailedAddIsLoggedAndReturned)
{
    script.add_failure = PSW_ERR_PARAMETER;
    EXPECT_EQ(query.query_toners(), PSW_ERR_PARAMETER);
    EXPECT_TRUE(logged("pGetData->add_oid_string()"));
}

TEST_F(DeviceQueryTest, FailedWalkIsLoggedReturnedAndLeavesTheCountUnwritten)
{
    script.tables[kStorageType] = {{Oid(std::string(kStorageType) + ".1", "1.3.6.1.2.1.25.2.1.2")}};
    ASSERT_EQ(query.query_storage(), PSW_SUCCESS);
    EXPECT_EQ(query.storage_table().size(), 1u);

    // The walk fails after its row: the row read before the failure is not kept either.
    script.walk_failures[kStorageType] = PSW_ERR_TIMEOUT;
    EXPECT_EQ(query.query_storage(), PSW_ERR_TIMEOUT);
    EXPECT_TRUE(logged("pGetData->get_data()"));
    EXPECT_EQ(query.storage_table().size(), 0u);
}

TEST_F(DeviceQueryTest, ClearTablesEmptiesEveryTable)
{
    script.tables[kStorageType] = {{Oid(std::string(kStorageType) + ".1", "1.3.6.1.2.1.25.2.1.2")}};
    ASSERT_EQ(query.query_storage(), PSW_SUCCESS);
    ASSERT_EQ(query.storage_table().size(), 1u);
    query.clear_tables();
    EXPECT_EQ(query.storage_table().size(), 0u);
}

TEST_F(DeviceQueryTest, WriteCommunityDefaultsToPrivate)
{
    EXPECT_STREQ(query.write_community(), "private");
    query.set_write_community("w");
    EXPECT_STREQ(query.write_community(), "w");
}

TEST_F(DeviceQueryTest, CommunitiesLongerThanTheirFieldAreCut)
{
    const std::string long_text(300, 'c');
    query.set_read_community(long_text.c_str());
    EXPECT_EQ(std::string(query.read_community()), std::string(255, 'c'));
}

}  // namespace
}  // namespace psw::test
