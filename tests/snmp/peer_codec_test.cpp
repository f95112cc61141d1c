// Our encodings handed to two reference decoders, tshark and pysnmp: both must read the fields
// we put in, and where pysnmp can build the same message its bytes must equal ours.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "snmp/snmp_test_util.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

std::string helper()
{
    return std::string(PSW_TEST_DATA_DIR) + "/../snmp/peer_decode.py";
}

std::string run(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "error=popen";
    }
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) {
        out.append(chunk, got);
    }
    const int status = pclose(pipe);
    return status == 0 ? out : out + "error=exit " + std::to_string(status);
}

std::string peer(const std::string& mode, const std::string& argument)
{
    return run("/usr/bin/python3 " + helper() + " " + mode + " '" + argument + "' 2>&1");
}

bool pysnmp_missing()
{
    return run("/usr/bin/python3 -c 'import pysnmp, pyasn1' 2>&1").find("error=") !=
           std::string::npos;
}

enum class Vocabulary { tshark, pysnmp };

std::string kind_of(uint32_t tag, Vocabulary words)
{
    const bool t = words == Vocabulary::tshark;
    switch (tag) {
    case kPmsInteger: return t ? "int" : "Integer";
    case kPmsOctetString: return t ? "octets" : "OctetString";
    case kPmsNull: return t ? "null" : "Null";
    case kPmsObjectId: return t ? "oid" : "ObjectIdentifier";
    case kPmsIpAddress: return t ? "ipv4" : "IpAddress";
    case kPmsCounter32: return t ? "counter" : "Counter32";
    case kPmsGauge32: return t ? "g32" : "Gauge32";
    case kPmsTimeTicks: return t ? "timeticks" : "TimeTicks";
    case kPmsOpaque: return t ? "opaque" : "Opaque";
    case kPmsCounter64: return t ? "counter" : "Counter64";
    case kPmsNoSuchObject: return t ? "noSuchObject" : "NoSuchObject";
    case kPmsNoSuchInstance: return t ? "noSuchInstance" : "NoSuchInstance";
    case kPmsEndOfMibView: return t ? "endOfMibView" : "EndOfMibView";
    default: return "?";
    }
}

std::string value_of(const IPmsValue* value, Vocabulary words)
{
    switch (value->type()) {
    case kPmsIpAddress:
        if (words == Vocabulary::tshark) {
            return text_of(value);
        }
        [[fallthrough]];
    case kPmsOctetString:
    case kPmsOpaque: {
        size_t length = 0;
        const uint8_t* bytes = value->get_octets(&length);
        return to_hex(bytes, length);
    }
    case kPmsCounter64:
        return std::to_string(static_cast<uint64_t>(value->get_high()) << 32 | value->get_low());
    default: return text_of(value);
    }
}

const char* pdu_name(int32_t type)
{
    switch (type) {
    case kPmsGetRequest: return "get";
    case kPmsGetNextRequest: return "getnext";
    case kPmsResponse: return "response";
    case kPmsSetRequest: return "set";
    case kPmsTrap: return "trap";
    default: return "?";
    }
}

// What a reference decoder must print for this PDU sent with this version and community.
// An SNMPv1 trap goes out with its enterprise, generic and specific numbers split back out.
std::string expected(IPmsPdu* pdu, int32_t version, const char* community, Vocabulary words,
                     const char* trap_fields = nullptr)
{
    std::ostringstream out;
    out << "version=" << version << "\ncommunity=" << community << "\npdu=" << pdu_name(pdu->type())
        << "\n";
    if (pdu->type() == kPmsTrap) {
        out << trap_fields;
    } else {
        out << "request-id=" << pdu->request_id() << "\nerror-status=" << pdu->error_status()
            << "\nerror-index=" << pdu->error_index() << "\n";
    }
    for (uint32_t i = 0; i < pdu->bindings()->count(); ++i) {
        PmsVarBind* binding = pdu->bindings()->at(i);
        out << "binding=" << binding->name()->text() << " "
            << kind_of(binding->value()->type(), words) << " "
            << value_of(binding->value(), words) << "\n";
    }
    return out.str();
}

struct Message {
    const char* label;
    int32_t version;
    PduPtr pdu;
    // The same message for pysnmp's builder (null: not built there), and the trap fields.
    std::string build;
    const char* trap_fields = nullptr;
};

// A new value (owned by the caller) set from text.
IPmsValue* make(uint32_t tag, const char* text)
{
    IPmsValue* value = create_value(tag);
    if (value != nullptr && text != nullptr) {
        EXPECT_EQ(value->set_text(text), PSW_SUCCESS) << text;
    }
    return value;
}

