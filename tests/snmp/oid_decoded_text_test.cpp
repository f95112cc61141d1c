// A decoded OID keeps its numbers and writes its text only when read, compares and tests
// equality from the numbers, and remembers the BER contents it came from so that the same
// contents decode and encode without work. Each shortcut must give exactly what the text gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snmp/snmp_test_util.h"
#include "support/oid_numbers.h"

namespace psw::test {
namespace {

std::vector<uint32_t> counting(uint32_t count)
{
    std::vector<uint32_t> ids{1, 3};
    for (uint32_t i = 2; i < count; ++i) {
        ids.push_back(i * 2654435761u);  // a spread of digit counts
    }
    return ids;
}

// 2.47 and then 127s: four characters for every content byte, the most the decoder reserves.
std::vector<uint32_t> widest(uint32_t count)
{
    std::vector<uint32_t> ids{2, 47};
    ids.resize(count, 127);
    return ids;
}

// Names around the edges of the encoding, of the inline storage (sixteen numbers) and of the
// room reserved for the text.
const std::vector<std::vector<uint32_t>> kNames = {
    widest(2),
    widest(3),
    widest(40),
    widest(128),
    {0, 0},
    {1, 3},
    {2, 0},
    {2, 4294967295u},
    {1, 3, 6, 1, 4, 1, 0, 127, 128, 16383, 16384, 4294967295u},
    {1, 3, 6, 1, 2, 1, 43, 8, 2, 1, 10, 1},
    {1, 39, 99, 100, 999, 1000, 9999, 10000, 99999, 100000, 999999999, 1000000000},
    counting(16),
    counting(17),
    counting(64),
    counting(128),
};

// The message of a GetRequest naming `text` (encoded from the text, the eager way).
std::string message_naming(const std::string& text)
{
    PduPtr request(create_pdu());
    request->set_type(kPmsGetRequest);
    request->add(create_oid_from_text(text.c_str()), nullptr);
    TargetPtr target = make_target(0, "p", 65535);
    return encode_hex(request.get(), target.get());
}

IPmsOid* first_name(IPmsPdu* pdu)
{
    return pdu->bindings()->at(0)->name();
}

// Decoding into a PDU whose name was another one (as a walk does) answers every reader of the
// text as the text itself would, also for copies and edits made before the text was read.
TEST(OidDecodedText, ReadersSeeTheCanonicalText)
{
    PduPtr pdu(create_pdu());
    TargetPtr target(create_community_target());
    std::string previous = "1.3.6.1.2.1.1.1.0";
    for (const auto& ids : kNames) {
        const std::string text = dotted(ids);
        SCOPED_TRACE(text);
        ASSERT_EQ(decode_hex(message_naming(previous), pdu.get(), target.get()), PSW_SUCCESS);
        ASSERT_EQ(decode_hex(message_naming(text), pdu.get(), target.get()), PSW_SUCCESS);
        IPmsOid* name = first_name(pdu.get());

        // Copies and edits made before anyone read the text.
        OidPtr copy(create_oid_from(name));
        OidPtr assigned = oid("9.9");
        ASSERT_EQ(assigned->assign(name), PSW_SUCCESS);
        OidPtr appended(create_oid_from(name));
        ASSERT_EQ(appended->append(7), PSW_SUCCESS);
        OidPtr shortened(create_oid_from(name));
        ASSERT_EQ(shortened->remove(1, 1), PSW_SUCCESS);
        std::vector<uint32_t> without_second = ids;
        without_second.erase(without_second.begin() + 1);

        EXPECT_EQ(name->text_length(), text.size());
        EXPECT_EQ(name->count(), ids.size());
        EXPECT_EQ(name->element(static_cast<uint32_t>(ids.size() - 1)), ids.back());
        EXPECT_STREQ(name->text(), text.c_str());
        size_t length = 0;
        const auto* octets = reinterpret_cast<const char*>(name->get_octets(&length));
        EXPECT_EQ(std::string(octets, length), text);
        EXPECT_STREQ(copy->text(), text.c_str());
        EXPECT_STREQ(assigned->text(), text.c_str());
        EXPECT_EQ(appended->text(), text + ".7");
        EXPECT_EQ(shortened->text(), dotted(without_second));
        EXPECT_TRUE(name->is_valid());
        previous = text;
    }
}

// compare() and equals() work from the numbers when both texts are their canonical spelling
// (decoded, or made from such a text); the answer must be the one of the texts (character
// order: "12" before "2", "1" before "12" and "1.5"). Other texts are compared as text.
TEST(OidDecodedText, CompareFromNumbersFollowsTheTextOrder)
{
    const std::vector<std::string> decodable = {
        "1.3",       "1.3.6",        "1.3.12",         "1.3.2",         "1.30",
        "1.3.6.1.2", "2.429496729",  "2.4294967295",   "2.4294967294",  "2.5",
        "0.0",       "1.3.6.1.2.10", "1.3.6.1.2.1.10", "1.3.6.1.2.1.9",
    };
    const std::vector<std::string> texts_only = {
        "", "1.03", "1.3.4294967296", "1..3", "+1.3", "1.3.", "1.3.6.1.2.01", "3",
    };
    std::vector<PduPtr> decoded;
    std::vector<OidPtr> made;
    std::vector<const IPmsOid*> oids;
    std::vector<std::string> texts;
    TargetPtr target(create_community_target());
    for (const std::string& text : decodable) {
        decoded.emplace_back(create_pdu());
        ASSERT_EQ(decode_hex(message_naming(text), decoded.back().get(), target.get()),
                  PSW_SUCCESS);
        oids.push_back(first_name(decoded.back().get()));
        texts.push_back(text);
    }
    for (const auto* list : {&decodable, &texts_only}) {
        for (const std::string& text : *list) {
            made.emplace_back(create_oid());
            made.back()->set_text(text.c_str());
            oids.push_back(made.back().get());
            texts.push_back(text);
        }
    }
    for (size_t a = 0; a < oids.size(); ++a) {
        for (size_t b = 0; b < oids.size(); ++b) {
            SCOPED_TRACE("\"" + texts[a] + "\" against \"" + texts[b] + "\"");
            OidPtr text_oid(create_oid());
            text_oid->set_text(texts[a].c_str());
            const int32_t want = text_oid->compare_text(texts[b].c_str());
            Result error = -1;
            EXPECT_EQ(oids[a]->compare(oids[b], &error), want);
            EXPECT_EQ(error, PSW_SUCCESS);
            EXPECT_EQ(oids[a]->equals(oids[b]), texts[a] == texts[b]);
        }
    }
    // Comparing read the numbers of the made OIDs; their texts stay as they were.
    for (size_t i = 0; i < oids.size(); ++i) {
        EXPECT_EQ(oids[i]->text(), texts[i]);
    }
}

// The remembered contents never stand in for a decode or an encode that would give something
// else.
TEST(OidDecodedText, RememberedContentsChangeNothing)
{
    TargetPtr target(create_community_target());
    TargetPtr out = make_target(0, "p");
    struct Case {
        const char* name;
        const char* before;  // text of the request's name
        const char* after;   // its text once the request's own message is decoded into it
    };
    const Case cases[] = {
        // the text is not the canonical form of its numbers: decoding rewrites it
        {"uncanonical text", "1.03.6", "1.3.6"},
        // 40 * 1 + 45 decodes as 2.5: the encoding of 1.45 must not be remembered as its own
        {"second above 39", "1.45", "2.5"},
        {"first above 2", "3.1", "2.41"},
        {"plain", "1.3.6.1.2.1.1.5.0", "1.3.6.1.2.1.1.5.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PduPtr pdu(create_pdu());
        pdu->set_type(kPmsGetRequest);
        OidPtr name(create_oid());
        name->set_text(c.before);
        pdu->add(name.release(), nullptr);
        const std::string first = encode_hex(pdu.get(), out.get());
        ASSERT_EQ(encode_hex(pdu.get(), out.get()), first);  // again, from what was remembered
        ASSERT_EQ(decode_hex(first, pdu.get(), target.get()), PSW_SUCCESS);
        EXPECT_STREQ(first_name(pdu.get())->text(), c.after);
        EXPECT_EQ(encode_hex(pdu.get(), out.get()), message_naming(c.after));
    }

    // A sub-identifier with an empty leading group (1.3.1 as 2b 80 01) decodes, but is written
    // back in its shortest form, also when the same contents come again.
    PduPtr pdu(create_pdu());
    const std::string padded = "301c020100040170a0140201000201000201003009300706032b80010500";
    const std::string fixed = message_naming("1.3.1");
    ASSERT_EQ(fixed, "301b020100040170a0130201000201000201003008300606022b010500");
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(decode_hex(padded, pdu.get(), target.get()), PSW_SUCCESS);
        EXPECT_STREQ(first_name(pdu.get())->text(), "1.3.1");
        EXPECT_EQ(encode_hex(pdu.get(), out.get()), fixed);
    }

    // An edit after a decode is encoded, not the contents remembered before it.
    ASSERT_EQ(first_name(pdu.get())->append(7), PSW_SUCCESS);
    EXPECT_EQ(encode_hex(pdu.get(), out.get()), message_naming("1.3.1.7"));
}

}  // namespace
}  // namespace psw::test
