// Every psw command against a simulated printer of the supported model (snmpsim serving
// tests/data/printers/rich.snmprec under the community "rich", and a printer of another model
// under "other-model"). Expected values come from the recording itself.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli/json_output.h"
#include "support/agent_harness.h"
#include "support/peer_requirements.h"
#include "support/snmp_tools.h"
#include "tools/cli_runner.h"

namespace psw::test {
namespace {

constexpr const char* kModel = "Marlowen-K T7150X";
constexpr const char* kSysObjectId = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";

std::string recording_path()
{
    return test_data("printers/rich.snmprec");
}

// The values of one column of the recording, in walk order (the recording lists objects in
// OID order). Plain INTEGER and OCTET STRING lines only; lines with a variation module are
// left out.
std::vector<std::string> column(const std::string& oid)
{
    std::ifstream in(recording_path());
    std::vector<std::string> values;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const size_t bar1 = line.find('|');
        const size_t bar2 = line.find('|', bar1 + 1);
        if (bar1 == std::string::npos || bar2 == std::string::npos) {
            continue;
        }
        const std::string object = line.substr(0, bar1);
        const std::string type = line.substr(bar1 + 1, bar2 - bar1 - 1);
        std::string value = line.substr(bar2 + 1);
        if (!oid_in_subtree(object, oid) || object == oid) {
            continue;
        }
        if (type == "4x") {
            std::string bytes;
            for (size_t i = 0; i + 1 < value.size(); i += 2) {
                bytes += static_cast<char>(std::stoi(value.substr(i, 2), nullptr, 16));
            }
            value = bytes;
        } else if (type != "4" && type != "2") {
            continue;
        }
        values.push_back(value);
    }
    return values;
}

// json.dumps of a list of texts, the way json_eval shows a value.
std::string dumps(const std::vector<std::string>& texts)
{
    cli::Json list = cli::Json::array();
    for (const std::string& text : texts) {
        list.push_back(cli::json_text(text));
    }
    return json_eval(list.dump(), "d");
}

class PswPrinter : public ::testing::Test {
protected:
    static void TearDownTestSuite() { agent_.reset(); }

    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools, Peer::python3);
        if (!agent_) {
            auto agent = std::make_unique<SnmpsimAgent>();
            ASSERT_TRUE(agent->start(
                {.files = {SnmprecSource(recording_path()),
                           SnmprecSource(test_data("printers/other-model.snmprec"))}}));
            agent_ = std::move(agent);
        }
    }

    const std::string& address() const { return agent_->address(); }

    static std::unique_ptr<SnmpsimAgent> agent_;
};

std::unique_ptr<SnmpsimAgent> PswPrinter::agent_;

// ---- discover --------------------------------------------------------------------------------

TEST_F(PswPrinter, DiscoverFindsTheSimulatedPrinter)
{
    const CommandResult human =
        run_psw({"discover", address(), "--community", "rich", "--timeout", "800"});
    PSW_SKIP_IF_NO_DEVICE_LAYER(human);
    ASSERT_EQ(human.exit_code, 0) << human.describe();
    const std::string pad(address().size() < 7 ? 0 : address().size() - 7, ' ');
    EXPECT_EQ(human.out, "ADDRESS  " + pad + "MODEL              SYSOBJECTID\n" + address() + "  " +
                             kModel + "  " + kSysObjectId + "\n1 device found\n");

    const CommandResult json =
        run_psw({"discover", address(), "--community", "rich", "--timeout", "800", "--json"});
    ASSERT_EQ(json.exit_code, 0) << json.describe();
    ASSERT_EQ(json_error(json.out), "") << json.out;
    EXPECT_EQ(json_eval(json.out, "d['count']"), "1");
    EXPECT_EQ(json_eval(json.out, "d['devices']"),
              "[{\"address\": \"" + address() + "\", \"model\": \"" + kModel +
                  "\", \"sysObjectID\": \"" + kSysObjectId + "\"}]");
}

