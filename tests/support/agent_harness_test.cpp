// The real-peer harness against real agents: snmpsim serving recordings, Net-SNMP snmpd.
#include "support/agent_harness.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "support/peer_requirements.h"

namespace psw::test {
namespace {

constexpr const char* kSysObjectId = "1.3.6.1.2.1.1.2.0";
constexpr const char* kSysLocation = "1.3.6.1.2.1.1.6.0";
constexpr const char* kHrStorageTable = "1.3.6.1.2.1.25.2.3";
constexpr const char* kHrStorageEntry = "1.3.6.1.2.1.25.2.3.1";

std::string value_of(const std::vector<SnmpRow>& rows, const std::string& oid)
{
    for (const auto& r : rows)
        if (r.oid == oid) return r.value;
    return "<absent>";
}

SnmpRow single_row(const CommandResult& r)
{
    auto rows = parse_snmpwalk_on(r.out);
    if (rows.size() != 1) throw std::runtime_error("expected one object from " + r.describe());
    return rows.front();
}

bool pid_gone(pid_t pid)
{
    for (int i = 0; i < 100; ++i) {
        std::string stat = read_text_file("/proc/" + std::to_string(pid) + "/stat");
        if (stat.empty() || stat.find(") Z") != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

class SnmpsimHarness : public ::testing::Test {
protected:
    void SetUp() override { PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools); }
};

TEST_F(SnmpsimHarness, ServesTheHarnessRecording)
{
    const std::string file = harness_data("harness-small.snmprec");
    SnmpsimAgent sim;
    ASSERT_TRUE(sim.start({.files = {file}}));
    EXPECT_EQ(sim.communities(), std::vector<std::string>{"harness-small"});
    EXPECT_TRUE(sim.running());
    const auto recorded = read_snmprec_file(file);

    for (const auto& creds :
         {SnmpCredentials::v1("harness-small"), SnmpCredentials::v2c("harness-small")}) {
        auto got = sim.tools().get(sim.target(), creds, {kSysObjectId});
        ASSERT_TRUE(got.ok()) << got.describe();
        EXPECT_EQ(single_row(got), (SnmpRow{kSysObjectId, "OID", "1.3.6.1.4.1.99999.7.1"}));
    }
    auto storage =
        sim.tools().walk(sim.target(), SnmpCredentials::v2c("harness-small"), kHrStorageTable);
    ASSERT_TRUE(storage.ok()) << storage.describe();
    EXPECT_EQ(storage.rows, subtree(recorded, kHrStorageTable));
    // The whole recording walks back unchanged, every type included.
    auto all = sim.tools().walk(sim.target(), SnmpCredentials::v1("harness-small"), "1.3.6");
    ASSERT_TRUE(all.ok()) << all.describe();
    EXPECT_EQ(all.rows, recorded);
}

TEST_F(SnmpsimHarness, UnknownCommunityGetsNoAnswer)
{
    SnmpsimAgent sim;
    ASSERT_TRUE(sim.start({.files = {harness_data("harness-small.snmprec")}}));
    auto got = sim.tools().run("snmpget", {"-v2c", "-c", "not-served", "-t", "0.3", "-r", "0",
                                           sim.target(), kSysObjectId});
    EXPECT_FALSE(got.ok());
    EXPECT_NE(got.err.find("Timeout"), std::string::npos) << got.describe();
}

TEST_F(SnmpsimHarness, EditsOnlyTheServedCopy)
{
    const std::string file = harness_data("harness-small.snmprec");
    const std::string original = read_text_file(file);
    SnmpsimAgent sim;
    ASSERT_TRUE(
        sim.start({.files = {SnmprecSource(file, "edited")
                                 .replace(kSysObjectId, "6", "1.3.6.1.4.1.297.1.11.93.1.35.27.1")
                                 .replace("1.3.6.1.2.1.1.8.0", "67", "5")
                                 .remove("1.3.6.1.2.1.1.7.0")}}));
    auto got = sim.tools().get(sim.target(), SnmpCredentials::v1("edited"), {kSysObjectId});
    ASSERT_TRUE(got.ok()) << got.describe();
    EXPECT_EQ(single_row(got).value, "1.3.6.1.4.1.297.1.11.93.1.35.27.1");
    auto system = sim.tools().walk(sim.target(), SnmpCredentials::v2c("edited"), "1.3.6.1.2.1.1");
    ASSERT_TRUE(system.ok()) << system.describe();
    EXPECT_EQ(value_of(system.rows, "1.3.6.1.2.1.1.8.0"), "5");
    EXPECT_EQ(value_of(system.rows, "1.3.6.1.2.1.1.7.0"), "<absent>");
    EXPECT_EQ(system.rows.size(), 7u);
    EXPECT_EQ(read_text_file(file), original);
    EXPECT_NE(read_text_file(sim.served_file("edited")).find("1.3.6.1.2.1.1.8.0|67|5"),
              std::string::npos);
}

TEST_F(SnmpsimHarness, AgentsAtOnceGetTheirOwnAddresses)
{
    SnmpsimAgent a, b;
    ASSERT_TRUE(
        a.start({.files = {SnmprecSource(harness_data("harness-small.snmprec"), "first")}}));
    ASSERT_TRUE(b.start({.files = {SnmprecSource(harness_data("harness-small.snmprec"), "second")
                                       .replace(kSysObjectId, "6", "1.3.6.1.4.1.99999.8")}}));
    EXPECT_NE(a.address(), b.address());
    auto from_b = b.tools().get(b.target(), SnmpCredentials::v2c("second"), {kSysObjectId});
    ASSERT_TRUE(from_b.ok()) << from_b.describe();
    EXPECT_EQ(single_row(from_b).value, "1.3.6.1.4.1.99999.8");
    // a does not serve b's community: each address reaches only its own agent.
    auto cross = a.tools().run(
        "snmpget", {"-v2c", "-c", "second", "-t", "0.3", "-r", "0", a.target(), kSysObjectId});
    EXPECT_FALSE(cross.ok()) << cross.describe();
}

TEST_F(SnmpsimHarness, StopEndsTheAgentAndFreesTheAddress)
{
    std::string address;
    pid_t pid = -1;
    {
        SnmpsimAgent sim;
        ASSERT_TRUE(sim.start({.files = {harness_data("harness-small.snmprec")}}));
        address = sim.address();
        pid = sim.pid();
        EXPECT_FALSE(udp_port_free(address, 161));
    }
    EXPECT_TRUE(pid_gone(pid)) << "snmpsimd " << pid << " still runs";
    EXPECT_TRUE(udp_port_free(address, 161));
}

TEST_F(SnmpsimHarness, StartFailureNamesTheLog)
{
    SnmpsimAgent sim;
    auto result = sim.start({.files = {harness_data("harness-small.snmprec")},
                             .extra_args = {"--no-such-option-for-the-harness"},
                             .ready_timeout = std::chrono::milliseconds(5000)});
    ASSERT_FALSE(result);
    std::string message = result.message();
    EXPECT_NE(message.find(sim.log_path()), std::string::npos) << message;
    EXPECT_NE(message.find("no-such-option"), std::string::npos) << message;
    EXPECT_FALSE(sim.running());
}

TEST_F(SnmpsimHarness, AnswersOnIpv6Loopback)
{
    SnmpsimAgent sim;
    ASSERT_TRUE(sim.start({.files = {harness_data("harness-small.snmprec")}, .ipv6 = true}));
    EXPECT_EQ(sim.target6(), "udp6:[::1]:161");
    auto got =
        sim.tools().get(sim.target6(), SnmpCredentials::v2c("harness-small"), {kSysObjectId});
    ASSERT_TRUE(got.ok()) << got.describe();
    EXPECT_EQ(single_row(got).value, "1.3.6.1.4.1.99999.7.1");
}

TEST_F(SnmpsimHarness, ServesADataFolder)
{
    SnmpsimAgent sim;
    ASSERT_TRUE(sim.start({.data_dir = test_data("harness")}));
    EXPECT_NE(std::find(sim.communities().begin(), sim.communities().end(), "harness-small"),
              sim.communities().end());
    auto got =
        sim.tools().get(sim.target(), SnmpCredentials::v1("harness-small"), {"1.3.6.1.2.1.1.6.0"});
    ASSERT_TRUE(got.ok()) << got.describe();
    EXPECT_EQ(single_row(got).value, "rack 7");
}

// The captured printers, all four in one agent under their own communities.
TEST_F(SnmpsimHarness, ServesTheCapturedPrinters)
{
    PSW_REQUIRE_PEERS(Peer::shared_printers);
    const std::vector<std::string> names = {"sharp-mx3570n", "ricoh-mpc3002", "dell-s5830dn",
                                            "hp-m252dw"};
    SnmpsimOptions options;
    for (const auto& name : names) {
        std::string path = shared_printer_file(name + ".snmprec");
        if (path.empty())
            PSW_PEER_UNAVAILABLE("captured printer " + name + ".snmprec absent in " +
                                 shared_printers_dir());
        options.files.emplace_back(path);
    }
    SnmpsimAgent sim;
    ASSERT_TRUE(sim.start(options));
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const auto recorded = read_snmprec_file(shared_printer_file(name + ".snmprec"));
        auto got = sim.tools().get(sim.target(), SnmpCredentials::v1(name), {kSysObjectId});
        ASSERT_TRUE(got.ok()) << got.describe();
        EXPECT_EQ(single_row(got).value, value_of(recorded, kSysObjectId));
        auto storage = sim.tools().walk(sim.target(), SnmpCredentials::v2c(name), kHrStorageTable);
        ASSERT_TRUE(storage.ok()) << storage.describe();
        EXPECT_FALSE(storage.rows.empty());
        EXPECT_EQ(storage.rows, subtree(recorded, kHrStorageTable));
    }
}

class SnmpdHarness : public ::testing::Test {
protected:
    void SetUp() override { PSW_REQUIRE_PEERS(Peer::root, Peer::snmpd, Peer::netsnmp_tools); }
};

long meminfo_kb(const std::string& key)
{
    std::ifstream in("/proc/meminfo");
    for (std::string k; in >> k;) {
        long value = 0;
        std::string unit;
        in >> value >> unit;
        if (k == key + ":") return value;
    }
    return -1;
}

TEST_F(SnmpdHarness, ReadsSystemAndRealStorageRows)
{
    SnmpdAgent agent;
    ASSERT_TRUE(agent.start({}));
    auto got = agent.tools().get(agent.target(), agent.ro(), {kSysObjectId});
    ASSERT_TRUE(got.ok()) << got.describe();
    auto row = single_row(got);
    EXPECT_EQ(row.type, "OID");
    EXPECT_TRUE(oid_in_subtree(row.value, "1.3.6.1.4.1.8072.3.2"))
        << row.value;  // Net-SNMP agent OIDs

    auto walk = agent.tools().walk(agent.target(), agent.ro(), kHrStorageTable);
    ASSERT_TRUE(walk.ok()) << walk.describe();
    // Shape: every row has columns 1-6 with their types (Net-SNMP leaves out the allocation
    // failure counter, column 7, for memory rows); index equals hrStorageIndex.
    std::map<std::string, std::map<int, SnmpRow>> table;  // index -> column -> row
    for (const auto& r : walk.rows) {
        std::string rest = index_of(r.oid, kHrStorageEntry);
        ASSERT_FALSE(rest.empty()) << r;
        auto dot = rest.find('.');
        ASSERT_NE(dot, std::string::npos) << r;
        table[rest.substr(dot + 1)][std::stoi(rest.substr(0, dot))] = r;
    }
    ASSERT_GE(table.size(), 2u) << "expected memory and at least one more storage area";
    const char* types[] = {"INTEGER", "OID",     "OCTET STRING", "INTEGER",
                           "INTEGER", "INTEGER", "Counter32"};
    bool found_ram = false;
    for (const auto& [index, columns] : table) {
        SCOPED_TRACE("hrStorage row " + index);
        ASSERT_GE(columns.size(), 6u);
        ASSERT_LE(columns.size(), 7u);
        for (int c = 1; c <= 7; ++c) {
            if (c == 7 && !columns.count(c)) continue;
            ASSERT_TRUE(columns.count(c)) << "column " << c;
            EXPECT_EQ(columns.at(c).type, types[c - 1]) << columns.at(c);
        }
        EXPECT_EQ(columns.at(1).value, index);
        EXPECT_TRUE(oid_in_subtree(columns.at(2).value, "1.3.6.1.2.1.25.2.1")) << columns.at(2);
        long long size = std::stoll(columns.at(5).value), used = std::stoll(columns.at(6).value);
        EXPECT_GE(size, 0);
        EXPECT_LE(used, size) << "used above size";
        if (columns.at(2).value == "1.3.6.1.2.1.25.2.1.2") {  // hrStorageRam: the machine's memory
            found_ram = true;
            long long units = std::stoll(columns.at(4).value);
            long mem_kb = meminfo_kb("MemTotal");
            ASSERT_GT(mem_kb, 0);
            double reported_kb = static_cast<double>(size) * static_cast<double>(units) / 1024.0;
            EXPECT_NEAR(reported_kb, static_cast<double>(mem_kb),
                        static_cast<double>(mem_kb) * 0.05);
        }
    }
    EXPECT_TRUE(found_ram) << "no hrStorageRam row";
}

TEST_F(SnmpdHarness, WritesSysLocationOnlyWithTheWriteCommunity)
{
    SnmpdAgent agent;
    ASSERT_TRUE(agent.start({}));
    const std::string value = "harness room " + std::to_string(getpid());
    auto set = agent.tools().set(agent.target(), agent.rw(), kSysLocation, "s", value);
    ASSERT_TRUE(set.ok()) << set.describe();
    auto got = agent.tools().get(agent.target(), agent.ro(), {kSysLocation});
    ASSERT_TRUE(got.ok()) << got.describe();
    EXPECT_EQ(single_row(got), (SnmpRow{kSysLocation, "OCTET STRING", value}));

    auto refused = agent.tools().set(agent.target(), agent.ro(), kSysLocation, "s", "not allowed");
    EXPECT_FALSE(refused.ok()) << refused.describe();
    EXPECT_NE(refused.err.find("noAccess"), std::string::npos) << refused.describe();
    auto again = agent.tools().get(agent.target(), agent.ro(), {kSysLocation});
    ASSERT_TRUE(again.ok()) << again.describe();
    EXPECT_EQ(single_row(again).value, value);
}

TEST_F(SnmpdHarness, StartsCleanEachTime)
{
    // A SET must not survive into the next agent: each one has its own persistent folder.
    {
        SnmpdAgent first;
        ASSERT_TRUE(first.start({}));
        auto set = first.tools().set(first.target(), first.rw(), kSysLocation, "s", "left behind");
        ASSERT_TRUE(set.ok()) << set.describe();
    }
    SnmpdAgent second;
    ASSERT_TRUE(second.start({}));
    auto got = second.tools().get(second.target(), second.ro(), {kSysLocation});
    ASSERT_TRUE(got.ok()) << got.describe();
    EXPECT_NE(single_row(got).value, "left behind");
}

TEST_F(SnmpdHarness, AnswersSnmpV3Users)
{
    SnmpdAgent agent;
    ASSERT_TRUE(agent.start({.users = {{.name = "harness",
                                        .auth_proto = "SHA",
                                        .auth_pass = "harness-auth",
                                        .priv_proto = "AES",
                                        .priv_pass = "harness-priv"}},
                             .engine_id = "0x80001f88804861726e657373"}));
    auto got = agent.tools().get(agent.target(), agent.user("harness"), {kSysObjectId});
    ASSERT_TRUE(got.ok()) << got.describe();
    EXPECT_EQ(single_row(got).type, "OID");
    auto wrong = agent.tools().get(
        agent.target(),
        SnmpCredentials::v3("harness", "SHA", "wrong-password", "AES", "harness-priv"),
        {kSysObjectId});
    EXPECT_FALSE(wrong.ok()) << wrong.describe();
}

TEST_F(SnmpdHarness, AnswersOnIpv6Loopback)
{
    SnmpdAgent agent;
    ASSERT_TRUE(agent.start({.ipv6 = true}));
    auto got = agent.tools().get(agent.target6(), agent.ro(), {kSysObjectId});
    ASSERT_TRUE(got.ok()) << got.describe();
    EXPECT_EQ(single_row(got).type, "OID");
}

TEST_F(SnmpdHarness, ProxiesThePrinterMibToASimulatedPrinter)
{
    PSW_REQUIRE_PEERS(Peer::snmpsim);
    SnmpsimAgent printer;
    ASSERT_TRUE(printer.start({.files = {harness_data("harness-small.snmprec")}}));
    SnmpdAgent agent;
    ASSERT_TRUE(agent.start({.extra_lines = {"proxy -v 2c -c harness-small " + printer.address() +
                                             ":161 .1.3.6.1.2.1.43"}}));
    auto got = agent.tools().get(agent.target(), agent.ro(), {"1.3.6.1.2.1.43.5.1.1.17.1"});
    ASSERT_TRUE(got.ok()) << got.describe();
    EXPECT_EQ(single_row(got).value, "HRN-0001");
}

}  // namespace
}  // namespace psw::test
