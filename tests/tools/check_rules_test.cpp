// How psw check judges a printer reading, without a printer: supplies by their type's
// thresholds, an unanswered printer, the quoting and uniqueness of performance labels, and the
// per-type threshold option.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cli/check_rules.h"
#include "tools/snapshot_builders.h"

namespace psw::cli {
namespace {

TEST(CheckRules, SuppliesAreJudgedByTheirTypesThresholds)
{
    struct Case {
        int32_t type;
        int32_t percent;
        CheckSettings settings;
        CheckState expected;
    };
    CheckSettings waste;
    waste.by_type["waste-toner"] = {40, 30};
    const std::vector<Case> cases = {
        {3, 20, {}, CheckState::ok},  // at the warning percentage: not below it
        {3, 19, {}, CheckState::warning},
        {3, 10, {}, CheckState::warning},
        {3, 9, {}, CheckState::critical},
        {3, -3, {}, CheckState::ok},  // "some remaining": nothing to judge
        {4, 35, waste, CheckState::warning},
        {3, 35, waste, CheckState::ok},  // the waste toner's thresholds are not the toner's
        {4, 29, waste, CheckState::critical},
    };
    for (const Case& c : cases) {
        const CheckResult result =
            evaluate_check(printer({supply("S", c.type, c.percent, c.percent)}), "p", c.settings);
        EXPECT_EQ(result.state, c.expected) << c.type << " at " << c.percent;
    }
}

TEST(CheckRules, UnansweredPrinterIsUnknownAndUnknownRanksBelowCritical)
{
    PrinterSnapshot silent;
    silent.code = PSW_ERR_TIMEOUT;
    silent.failure = "no answer";
    EXPECT_EQ(check_line(evaluate_check(silent, "p", {})), "PRINTER UNKNOWN - no answer");
    EXPECT_EQ(worse(CheckState::unknown, CheckState::critical), CheckState::critical);
    EXPECT_EQ(worse(CheckState::warning, CheckState::unknown), CheckState::unknown);

    PrinterSnapshot half = printer({supply("Black", 3, 5, 5)});
    half.alerts.code = PSW_ERR_TIMEOUT;
    const CheckResult result = evaluate_check(half, "p", {});
    EXPECT_EQ(result.state, CheckState::critical);
    ASSERT_EQ(result.problems.size(), 2u);
    EXPECT_EQ(result.problems[1].state, CheckState::unknown);
}

TEST(CheckRules, LabelsAreQuotedAndMadeUnique)
{
    const CheckResult result = evaluate_check(
        printer({supply("Bob's = toner", 3, 50, 50), supply("Bob's = toner", 3, 60, 60)}), "p", {});
    EXPECT_EQ(
        check_line(result),
        "PRINTER OK - p: idle, 2 supplies and 0 trays ok | 'Bob''s _ toner'=50%;20:;10:;0;100 "
        "'Bob''s _ toner 2'=60%;20:;10:;0;100");
}

TEST(CheckRules, TypeThresholdsAreParsedAndChecked)
{
    struct Case {
        std::string text;
        bool ok;
    };
    const std::vector<Case> cases = {
        {"toner=30,15", true},        {"Waste-Toner=40,20", true},
        {"toner=15,30", false},       {"toner=30", false},
        {"tonner=30,15", false},      {"toner=101,5", false},
        {"photoconductor=0,0", true}, {"=1,1", false},
    };
    for (const Case& c : cases) {
        CheckSettings settings;
        std::string error;
        EXPECT_EQ(parse_type_threshold(c.text, &settings, &error), c.ok) << c.text << error;
    }
}

}  // namespace
}  // namespace psw::cli
