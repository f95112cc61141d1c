// Construction, copying, connection and community of the option sets.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "option_test_support.h"

namespace psw::test {
namespace {

// The vtable slot of a virtual member function (Itanium ABI: the pointer holds 1 + offset).
template <class F>
std::ptrdiff_t slot_of(F function)
{
    std::ptrdiff_t raw = 0;
    static_assert(sizeof function >= sizeof raw);
    std::memcpy(&raw, &function, sizeof raw);
    return (raw - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

TEST(OptionLifecycle, VirtualOperationsKeepTheirSlots)
{
    using C = CPSWDevCommOption;
    EXPECT_EQ(slot_of(&C::destroy), 0);
    EXPECT_EQ(slot_of(&C::SetCommunityStr), 1);
    EXPECT_EQ(slot_of(&C::refresh_options), 2);
    EXPECT_EQ(slot_of(&C::Init), 3);
    EXPECT_EQ(slot_of(&C::is_supported_OID), 4);
    EXPECT_EQ(
        slot_of(static_cast<int32_t (C::*)(const char*, const char**, int32_t) const noexcept>(
            &C::get_option)),
        5);
    EXPECT_EQ(slot_of(static_cast<int32_t (C::*)(const char*, uint32_t*, int32_t) const noexcept>(
                  &C::get_option)),
              6);
    EXPECT_EQ(slot_of(static_cast<int32_t (C::*)(const char*, int32_t*, int32_t) const noexcept>(
                  &C::get_option)),
              7);
    EXPECT_EQ(slot_of(static_cast<int32_t (C::*)(const char*, bool*, int32_t) const noexcept>(
                  &C::get_option)),
              8);
    using B = CPSWBramblingOption;
    EXPECT_EQ(slot_of(&B::Init), 3);
    EXPECT_EQ(slot_of(&B::is_supported_OID), 4);
    EXPECT_EQ(slot_of(static_cast<int32_t (B::*)(const char*, bool*, int32_t) const noexcept>(
                  &B::get_option)),
              8);
}

TEST(OptionLifecycle, NewObjectAnswersEmptyOptions)
{
    ExposedGeneric options;
    int32_t number = 99;
    EXPECT_EQ(options.get_option("NumberOfInputTray", &number, 0), 0);
    EXPECT_EQ(number, 0);
    const char* text = nullptr;
    EXPECT_EQ(options.get_option("SysName", &text, 0), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    bool flag = true;
    EXPECT_EQ(options.get_option("Scanner", &flag, 0), 0);
    EXPECT_FALSE(flag);
    EXPECT_EQ(options.get_option("InputTrayName", &text, 0), PSW_ERR_INDEX);
    EXPECT_FALSE(options.m_communitySet);
    EXPECT_STREQ(options.m_community, "");
}

TEST(OptionLifecycle, RefreshBeforeInitTalksToNobody)
{
    FakeAgent agent;
    ExposedGeneric options;
    EXPECT_EQ(options.refresh_options(), PSW_ERR_NOT_INITIALIZED);
    EXPECT_TRUE(agent.requests.empty());
}

TEST(OptionLifecycle, InitSetsThePortOfEachProtocol)
{
    FakeAgent agent;
    ExposedGeneric options;
    EXPECT_EQ(options.Init(1, "192.0.2.10", nullptr, 1000, 2, 0), 0);
    EXPECT_EQ(options.m_port, 161);
    EXPECT_EQ(options.Init(4, "2001:db8::10", nullptr, 1000, 2, 0), 0);
    EXPECT_EQ(options.m_port, 161);
    EXPECT_STREQ(options.m_address, "2001:db8::10");
    EXPECT_EQ(options.Init(2, "00000001:0000c0a80a01", nullptr, 1000, 2, 0), 0);
    EXPECT_EQ(options.m_port, 36879);
    EXPECT_EQ(options.m_protocol, 2);
    EXPECT_TRUE(agent.requests.empty()) << "Init of the generic set does not read the printer";
}

TEST(OptionLifecycle, InitRefusesAnUnknownProtocolAfterStoringTheAddress)
{
    FakeAgent agent;
    ExposedGeneric options;
    ASSERT_EQ(options.Init(1, "192.0.2.10", nullptr, 1500, 3, 900), 0);
    FakeUsm usm;
    EXPECT_EQ(options.Init(3, "192.0.2.77", &usm, 9999, 9, 100), PSW_ERR_PARAMETER);
    EXPECT_STREQ(options.m_address, "192.0.2.77");
    EXPECT_EQ(options.m_protocol, 3);
    EXPECT_EQ(options.m_port, 161);
    EXPECT_EQ(options.m_timeout, 1500u);
    EXPECT_EQ(options.m_retries, 3u);
    EXPECT_EQ(options.m_maxMessageSize, 900u);
    EXPECT_EQ(options.m_securityMode, 0);
    EXPECT_EQ(options.Init(0, "192.0.2.77", nullptr, 1, 1, 0), PSW_ERR_PARAMETER);
    // The refused connection is not used.
    EXPECT_EQ(options.refresh_options(), PSW_ERR_NOT_INITIALIZED);
    EXPECT_TRUE(agent.requests.empty());
}

TEST(OptionLifecycle, InitRefusesMissingAndOverlongAddresses)
{
    ExposedGeneric options;
    ASSERT_EQ(options.Init(1, "192.0.2.10", nullptr, 1, 1, 0), 0);
    EXPECT_EQ(options.Init(1, nullptr, nullptr, 1, 1, 0), PSW_ERR_PARAMETER);
    const std::string longest(63, 'a');
    EXPECT_EQ(options.Init(1, longest.c_str(), nullptr, 1, 1, 0), 0);
    EXPECT_EQ(std::string(options.m_address), longest);
    const std::string tooLong(64, 'b');
    EXPECT_EQ(options.Init(1, tooLong.c_str(), nullptr, 1, 1, 0), PSW_ERR_PARAMETER);
    EXPECT_EQ(std::string(options.m_address), longest);
}

TEST(OptionLifecycle, InitCopiesNumbersAndReferencesTexts)
{
    FakeUsm usm;
    ExposedGeneric options;
    ASSERT_EQ(options.Init(1, "192.0.2.10", &usm, 2500, 4, 1200), 0);
    EXPECT_EQ(options.m_securityMode, 2);
    EXPECT_EQ(options.m_securityLevel, 1);
    EXPECT_EQ(options.m_authProtocol, 2);
    EXPECT_EQ(options.m_privProtocol, 0);
    EXPECT_EQ(options.m_pUserName, usm.user_name());
    EXPECT_EQ(options.m_pAuthPassPhrase, usm.auth_pass_phrase());
    EXPECT_EQ(options.m_pPrivPassPhrase, usm.priv_pass_phrase());
    EXPECT_EQ(options.m_pContextName, usm.context_name());
    EXPECT_EQ(options.m_timeout, 2500u);
    EXPECT_EQ(options.m_retries, 4u);
    EXPECT_EQ(options.m_maxMessageSize, 1200u);
}

TEST(OptionLifecycle, RequestsCarryTheConnection)
{
    FakeAgent agent;
    populate_printer(agent);
    FakeUsm usm;
    ExposedGeneric options;
    ASSERT_EQ(options.Init(4, "2001:db8::10", &usm, 2500, 4, 1200), 0);
    ASSERT_EQ(options.refresh_system_attributes(), 0);
    ASSERT_EQ(agent.requests.size(), 1u);
    const FakeRequestRecord& request = agent.requests[0];
    EXPECT_TRUE(request.initialised);
    EXPECT_EQ(request.address, "2001:db8::10");
    EXPECT_EQ(request.protocol, 4);
    EXPECT_EQ(request.port, 161);
    EXPECT_EQ(request.security_mode, 2);
    EXPECT_EQ(request.user_name, "operator");
    EXPECT_EQ(request.security_level, 1);
    EXPECT_EQ(request.context_name, "ctx");
    EXPECT_EQ(request.timeout, 2500);
    EXPECT_EQ(request.retries, 4);
    EXPECT_EQ(request.max_message_size, 1200u);
    EXPECT_FALSE(request.community_set);
    EXPECT_TRUE(request.released);
    EXPECT_EQ(agent.live, 0);
}

TEST(OptionLifecycle, WithoutSettingsObjectRequestsAreCommunityBased)
{
    FakeAgent agent;
    populate_printer(agent);
    ExposedGeneric options;
    ASSERT_EQ(options.Init(1, "192.0.2.10", nullptr, 0xFFFFFFFFu, 1, 0), 0);
    ASSERT_EQ(options.refresh_system_attributes(), 0);
    ASSERT_EQ(agent.requests.size(), 1u);
    EXPECT_EQ(agent.requests[0].security_mode, 0);
    EXPECT_EQ(agent.requests[0].user_name, "") << "texts are never null";
    EXPECT_EQ(agent.requests[0].timeout, INT32_MAX) << "a huge time-out stays positive";
}

TEST(OptionLifecycle, LaterSettingsChangesReachTheRequests)
{
    FakeAgent agent;
    populate_printer(agent);
    FakeUsm usm;
    ExposedGeneric options;
    ASSERT_EQ(options.Init(1, "192.0.2.10", &usm, 1000, 1, 0), 0);
    usm.user = "second-user";  // same object, new text
    usm.level = 0;             // numbers were copied
    ASSERT_EQ(options.refresh_system_attributes(), 0);
    ASSERT_EQ(agent.requests.size(), 1u);
    EXPECT_EQ(agent.requests[0].user_name, "second-user");
    EXPECT_EQ(agent.requests[0].security_level, 1);
}

TEST(OptionLifecycle, CommunityIsGivenOnlyOnceSet)
{
    FakeAgent agent;
    populate_printer(agent);
    ExposedGeneric options;
    ASSERT_EQ(options.Init(1, "192.0.2.10", nullptr, 1000, 1, 0), 0);
    options.SetCommunityStr(nullptr);
    EXPECT_FALSE(options.m_communitySet);
    options.SetCommunityStr("secret");
    EXPECT_TRUE(options.m_communitySet);
    ASSERT_EQ(options.refresh_system_attributes(), 0);
    ASSERT_EQ(agent.requests.size(), 1u);
    EXPECT_TRUE(agent.requests[0].community_set);
    EXPECT_EQ(agent.requests[0].community, "secret");
    options.SetCommunityStr(nullptr);
    EXPECT_STREQ(options.m_community, "secret") << "a null community changes nothing";
}

TEST(OptionLifecycle, CommunityIsCutTo255Characters)
{
    ExposedGeneric options;
    const std::string longer(300, 'c');
    options.SetCommunityStr(longer.c_str());
    EXPECT_EQ(std::string(options.m_community), std::string(255, 'c'));
    options.SetCommunityStr("");
    EXPECT_TRUE(options.m_communitySet);
    EXPECT_STREQ(options.m_community, "");
}

TEST(OptionLifecycle, CopiesCarryEveryMember)
{
    FakeAgent agent;
    populate_printer(agent);
    FakeUsm usm;
    ExposedBrambling original;
    original.SetCommunityStr("copied");
    ASSERT_EQ(original.Init(1, "192.0.2.10", &usm, 1234, 2, 0), 0);
    ASSERT_EQ(original.refresh_options(), 0);

    ExposedBrambling copy(original);
    EXPECT_STREQ(copy.m_address, "192.0.2.10");
    EXPECT_EQ(copy.m_timeout, 1234u);
    EXPECT_EQ(copy.m_pUserName, usm.user_name());
    EXPECT_STREQ(copy.m_community, "copied");
    EXPECT_TRUE(copy.m_communitySet);
    EXPECT_STREQ(copy.m_deviceOid, kModelOid);
    const char* text = nullptr;
    ASSERT_EQ(copy.get_option("InputTrayName", &text, 1), 0);
    EXPECT_STREQ(text, "Tray 2");
    int32_t number = 0;
    ASSERT_EQ(copy.get_option("MemorySizeInKByte", &number, 0), 0);
    EXPECT_EQ(number, 262144);

    ExposedBrambling assigned;
    assigned = original;
    EXPECT_STREQ(assigned.m_deviceOid, kModelOid);
    ASSERT_EQ(assigned.get_option("SysName", &text, 0), 0);
    EXPECT_STREQ(text, "office-printer-3");
    EXPECT_NE(text, nullptr);
    const char* originalText = nullptr;
    ASSERT_EQ(original.get_option("SysName", &originalText, 0), 0);
    EXPECT_NE(text, originalText) << "the copy answers from its own texts";

    // The copy talks to the printer with the same connection and factory.
    const size_t before = agent.requests.size();
    ASSERT_EQ(copy.refresh_options(), 0);
    EXPECT_GT(agent.requests.size(), before);
    EXPECT_EQ(agent.requests.back().community, "copied");
}

class CountedOption : public GenericOption {
public:
    explicit CountedOption(int* destructions) : m_destructions(destructions) {}
    ~CountedOption() override { ++*m_destructions; }

private:
    int* m_destructions;
};

TEST(OptionLifecycle, DestroyDeletesThroughTheVirtualDestructor)
{
    int destructions = 0;
    CPSWDevCommOption* options = new CountedOption(&destructions);
    options->destroy();
    EXPECT_EQ(destructions, 1);
}

TEST(OptionLifecycle, FactoryReplacementAndRestore)
{
    ExposedGeneric options;
    ASSERT_EQ(options.Init(1, "127.0.0.1", nullptr, 50, 0, 0), 0);
    {
        FakeAgent agent;
        agent.create_failure = PSW_ERR_NO_MEMORY;
        EXPECT_EQ(options.refresh_options(), PSW_ERR_NO_MEMORY);
    }
    // Null restores the library's own maker, which in this program reports its own code
    // rather than reaching the fake.
    options.set_get_data_factory(nullptr);
    FakeAgent agent;
    populate_printer(agent);
    const int32_t code = options.refresh_options();
    EXPECT_NE(code, 0);
    EXPECT_TRUE(agent.requests.empty());
}

}  // namespace
}  // namespace psw::test