TEST_F(PswPrinter, DiscoverFiltersAndSkipsOtherModels)
{
    const std::vector<std::string> base = {"discover", address(), "--timeout", "600", "--json"};
    struct Case {
        std::vector<std::string> extra;
        std::string count;
    };
    const std::vector<Case> cases = {
        {{"--community", "rich", "--filter", "1.3.6.1.4.1.297"}, "1"},
        {{"--community", "rich", "--filter", "1.3.6.1.4.1.253"}, "0"},
        {{"--community", "rich", "--filter", "1.3.6.1.4.1.253", "--filter", "1.3.6.1.4.1.297.1"},
         "1"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = base;
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CommandResult result = run_psw(args);
        PSW_SKIP_IF_NO_DEVICE_LAYER(result);
        ASSERT_EQ(result.exit_code, 0) << result.describe();
        EXPECT_EQ(json_eval(result.out, "d['count']"), c.count) << result.command;
        EXPECT_EQ(json_eval(result.out, "len(d['devices'])"), c.count) << result.command;
    }
    // A printer of another model and a community nobody answers are failures of their own.
    const CommandResult other = run_psw(
        {"discover", address(), "--timeout", "600", "--community", "other-model", "--json"});
    EXPECT_EQ(other.exit_code, 5) << other.describe();
    EXPECT_EQ(json_eval(other.out, "d['error']['kind']"), "\"other_model\"");
    const CommandResult nobody = run_psw(
        {"discover", address(), "--timeout", "300", "--community", "nobody-knows-this", "--json"});
    EXPECT_EQ(nobody.exit_code, 3) << nobody.describe();
    EXPECT_EQ(json_eval(nobody.out, "d['error']['kind']"), "\"no_answer\"");

    const CommandResult filtered = run_psw({"discover", address(), "--timeout", "300",
                                            "--community", "rich", "--filter", "1.3.6.1.4.1.253"});
    EXPECT_EQ(filtered.exit_code, 0) << filtered.describe();
    EXPECT_EQ(filtered.out, "no device via " + address() + " passed the filters\n");
}

// ---- status ----------------------------------------------------------------------------------

TEST_F(PswPrinter, StatusJsonMatchesTheRecording)
{
    const CommandResult result = run_psw({"status", address(), "--community", "rich", "--json"});
    PSW_SKIP_IF_NO_DEVICE_LAYER(result);
    ASSERT_EQ(result.exit_code, 0) << result.describe();
    ASSERT_EQ(json_error(result.out), "") << result.out;
    const std::string& doc = result.out;

    // hrPrinterStatus 3; hrPrinterDetectedErrorState 0x20 0x04: bits 2 and 13.
    EXPECT_EQ(json_eval(doc, "d['printer']"),
              "{\"status\": 3, \"status_name\": \"idle\", \"detected_errors\": "
              "[\"lowToner\", \"inputTrayEmpty\"]}");
    EXPECT_EQ(json_eval(doc, "[t['name'] for t in d['input_trays']]"),
              dumps(column("1.3.6.1.2.1.43.8.2.1.13")));
    EXPECT_EQ(json_eval(doc, "[t['media'] for t in d['input_trays']]"),
              dumps(column("1.3.6.1.2.1.43.8.2.1.12")));
    // Levels 249, 0, 133, 1999, -3, -2 of 500, 520, 520, 2000, 500, 100.
    EXPECT_EQ(
        json_eval(doc, "[(t['level'], t['level_word'], t['percent']) for t in d['input_trays']]"),
        "[[249, null, 50], [0, null, 0], [133, null, 26], [1999, null, 100], "
        "[null, \"some remaining\", null], [null, \"unknown\", null]]");
    EXPECT_EQ(json_eval(doc, "[t['size'] for t in d['input_trays']][:4]"),
              "[\"A4\", \"A3\", \"Letter\", \"A4\"]");
    EXPECT_EQ(json_eval(doc, "[t['name'] for t in d['output_trays']]"),
              dumps(column("1.3.6.1.2.1.43.9.2.1.7")));

    // Toner: the supplies of type 3, in table order.
    std::vector<std::string> toners;
    const auto types = column("1.3.6.1.2.1.43.11.1.1.5");
    const auto descriptions = column("1.3.6.1.2.1.43.11.1.1.6");
    ASSERT_EQ(types.size(), descriptions.size());
    for (size_t i = 0; i < types.size(); ++i) {
        if (types[i] == "3") {
            toners.push_back(descriptions[i]);
        }
    }
    EXPECT_EQ(json_eval(doc, "[t['description'] for t in d['toner']]"), dumps(toners));
    EXPECT_EQ(json_eval(doc, "[(t['level'], t['capacity'], t['percent']) for t in d['toner']]"),
              "[[1210, 5500, 22], [64, 100, 64], [100, 100, 100], [3, 100, 3]]");

    EXPECT_EQ(json_eval(doc, "[a['description'] for a in d['alerts']]"),
              dumps(column("1.3.6.1.2.1.43.18.1.1.8")));
    EXPECT_EQ(json_eval(doc, "[a['code_name'] for a in d['alerts']]"),
              "[\"markerTonerAlmostEmpty\", \"inputMediaSupplyEmpty\", \"coverOpen\"]");
    EXPECT_EQ(json_eval(doc, "[s['description'] for s in d['storage']]"),
              dumps(column("1.3.6.1.2.1.25.2.3.1.3")));
    EXPECT_EQ(json_eval(doc, "[v['description'] for v in d['devices']]"),
              dumps(column("1.3.6.1.2.1.25.3.2.1.3")));
    EXPECT_EQ(json_eval(doc, "d['errors']"), "[]");
}

TEST_F(PswPrinter, StatusTableShowsWordsBarsAndNames)
{
    const CommandResult result = run_psw({"status", address(), "--community", "rich"});
    PSW_SKIP_IF_NO_DEVICE_LAYER(result);
    ASSERT_EQ(result.exit_code, 0) << result.describe();
    EXPECT_EQ(result.err, "");
    const std::string& out = result.out;
    EXPECT_EQ(
        out.rfind("Printer " + address() + "\n  status  idle\n  errors  lowToner, inputTrayEmpty\n",
                  0),
        0u)
        << out;
    for (const char* title : {"\nIdentity\n", "\nInput trays\n", "\nOutput trays\n", "\nSupplies\n",
                              "\nAlerts\n", "\nStorage\n", "\nHardware devices\n"}) {
        EXPECT_NE(out.find(title), std::string::npos) << title;
    }
    EXPECT_NE(
        out.find(
            "  Tray 1        A4 Plain         A4           50% [#####.....]   500 sheets  idle\n"),
        std::string::npos)
        << out;
    EXPECT_NE(out.find("  Tray 5        Custom Size      300x200 mm  some remaining      500 "
                       "sheets  standby\n"),
              std::string::npos)
        << out;
    // Every supply, toner or not, with its type by name.
    EXPECT_NE(out.find("  Black Toner Cartridge       toner                             1210      "
                       "5500  1/10 g        22% [##........]\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  Drum Cartridge (K)          photoconductor                   43210    "
                       "150000  impressions   29% [###.......]\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  critical  input 2            inputMediaSupplyEmpty   Tray 2 is empty.\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  fixed disk  149.0 GiB  Hard Disk 160 GB\n"), std::string::npos) << out;
}

TEST_F(PswPrinter, StatusReadsAnotherModelAndNamesSilence)
{
    const CommandResult other = run_psw({"status", address(), "--community", "other-model"});
    PSW_SKIP_IF_NO_DEVICE_LAYER(other);
    EXPECT_EQ(other.exit_code, 0) << other.describe();
    EXPECT_EQ(other.err, "");
    EXPECT_EQ(other.out.rfind("Printer " + address() +
                                  "\n  status  idle\n  errors  none\n"
                                  "  note    another model: model-specific options are not "
                                  "available\n",
                              0),
              0u)
        << other.out;

    // The agent answers neither "wrong" nor "public": silence, every likely cause named.
    const CommandResult wrong = run_psw({"status", address(), "--community", "wrong", "--timeout",
                                         "250", "--retries", "1", "--json"});
    EXPECT_EQ(wrong.exit_code, 3);
    EXPECT_EQ(json_eval(wrong.out, "[d['error']['kind'], d['error']['code']]"),
              "[\"no_answer\", -203]");
    EXPECT_EQ(wrong.err, "psw: status: no answer from " + address() +
                             " within 500 ms (-203): the printer is off or unreachable, no SNMP "
                             "agent listens there, or the community \"wrong\" is wrong (agents "
                             "ignore requests with a wrong community)\n");
}

// ---- jobs and cancel -------------------------------------------------------------------------

TEST_F(PswPrinter, JobsByKind)
{
    struct Case {
        const char* kind;
        const char* ids;
    };
    // Job state 17 marks finished jobs: 1039 and 1040 in the recording.
    const Case cases[] = {
        {"all", "[\"1046\", \"1047\", \"1039\", \"1040\", \"SCN00815\"]"},
        {"active", "[\"1046\", \"1047\", \"SCN00815\"]"},
        {"done", "[\"1039\", \"1040\"]"},
    };
    for (const Case& c : cases) {
        const CommandResult result =
            run_psw({"jobs", address(), "--community", "rich", "--kind", c.kind, "--json"});
        PSW_SKIP_IF_NO_DEVICE_LAYER(result);
        ASSERT_EQ(result.exit_code, 0) << result.describe();
        ASSERT_EQ(json_error(result.out), "") << result.out;
        EXPECT_EQ(json_eval(result.out, "sorted(j['id'] for j in d['jobs'])"),
                  json_eval(std::string(c.ids), "sorted(d)"))
            << c.kind;
        EXPECT_EQ(json_eval(result.out, "d['kind']"), std::string("\"") + c.kind + "\"");
    }
    const CommandResult all = run_psw({"jobs", address(), "--community", "rich", "--json"});
    ASSERT_EQ(all.exit_code, 0) << all.describe();
    EXPECT_EQ(json_eval(all.out, "sorted(j['name'] for j in d['jobs'])"),
              json_eval(dumps(column("1.3.6.1.4.1.253.8.59.6.1.1.3")), "sorted(d)"));
    EXPECT_EQ(json_eval(all.out, "[j['dates'][0] for j in d['jobs'] if j['id'] == 'SCN00815']"),
              "[\"2007-03-15 10:20:30\"]");

    const CommandResult table =
        run_psw({"jobs", address(), "--community", "rich", "--kind", "done"});
    ASSERT_EQ(table.exit_code, 0) << table.describe();
    EXPECT_EQ(table.out.rfind("ID    TYPE     STATE  NAME", 0), 0u) << table.out;
    EXPECT_NE(table.out.find("\n1039  type 4   done   Fax to +49 30 1234567"), std::string::npos)
        << table.out;
    // Every state and type has a name: no bare numbers.
    EXPECT_EQ(json_eval(all.out, "sorted(set(j['state_name'] for j in d['jobs']))"),
              "[\"done\", \"held\", \"processing\", \"stopped\"]");
}

TEST_F(PswPrinter, CancelSendsTheWriteAndReportsTheAnswer)
{
    const CommandResult result =
        run_psw({"cancel", address(), "1046", "--community", "rich", "--write-community", "rich"});
    PSW_SKIP_IF_NO_DEVICE_LAYER(result);
    if (result.exit_code == 0) {
        EXPECT_EQ(result.out, "job 1046: cancel request accepted by " + address() + "\n");
        EXPECT_EQ(result.err, "");
    } else {
        // An agent that refuses the write: one line naming the likely causes.
        EXPECT_EQ(result.exit_code, 6) << result.describe();
        EXPECT_EQ(
            result.err.rfind("psw: cancel: " + address() + " refused to cancel job '1046'", 0), 0u)
            << result.err;
        EXPECT_EQ(result.out, "");
    }
    // The agent answers only "rich" and "other-model": a write under "private" gets no answer,
    // which points at the write community.
    const CommandResult refused = run_psw(
        {"cancel", address(), "1046", "--community", "rich", "--timeout", "200", "--retries", "0"});
    EXPECT_EQ(refused.exit_code, 4) << refused.describe();
    EXPECT_EQ(refused.err, "psw: cancel: no answer from " + address() +
                               " within 200 ms (-203): the printer answered the read community "
                               "but not the write community \"private\", which is likely wrong "
                               "(see --write-community)\n");
}

// ---- options ---------------------------------------------------------------------------------

TEST_F(PswPrinter, OptionsByName)
{
    const CommandResult result =
        run_psw({"options", address(), "Scanner", "FAXUnit", "InputTrayName", "MemorySizeInMByte",
                 "--community", "rich", "--json"});
    PSW_SKIP_IF_NO_DEVICE_LAYER(result);
    ASSERT_EQ(result.exit_code, 0) << result.describe();
    ASSERT_EQ(json_error(result.out), "") << result.out;
    // Device indexes 102 (scanner) and 104 (fax) are in hrDeviceTable.
    EXPECT_EQ(json_eval(result.out, "[d['options']['Scanner'], d['options']['FAXUnit']]"),
              "[true, true]");
    EXPECT_EQ(json_eval(result.out, "d['options']['InputTrayName']"),
              dumps(column("1.3.6.1.2.1.43.8.2.1.13")));
    const std::vector<std::string> memory = column("1.3.6.1.2.1.25.2.2");
    ASSERT_EQ(memory.size(), 1u);
    EXPECT_EQ(json_eval(result.out, "d['options']['MemorySizeInMByte']"),
              std::to_string(std::stol(memory[0]) / 1024));
    EXPECT_EQ(json_eval(result.out, "d['errors']"), "[]");

    const CommandResult table =
        run_psw({"options", address(), "Scanner", "NoSuchOption", "--community", "rich"});
    EXPECT_EQ(table.exit_code, 1);
    EXPECT_EQ(table.out, "NAME     INDEX  VALUE\nScanner      -  yes\n");
    EXPECT_EQ(table.err, "psw: options: NoSuchOption: no such option (-5)\n");

    const CommandResult all = run_psw({"options", address(), "--community", "rich", "--json"});
    ASSERT_EQ(all.exit_code, 0) << all.describe();
    EXPECT_EQ(json_eval(all.out, "len(d['options'])"), "47");
}

}  // namespace
}  // namespace psw::test