PduPtr pdu_of(int32_t type, int32_t request_id,
              std::vector<std::pair<const char*, IPmsValue*>> bindings, int32_t status = 0,
              int32_t index = 0)
{
    PduPtr pdu(create_pdu());
    pdu->set_type(type);
    pdu->set_request_id(request_id);
    pdu->set_error_status(status);
    pdu->set_error_index(index);
    for (auto& [name, value] : bindings) {
        pdu->add(create_oid_from_text(name), value);
    }
    return pdu;
}

std::vector<Message> messages()
{
    std::vector<Message> all;
    all.push_back({"GET v1", 0,
                   pdu_of(kPmsGetRequest, 1234,
                          {{"1.3.6.1.2.1.1.2.0", make(kPmsNull, nullptr)},
                           {"1.3.6.1.2.1.43.8.2.1.10.1.1", make(kPmsNull, nullptr)}}),
                   R"({"version":0,"community":"public","pdu":"get","request-id":1234,)"
                   R"("bindings":[["1.3.6.1.2.1.1.2.0","null",""],)"
                   R"(["1.3.6.1.2.1.43.8.2.1.10.1.1","null",""]]})"});
    all.push_back({"GETNEXT v2c", 1,
                   pdu_of(kPmsGetNextRequest, 0x7FFFFFFF,
                          {{"1.3.6.1.2.1.43.8.2.1.2", make(kPmsNull, nullptr)}}),
                   R"({"version":1,"community":"public","pdu":"getnext","request-id":2147483647,)"
                   R"("bindings":[["1.3.6.1.2.1.43.8.2.1.2","null",""]]})"});
    IPmsValue* c64 = make(kPmsCounter64, nullptr);
    c64->set_high(0xAB54A98C);
    c64->set_low(0xEB1F0AD2);
    IPmsValue* opaque = create_value(kPmsOpaque);
    const uint8_t opaque_bytes[] = {0x9f, 0x7b, 0x01, 0x05};
    opaque->set_octets(opaque_bytes, sizeof(opaque_bytes));
    all.push_back({"SET v2c, every type", 1,
                   pdu_of(kPmsSetRequest, -7,
                          {{"1.3.6.1.2.1.1.4.0", make(kPmsOctetString, "Tray 1")},
                           {"1.3.6.1.2.1.1.5.0", make(kPmsInteger, "-129")},
                           {"1.3.6.1.2.1.1.6.0", make(kPmsNull, nullptr)},
                           {"1.3.6.1.2.1.1.7.0", make(kPmsObjectId, "1.3.6.1.4.1.297.1")},
                           {"1.3.6.1.2.1.1.8.0", make(kPmsIpAddress, "10.1.2.3")},
                           {"1.3.6.1.2.1.1.9.0", make(kPmsCounter32, "4294967295")},
                           {"1.3.6.1.2.1.1.10.0", make(kPmsGauge32, "128")},
                           {"1.3.6.1.2.1.1.11.0", make(kPmsTimeTicks, "987654")},
                           {"1.3.6.1.2.1.1.12.0", opaque},
                           {"1.3.6.1.2.1.1.13.0", c64}}),
                   R"({"version":1,"community":"public","pdu":"set","request-id":-7,)"
                   R"("bindings":[["1.3.6.1.2.1.1.4.0","octets","547261792031"],)"
                   R"(["1.3.6.1.2.1.1.5.0","int",-129],["1.3.6.1.2.1.1.6.0","null",""],)"
                   R"(["1.3.6.1.2.1.1.7.0","oid","1.3.6.1.4.1.297.1"],)"
                   R"(["1.3.6.1.2.1.1.8.0","ip","0a010203"],)"
                   R"(["1.3.6.1.2.1.1.9.0","counter",4294967295],)"
                   R"(["1.3.6.1.2.1.1.10.0","gauge",128],["1.3.6.1.2.1.1.11.0","ticks",987654],)"
                   R"(["1.3.6.1.2.1.1.12.0","opaque","9f7b0105"],)"
                   R"(["1.3.6.1.2.1.1.13.0","counter64",12345678901234567890]]})"});
    all.push_back({"SET v1", 0,
                   pdu_of(kPmsSetRequest, 99,
                          {{"1.3.6.1.4.1.297.1.11.93.1.35.27.1.2.1", make(kPmsInteger, "2147483647")},
                           {"2.999.3", make(kPmsOctetString, "")}}),
                   R"({"version":0,"community":"public","pdu":"set","request-id":99,)"
                   R"("bindings":[["1.3.6.1.4.1.297.1.11.93.1.35.27.1.2.1","int",2147483647],)"
                   R"(["2.999.3","octets",""]]})"});
    all.push_back({"Response v1 with error", 0,
                   pdu_of(kPmsResponse, 5,
                          {{"1.3.6.1.2.1.1.5.0", make(kPmsNull, nullptr)},
                           {"1.3.6.1.2.1.1.99.0", make(kPmsNull, nullptr)}},
                          2, 2),
                   R"({"version":0,"community":"public","pdu":"response","request-id":5,)"
                   R"("error-status":2,"error-index":2,"bindings":[["1.3.6.1.2.1.1.5.0","null",""],)"
                   R"(["1.3.6.1.2.1.1.99.0","null",""]]})"});
    all.push_back({"Response v2c with exceptions", 1,
                   pdu_of(kPmsResponse, 6,
                          {{"1.3.6.1.2.1.1.99.0", make(kPmsNoSuchObject, nullptr)},
                           {"1.3.6.1.2.1.1.5.1", make(kPmsNoSuchInstance, nullptr)},
                           {"1.3.6.1.2.1.43.9", make(kPmsEndOfMibView, nullptr)}}),
                   ""});
    PduPtr specific = pdu_of(kPmsTrap, 0, {{"1.3.6.1.2.1.1.5.0", make(kPmsOctetString, "printer")}});
    specific->set_enterprise(create_oid_from_text("1.3.6.1.4.1.297.0.10"));
    specific->set_time_stamp(make(kPmsTimeTicks, "12345"));
    all.push_back({"v1 trap, enterprise-specific", 0, std::move(specific),
                   R"({"version":0,"community":"public","pdu":"trap","enterprise":"1.3.6.1.4.1.297",)"
                   R"("agent-addr":"0.0.0.0","generic-trap":6,"specific-trap":10,"time-stamp":12345,)"
                   R"("bindings":[["1.3.6.1.2.1.1.5.0","octets","7072696e746572"]]})",
                   "enterprise=1.3.6.1.4.1.297\nagent-addr=0.0.0.0\ngeneric-trap=6\n"
                   "specific-trap=10\ntime-stamp=12345\n"});
    PduPtr generic = pdu_of(kPmsTrap, 0, {{"1.3.6.1.2.1.2.2.1.1.3", make(kPmsInteger, "3")}});
    generic->set_enterprise(create_oid_from_text("1.3.6.1.6.3.1.1.5.0.3"));
    generic->set_time_stamp(make(kPmsTimeTicks, "77"));
    all.push_back({"v1 trap, linkDown", 0, std::move(generic),
                   R"({"version":0,"community":"public","pdu":"trap","enterprise":"1.3.6.1.6.3.1.1.5",)"
                   R"("agent-addr":"0.0.0.0","generic-trap":2,"specific-trap":0,"time-stamp":77,)"
                   R"("bindings":[["1.3.6.1.2.1.2.2.1.1.3","int",3]]})",
                   "enterprise=1.3.6.1.6.3.1.1.5\nagent-addr=0.0.0.0\ngeneric-trap=2\n"
                   "specific-trap=0\ntime-stamp=77\n"});
    return all;
}

