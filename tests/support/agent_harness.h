// Real SNMP agents for tests: snmpsim serving recordings, and Net-SNMP snmpd with a private
// configuration. Each agent gets its own loopback address on port 161 (see loopback_pool.h) or
// runs inside a test network namespace (see netns.h), answers before start() returns, and is
// stopped (its whole process group, by pid) when the object ends, also when the test fails.
//
//   PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools);
//   psw::test::SnmpsimAgent sim;
//   ASSERT_TRUE(sim.start({.files = {psw::test::SnmprecSource(psw::test::harness_data("harness-small.snmprec"))
//                                        .replace("1.3.6.1.2.1.1.2.0", "6", "1.3.6.1.4.1.297.1.11.93.1.35.27.1")}}));
//   sim.address();            // "127.0.0.7"   (port 161)
//   sim.target();             // "udp:127.0.0.7:161" for Net-SNMP tools
//   sim.tools().get(sim.target(), SnmpCredentials::v2c("harness-small"), {"1.3.6.1.2.1.1.2.0"});
//
//   psw::test::SnmpdAgent agent;
//   ASSERT_TRUE(agent.start({}));   // public (read) / private (write), sysLocation writable
//   agent.tools().set(agent.target(), SnmpCredentials::v2c("private"), "1.3.6.1.2.1.1.6.0", "s", "x");
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/loopback_pool.h"
#include "support/process.h"
#include "support/snmp_tools.h"
#include "support/temp_dir.h"

namespace psw::test {

// tests/data/<relative> of the source tree.
std::string test_data(const std::string& relative);
// tests/data/harness/<name>.
std::string harness_data(const std::string& name);

// One recording for snmpsim, served under `community` (default: its file name without
// .snmprec), optionally edited in the served copy only.
struct SnmprecSource {
    struct Edit {
        std::string oid;
        std::optional<std::string> type;  // nullopt: remove the object
        std::string value;
    };

    SnmprecSource(std::string path,
                  std::string community = {});  // NOLINT: implicit from a path is handy
    SnmprecSource(const char* path) : SnmprecSource(std::string(path)) {}  // NOLINT

    // Replaces the object's line with OID|TYPE|VALUE, or inserts it in OID order when absent.
    SnmprecSource& replace(std::string oid, std::string type, std::string value);
    // Removes the object's line.
    SnmprecSource& remove(std::string oid);

    std::string path;
    std::string community;
    std::vector<Edit> edits;
};

// Applies edits to snmprec text; lines keep numeric OID order. Throws on malformed lines.
std::string edit_snmprec(const std::string& text, const std::vector<SnmprecSource::Edit>& edits);

struct SnmpsimOptions {
    std::vector<SnmprecSource> files{};     // served under their communities
    std::string data_dir{};                 // or/and: every file of this folder, as is
    bool ipv6 = false;                      // also listen on [::1]:161 (or [::]:161 in a namespace)
    std::string netns{};                    // run inside this namespace on 0.0.0.0:161 (no lease)
    std::vector<std::string> extra_args{};  // e.g. {"--v3-user=u", "--v3-auth-key=...", ...}
    std::chrono::milliseconds ready_timeout{10000};
};

struct SnmpV3User {
    std::string name{};
    std::string auth_proto = "SHA";  // MD5, SHA, SHA-224, SHA-256, SHA-384 or SHA-512
    std::string auth_pass{};         // empty: noAuthNoPriv
    std::string priv_proto = "AES";  // DES, AES, AES-192 or AES-256; priv_pass empty: authNoPriv
    std::string priv_pass{};
    std::string access = "rwuser";  // or "rouser"
};

struct SnmpdOptions {
    std::string ro_community = "public";   // empty: none
    std::string rw_community = "private";  // empty: none
    std::vector<SnmpV3User> users{};
    std::string engine_id{};  // "0x80001f8880..." -> exactEngineID
    std::vector<std::string>
        extra_lines{};  // appended verbatim, e.g. "proxy -v 2c -c x 127.0.0.2:161 .1.3.6.1.2.1.43"
    bool ipv6 = false;  // also listen on [::1]:161 (or [::]:161 in a namespace)
    std::string netns{};
    std::chrono::milliseconds ready_timeout{10000};
    // Appended to snmpd's command line, e.g. {"-I", "-system_mib,hr_system"} to switch off
    // modules whose objects a proxy line should serve instead.
    std::vector<std::string> extra_args{};
};

// Makes snmpd forward a whole simulated printer: proxy lines for the system group, Host
// Resources, Printer MIB and the enterprises subtree to `printer` under `community`, and
// snmpd's own modules for those objects switched off (they would answer instead).
void forward_printer(SnmpdOptions& options, const std::string& printer_address,
                     const std::string& community);

// What both agents share: folder, address lease, process, client tools and the readiness wait.
class TestAgent {
public:
    TestAgent() = default;
    virtual ~TestAgent();
    TestAgent(const TestAgent&) = delete;
    TestAgent& operator=(const TestAgent&) = delete;

