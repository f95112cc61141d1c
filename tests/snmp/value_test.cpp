// Values and object identifiers: tags, text forms, buffer growth, views, indexes, comparison.
#include <gtest/gtest.h>

#include "core/pms_octets.h"
#include "snmp/pms_value_views.h"
#include "snmp/snmp_test_util.h"

namespace psw::test {
namespace {

ValuePtr make(uint32_t tag)
{
    Result result = -1;
    ValuePtr value(create_value(tag, &result));
    EXPECT_EQ(result, PSW_SUCCESS) << tag;
    return value;
}

TEST(ValueFactory, EveryTableTagAndNothingElse)
{
    const uint32_t tags[] = {0x02, 0x04, 0x05, 0x06, 0x40, 0x41, 0x42,   0x43,
                             0x44, 0x46, 0x80, 0x81, 0x82, 0x48, 0xFF02, 0xFF03};
    for (uint32_t tag : tags) {
        ValuePtr value = make(tag);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type(), tag);
        EXPECT_EQ(value->extension() != nullptr, tag == kPmsObjectId);
    }
    for (uint32_t tag : {3u, 71u, 0x83u, 0xFF01u}) {
        Result result = 0;
        EXPECT_EQ(create_value(tag, &result), nullptr);
        EXPECT_EQ(result, PSW_ERR_PARAMETER);
    }
}

TEST(ValueFactory, FixedInitialContents)
{
    const std::pair<uint32_t, size_t> sizes[] = {
        {kPmsIpAddress, 4}, {kPmsIpv6Address, 16}, {kPmsIpv4Transport, 6}, {kPmsIpxTransport, 12}};
    for (auto [tag, size] : sizes) {
        ValuePtr value = make(tag);
        size_t length = 99;
        const uint8_t* bytes = value->get_octets(&length);
        ASSERT_EQ(length, size);
        EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + length), std::vector<uint8_t>(size, 0));
    }
    EXPECT_EQ(make(kPmsOctetString)->count(), 0u);
}

