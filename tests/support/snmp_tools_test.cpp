// Parsers that the peer tests rely on to compare agent answers with recordings.
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/agent_harness.h"
#include "support/snmp_tools.h"

namespace psw::test {
namespace {

TEST(ParseSnmpwalkOn, ReadsEveryValueKind)
{
    const std::string text =
        ".1.3.6.1.2.1.1.1.0 = STRING: \"printer \\\"A\\\" \\\\ room\"\n"
        ".1.3.6.1.2.1.1.2.0 = OID: .1.3.6.1.4.1.297.1\n"
        ".1.3.6.1.2.1.1.3.0 = Timeticks: (123456) 0:20:34.56\n"
        ".1.3.6.1.2.1.1.7.0 = INTEGER: -72\n"
        ".1.3.6.1.2.1.4.20.1.1.192.0.2.10 = IpAddress: 192.0.2.10\n"
        ".1.3.6.1.2.1.25.2.3.1.7.2 = Counter32: 4294967295\n"
        ".1.3.6.1.2.1.43.5.1.1.1.1 = Gauge32: 3\n"
        ".1.3.6.1.2.1.31.1.1.1.6.1 = Counter64: 18446744073709551615\n"
        ".1.3.6.1.2.1.43.5.1.1.16.1 = \"\"\n"
        ".1.3.6.1.2.1.99.0 = NULL\n";
    auto rows = parse_snmpwalk_on(text);
    std::vector<SnmpRow> expected = {
        {"1.3.6.1.2.1.1.1.0", "OCTET STRING", "printer \"A\" \\ room"},
        {"1.3.6.1.2.1.1.2.0", "OID", "1.3.6.1.4.1.297.1"},
        {"1.3.6.1.2.1.1.3.0", "Timeticks", "123456"},
        {"1.3.6.1.2.1.1.7.0", "INTEGER", "-72"},
        {"1.3.6.1.2.1.4.20.1.1.192.0.2.10", "IpAddress", "192.0.2.10"},
        {"1.3.6.1.2.1.25.2.3.1.7.2", "Counter32", "4294967295"},
        {"1.3.6.1.2.1.43.5.1.1.1.1", "Gauge32", "3"},
        {"1.3.6.1.2.1.31.1.1.1.6.1", "Counter64", "18446744073709551615"},
        {"1.3.6.1.2.1.43.5.1.1.16.1", "OCTET STRING", ""},
        {"1.3.6.1.2.1.99.0", "NULL", ""},
    };
    EXPECT_EQ(rows, expected);
}

TEST(ParseSnmpwalkOn, JoinsContinuationLines)
{
    const std::string text =
        ".1.3.6.1.2.1.1.1.0 = Hex-STRING: 6C 69 62 70 73 77 20 68 61 72 6E 65 73 73 20 61 \n"
        "67 65 6E 74 00 \n"
        ".1.3.6.1.2.1.1.4.0 = STRING: \"line one\n"
        "line two\"\n"
        ".1.3.6.1.2.1.1.5.0 = STRING: \"x\"\n"
        "End of MIB\n";
    auto rows = parse_snmpwalk_on(text);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].value, std::string("libpsw harness agent\0", 21));
    EXPECT_EQ(rows[1].value, "line one\nline two");
    EXPECT_EQ(rows[2].value, "x");
}

TEST(ParseSnmpwalkOn, MapsExceptionsAndDropsThem)
{
    const std::string text =
        ".1.3.6.1.2.1.1.9.0 = No Such Object available on this agent at this OID\n"
        ".1.3.6.1.2.1.1.1.5 = No Such Instance currently exists at this OID\n"
        ".1.3.6.1.2.1.1.1.0 = STRING: \"a\"\n"
        ".1.3.6.1.2.1.1.1.0 = No more variables left in this MIB View (It is past the end of the "
        "MIB tree)\n";
    auto rows = parse_snmpwalk_on(text);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].type, "noSuchObject");
    EXPECT_EQ(rows[1].type, "noSuchInstance");
    EXPECT_EQ(rows[3].type, "endOfMibView");
    auto kept = without_exceptions(rows);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0], (SnmpRow{"1.3.6.1.2.1.1.1.0", "OCTET STRING", "a"}));
}

TEST(ParseSnmpwalkOn, RejectsWhatItCannotRead)
{
    EXPECT_THROW(parse_snmpwalk_on("Timeout: No Response from 127.0.0.2.\n"), std::runtime_error);
    EXPECT_THROW(parse_snmpwalk_on(".1.3.6 = Foo32: 5\n"), std::runtime_error);
    EXPECT_THROW(parse_snmpwalk_on(".1.3.6 = INTEGER: many\n"), std::runtime_error);
    EXPECT_THROW(parse_snmpwalk_on(".1.3.6 = Hex-STRING: 0G\n"), std::runtime_error);
}

