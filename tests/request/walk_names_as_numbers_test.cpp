// A walk orders and aligns names by their numbers when their text is the numbers' canonical
// spelling, and by the text otherwise. Every answer from the numbers must be the one the text
// gives: these tables hold the names where the two could part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/factory.h"
#include "request/walk_alignment.h"
#include "request/walk_order.h"
#include "snmp/pms_value.h"
#include "snmp/pms_value_views.h"
#include "snmp/pms_varbind.h"

namespace psw {
namespace {

std::vector<uint32_t> numbers_of(const std::string& text)
{
    std::vector<uint32_t> ids;
    if (text.empty()) {
        return ids;
    }
    size_t at = 0;
    for (;;) {
        const size_t dot = text.find('.', at);
        ids.push_back(static_cast<uint32_t>(std::stoul(text.substr(at, dot - at))));
        if (dot == std::string::npos) {
            return ids;
        }
        at = dot + 1;
    }
}

// An OID holding numbers as the decoder leaves them: its text is not written yet.
OwnedPtr<IPmsOid> decoded(const std::string& text)
{
    OwnedPtr<IPmsOid> oid(create_oid());
    void* view = nullptr;
    EXPECT_EQ(oid->get_view(kPmsViewOid, &view), PSW_SUCCESS);
    const std::vector<uint32_t> ids = numbers_of(text);
    EXPECT_EQ(static_cast<PmsOidView*>(view)->assign_sub_ids(ids.data(),
                                                             static_cast<uint32_t>(ids.size())),
              PSW_SUCCESS);
    return oid;
}

// An OID made from text, in whatever spelling.
OwnedPtr<IPmsOid> spelt(const char* text)
{
    OwnedPtr<IPmsOid> oid(create_oid());
    EXPECT_EQ(oid->set_text(text), PSW_SUCCESS);
    return oid;
}

int sign(int order)
{
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// Canonical names around the places where number order and text order part: different
// lengths, prefixes, shared leading digits, sub-identifiers 0 and 2^32-1, the empty name.
const char* const kCanonicalNames[] = {
    "",
    "0",
    "0.0",
    "1",
    "1.3",
    "1.3.6.1",
    "1.3.6.1.0",
    "1.3.6.1.0.0",
    "1.3.6.1.1",
    "1.3.6.1.9",
    "1.3.6.1.10",
    "1.3.6.1.19",
    "1.3.6.1.100",
    "1.3.6.1.4294967294",
    "1.3.6.1.4294967295",
    "1.3.6.1.4294967295.0",
    "1.3.6.1.2.1.25.2.3.1.2.1",
    "1.3.6.1.2.1.25.2.3.1.2.12",
    "1.3.6.1.2.1.25.2.3.1.3.1",
    "4294967295",
};

TEST(WalkNamesAsNumbers, OrderOfEveryPairIsTheTextOrder)
{
    for (const char* a : kCanonicalNames) {
        OwnedPtr<IPmsOid> left = decoded(a);
        const PmsOidView* left_view = pmc_canonical_view(left.get());
        ASSERT_NE(left_view, nullptr) << a;
        for (const char* b : kCanonicalNames) {
            OwnedPtr<IPmsOid> right = decoded(b);
            const PmsOidView* right_view = pmc_canonical_view(right.get());
            ASSERT_NE(right_view, nullptr) << b;
            EXPECT_EQ(sign(pmc_oid_number_order(left_view->sub_ids(), left_view->count(),
                                                right_view->sub_ids(), right_view->count())),
                      sign(pmc_oid_text_order(a, b)))
                << a << " against " << b;
        }
    }
}

TEST(WalkNamesAsNumbers, OnlyTheCanonicalSpellingStandsForItsNumbers)
{
    struct Case {
        const char* text;
        bool canonical;
    };
    const Case cases[] = {
        {"1.3.6.1", true},       {"", true},
        {"0.4294967295", true},  {"1.3.06.1", false},
        {"1.4294967296", false}, {"1..3", false},
        {"1.3.", false},         {" 1.3", false},
        {"+1.3", false},         {"1.99999999999", false},
    };
    for (const Case& c : cases) {
        OwnedPtr<IPmsOid> oid = spelt(c.text);
        EXPECT_EQ(pmc_canonical_view(oid.get()) != nullptr, c.canonical) << c.text;
    }
    EXPECT_EQ(pmc_canonical_view(nullptr), nullptr);
}

TEST(WalkNamesAsNumbers, FormattedNumbersAreTheCanonicalText)
{
    for (const char* text : kCanonicalNames) {
        const std::vector<uint32_t> ids = numbers_of(text);
        char written[64];
        pmc_format_sub_ids(ids.data(), static_cast<uint32_t>(ids.size()), written, sizeof written);
        EXPECT_STREQ(written, text);
    }
    const uint32_t ids[] = {1, 3, 6, 1, 4294967295u};
    char cut[8];
    pmc_format_sub_ids(ids, 5, cut, sizeof cut);
    EXPECT_STREQ(cut, "1.3.6.1");  // cut to the room, always terminated
}

// Names made from a caller's text read a canonical text as numbers; every text gives the OID
// (text, numbers, result code) that create_oid_from_text gives.
TEST(WalkNamesAsNumbers, NamesFromTextAreThoseOfTheTextFactory)
{
    std::string many = "1";
    for (int i = 0; i < 130; ++i) {
        many += "." + std::to_string(i);
    }
    const char* const texts[] = {
        "1.3.6.1.2.1.25.2.3.1.2",
        "0",
        "0.0",
        "4294967295",
        "1.3.6.1.4294967295.0",
        "1.4294967296",
        "1.99999999999",
        "1.3.06",
        "01",
        "1..3",
        "1.3.",
        ".1",
        "1.-3",
        " 1.3",
        "",
        "1.3.6.1.2.1.25.2.3.1.2 ",
        many.c_str(),
        nullptr,
    };
    for (const char* text : texts) {
        const std::string label = text != nullptr ? std::string(text).substr(0, 40) : "(null)";
        Result expected_result = PSW_ERR_UNSUPPORTED;
        Result result = PSW_ERR_UNSUPPORTED;
        OwnedPtr<IPmsOid> expected(create_oid_from_text(text, &expected_result));
        OwnedPtr<IPmsOid> made(pmc_oid_from_text(text, &result));
        EXPECT_EQ(result, expected_result) << label;
        ASSERT_EQ(made != nullptr, expected != nullptr) << label;
        if (!made) {
            continue;
        }
        ASSERT_EQ(made->count(), expected->count()) << label;
        for (uint32_t i = 0; i < made->count(); ++i) {
            EXPECT_EQ(made->element(i), expected->element(i)) << label << " " << i;
        }
        EXPECT_EQ(made->compare(expected.get()), kPmsOidEqual) << label;
        EXPECT_STREQ(made->text(), expected->text()) << label;
        EXPECT_EQ(made->text_length(), expected->text_length()) << label;
        // Made longer as a request's instance is.
        ASSERT_EQ(made->append(0), PSW_SUCCESS);
        ASSERT_EQ(expected->append(0), PSW_SUCCESS);
        EXPECT_STREQ(made->text(), expected->text()) << label;
    }
}

OwnedPtr<PmsVarBindList> bindings(const std::vector<OwnedPtr<IPmsOid>*>& names)
{
    OwnedPtr<PmsVarBindList> list(create_varbind_list());
    for (OwnedPtr<IPmsOid>* name : names) {
        EXPECT_EQ(list->add(name->release(), create_value(kPmsInteger)), PSW_SUCCESS);
    }
    return list;
}

constexpr char kColumn1[] = "1.3.6.1.2.1.25.2.3.1.2";
constexpr char kColumn2[] = "1.3.6.1.2.1.25.2.3.1.3";
constexpr char kColumn3[] = "1.3.6.1.2.1.25.2.3.1.4";

// A reply row is realigned on its columns; the answer is the same whether the columns' numbers
// are read beforehand, in the call, or (for a column spelt otherwise) not at all.
TEST(WalkNamesAsNumbers, AlignmentFromNumbersIsTheAlignmentFromText)
{
    struct Case {
        const char* name;
        std::vector<const char*> columns;
        std::vector<const char*> reply;
        // The names afterwards, and which bindings became noSuchInstance.
        std::vector<const char*> names;
        std::vector<bool> absent;
    };
    const std::string c1 = kColumn1;
    const std::string c2 = kColumn2;
    const std::string c3 = kColumn3;
    std::vector<std::string> keep;  // the texts the cases point into
    keep.reserve(64);
    auto text = [&keep](const std::string& value) {
        keep.push_back(value);
        return keep.back().c_str();
    };
    const std::vector<Case> cases = {
        {"aligned",
         {kColumn1, kColumn2, kColumn3},
         {text(c1 + ".5"), text(c2 + ".5"), text(c3 + ".5")},
         {text(c1 + ".5"), text(c2 + ".5"), text(c3 + ".5")},
         {false, false, false}},
        {"second at a later instance",
         {kColumn1, kColumn2, kColumn3},
         {text(c1 + ".5"), text(c2 + ".6"), text(c3 + ".5")},
         {text(c1 + ".5"), text(c2 + ".5"), text(c3 + ".5")},
         {false, true, false}},
        {"second longer than the instance",
         {kColumn1, kColumn2, kColumn3},
         {text(c1 + ".5"), text(c2 + ".5.0"), text(c3 + ".5")},
         {text(c1 + ".5"), text(c2 + ".5"), text(c3 + ".5")},
         {false, true, false}},
        {"instance sharing leading digits",
         {kColumn1, kColumn2, kColumn3},
         {text(c1 + ".1"), text(c2 + ".10"), text(c3 + ".1")},
         {text(c1 + ".1"), text(c2 + ".1"), text(c3 + ".1")},
         {false, true, false}},
        {"second is the column itself",
         {kColumn1, kColumn2, kColumn3},
         {text(c1 + ".5"), kColumn2, text(c3 + ".5")},
         {text(c1 + ".5"), text(c2 + ".5"), text(c3 + ".5")},
         {false, true, false}},
        {"third moved to the next column",
         {kColumn1, kColumn2, kColumn3},
         {text(c1 + ".5"), text(c2 + ".5"), "1.3.6.1.2.1.25.2.3.1.5.1"},
         {text(c1 + ".5"), text(c2 + ".5"), text(c3 + ".5")},
         {false, false, true}},
        {"instances 0 and 2^32-1",
         {kColumn1, kColumn2},
         {text(c1 + ".0.4294967295"), text(c2 + ".0.4294967295")},
         {text(c1 + ".0.4294967295"), text(c2 + ".0.4294967295")},
         {false, false}},
        {"first outside the first column",
         {kColumn1, kColumn2},
         {text(c2 + ".5"), text(c3 + ".5")},
         {text(c2 + ".5"), text(c3 + ".5")},
         {false, false}},
        {"first is the first column itself",
         {kColumn1, kColumn2},
         {kColumn1, text(c3 + ".5")},
         {kColumn1, text(c3 + ".5")},
         {false, false}},
        {"empty column",
         {kColumn1, ""},
         {text(c1 + ".5"), "5"},
         {text(c1 + ".5"), "5"},
         {false, true}},
        {"column spelt with a leading zero",
         {kColumn1, "1.3.6.1.2.1.25.2.3.1.03"},
         {text(c1 + ".5"), text(c2 + ".5")},
         {text(c1 + ".5"), "1.3.6.1.2.1.25.2.3.1.03.5"},
         {false, true}},
        {"first column spelt with a leading zero",
         {"1.3.6.1.2.1.25.2.3.1.02", kColumn2},
         {text(c1 + ".5"), text(c2 + ".6")},
         {text(c1 + ".5"), text(c2 + ".6")},
         {false, false}},
    };
    for (const Case& c : cases) {
        for (int read_beforehand = 0; read_beforehand < 2; ++read_beforehand) {
            std::vector<OwnedPtr<IPmsOid>> column_names;
            std::vector<OwnedPtr<IPmsOid>> reply_names;
            std::vector<OwnedPtr<IPmsOid>*> column_list;
            std::vector<OwnedPtr<IPmsOid>*> reply_list;
            column_names.reserve(c.columns.size());
            reply_names.reserve(c.reply.size());
            for (const char* column : c.columns) {
                column_names.push_back(spelt(column));
                column_list.push_back(&column_names.back());
            }
            for (const char* name : c.reply) {
                reply_names.push_back(decoded(name));
                reply_list.push_back(&reply_names.back());
            }
            OwnedPtr<PmsVarBindList> columns = bindings(column_list);
            OwnedPtr<PmsVarBindList> reply = bindings(reply_list);
            std::vector<const PmsOidView*> numbers;
            for (uint32_t i = 0; i < columns->count(); ++i) {
                numbers.push_back(pmc_canonical_view(columns->at(i)->name()));
            }
            const Result result =
                read_beforehand != 0
                    ? pmc_align_walk_row(reply.get(), columns.get(), numbers.data(),
                                         static_cast<uint32_t>(numbers.size()))
                    : pmc_align_walk_row(reply.get(), columns.get());
            ASSERT_EQ(result, PSW_SUCCESS) << c.name;
            for (uint32_t i = 0; i < reply->count(); ++i) {
                EXPECT_STREQ(reply->at(i)->name()->text(), c.names[i]) << c.name << " " << i;
                EXPECT_EQ(reply->at(i)->value()->type() == kPmsNoSuchInstance, c.absent[i])
                    << c.name << " " << i;
            }
        }
    }
}

}  // namespace
}  // namespace psw
