// Community and USM targets: settings, copies, comparison, interface numbers and visitors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "session/session_test_util.h"

namespace psw::test {
namespace {

TargetPtr usm_target()
{
    Result result = PSW_ERR_FAILED;
    TargetPtr target(create_usm_target(&result));
    EXPECT_EQ(result, PSW_SUCCESS);
    return target;
}

void fill_usm(IPmsUsmTarget* usm, const char* name = "operator")
{
    const uint8_t engine[] = {0x80, 0x00, 0x1f, 0x88, 0x00, 0x04};
    EXPECT_EQ(usm->set_security_name(name), PSW_SUCCESS);
    EXPECT_EQ(usm->set_security_level(IPmsUsmTarget::kAuthPriv), PSW_SUCCESS);
    EXPECT_EQ(usm->set_auth_protocol(IPmsUsmTarget::kAuthHmacSha1), PSW_SUCCESS);
    EXPECT_EQ(usm->set_priv_protocol(IPmsUsmTarget::kPrivAes), PSW_SUCCESS);
    EXPECT_EQ(usm->set_auth_pass_phrase("auth-secret"), PSW_SUCCESS);
    EXPECT_EQ(usm->set_priv_pass_phrase("priv-secret"), PSW_SUCCESS);
    EXPECT_EQ(usm->set_context_name("printer"), PSW_SUCCESS);
    EXPECT_EQ(usm->set_engine_id(engine, sizeof engine), PSW_SUCCESS);
}

std::string engine_of(const IPmsUsmTarget* usm)
{
    size_t length = 0;
    const uint8_t* bytes = usm->engine_id(&length);
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

void set_common(IPmsSnmpTarget* target)
{
    target->set_version(kPmsVersion2c);
    target->set_timeout(2500);
    target->set_retries(4);
    target->set_max_message_size(484);
    target->set_port(1161);
    AddressPtr address = make_address("127.0.0.5", 161);
    EXPECT_EQ(target->set_address(address.get()), PSW_SUCCESS);
}

void expect_common(const IPmsSnmpTarget* target)
{
    EXPECT_EQ(target->version(), kPmsVersion2c);
    EXPECT_EQ(target->timeout(), 2500);
    EXPECT_EQ(target->retries(), 4);
    EXPECT_EQ(target->max_message_size(), 484u);
    EXPECT_EQ(target->port(), 1161);
    ASSERT_NE(target->address(), nullptr);
    EXPECT_STREQ(target->address()->text(), "127.0.0.5");
    EXPECT_EQ(target->address()->port(), 161);
}

TEST(Targets, StartWithTheInitialSettings)
{
    TargetPtr targets[] = {TargetPtr(create_community_target()), usm_target()};
    for (const TargetPtr& target : targets) {
        EXPECT_EQ(target->version(), kPmsVersionUnset);
        EXPECT_EQ(target->timeout(), -1);
        EXPECT_EQ(target->retries(), 0);
        EXPECT_EQ(target->max_message_size(), 0u);
        EXPECT_EQ(target->port(), 0);
        EXPECT_EQ(target->address(), nullptr);
        EXPECT_EQ(target->unsupported(), PSW_ERR_UNSUPPORTED);
    }
    TargetPtr usm = usm_target();
    IPmsUsmTarget* part = pms_usm_of(usm.get());
    ASSERT_NE(part, nullptr);
    EXPECT_STREQ(part->security_name(), "");
    EXPECT_EQ(part->security_level(), 0);
    EXPECT_EQ(part->auth_protocol(), 0);
    EXPECT_EQ(part->priv_protocol(), 0);
    EXPECT_STREQ(part->auth_pass_phrase(), "");
    EXPECT_STREQ(part->priv_pass_phrase(), "");
    EXPECT_STREQ(part->context_name(), "");
    EXPECT_EQ(engine_of(part), "");
}

TEST(Targets, AddressIsCopiedInAndOwned)
{
    TargetPtr target(create_community_target());
    {
        AddressPtr address = make_address("127.0.0.7", 161);
        EXPECT_EQ(target->set_address(address.get()), PSW_SUCCESS);
        EXPECT_NE(target->address(), address.get()) << "the target keeps its own copy";
    }
    ASSERT_NE(target->address(), nullptr);
    EXPECT_STREQ(target->address()->text(), "127.0.0.7");
    EXPECT_EQ(target->set_address(nullptr), PSW_SUCCESS);
    EXPECT_EQ(target->address(), nullptr);
}

TEST(Targets, InterfaceNumbersAnswerByKind)
{
    TargetPtr community(create_community_target());
    TargetPtr usm = usm_target();
    for (uint32_t number : {0u, 1u}) {
        EXPECT_EQ(community->query(number), static_cast<void*>(community.get()));
        EXPECT_EQ(usm->query(number), static_cast<void*>(usm.get()));
    }
    for (uint32_t number : {2u, 3u}) {
        EXPECT_NE(community->query(number), nullptr);
        EXPECT_EQ(usm->query(number), nullptr);
    }
    for (uint32_t number : {4u, 5u}) {
        EXPECT_EQ(community->query(number), nullptr);
        EXPECT_NE(usm->query(number), nullptr);
    }
    EXPECT_EQ(community->query(6), nullptr);
    EXPECT_EQ(usm->query(99), nullptr);
    EXPECT_EQ(community->kind(), kPmsCommunityTarget);
    EXPECT_EQ(usm->kind(), kPmsUsmTarget);
}

TEST(Targets, VisitorIsCalledWithTheKindsInterface)
{
    struct Visitor final : IPmsTargetVisitor {
        Result visit_community(IPmsCommunityTarget* target) noexcept override
        {
            community = target;
            return 11;
        }
        Result visit_usm(IPmsUsmTarget* target) noexcept override
        {
            usm = target;
            return 22;
        }
        IPmsCommunityTarget* community = nullptr;
        IPmsUsmTarget* usm = nullptr;
    } visitor;
    TargetPtr community(create_community_target());
    TargetPtr usm = usm_target();
    EXPECT_EQ(community->accept(&visitor), 11);
    EXPECT_EQ(visitor.community, pms_community_of(community.get()));
    EXPECT_EQ(visitor.usm, nullptr);
    EXPECT_EQ(usm->accept(&visitor), 22);
    EXPECT_EQ(visitor.usm, pms_usm_of(usm.get()));
    EXPECT_EQ(usm->accept(nullptr), PSW_ERR_PARAMETER);
}

TEST(UsmTarget, SecurityNameIsLimitedTo32Characters)
{
    TargetPtr target = usm_target();
    IPmsUsmTarget* usm = pms_usm_of(target.get());
    const std::string longest(32, 'n');
    EXPECT_EQ(usm->set_security_name(longest.c_str()), PSW_SUCCESS);
    EXPECT_EQ(usm->security_name(), longest);
    EXPECT_EQ(usm->set_security_name(std::string(33, 'x').c_str()), PSW_ERR_PARAMETER);
    EXPECT_EQ(usm->security_name(), longest) << "a refused name keeps the old one";
    EXPECT_EQ(usm->set_security_name(nullptr), PSW_SUCCESS);
    EXPECT_STREQ(usm->security_name(), "");
}

TEST(UsmTarget, NullTextsBecomeEmptyAndEngineIdHoldsAnyBytes)
{
    TargetPtr target = usm_target();
    IPmsUsmTarget* usm = pms_usm_of(target.get());
    fill_usm(usm);
    EXPECT_EQ(engine_of(usm), std::string("\x80\x00\x1f\x88\x00\x04", 6));
    EXPECT_EQ(usm->set_auth_pass_phrase(nullptr), PSW_SUCCESS);
    EXPECT_EQ(usm->set_priv_pass_phrase(nullptr), PSW_SUCCESS);
    EXPECT_EQ(usm->set_context_name(nullptr), PSW_SUCCESS);
    EXPECT_STREQ(usm->auth_pass_phrase(), "");
    EXPECT_STREQ(usm->priv_pass_phrase(), "");
    EXPECT_STREQ(usm->context_name(), "");
    const uint8_t some[] = {1, 2};
    EXPECT_EQ(usm->set_engine_id(some, 0), PSW_SUCCESS);
    EXPECT_EQ(engine_of(usm), "");
    EXPECT_EQ(usm->set_engine_id(some, 2), PSW_SUCCESS);
    EXPECT_EQ(usm->set_engine_id(nullptr, 2), PSW_SUCCESS);
    EXPECT_EQ(engine_of(usm), "");
}

TEST(UsmTarget, CloneAndCopyCarryEverySetting)
{
    TargetPtr original = usm_target();
    set_common(original.get());
    fill_usm(pms_usm_of(original.get()));

    Result result = PSW_ERR_FAILED;
    TargetPtr copy(original->clone(&result));
    ASSERT_EQ(result, PSW_SUCCESS);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->kind(), kPmsUsmTarget);
    expect_common(copy.get());
    EXPECT_NE(copy->address(), original->address());
    const IPmsUsmTarget* usm = pms_usm_of(copy.get());
    EXPECT_STREQ(usm->security_name(), "operator");
    EXPECT_EQ(usm->security_level(), IPmsUsmTarget::kAuthPriv);
    EXPECT_EQ(usm->auth_protocol(), IPmsUsmTarget::kAuthHmacSha1);
    EXPECT_EQ(usm->priv_protocol(), IPmsUsmTarget::kPrivAes);
    EXPECT_STREQ(usm->auth_pass_phrase(), "auth-secret");
    EXPECT_STREQ(usm->priv_pass_phrase(), "priv-secret");
    EXPECT_STREQ(usm->context_name(), "printer");
    EXPECT_EQ(engine_of(usm), engine_of(pms_usm_of(original.get())));
    EXPECT_TRUE(copy->equals(original.get()));

    TargetPtr other = usm_target();
    EXPECT_EQ(other->copy_from(original.get()), PSW_SUCCESS);
    EXPECT_TRUE(other->equals(original.get()));
    EXPECT_EQ(other->copy_from(nullptr), PSW_ERR_PARAMETER);
}

TEST(UsmTarget, EqualityComparesSecurityButNotEngineIdOrCommonSettings)
{
    TargetPtr a = usm_target();
    TargetPtr b = usm_target();
    fill_usm(pms_usm_of(a.get()));
    fill_usm(pms_usm_of(b.get()));
    const uint8_t engine[] = {9, 9, 9};
    pms_usm_of(b.get())->set_engine_id(engine, 3);
    b->set_timeout(1);
    b->set_version(0);
    EXPECT_TRUE(a->equals(b.get()));

    const std::function<void(IPmsUsmTarget*)> changes[] = {
        [](IPmsUsmTarget* u) { u->set_security_name("other"); },
        [](IPmsUsmTarget* u) { u->set_security_level(1); },
        [](IPmsUsmTarget* u) { u->set_auth_protocol(1); },
        [](IPmsUsmTarget* u) { u->set_priv_protocol(1); },
        [](IPmsUsmTarget* u) { u->set_auth_pass_phrase("x"); },
        [](IPmsUsmTarget* u) { u->set_priv_pass_phrase("x"); },
        [](IPmsUsmTarget* u) { u->set_context_name("x"); },
    };
    int index = 0;
    for (const auto& change : changes) {
        TargetPtr c(a->clone());
        change(pms_usm_of(c.get()));
        EXPECT_FALSE(a->equals(c.get())) << "setting " << index;
        EXPECT_FALSE(c->equals(a.get())) << "setting " << index;
        ++index;
    }
    TargetPtr community(create_community_target());
    EXPECT_FALSE(a->equals(community.get()));
    EXPECT_FALSE(community->equals(a.get()));
    EXPECT_FALSE(a->equals(nullptr));
}

TEST(CommunityTarget, CloneCopyAndEquality)
{
    TargetPtr original(create_community_target());
    set_common(original.get());
    IPmsCommunityTarget* community = pms_community_of(original.get());
    EXPECT_EQ(community->community(), nullptr);
    TargetPtr plain(create_community_target());
    EXPECT_TRUE(original->equals(plain.get())) << "both without community";
    EXPECT_EQ(community->set_community("public"), PSW_SUCCESS);
    EXPECT_FALSE(original->equals(plain.get()));
    EXPECT_FALSE(plain->equals(original.get()));

    Result result = PSW_ERR_FAILED;
    TargetPtr copy(original->clone(&result));
    ASSERT_EQ(result, PSW_SUCCESS);
    expect_common(copy.get());
    EXPECT_STREQ(pms_community_of(copy.get())->community(), "public");
    EXPECT_TRUE(copy->equals(original.get()));
    pms_community_of(copy.get())->set_community("Public");
    EXPECT_FALSE(copy->equals(original.get()));
    pms_community_of(copy.get())->set_community(nullptr);
    EXPECT_EQ(pms_community_of(copy.get())->community(), nullptr);
}

TEST(Targets, CopyFromAnotherKindCopiesTheCommonSettingsThenRefuses)
{
    TargetPtr usm = usm_target();
    set_common(usm.get());
    fill_usm(pms_usm_of(usm.get()));
    TargetPtr community(create_community_target());
    pms_community_of(community.get())->set_community("public");
    EXPECT_EQ(community->copy_from(usm.get()), PSW_ERR_PARAMETER);
    expect_common(community.get());
    EXPECT_STREQ(pms_community_of(community.get())->community(), "public");

    TargetPtr into_usm = usm_target();
    set_common(community.get());
    EXPECT_EQ(into_usm->copy_from(community.get()), PSW_ERR_PARAMETER);
    expect_common(into_usm.get());
}

}  // namespace
}  // namespace psw::test
