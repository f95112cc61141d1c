// Bindings, binding lists, PDUs, packets, the ordered object list and the community target.
#include <gtest/gtest.h>

#include "snmp/snmp_test_util.h"

namespace psw::test {
namespace {

OwnedPtr<PmsVarBindList> list_of(std::initializer_list<const char*> names)
{
    OwnedPtr<PmsVarBindList> list(create_varbind_list());
    for (const char* name : names) {
        EXPECT_EQ(list->add(create_oid_from_text(name), nullptr), PSW_SUCCESS);
    }
    return list;
}

std::vector<int32_t> marks(const PmsVarBindList& list)
{
    std::vector<int32_t> out;
    for (uint32_t i = 0; i < list.count(); ++i) {
        out.push_back(list.at(i)->mark());
    }
    return out;
}

TEST(VarBind, AbsentValueBecomesNullAndEncodesAs0500)
{
    OwnedPtr<PmsVarBind> binding(create_varbind());
    ASSERT_EQ(binding->set(create_oid_from_text("1.3.6.1.2.1.1.1.0"), nullptr), PSW_SUCCESS);
    ASSERT_NE(binding->value(), nullptr);
    EXPECT_EQ(binding->value()->type(), kPmsNull);
    PduPtr pdu(create_pdu());
    pdu->set_type(kPmsGetRequest);
    pdu->append(binding.release());
    TargetPtr target = make_target(0, "public");
    const std::string hex = encode_hex(pdu.get(), target.get());
    EXPECT_NE(hex.find("300c06082b060102010101000500"), std::string::npos) << hex;
}

TEST(VarBind, CloneEqualsDetach)
{
    OwnedPtr<PmsVarBind> binding(create_varbind());
    binding->set(create_oid_from_text("1.3"), create_value_with_int(5, kPmsInteger));
    binding->set_mark(2);
    OwnedPtr<PmsVarBind> copy(binding->clone());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->equals(binding.get()));
    copy->set_mark(0);
    EXPECT_FALSE(copy->equals(binding.get()));
    IPmsOid* name = nullptr;
    binding->detach(&name, nullptr);
    OidPtr owned(name);
    EXPECT_STREQ(owned->text(), "1.3");
    EXPECT_EQ(binding->name(), nullptr);
    EXPECT_EQ(binding->value(), nullptr);
}

TEST(VarBindList, MarksRangesAndMoves)
{
    auto list = list_of({"1.1", "1.2", "1.3"});
    list->mark_error(2, 2);
    EXPECT_EQ(marks(*list), (std::vector<int32_t>{100, 2, 100}));
    list->mark_error(5, 0);
    EXPECT_EQ(marks(*list), (std::vector<int32_t>{100, 100, 100}));
    list->mark_all(0);
    EXPECT_EQ(marks(*list), (std::vector<int32_t>{0, 0, 0}));

    Result result = 0;
    EXPECT_EQ(list->copy_range(3, 1, &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_PARAMETER);
    OwnedPtr<PmsVarBindList> tail(list->copy_range(1, 10, &result));
    ASSERT_TRUE(tail);
    EXPECT_EQ(tail->count(), 2u);
    EXPECT_STREQ(tail->at(0)->name()->text(), "1.2");

    OwnedPtr<PmsVarBindList> moved(list->take_first_n(5));
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->count(), 3u);
    EXPECT_EQ(list->count(), 0u);

    EXPECT_EQ(moved->add(nullptr, nullptr), PSW_ERR_PARAMETER);
    ASSERT_EQ(moved->add_front(create_oid_from_text("1.0"), nullptr), PSW_SUCCESS);
    EXPECT_STREQ(moved->at(0)->name()->text(), "1.0");
    EXPECT_EQ(moved->remove(4, nullptr), PSW_ERR_PARAMETER);
    ASSERT_EQ(moved->remove(1, nullptr), PSW_SUCCESS);
    EXPECT_STREQ(moved->at(1)->name()->text(), "1.2");
    IPmsOid* name = nullptr;
    moved->take_first(&name, nullptr);
    OidPtr first(name);
    EXPECT_STREQ(first->text(), "1.0");
    EXPECT_EQ(moved->count(), 2u);
    OwnedPtr<PmsVarBindList> copy(moved->clone());
    EXPECT_TRUE(copy->equals(moved.get()));
    copy->at(1)->set_value(create_value_with_int(1, kPmsInteger));
    EXPECT_FALSE(copy->equals(moved.get()));
}

TEST(Pdu, HeaderEqualityAndMembers)
{
    PduPtr fresh(create_pdu());
    EXPECT_EQ(fresh->type(), kPmsPduUnset);
    EXPECT_FALSE(fresh->equals(fresh.get()));  // an unset type is never equal
    EXPECT_EQ(fresh->bindings(), nullptr);

    ValuePtr integer(create_value_with_int(1, kPmsInteger));
    ASSERT_EQ(fresh->set_enterprise(create_oid_from_text("1.3.6")), PSW_SUCCESS);
    EXPECT_EQ(fresh->set_enterprise(integer.get()), PSW_ERR_PARAMETER);
    EXPECT_STREQ(fresh->enterprise()->text(), "1.3.6");
    EXPECT_EQ(fresh->set_time_stamp(integer.get()), PSW_ERR_PARAMETER);

    fresh->set_type(kPmsGetRequest);
    fresh->set_request_id(77);
    fresh->add(create_oid_from_text("1.3.6.1"), nullptr);
    PduPtr copy(fresh->clone());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->equals(fresh.get()));
    copy->set_error_index(1);
    EXPECT_FALSE(copy->equals(fresh.get()));
    copy->reset();
    EXPECT_EQ(copy->type(), kPmsPduUnset);
    EXPECT_EQ(copy->error_status(), -1);
    EXPECT_EQ(copy->request_id(), 77);
    EXPECT_EQ(copy->bindings(), nullptr);
    EXPECT_EQ(copy->enterprise(), nullptr);
    EXPECT_EQ(copy->detach_first(), nullptr);
}