    // Address and port the agent listens on: the leased 127.0.0.N, or 127.0.0.1 inside its
    // namespace (where it listens on every address).
    const std::string& address() const { return address_; }
    uint16_t port() const { return 161; }
    // "udp:127.0.0.N:161" for the tools; "udp6:[::1]:161" when IPv6 was asked for.
    std::string target() const { return "udp:" + address_ + ":161"; }
    std::string target6() const { return "udp6:[" + address6_ + "]:161"; }
    const std::string& address6() const { return address6_; }
    bool running() { return process_.running(); }
    pid_t pid() const { return process_.pid(); }
    const std::string& log_path() const { return log_path_; }
    std::string dir() const { return dir_ ? dir_->path() : std::string(); }
    // Net-SNMP tools with a private configuration, in the agent's namespace when it has one.
    const NetSnmpTools& tools() const { return *tools_; }
    // Stops the agent now (the destructor does it otherwise); returns its exit status.
    std::optional<int> stop();

protected:
    ::testing::AssertionResult prepare(const std::string& kind, const std::string& netns,
                                       bool ipv6);
    ::testing::AssertionResult launch(const std::vector<std::string>& argv, const EnvChanges& env);
    ::testing::AssertionResult wait_ready(const SnmpCredentials& probe,
                                          std::chrono::milliseconds timeout);
    ::testing::AssertionResult failure(const std::string& what);

    std::string kind_;
    std::string netns_;
    std::unique_ptr<TempDir> dir_;
    std::optional<LoopbackLease> lease_;
    std::optional<LoopbackLease> lease6_;
    std::string address_;
    std::string address6_;
    std::string log_path_;
    std::vector<std::string> argv_;
    std::unique_ptr<NetSnmpTools> tools_;
    Subprocess process_;
};

class SnmpsimAgent : public TestAgent {
public:
    // Copies the data into a folder readable by `nobody`, leases an address, starts
    // /usr/bin/snmpsimd and waits for an answer to a GET of sysObjectID.0 under the first
    // community. On failure the message names the log file and shows its end.
    ::testing::AssertionResult start(const SnmpsimOptions& options);
    // Starts several agents at once and then waits for each: about one start-up time in all
    // instead of one per agent (snmpsim needs most of a second to load).
    //   ASSERT_TRUE(SnmpsimAgent::start_all({{&a, opts_a}, {&b, opts_b}}));
    static ::testing::AssertionResult start_all(
        const std::vector<std::pair<SnmpsimAgent*, SnmpsimOptions>>& agents);
    // Communities served, in the order given (data_dir files after the listed ones).
    const std::vector<std::string>& communities() const { return communities_; }
    // Path of the served copy of a community's data.
    std::string served_file(const std::string& community) const;
    // The snmpsim log (--logging-method=file:...); log_path() holds its stdout/stderr.
    const std::string& snmpsim_log() const { return sim_log_; }

private:
    ::testing::AssertionResult launch_only(const SnmpsimOptions& options);

    std::vector<std::string> communities_;
    std::string data_dir_;
    std::string sim_log_;
};

class SnmpdAgent : public TestAgent {
public:
    // Writes the private configuration (see SnmpdOptions), starts `snmpd -f -Lo -C -c CONF` with
    // SNMP_PERSISTENT_DIR in its folder, and waits for an answer with the read community (or the
    // first SNMPv3 user).
    ::testing::AssertionResult start(const SnmpdOptions& options);
    const std::string& config_path() const { return config_path_; }
    // Credentials that match the options.
    SnmpCredentials ro() const { return SnmpCredentials::v2c(options_.ro_community); }
    SnmpCredentials rw() const { return SnmpCredentials::v2c(options_.rw_community); }
    SnmpCredentials user(const std::string& name) const;

private:
    SnmpdOptions options_;
    std::string config_path_;
};

// An agent a whole test suite shares: started in SetUpTestSuite, ended in TearDownTestSuite;
// each test's SetUp asserts ready(), which carries the start failure.
//   static inline SuiteAgent<SnmpsimAgent> agent;   ...   agent.start({.files = files});
template <class Agent>
class SuiteAgent {
public:
    template <class Options>
    void start(const Options& options)
    {
        agent_ = std::make_unique<Agent>();
        started_ = agent_->start(options);
    }
    void stop() { agent_.reset(); }
    ::testing::AssertionResult ready() const
    {
        return agent_ ? started_
                      : ::testing::AssertionFailure() << "the suite's agent is not started";
    }
    Agent* operator->() const { return agent_.get(); }

private:
    std::unique_ptr<Agent> agent_;
    ::testing::AssertionResult started_ = ::testing::AssertionFailure();
};

}  // namespace psw::test