TEST(ParseSnmprec, ReadsTypesAndHex)
{
    auto rows = parse_snmprec(
        "1.3.6.1.2.1.1.1.0|4|plain text\n"
        "1.3.6.1.2.1.1.2.0|6|1.3.6.1.4.1.11.2.3.9.1\n"
        "1.3.6.1.2.1.1.3.0|67|42\n"
        "1.3.6.1.2.1.25.2.3.1.3.5|4x|0001fffe\n"
        "1.3.6.1.2.1.4.20.1.1.10.0.0.1|64|10.0.0.1\n"
        "1.3.6.1.2.1.31.1.1.1.6.1|70|5\n"
        "\n");
    std::vector<SnmpRow> expected = {
        {"1.3.6.1.2.1.1.1.0", "OCTET STRING", "plain text"},
        {"1.3.6.1.2.1.1.2.0", "OID", "1.3.6.1.4.1.11.2.3.9.1"},
        {"1.3.6.1.2.1.1.3.0", "Timeticks", "42"},
        {"1.3.6.1.2.1.25.2.3.1.3.5", "OCTET STRING", std::string("\x00\x01\xff\xfe", 4)},
        {"1.3.6.1.2.1.4.20.1.1.10.0.0.1", "IpAddress", "10.0.0.1"},
        {"1.3.6.1.2.1.31.1.1.1.6.1", "Counter64", "5"},
    };
    EXPECT_EQ(rows, expected);
    EXPECT_THROW(parse_snmprec("1.3.6.1|99|x\n"), std::runtime_error);
    EXPECT_THROW(parse_snmprec("1.3.6.1 4 x\n"), std::runtime_error);
    EXPECT_THROW(parse_snmprec("1.3.6.1|2:numeric|x\n"), std::runtime_error);
}

TEST(ParseSnmprec, ReadsTheHarnessRecording)
{
    auto rows = read_snmprec_file(harness_data("harness-small.snmprec"));
    ASSERT_FALSE(rows.empty());
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_TRUE(oid_less(rows[i - 1].oid, rows[i].oid))
            << "not in walk order: " << rows[i - 1].oid << " / " << rows[i].oid;
    EXPECT_EQ(subtree(rows, "1.3.6.1.2.1.25.2.3").size(), 21u);
}

TEST(Oids, CompareNumericallyAndBySubtree)
{
    EXPECT_TRUE(oid_less("1.3.6.1.2.1.4", "1.3.6.1.2.1.25"));
    EXPECT_FALSE(oid_less("1.3.6.1.2.1.25", "1.3.6.1.2.1.4"));
    EXPECT_TRUE(oid_less("1.3.6.1", "1.3.6.1.0"));
    EXPECT_FALSE(oid_less("1.3.6.1.0", "1.3.6.1"));
    EXPECT_FALSE(oid_less("1.3.6.1", ".1.3.6.1"));
    EXPECT_TRUE(oid_in_subtree("1.3.6.1.2.1.25.2.3.1.1.1", "1.3.6.1.2.1.25.2.3"));
    EXPECT_TRUE(oid_in_subtree(".1.3.6.1.2.1.25.2.3", "1.3.6.1.2.1.25.2.3"));
    EXPECT_FALSE(oid_in_subtree("1.3.6.1.2.1.25.2.30.1", "1.3.6.1.2.1.25.2.3"));
    EXPECT_EQ(index_of("1.3.6.1.2.1.25.2.3.1.3.7", "1.3.6.1.2.1.25.2.3.1.3"), "7");
    EXPECT_EQ(index_of("1.3.6.1.2.1.25.2.3.1.3", "1.3.6.1.2.1.25.2.3.1.3"), "");
}

TEST(EditSnmprec, ReplacesInsertsInOrderAndRemoves)
{
    const std::string text =
        "1.3.6.1.2.1.1.1.0|4|a\n1.3.6.1.2.1.1.2.0|6|1.3.6.1.4.1.1\n1.3.6.1.2.1.25.1.0|2|1\n";
    std::string edited = edit_snmprec(text, {{"1.3.6.1.2.1.1.2.0", "6", "1.3.6.1.4.1.297.1"},
                                             {"1.3.6.1.2.1.4.1.0", "2", "7"},
                                             {"1.3.6.1.2.1.1.1.0", std::nullopt, ""},
                                             {"1.3.6.1.2.1.30.0", "4", "last"}});
    EXPECT_EQ(edited,
              "1.3.6.1.2.1.1.2.0|6|1.3.6.1.4.1.297.1\n"
              "1.3.6.1.2.1.4.1.0|2|7\n"
              "1.3.6.1.2.1.25.1.0|2|1\n"
              "1.3.6.1.2.1.30.0|4|last\n");
    EXPECT_THROW(edit_snmprec(text, {{"1.3.6.1.9", std::nullopt, ""}}), std::runtime_error);
}

TEST(SnmpCredentials, BuildToolArguments)
{
    EXPECT_EQ(SnmpCredentials::v1("public").args(),
              (std::vector<std::string>{"-v1", "-c", "public"}));
    EXPECT_EQ(SnmpCredentials::v3("u", "SHA", "authpass1", "AES", "privpass1", "ctx").args(),
              (std::vector<std::string>{"-v3", "-u", "u", "-l", "authPriv", "-a", "SHA", "-A",
                                        "authpass1", "-x", "AES", "-X", "privpass1", "-n", "ctx"}));
    EXPECT_EQ(SnmpCredentials::v3("u", "MD5", "authpass1", "", "").args(),
              (std::vector<std::string>{"-v3", "-u", "u", "-l", "authNoPriv", "-a", "MD5", "-A",
                                        "authpass1"}));
}

}  // namespace
}  // namespace psw::test
