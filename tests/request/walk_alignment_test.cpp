// A reply row of a table walk realigned on its columns: a column answered from a later row (or
// from the next column) is shown absent at the row's instance. The answer is the same whether
// the columns' numbers are read beforehand, in the call, or (for a column spelt otherwise) not
// at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/factory.h"
#include "request/walk_alignment.h"
#include "request/walk_order.h"
#include "snmp/pms_value.h"
#include "snmp/pms_varbind.h"
#include "support/oid_numbers.h"

namespace psw {
namespace {

// Bindings of `names` with integer values; the names are decoded numbers or set as text.
OwnedPtr<PmsVarBindList> bindings(const std::vector<std::string>& names, bool as_numbers)
{
    OwnedPtr<PmsVarBindList> list(create_varbind_list());
    for (const std::string& text : names) {
        IPmsOid* name = create_oid();
        if (as_numbers) {
            test::assign_numbers(name, test::oid_numbers(text));
        } else {
            EXPECT_EQ(name->set_text(text.c_str()), PSW_SUCCESS);
        }
        EXPECT_EQ(list->add(name, create_value(kPmsInteger)), PSW_SUCCESS);
    }
    return list;
}

TEST(WalkAlignment, EachColumnStaysOnTheRowOfTheFirst)
{
    const std::string c1 = "1.3.6.1.2.1.25.2.3.1.2";
    const std::string c2 = "1.3.6.1.2.1.25.2.3.1.3";
    const std::string c3 = "1.3.6.1.2.1.25.2.3.1.4";
    const struct {
        const char* name;
        std::vector<std::string> columns;
        std::vector<std::string> reply;
        std::vector<std::string> names;  // the reply's names afterwards
        std::vector<bool> absent;        // which of them became noSuchInstance
    } cases[] = {
        {"aligned",
         {c1, c2, c3},
         {c1 + ".5", c2 + ".5", c3 + ".5"},
         {c1 + ".5", c2 + ".5", c3 + ".5"},
         {false, false, false}},
        {"second at a later instance",
         {c1, c2, c3},
         {c1 + ".5", c2 + ".6", c3 + ".5"},
         {c1 + ".5", c2 + ".5", c3 + ".5"},
         {false, true, false}},
        {"second longer than the instance",
         {c1, c2, c3},
         {c1 + ".5", c2 + ".5.0", c3 + ".5"},
         {c1 + ".5", c2 + ".5", c3 + ".5"},
         {false, true, false}},
        {"instance sharing leading digits",
         {c1, c2, c3},
         {c1 + ".1", c2 + ".10", c3 + ".1"},
         {c1 + ".1", c2 + ".1", c3 + ".1"},
         {false, true, false}},
        {"second is the column itself",
         {c1, c2, c3},
         {c1 + ".5", c2, c3 + ".5"},
         {c1 + ".5", c2 + ".5", c3 + ".5"},
         {false, true, false}},
        {"third moved to the next column",
         {c1, c2, c3},
         {c1 + ".5", c2 + ".5", "1.3.6.1.2.1.25.2.3.1.5.1"},
         {c1 + ".5", c2 + ".5", c3 + ".5"},
         {false, false, true}},
        {"instances 0 and 2^32-1",
         {c1, c2},
         {c1 + ".0.4294967295", c2 + ".0.4294967295"},
         {c1 + ".0.4294967295", c2 + ".0.4294967295"},
         {false, false}},
        {"first outside the first column",
         {c1, c2},
         {c2 + ".5", c3 + ".5"},
         {c2 + ".5", c3 + ".5"},
         {false, false}},
        {"first is the first column itself",
         {c1, c2},
         {c1, c3 + ".5"},
         {c1, c3 + ".5"},
         {false, false}},
        {"empty column", {c1, ""}, {c1 + ".5", "5"}, {c1 + ".5", "5"}, {false, true}},
        {"column spelt with a leading zero",
         {c1, "1.3.6.1.2.1.25.2.3.1.03"},
         {c1 + ".5", c2 + ".5"},
         {c1 + ".5", "1.3.6.1.2.1.25.2.3.1.03.5"},
         {false, true}},
        {"first column spelt with a leading zero",
         {"1.3.6.1.2.1.25.2.3.1.02", c2},
         {c1 + ".5", c2 + ".6"},
         {c1 + ".5", c2 + ".6"},
         {false, false}},
    };
    for (const auto& c : cases) {
        for (const bool read_beforehand : {false, true}) {
            SCOPED_TRACE(std::string(c.name) +
                         (read_beforehand ? ", numbers read beforehand" : ""));
            OwnedPtr<PmsVarBindList> columns = bindings(c.columns, false);
            OwnedPtr<PmsVarBindList> reply = bindings(c.reply, true);
            std::vector<const PmsOidView*> numbers;
            for (uint32_t i = 0; i < columns->count(); ++i) {
                numbers.push_back(pmc_canonical_view(columns->at(i)->name()));
            }
            ASSERT_EQ(read_beforehand
                          ? pmc_align_walk_row(reply.get(), columns.get(), numbers.data(),
                                               static_cast<uint32_t>(numbers.size()))
                          : pmc_align_walk_row(reply.get(), columns.get()),
                      PSW_SUCCESS);
            for (uint32_t i = 0; i < reply->count(); ++i) {
                EXPECT_EQ(reply->at(i)->name()->text(), c.names[i]) << i;
                EXPECT_EQ(reply->at(i)->value()->type() == kPmsNoSuchInstance, c.absent[i]) << i;
            }
        }
    }
}

}  // namespace
}  // namespace psw