std::string encoded(Message& message)
{
    TargetPtr target = make_target(message.version, "public");
    return encode_hex(message.pdu.get(), target.get());
}

TEST(PeerCodec, TsharkReadsOurFields)
{
    PSW_REQUIRE_PEERS(Peer::python3, Peer::tshark);
    for (Message& message : messages()) {
        SCOPED_TRACE(message.label);
        const std::string hex = encoded(message);
        ASSERT_EQ(hex.find("error"), std::string::npos) << hex;
        EXPECT_EQ(peer("tshark", hex),
                  expected(message.pdu.get(), message.version, "public", Vocabulary::tshark,
                           message.trap_fields));
    }
}

TEST(PeerCodec, PysnmpReadsOurFields)
{
    PSW_REQUIRE_PEERS(Peer::python3);
    if (pysnmp_missing()) {
        PSW_PEER_UNAVAILABLE("pysnmp (python3-pysnmp4) is not importable by /usr/bin/python3");
    }
    for (Message& message : messages()) {
        SCOPED_TRACE(message.label);
        const std::string hex = encoded(message);
        ASSERT_EQ(hex.find("error"), std::string::npos) << hex;
        EXPECT_EQ(peer("pysnmp", hex),
                  expected(message.pdu.get(), message.version, "public", Vocabulary::pysnmp,
                           message.trap_fields));
    }
}

TEST(PeerCodec, PysnmpBuildsTheSameBytes)
{
    PSW_REQUIRE_PEERS(Peer::python3);
    if (pysnmp_missing()) {
        PSW_PEER_UNAVAILABLE("pysnmp (python3-pysnmp4) is not importable by /usr/bin/python3");
    }
    int compared = 0;
    for (Message& message : messages()) {
        if (message.build.empty()) {
            continue;
        }
        SCOPED_TRACE(message.label);
        EXPECT_EQ(encoded(message) + "\n", peer("build", message.build));
        ++compared;
    }
    EXPECT_EQ(compared, 7);
}

}  // namespace
}  // namespace psw::test