TEST(Packet, OwnsAndComparesByTarget)
{
    PacketPtr packet(create_packet());
    packet->set_pdu(create_pdu());
    packet->pdu()->set_type(kPmsGetRequest);
    packet->set_target(make_target(1, "public").release());
    PacketPtr copy(packet->clone());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->equals(packet.get()));
    pms_community_of(copy->target())->set_community("private");
    EXPECT_FALSE(copy->equals(packet.get()));
    TargetPtr target(copy->detach_target());
    EXPECT_EQ(copy->target(), nullptr);
    EXPECT_EQ(target->version(), 1);
}

TEST(ObjectList, OrderIteratorsAndUnlink)
{
    OwnedPtr<PmsPduList> list(create_pdu_list());
    PmsListIterator* it = list->new_iterator();
    EXPECT_EQ(list->at(it), nullptr);  // empty: at the end at once
    EXPECT_EQ(list->push_back(nullptr), PSW_ERR_PARAMETER);
    for (int32_t id : {2, 3}) {
        IPmsPdu* pdu = create_pdu();
        pdu->set_request_id(id);
        ASSERT_EQ(list->push_back(pdu), PSW_SUCCESS);
    }
    IPmsPdu* first = create_pdu();
    first->set_request_id(1);
    ASSERT_EQ(list->push_front(first), PSW_SUCCESS);
    EXPECT_EQ(list->count(), 3u);
    list->rewind(it);
    std::vector<int32_t> ids;
    for (; list->at(it) != nullptr; list->advance(it)) {
        ids.push_back(list->at(it)->request_id());
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3}));
    list->advance(it);  // stays at the end
    EXPECT_EQ(list->at(it), nullptr);
    list->rewind(it);
    list->advance(it);
    PduPtr taken(list->at(it));
    list->unlink(it);
    EXPECT_EQ(taken->request_id(), 2);
    EXPECT_EQ(list->at(it)->request_id(), 3);
    list->pop_back();
    EXPECT_EQ(list->count(), 1u);
    EXPECT_EQ(list->base()->count(), 1u);
    list->release_iterator(it);
    list->clear();
    EXPECT_EQ(list->count(), 0u);
    list->pop_front();
}

TEST(CommunityTarget, SettingsCopyAndEquality)
{
    TargetPtr target(create_community_target());
    EXPECT_EQ(target->version(), -1);
    EXPECT_EQ(target->timeout(), -1);
    EXPECT_EQ(target->retries(), 0);
    EXPECT_EQ(target->max_message_size(), 0u);
    EXPECT_EQ(target->port(), 0);
    EXPECT_EQ(target->address(), nullptr);
    EXPECT_EQ(target->kind(), kPmsCommunityTarget);
    IPmsCommunityTarget* community = pms_community_of(target.get());
    ASSERT_NE(community, nullptr);
    EXPECT_EQ(community->community(), nullptr);
    EXPECT_EQ(target->query(kPmsTargetUsm), nullptr);
    EXPECT_EQ(target->query(kPmsTargetCommon), static_cast<void*>(target.get()));

    TargetPtr other(create_community_target());
    EXPECT_TRUE(target->equals(other.get()));  // both absent
    community->set_community("");
    EXPECT_FALSE(target->equals(other.get()));  // empty is not absent
    target->set_version(1);
    target->set_timeout(500);
    target->set_retries(2);
    target->set_max_message_size(484);
    target->set_port(1161);
    ASSERT_EQ(other->copy_from(target.get()), PSW_SUCCESS);
    EXPECT_TRUE(other->equals(target.get()));
    EXPECT_EQ(other->timeout(), 500);
    EXPECT_EQ(other->max_message_size(), 484u);
    EXPECT_EQ(other->port(), 1161);
    EXPECT_EQ(other->copy_from(nullptr), PSW_ERR_PARAMETER);
    TargetPtr clone(target->clone());
    ASSERT_TRUE(clone);
    EXPECT_STREQ(pms_community_of(clone.get())->community(), "");
}

}  // namespace
}  // namespace psw::test
