// An OID keeps its sub-identifiers as numbers beside its text. After every kind of edit the
// numbers (what element() answers and what the encoder writes) must be those of the text.
#include <gtest/gtest.h>

#include <random>

#include "snmp/pms_value_views.h"
#include "snmp/snmp_test_util.h"

namespace psw::test {
namespace {

PmsOidView& view_of(IPmsOid* oid)
{
    void* view = nullptr;
    oid->get_view(kPmsViewOid, &view);
    return *static_cast<PmsOidView*>(view);
}

// The sub-identifiers read from the text alone, field by field with the decimal rule.
std::vector<uint32_t> from_text(const std::string& text)
{
    std::vector<uint32_t> ids;
    if (text.empty()) {
        return ids;
    }
    size_t start = 0;
    for (;;) {
        ids.push_back(pms_parse_decimal(text.c_str() + start));
        const size_t dot = text.find('.', start);
        if (dot == std::string::npos) {
            return ids;
        }
        start = dot + 1;
    }
}

std::vector<uint32_t> elements(const IPmsOid* oid)
{
    std::vector<uint32_t> ids;
    for (uint32_t i = 0; i < oid->count(); ++i) {
        Result error = -1;
        ids.push_back(static_cast<uint32_t>(oid->element(i, &error)));
        EXPECT_EQ(error, PSW_SUCCESS);
    }
    return ids;
}

// The encoder's bytes for this OID against those of a fresh OID made from the same text.
std::string encoded(IPmsOid* oid)
{
    OidPtr copy(create_oid());
    copy->set_text(oid->text());
    PduPtr mine(create_pdu());
    mine->set_type(kPmsGetRequest);
    mine->add(create_oid_from(oid), nullptr);
    TargetPtr target = make_target(0, "p");
    return encode_hex(mine.get(), target.get());
}

void expect_in_step(IPmsOid* oid, const char* step)
{
    SCOPED_TRACE(step);
    SCOPED_TRACE(oid->text());
    const std::vector<uint32_t> want = from_text(oid->text());
    EXPECT_EQ(elements(oid), want);
    const uint32_t* ids = view_of(oid).sub_ids();
    ASSERT_TRUE(ids != nullptr || want.empty());
    EXPECT_EQ(std::vector<uint32_t>(ids, ids + oid->count()), want);
    // An OID decoded from our encoding spells the same numbers.
    if (want.size() >= 2 && want[0] <= 2 && (want[0] == 2 || want[1] < 40)) {
        const std::string hex = encoded(oid);
        PduPtr back(create_pdu());
        TargetPtr target(create_community_target());
        ASSERT_EQ(decode_hex(hex, back.get(), target.get()), PSW_SUCCESS) << hex;
        EXPECT_EQ(elements(back->bindings()->at(0)->name()), want);
    }
}

TEST(OidSubIds, FollowEveryEdit)
{
    OidPtr id(create_oid());
    expect_in_step(id.get(), "new");
    id->set_text("1.3.6.1.2.1.43");
    expect_in_step(id.get(), "set_text");
    ASSERT_EQ(id->append(4294967295u), PSW_SUCCESS);
    expect_in_step(id.get(), "append large");
    ASSERT_EQ(id->append(0), PSW_SUCCESS);
    expect_in_step(id.get(), "append 0");
    ASSERT_EQ(id->append_text("8.2"), PSW_SUCCESS);
    expect_in_step(id.get(), "append_text");
    ASSERT_EQ(id->append(17), PSW_SUCCESS);
    expect_in_step(id.get(), "append after text");
    ASSERT_EQ(id->remove(2, 3), PSW_SUCCESS);
    expect_in_step(id.get(), "remove middle");
    ASSERT_EQ(id->remove(id->count() - 1, 1), PSW_SUCCESS);
    expect_in_step(id.get(), "remove last");
    OidPtr tail = oid("9.8.7");
    ASSERT_EQ(id->append_oid(tail.get()), PSW_SUCCESS);
    expect_in_step(id.get(), "append_oid");
    ASSERT_EQ(id->append_oid(id.get()), PSW_SUCCESS);
    expect_in_step(id.get(), "append_oid itself");
    OidPtr head(id->split_prefix(3));
    ASSERT_TRUE(head);
    expect_in_step(head.get(), "split_prefix (prefix)");
    expect_in_step(id.get(), "split_prefix (rest)");
    const std::vector<uint32_t> before = elements(id.get());
    ASSERT_GE(before.size(), 3u);
    EXPECT_EQ(id->pop_first(), before[0]);
    expect_in_step(id.get(), "pop_first");
    ASSERT_EQ(id->remove_prefix_text(std::to_string(before[1]).c_str()), PSW_SUCCESS);
    expect_in_step(id.get(), "remove_prefix_text");
    ASSERT_EQ(id->assign(head.get()), PSW_SUCCESS);
    expect_in_step(id.get(), "assign");
    ValuePtr text_index(create_value_from_text("abc", kPmsOctetString));
    ASSERT_EQ(id->append_index(text_index.get(), false), PSW_SUCCESS);
    expect_in_step(id.get(), "append_index");
    ValuePtr back(id->take_index_value(kPmsInteger, false, 1));
    expect_in_step(id.get(), "take_index_value");
    id->clear();
    expect_in_step(id.get(), "clear");
    ASSERT_EQ(id->append(5), PSW_SUCCESS);
    expect_in_step(id.get(), "append to empty");
}

// Texts that are not in canonical form still give the numbers the decimal rule reads, and
// decoding the same numbers into such an OID writes the canonical text.
TEST(OidSubIds, UncanonicalTextAndDecodeOverIt)
{
    OidPtr oid(create_oid());
    oid->set_text("01.3.+6.-1. 2..x");
    expect_in_step(oid.get(), "odd text");
    EXPECT_EQ(elements(oid.get()), (std::vector<uint32_t>{1, 3, 6, 0xFFFFFFFFu, 2, 0, 0}));

    // A binding whose name holds 1.03.6 decodes 1.3.6 into it: the text must be rewritten
    // although the numbers are the same.
    PduPtr pdu(create_pdu());
    pdu->set_type(kPmsGetRequest);
    OidPtr name(create_oid());
    name->set_text("1.03.6");
    view_of(name.get()).sub_ids();
    pdu->add(name.release(), nullptr);
    TargetPtr target(create_community_target());
    ASSERT_EQ(decode_hex("302002010004067075626c6963a21302010102010002010030083006060"
                         "22b060500", pdu.get(), target.get()), PSW_SUCCESS);
    EXPECT_STREQ(pdu->bindings()->at(0)->name()->text(), "1.3.6");
}

// Random edits against a model kept as a plain list of numbers.
TEST(OidSubIds, RandomEditsMatchAModel)
{
    std::mt19937 random(20240611);
    OidPtr oid(create_oid());
    std::vector<uint32_t> model;
    const uint32_t samples[] = {0, 1, 2, 39, 127, 128, 16383, 16384, 4294967295u, 1234567};
    for (int step = 0; step < 3000; ++step) {
        const uint32_t number = samples[random() % 10];
        switch (random() % 6) {
        case 0:
        case 1:
            ASSERT_EQ(oid->append(number), PSW_SUCCESS);
            model.push_back(number);
            break;
        case 2:
            if (!model.empty()) {
                const uint32_t start = static_cast<uint32_t>(random() % model.size());
                const uint32_t count = static_cast<uint32_t>(random() % 3);
                ASSERT_EQ(oid->remove(start, count), PSW_SUCCESS);
                model.erase(model.begin() + start,
                            model.begin() + std::min<size_t>(model.size(), start + count));
            }
            break;
        case 3: {
            const std::string text = std::to_string(number) + "." + std::to_string(number / 3);
            ASSERT_EQ(oid->append_text(text.c_str()), PSW_SUCCESS);
            model.push_back(number);
            model.push_back(number / 3);
            break;
        }
        case 4: {
            // Encode and decode into a reused PDU, as a session does with a reply.
            if (model.size() >= 2 && model[0] <= 2 && model[1] < 40) {
                static PduPtr pdu(create_pdu());
                static TargetPtr target(create_community_target());
                PduPtr request(create_pdu());
                request->set_type(kPmsGetRequest);
                request->add(create_oid_from(oid.get()), nullptr);
                TargetPtr out = make_target(0, "p", 65535);
                const std::string hex = encode_hex(request.get(), out.get());
                ASSERT_EQ(decode_hex(hex, pdu.get(), target.get()), PSW_SUCCESS);
                ASSERT_EQ(elements(pdu->bindings()->at(0)->name()), model);
                ASSERT_STREQ(pdu->bindings()->at(0)->name()->text(), oid->text());
            }
            break;
        }
        default:
            if (model.size() > 40 || random() % 10 == 0) {
                model = {1, 3};
                oid->set_text("1.3");
            }
            break;
        }
        ASSERT_EQ(elements(oid.get()), model) << "step " << step << " text " << oid->text();
    }
}

}  // namespace
}  // namespace psw::test