TEST(ValueFactory, FromTextChecksTheTypeAndValidity)
{
    Result result = 0;
    EXPECT_EQ(create_value_from_text(nullptr, kPmsInteger, &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_PARAMETER);
    EXPECT_EQ(create_value_from_text("1..3", kPmsObjectId, &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_PARAMETER);
    EXPECT_EQ(create_value_from_text("300.1.1.1", kPmsIpAddress, &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_PARAMETER);
    ValuePtr gauge(create_value_from_text("4294967295", kPmsGauge32, &result));
    ASSERT_TRUE(gauge);
    EXPECT_EQ(gauge->get_uint(), 0xFFFFFFFFu);
    ValuePtr number(create_value_with_int(-7, kPmsInteger, &result));
    ASSERT_TRUE(number);
    EXPECT_EQ(number->get_int(), -7);
    EXPECT_EQ(create_value_with_int(1, kPmsGauge32, &result), nullptr);
    EXPECT_EQ(result, PSW_ERR_UNSUPPORTED);
}

TEST(ValueText, DecimalRule)
{
    EXPECT_EQ(pms_parse_decimal("  +42abc"), 42u);
    EXPECT_EQ(pms_parse_decimal("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(pms_parse_decimal("4294967296"), 0u);
    EXPECT_EQ(pms_parse_decimal("x12"), 0u);
    ValuePtr gauge = make(kPmsGauge32);
    ASSERT_EQ(gauge->set_text("-1"), PSW_SUCCESS);
    EXPECT_EQ(gauge->get_uint(), 0xFFFFFFFFu);
    EXPECT_EQ(text_of(gauge.get()), "4294967295");
    ValuePtr integer = make(kPmsInteger);
    EXPECT_EQ(integer->set_text(nullptr), PSW_ERR_PARAMETER);
    ASSERT_EQ(integer->set_text("-2147483648"), PSW_SUCCESS);
    EXPECT_EQ(text_of(integer.get()), "-2147483648");
}

TEST(ValueText, AddressForms)
{
    ValuePtr ip = make(kPmsIpAddress);
    EXPECT_EQ(ip->set_text("192.168.0.256"), PSW_ERR_PARAMETER);
    EXPECT_EQ(ip->set_text("10.0.0"), PSW_ERR_PARAMETER);
    ASSERT_EQ(ip->set_text("10.0.0.1"), PSW_SUCCESS);
    size_t length = 0;
    const uint8_t* bytes = ip->get_octets(&length);
    EXPECT_EQ(to_hex(bytes, length), "0a000001");
    EXPECT_EQ(text_of(ip.get()), "10.0.0.1");

    ValuePtr ipv6 = make(kPmsIpv6Address);
    EXPECT_EQ(ipv6->set_text("2001:db8::1"), PSW_ERR_PARAMETER);
    ASSERT_EQ(ipv6->set_text("2001:db8:0:0:0:0:0:1"), PSW_SUCCESS);
    EXPECT_EQ(text_of(ipv6.get()), "2001:db8:0:0:0:0:0:1");
    ASSERT_EQ(ipv6->set_text("12345:0:0:0:0:0:0:0"), PSW_SUCCESS);  // low 16 bits kept
    EXPECT_EQ(text_of(ipv6.get()), "2345:0:0:0:0:0:0:0");

    ValuePtr transport = make(kPmsIpv4Transport);
    ASSERT_EQ(transport->set_text("10.0.0.1/161"), PSW_SUCCESS);
    bytes = transport->get_octets(&length);
    EXPECT_EQ(to_hex(bytes, length), "0a00000100a1");
    EXPECT_EQ(transport->get_port(), 161);
    EXPECT_EQ(transport->set_text("10.0.0.1/70000"), PSW_ERR_PARAMETER);
    ASSERT_EQ(transport->set_port(0x1234), PSW_SUCCESS);
    EXPECT_EQ(text_of(transport.get()), "10.0.0.1/4660");

    ValuePtr ipx = make(kPmsIpxTransport);
    ASSERT_EQ(ipx->set_text("0000abcd:00112233aabb/8f0f"), PSW_SUCCESS);
    EXPECT_EQ(ipx->get_port(), 0x8f0f);
    EXPECT_EQ(text_of(ipx.get()), "0000abcd:00112233aabb/8f0f");
    EXPECT_EQ(ipx->set_text("0000abcd:00112233aabb"), PSW_ERR_PARAMETER);

    Result error = 0;
    EXPECT_EQ(ip->get_port(&error), 0xFFFF);
    EXPECT_EQ(error, PSW_ERR_UNSUPPORTED);
}

TEST(ValueText, Counter64DigitsOnly)
{
    ValuePtr counter = make(kPmsCounter64);
    EXPECT_EQ(counter->set_text("12a"), PSW_ERR_PARAMETER);
    EXPECT_EQ(counter->set_text(nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(counter->set_text("18446744073709551616"), PSW_ERR_PARAMETER);
    ASSERT_EQ(counter->set_text("18446744073709551615"), PSW_SUCCESS);
    EXPECT_EQ(counter->get_high(), 0xFFFFFFFFu);
    EXPECT_EQ(counter->get_low(), 0xFFFFFFFFu);
    counter->set_high(1);
    counter->set_low(2);
    EXPECT_EQ(text_of(counter.get()), "4294967298");
}

TEST(ValueBytes, GrowthRuleAndNoShrink)
{
    PmsBytesView view;
    ASSERT_EQ(view.reserve(1), PSW_SUCCESS);
    EXPECT_EQ(view.capacity(), 128u);
    ASSERT_EQ(view.reserve(128), PSW_SUCCESS);
    EXPECT_EQ(view.capacity(), 128u);
    ASSERT_EQ(view.reserve(300), PSW_SUCCESS);
    EXPECT_EQ(view.capacity(), 384u);
    std::vector<uint8_t> full(384, 7);
    ASSERT_EQ(view.assign(full.data(), full.size()), PSW_SUCCESS);
    ASSERT_EQ(view.push_back(8), PSW_SUCCESS);  // a full buffer grows to ((384+1)/128+1)*128
    EXPECT_EQ(view.capacity(), 512u);
    view.clear();
    EXPECT_EQ(view.length(), 0u);
    EXPECT_EQ(view.capacity(), 512u);
}

TEST(ValueBytes, ElementsEqualityAndTextSinks)
{
    ValuePtr text = make(kPmsOctetString);
    ASSERT_EQ(text->set_text("abcde"), PSW_SUCCESS);
    Result error = 0;
    EXPECT_EQ(text->element(4, &error), 'e');
    EXPECT_EQ(text->element(5, &error), -1);
    EXPECT_EQ(error, PSW_ERR_PARAMETER);
    ValuePtr opaque = make(kPmsOpaque);
    ASSERT_EQ(opaque->set_text("abcde"), PSW_SUCCESS);
    EXPECT_FALSE(text->equals(opaque.get()));  // same bytes, other tag
    EXPECT_EQ(text->assign(opaque.get()), PSW_ERR_PARAMETER);
    ValuePtr copy(text->clone());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->equals(text.get()));
    ASSERT_EQ(text->set_text(nullptr), PSW_SUCCESS);
    EXPECT_EQ(text->count(), 0u);
    EXPECT_FALSE(copy->equals(text.get()));
    size_t length = 0;
    EXPECT_EQ(make(kPmsInteger)->get_octets(nullptr, &error), nullptr);
    EXPECT_EQ(error, PSW_ERR_PARAMETER);
    EXPECT_EQ(make(kPmsInteger)->get_octets(&length, &error), nullptr);
    EXPECT_EQ(error, PSW_ERR_UNSUPPORTED);
    OwnedPtr<PmsOctets> raw(copy->to_octets());
    ASSERT_TRUE(raw);
    EXPECT_TRUE(raw->equals("abcde"));
}

TEST(ValueViews, IdsByStorageKind)
{
    ValuePtr integer = make(kPmsInteger);
    void* view = nullptr;
    EXPECT_EQ(integer->get_view(kPmsViewInteger, &view), PSW_SUCCESS);
    EXPECT_NE(view, nullptr);
    EXPECT_EQ(integer->get_view(kPmsViewBytes, &view), PSW_ERR_NO_INTERFACE);
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(integer->get_view(kPmsViewCommon, &view), PSW_SUCCESS);
    EXPECT_EQ(view, static_cast<void*>(integer.get()));
    EXPECT_EQ(integer->get_view(kPmsViewCommonShort, &view), PSW_SUCCESS);
    EXPECT_EQ(view, static_cast<void*>(integer.get()));

    ValuePtr counter = make(kPmsCounter32);
    ASSERT_EQ(counter->get_view(kPmsViewUnsigned, &view), PSW_SUCCESS);
    static_cast<PmsUnsignedView*>(view)->value = 99;
    EXPECT_EQ(counter->get_uint(), 99u);
    ValuePtr ip = make(kPmsIpAddress);
    EXPECT_EQ(ip->get_view(kPmsViewBytes, &view), PSW_SUCCESS);
    ValuePtr oid_value = make(kPmsObjectId);
    EXPECT_EQ(oid_value->get_view(kPmsViewOid, &view), PSW_SUCCESS);
    EXPECT_EQ(oid_value->get_view(kPmsViewOidShort, &view), PSW_SUCCESS);
    EXPECT_EQ(make(kPmsCounter64)->get_view(kPmsViewCounter64, &view), PSW_SUCCESS);
    ValuePtr end = make(kPmsEndOfMibView);
    EXPECT_EQ(end->get_view(kPmsViewException, &view), PSW_SUCCESS);
    EXPECT_EQ(static_cast<PmsExceptionView*>(view)->tag, kPmsEndOfMibView);
    EXPECT_EQ(make(kPmsNull)->get_view(kPmsViewInteger, &view), PSW_ERR_NO_INTERFACE);
}

TEST(OidText, ValiditySyntax)
{
    for (const char* good : {"", "0", "1.3.6.1", "2.999.0.10"}) {
        EXPECT_TRUE(pms_is_valid_oid_text(good)) << good;
    }
    for (const char* bad : {".1.3", "1.3.", "1..3", "01.3", "1.+3", " 1.3", "1.3a", "-1"}) {
        EXPECT_FALSE(pms_is_valid_oid_text(bad)) << bad;
    }
    OidPtr stored(create_oid());
    ASSERT_EQ(stored->set_text("not an oid"), PSW_SUCCESS);  // stored unchecked
    EXPECT_FALSE(stored->is_valid());
    ASSERT_EQ(stored->set_text(nullptr), PSW_SUCCESS);
    EXPECT_EQ(stored->count(), 0u);
}

TEST(OidCompare, FiveResults)
{
    OidPtr printer = oid("1.3.6.1.2.1.43");
    EXPECT_EQ(printer->compare_text("1.3.6.1.2.1.43.8.2"), kPmsOidPrefixOfOther);
    EXPECT_EQ(printer->compare_text("1.3.6.1.2.1"), kPmsOidInsideOther);
    EXPECT_EQ(printer->compare_text("1.3.6.1.2.1.43"), kPmsOidEqual);
    EXPECT_EQ(printer->compare_text("1.3.6.1.2.1.44"), kPmsOidLess);
    EXPECT_EQ(oid("1.3.6.1.2.1.4")->compare_text("1.3.6.1.2.1.43"), kPmsOidLess);
    EXPECT_EQ(oid("1.3.6.1.2.1.43")->compare_text("1.3.6.1.2.1.4"), kPmsOidGreater);
    EXPECT_EQ(oid("1.3.6.1.10")->compare_text("1.3.6.1.9"), kPmsOidLess);  // text order
    Result error = 0;
    EXPECT_EQ(printer->compare_text(nullptr, &error), -1);
    EXPECT_EQ(error, PSW_ERR_PARAMETER);
    EXPECT_EQ(printer->compare(oid("1.3.6.1.2.1.43.5").get()), kPmsOidPrefixOfOther);
}

TEST(OidEdit, AppendRemoveSplit)
{
    OidPtr id(create_oid());
    ASSERT_EQ(id->append_text("8.2"), PSW_SUCCESS);
    EXPECT_STREQ(id->text(), "8.2");
    ASSERT_EQ(id->append(5), PSW_SUCCESS);
    EXPECT_STREQ(id->text(), "8.2.5");
    EXPECT_EQ(id->count(), 3u);
    ASSERT_EQ(id->append(4294967295u), PSW_SUCCESS);
    EXPECT_EQ(id->element(3), 4294967295);
    ASSERT_EQ(id->append_oid(oid("7.7").get()), PSW_SUCCESS);
    EXPECT_STREQ(id->text(), "8.2.5.4294967295.7.7");
    ASSERT_EQ(id->append_oid(id.get()), PSW_SUCCESS);
    EXPECT_EQ(id->count(), 12u);

    OidPtr walk = oid("1.3.6.1.2.1.43.8.2.1.2.1.7");
    EXPECT_EQ(walk->remove_prefix_text("1.3.6.1.2.1.44"), PSW_ERR_PARAMETER);
    ASSERT_EQ(walk->remove_prefix_text("1.3.6.1.2.1.43"), PSW_SUCCESS);
    EXPECT_STREQ(walk->text(), "8.2.1.2.1.7");
    OidPtr head(walk->split_prefix(2));
    ASSERT_TRUE(head);
    EXPECT_STREQ(head->text(), "8.2");
    EXPECT_STREQ(walk->text(), "1.2.1.7");
    EXPECT_EQ(walk->pop_first(), 1);
    ASSERT_EQ(walk->remove(1, 5), PSW_SUCCESS);
    EXPECT_STREQ(walk->text(), "2");
    EXPECT_EQ(walk->remove(1, 1), PSW_ERR_PARAMETER);
    OwnedPtr<PmsOctets> text(oid("9.8.7")->split_prefix_text(5));
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->equals("9.8.7"));
    OidPtr whole = oid("1.2.3");
    ASSERT_EQ(whole->remove_prefix(oid("1.2.3").get()), PSW_SUCCESS);
    EXPECT_EQ(whole->count(), 0u);
}

TEST(OidElement, PastTheEnd)
{
    Result error = 0;
    EXPECT_EQ(oid("1.2.3.4.5")->element(5, &error), -1);
    EXPECT_EQ(error, PSW_ERR_TOO_LONG);
    EXPECT_EQ(oid("")->element(0, &error), -1);
    EXPECT_EQ(error, PSW_ERR_NOT_INITIALIZED);
    OidPtr empty = oid("");
    EXPECT_EQ(empty->pop_first(&error), -1);
    EXPECT_EQ(error, PSW_ERR_NOT_INITIALIZED);
}

TEST(TableIndex, OctetStringsAndNumbers)
{
    ValuePtr word = make(kPmsOctetString);
    ASSERT_EQ(word->set_text("abc"), PSW_SUCCESS);
    OidPtr index(create_oid());
    ASSERT_EQ(word->append_as_index(index.get(), false), PSW_SUCCESS);
    EXPECT_STREQ(index->text(), "3.97.98.99");
    EXPECT_EQ(word->index_length(false), 4u);
    EXPECT_EQ(word->index_length(true), 3u);

    ValuePtr back = make(kPmsOctetString);
    ASSERT_EQ(back->set_from_index(oid("3.97.98.99").get(), false, 0), PSW_SUCCESS);
    EXPECT_TRUE(back->equals(word.get()));
    EXPECT_EQ(back->set_from_index(oid("4.97.98").get(), false, 0), PSW_ERR_INDEX_VALUE);
    EXPECT_EQ(back->set_from_index(oid("2.97.300").get(), false, 0), PSW_ERR_INDEX_VALUE);
    ASSERT_EQ(back->set_from_index(oid("97.98.99").get(), true, kPmsIndexAll), PSW_SUCCESS);
    EXPECT_EQ(text_of(back.get()), "abc");
    ASSERT_EQ(back->set_from_index(oid("97.98.99").get(), true, 2), PSW_SUCCESS);
    EXPECT_EQ(text_of(back.get()), "ab");

    OidPtr row = oid("7.3.97.98.99.42");
    ValuePtr first(row->take_index_value(kPmsInteger, false, 0));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->get_int(), 7);
    ValuePtr name(row->take_index_value(kPmsOctetString, false, 0));
    ASSERT_TRUE(name);
    EXPECT_EQ(text_of(name.get()), "abc");
    EXPECT_STREQ(row->text(), "42");
    ValuePtr rest(row->take_index_value_all(kPmsGauge32, true));
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->get_uint(), 42u);

    OidPtr negative(create_oid());
    ASSERT_EQ(negative->append_index_text("-1", kPmsInteger, false), PSW_SUCCESS);
    EXPECT_STREQ(negative->text(), "4294967295");
}

TEST(TableIndex, OidAsIndex)
{
    OidPtr target(create_oid());
    OidPtr part = oid("1.3.6");
    ASSERT_EQ(target->write_index(part.get(), false), PSW_SUCCESS);
    EXPECT_STREQ(target->text(), "3.1.3.6");
    ASSERT_EQ(target->append_index(part.get(), true), PSW_SUCCESS);
    EXPECT_STREQ(target->text(), "3.1.3.6.1.3.6");
    OidPtr read(create_oid());
    ASSERT_EQ(target->take_index(read.get(), false, 0), PSW_SUCCESS);
    EXPECT_STREQ(read->text(), "1.3.6");
    EXPECT_STREQ(target->text(), "1.3.6");
    EXPECT_EQ(read->set_from_index(oid("5.1.2").get(), false, 0), PSW_ERR_INDEX_VALUE);
    ASSERT_EQ(oid("9.8.7")->read_index(read.get(), true), PSW_SUCCESS);
    EXPECT_STREQ(read->text(), "9.8.7");
}

TEST(Octets, AssignAppendCloneEquals)
{
    OwnedPtr<PmsOctets> text(create_octets());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->data(), nullptr);
    EXPECT_TRUE(text->equals(nullptr, 0));
    ASSERT_EQ(text->assign("abc"), PSW_SUCCESS);
    ASSERT_EQ(text->append("de", 2), PSW_SUCCESS);
    ASSERT_EQ(text->append(text.get()), PSW_SUCCESS);
    EXPECT_STREQ(text->c_str(), "abcdeabcde");
    PmsOctets* copy = nullptr;
    ASSERT_EQ(text->clone(&copy), PSW_SUCCESS);
    OwnedPtr<PmsOctets> owned(copy);
    EXPECT_TRUE(owned->equals(text.get()));
    ASSERT_EQ(text->assign(nullptr, 0), PSW_SUCCESS);
    EXPECT_EQ(text->length(), 0u);
    EXPECT_FALSE(owned->equals(text.get()));
}

}  // namespace
}  // namespace psw::test
