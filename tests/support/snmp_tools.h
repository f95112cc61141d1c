// Net-SNMP command-line tools as reference clients, and comparable rows from their output and
// from snmpsim recordings.
//
//   psw::test::NetSnmpTools tools;                       // private config: no MIBs, own persistent dir
//   auto got = tools.get("udp:127.0.0.5:161", psw::test::SnmpCredentials::v2c("public"),
//                        {"1.3.6.1.2.1.1.2.0"});
//   ASSERT_TRUE(got.ok()) << got.describe();
//   auto rows = psw::test::parse_snmpwalk_on(got.out);   // {oid, type, value}
//   auto walk = tools.walk(target, creds, "1.3.6.1.2.1.25.2.3");
//   EXPECT_EQ(walk.rows, psw::test::subtree(psw::test::read_snmprec_file(path), "1.3.6.1.2.1.25.2.3"));
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "support/process.h"

namespace psw::test {

// One object in a form both sources agree on:
//   oid   dotted decimal without a leading dot ("1.3.6.1.2.1.1.2.0")
//   type  "INTEGER", "OCTET STRING", "OID", "IpAddress", "Counter32", "Gauge32", "Timeticks",
//         "Counter64", "NULL", "Opaque", or the exceptions "noSuchObject", "noSuchInstance",
//         "endOfMibView"
//   value decimal for numbers and Timeticks (hundredths), the raw bytes for OCTET STRING,
//         dotted decimal without a leading dot for OID, dotted quad for IpAddress, "" otherwise
struct SnmpRow {
    std::string oid;
    std::string type;
    std::string value;

    friend bool operator==(const SnmpRow&, const SnmpRow&) = default;
};
void PrintTo(const SnmpRow& row, std::ostream* os);
std::ostream& operator<<(std::ostream& os, const SnmpRow& row);

// Parses `snmpget -On` / `snmpwalk -On` output (MIBs disabled). Values that continue on further
// lines (long Hex-STRINGs, strings with line breaks) are joined. Throws std::runtime_error on a
// line it cannot read, naming it.
std::vector<SnmpRow> parse_snmpwalk_on(const std::string& text);

// Parses snmprec text ("OID|TYPE|VALUE" lines; 4x = hex octets; variation modules not supported).
std::vector<SnmpRow> parse_snmprec(const std::string& text);
std::vector<SnmpRow> read_snmprec_file(const std::string& path);

// True when oid is prefix itself or below it ("1.3.6.1.2.1.25.2.3" covers "...25.2.3.1.1.1",
// not "...25.2.30").
bool oid_in_subtree(const std::string& oid, const std::string& prefix);
std::vector<SnmpRow> subtree(const std::vector<SnmpRow>& rows, const std::string& prefix);
// Drops rows that only hold a v2c exception (endOfMibView and the like).
std::vector<SnmpRow> without_exceptions(const std::vector<SnmpRow>& rows);
// Numeric OID comparison, for sorting rows the way an agent walks them.
bool oid_less(const std::string& a, const std::string& b);
// The row index below a table column: index_of("1.3.6.1.2.1.25.2.3.1.3.7", "1.3.6.1.2.1.25.2.3.1.3") == "7".
std::string index_of(const std::string& oid, const std::string& column);

// How a tool authenticates: SNMPv1/v2c community or SNMPv3 user.
struct SnmpCredentials {
    std::string version = "2c";  // "1", "2c" or "3"
    std::string community = "public";
    // SNMPv3
    std::string user;
    std::string level = "authPriv";  // noAuthNoPriv, authNoPriv, authPriv
    std::string auth_proto = "SHA";
    std::string auth_pass;
    std::string priv_proto = "AES";
    std::string priv_pass;
    std::string context;

    static SnmpCredentials v1(std::string community);
    static SnmpCredentials v2c(std::string community);
    static SnmpCredentials v3(std::string user, std::string auth_proto, std::string auth_pass,
                              std::string priv_proto, std::string priv_pass,
                              std::string context = {});

    // The tool arguments: "-v2c -c public" or "-v3 -u U -l authPriv -a SHA -A .. -x AES -X .. [-n ctx]".
    std::vector<std::string> args() const;
};

struct WalkResult {
    CommandResult command;
    std::vector<SnmpRow> rows;  // exceptions removed; empty when the command failed
    std::string parse_error;    // set when the output could not be parsed
    bool ok() const { return command.ok() && parse_error.empty(); }
    std::string describe() const { return parse_error.empty() ? command.describe() : parse_error; }
};

// Runs Net-SNMP client tools with a private configuration (SNMPCONFPATH pointing to a folder
// with `mibs :` and a private persistentDir, SNMP_PERSISTENT_DIR likewise), so nothing reads or
// writes /etc/snmp or /var/lib/snmp. Optionally inside a network namespace.
class NetSnmpTools {
public:
    // A private configuration folder of its own, removed with the object.
    NetSnmpTools();
    // Uses (and shares) an existing configuration folder, e.g. an agent's; not removed.
    explicit NetSnmpTools(std::string config_dir);
    ~NetSnmpTools();
    NetSnmpTools(const NetSnmpTools&) = delete;
    NetSnmpTools& operator=(const NetSnmpTools&) = delete;

    // Runs the tools through `ip netns exec NAME` from now on (empty: this namespace).
    void set_netns(std::string name) { netns_ = std::move(name); }
    const std::string& netns() const { return netns_; }
    const std::string& config_dir() const { return config_dir_; }
    // The environment given to the tools (and to be given to an agent sharing the folder).
    EnvChanges env() const;

    // Any tool with any arguments, e.g. run("snmpset", {...}).
    CommandResult run(const std::string& tool, const std::vector<std::string>& args,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(30000)) const;
    // snmpget -On -t1 -r2 CREDS TARGET OIDS...
    CommandResult get(const std::string& target, const SnmpCredentials& creds,
                      const std::vector<std::string>& oids) const;
    // snmpset -On -t1 -r2 CREDS TARGET OID TYPE VALUE (type is Net-SNMP's letter: s, i, o, x, ...)
    CommandResult set(const std::string& target, const SnmpCredentials& creds,
                      const std::string& oid, const std::string& type,
                      const std::string& value) const;
    // snmpwalk -On -t1 -r2 CREDS TARGET ROOT, parsed.
    WalkResult walk(const std::string& target, const SnmpCredentials& creds,
                    const std::string& root) const;

    // Writes the private snmp.conf into dir (mibs :, persistentDir dir/persist).
    static bool write_client_config(const std::string& dir);

private:
    std::string config_dir_;
    bool owns_dir_ = false;
    std::string netns_;
};

// Hex text of bytes ("0a1b"); and back (whitespace ignored; throws on bad digits).
std::string to_hex(const std::string& bytes);
std::string from_hex(const std::string& hex);

}  // namespace psw::test
