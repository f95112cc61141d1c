// The order a walk puts names in, from their texts and from their numbers, and the names it
// makes from a caller's text. The numbers stand for the text only when the text is their
// canonical spelling; every answer from the numbers must be the one the text gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/factory.h"
#include "request/walk_order.h"
#include "snmp/pms_value.h"
#include "support/oid_numbers.h"

namespace psw {
namespace {

using test::oid_numbers;

int sign(int order)
{
    return (order > 0) - (order < 0);
}

// Canonical names around the places where number order and text order part: different
// lengths, prefixes, sub-identifiers sharing their leading digits, 0 and 2^32-1, the empty name
// (first).
std::vector<std::string> words(const char* list)
{
    std::vector<std::string> out(1);
    for (const char* p = list; *p != '\0'; ++p) {
        if (*p == ' ') {
            out.emplace_back();
        } else {
            out.back().push_back(*p);
        }
    }
    return out;
}
const std::vector<std::string> kNames = words(
    " 0 0.0 1 1.2 1.3 1.3.6 1.3.6.0 1.3.6.12 1.3.6.1 1.3.6.1.0 1.3.6.1.0.0 1.3.6.1.1 1.3.6.1.2 "
    "1.3.6.1.2.0 1.3.6.1.9 1.3.6.1.10 1.3.6.1.19 1.3.6.1.25.1 1.3.6.1.25.2.3.1.1.9 "
    "1.3.6.1.25.2.3.1.1.10 1.3.6.1.25.2.3.1.2.12 1.3.6.1.25.2.3.1.3.1 1.3.6.1.99 1.3.6.1.100 "
    "1.3.6.1.101 1.3.6.1.200 1.3.6.1.4294967294 1.3.6.1.4294967295 1.3.6.1.4294967295.0 10.1 "
    "4294967295");

// Both orders against the order of the numbers themselves (a prefix first), in both directions.
TEST(WalkOrder, EveryPairOfNamesInTheOrderOfTheirNumbers)
{
    std::vector<OwnedPtr<IPmsOid>> decoded;
    for (const std::string& text : kNames) {
        decoded.emplace_back(create_oid());
        test::assign_numbers(decoded.back().get(), oid_numbers(text));
        ASSERT_NE(pmc_canonical_view(decoded.back().get()), nullptr) << text;
    }
    for (size_t a = 0; a < kNames.size(); ++a) {
        const std::vector<uint32_t> left = oid_numbers(kNames[a]);
        const PmsOidView* left_view = pmc_canonical_view(decoded[a].get());
        for (size_t b = 0; b < kNames.size(); ++b) {
            SCOPED_TRACE(kNames[a] + " against " + kNames[b]);
            const std::vector<uint32_t> right = oid_numbers(kNames[b]);
            const int want = left < right ? -1 : (right < left ? 1 : 0);
            const PmsOidView* right_view = pmc_canonical_view(decoded[b].get());
            EXPECT_EQ(sign(pmc_oid_text_order(kNames[a].c_str(), kNames[b].c_str())), want);
            EXPECT_EQ(sign(pmc_oid_number_order(left_view->sub_ids(), left_view->count(),
                                                right_view->sub_ids(), right_view->count())),
                      want);
        }
    }
}

// Texts that are not dotted numbers come to an end instead of stalling on the first character
// that is neither a digit nor a dot; such a character reads as 0.
TEST(WalkOrder, CharactersOtherThanDigitsAndDotsEndTheComparison)
{
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"1.3.x", "1.3.x", 0}, {"1.x", "1.y", 0},   {"1.x.2", "1.y.3", -1},
        {"x", "1", -1},        {"1.3-4", "1.3", 1}, {"1..3", "1.0.3", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sign(pmc_oid_text_order(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
    }
}

TEST(WalkOrder, FormattedNumbersAreTheCanonicalText)
{
    for (const std::string& text : kNames) {
        const std::vector<uint32_t> ids = oid_numbers(text);
        char written[64];
        pmc_format_sub_ids(ids.data(), static_cast<uint32_t>(ids.size()), written, sizeof written);
        EXPECT_EQ(written, text);
    }
    const uint32_t ids[] = {1, 3, 6, 1, 4294967295u};
    char cut[8];
    pmc_format_sub_ids(ids, 5, cut, sizeof cut);
    EXPECT_STREQ(cut, "1.3.6.1");  // cut to the room, always terminated
}

// A name made from a caller's text is the OID create_oid_from_text makes (text, numbers, result
// code), also once made longer as a request's instance is. Only a canonical spelling, made or
// set as text, gives a name whose numbers stand for its text.
TEST(WalkOrder, NamesFromTextAreThoseOfTheTextFactory)
{
    std::string many = "1";
    for (int i = 0; i < 130; ++i) {
        many += "." + std::to_string(i);
    }
    struct Case {
        const char* text;
        bool canonical;
    };
    std::vector<Case> cases = {{many.c_str(), true},  // more numbers than read without the factory
                               {" 1.3", false},
                               {"1.3.6.1.2.1.25.2.3.1.2 ", false},
                               {nullptr, false}};
    const std::vector<std::string> canonical =
        words(" 1.3.6.1.2.1.25.2.3.1.2 0 0.0 0.4294967295 4294967295 1.3.6.1.4294967295.0");
    const std::vector<std::string> other =
        words("1.4294967296 1.99999999999 1.3.06 1.3.06.1 01 1..3 1.3. .1 1.-3 +1.3");
    for (const std::string& text : canonical) {  // the empty name first
        cases.push_back({text.c_str(), true});
    }
    for (const std::string& text : other) {
        cases.push_back({text.c_str(), false});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text != nullptr ? std::string(c.text).substr(0, 40) : "(null)");
        Result expected_result = PSW_ERR_UNSUPPORTED;
        Result result = PSW_ERR_UNSUPPORTED;
        OwnedPtr<IPmsOid> expected(create_oid_from_text(c.text, &expected_result));
        OwnedPtr<IPmsOid> made(pmc_oid_from_text(c.text, &result));
        EXPECT_EQ(result, expected_result);
        EXPECT_EQ(pmc_canonical_view(made.get()) != nullptr, made && c.canonical);
        if (c.text != nullptr) {
            OwnedPtr<IPmsOid> spelt(create_oid());
            ASSERT_EQ(spelt->set_text(c.text), PSW_SUCCESS);
            EXPECT_EQ(pmc_canonical_view(spelt.get()) != nullptr, c.canonical);
        }
        ASSERT_EQ(made != nullptr, expected != nullptr);
        if (!made) {
            continue;
        }
        ASSERT_EQ(made->count(), expected->count());
        for (uint32_t i = 0; i < made->count(); ++i) {
            EXPECT_EQ(made->element(i), expected->element(i)) << i;
        }
        EXPECT_EQ(made->compare(expected.get()), kPmsOidEqual);
        EXPECT_STREQ(made->text(), expected->text());
        EXPECT_EQ(made->text_length(), expected->text_length());
        ASSERT_EQ(made->append(0), PSW_SUCCESS);
        ASSERT_EQ(expected->append(0), PSW_SUCCESS);
        EXPECT_STREQ(made->text(), expected->text());
    }
}

}  // namespace
}  // namespace psw
