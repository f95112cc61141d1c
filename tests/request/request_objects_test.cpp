// The get-data and find-device requests against real agents (snmpsim, snmpd) and against a
// small responder of ours for what no agent does on demand.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/factory.h"
#include "core/pms_octets.h"
#include "request/request_base.h"
#include "request/request_objects.h"
#include "snmp/pms_lists.h"
#include "snmp/pms_packet.h"
#include "snmp/pms_packet_coder.h"
#include "snmp/pms_pdu.h"
#include "snmp/pms_value.h"
#include "support/agent_harness.h"
#include "support/log_capture.h"
#include "support/loopback_pool.h"
#include "support/peer_requirements.h"
#include "support/snmp_tools.h"

namespace psw {
namespace {

using test::Peer;

constexpr int32_t kUdpIpv4 = 1;
constexpr char kHrStorageIndex[] = "1.3.6.1.2.1.25.2.3.1.1";
const PmcUsmValues kNoUsm{"", 0, 0, 0, "", "", ""};

OwnedPtr<IPmcGetData> new_get_data(const std::string& address, const char* community,
                                   int32_t timeout = 1000, int32_t retries = 1)
{
    OwnedPtr<IPmcGetData> request(pmc_create_get_data(nullptr));
    EXPECT_NE(request, nullptr);
    if (community != nullptr) {
        EXPECT_EQ(request->set_community(community), PSW_SUCCESS);
    }
    EXPECT_EQ(request->init(address.c_str(), kUdpIpv4, 161, 0, kNoUsm, timeout, retries, 0),
              PSW_SUCCESS);
    return request;
}

// Text form of every binding of a row: row[column] = value text.
std::vector<std::string> binding_texts(const IPmsPdu* row)
{
    std::vector<std::string> values;
    const PmsVarBindList* list = row->bindings();
    for (uint32_t i = 0; i < list->count(); ++i) {
        OwnedPtr<PmsOctets> text(list->at(i)->value()->to_text());
        values.emplace_back(
            text && text->length() != 0
                ? std::string(reinterpret_cast<const char*>(text->data()), text->length())
                : std::string());
    }
    return values;
}

// rows[i][column] = value text.
std::vector<std::vector<std::string>> row_texts(PmsPduList* rows)
{
    std::vector<std::vector<std::string>> texts;
    PmsListIterator* it = rows->new_iterator();
    for (IPmsPdu* row = rows->at(it); row != nullptr; rows->advance(it), row = rows->at(it)) {
        texts.push_back(binding_texts(row));
    }
    rows->release_iterator(it);
    return texts;
}

// Names, value types and texts of each row a streamed walk hands over; fails with `failure`
// on row `fail_at`.
struct RowCollector final : IPmcRowSink {
    std::vector<std::string> rows;
    size_t fail_at = SIZE_MAX;
    Result failure = PSW_ERR_NO_MEMORY;

    Result take_row(const IPmsPdu* row) noexcept override
    {
        if (rows.size() == fail_at) {
            return failure;
        }
        std::string described;
        const auto texts = binding_texts(row);
        for (uint32_t i = 0; i < row->bindings()->count(); ++i) {
            const PmsVarBind* binding = row->bindings()->at(i);
            described += std::string(binding->name()->text()) + " " +
                         std::to_string(binding->value()->type()) + " " + texts[i] + "; ";
        }
        rows.push_back(described);
        return PSW_SUCCESS;
    }
};

TEST(RequestMessageSize, ChosenFromTheProtocol)
{
    EXPECT_EQ(pmc_request_message_size(1, 0), 1400u);
    EXPECT_EQ(pmc_request_message_size(1, 2000), 1400u);
    EXPECT_EQ(pmc_request_message_size(1, 900), 900u);
    EXPECT_EQ(pmc_request_message_size(4, 1400), 1400u);
    EXPECT_EQ(pmc_request_message_size(2, 0), 546u);
    EXPECT_EQ(pmc_request_message_size(2, 547), 546u);
    EXPECT_EQ(pmc_request_message_size(2, 1), 1u);
}

TEST(RequestObjects, OperationsNeedInitAndCheckTheirArguments)
{
    OwnedPtr<IPmcGetData> request(pmc_create_get_data(nullptr));
    ASSERT_NE(request, nullptr);
    char text[kGetStringCapacity];
    int32_t value = 0;
    EXPECT_EQ(request->add_oid_string("1.3.6.1.2.1.1.1", true), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(request->get_string(text), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(request->get_int(&value), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(request->set_data(), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(request->set_community(nullptr), PSW_ERR_PARAMETER);
    EXPECT_EQ(request->set_community(std::string(256, 'c').c_str()), PSW_ERR_PARAMETER);
    EXPECT_EQ(request->set_community(std::string(255, 'c').c_str()), PSW_SUCCESS);

    int32_t protocol = 0;
    EXPECT_EQ(request->protocol_of("::1", &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, 4);
    EXPECT_EQ(request->protocol_of("127.0.0.1", &protocol), PSW_SUCCESS);
    EXPECT_EQ(protocol, 1);
    EXPECT_NE(request->protocol_of("not an address", &protocol), PSW_SUCCESS);

    ASSERT_EQ(request->init("127.0.0.1", kUdpIpv4, 161, 0, kNoUsm, 100, 0, 0), PSW_SUCCESS);
    EXPECT_EQ(request->add_oid_string("1..3", false), PSW_ERR_PARAMETER);
    EXPECT_EQ(request->add_oid_string(nullptr, false), PSW_ERR_PARAMETER);

    OwnedPtr<IPmcFindDeviceSnmp> finder(pmc_create_find_device_snmp(nullptr));
    ASSERT_NE(finder, nullptr);
    IPmsSnmpPacketList* answers = nullptr;
    EXPECT_EQ(finder->send_broad_cast(&answers), PSW_ERR_NOT_INITIALIZED);
    EXPECT_EQ(answers, nullptr);
}

class SimulatedAgentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools);
        ASSERT_TRUE(agent.start({.files = {test::harness_data("harness-small.snmprec")}}));
    }
    test::SnmpsimAgent agent;
};

TEST_F(SimulatedAgentTest, SingleReadsGiveTextsAndIntegers)
{
    auto request = new_get_data(agent.address(), "harness-small");
    ASSERT_EQ(request->add_oid_string("1.3.6.1.2.1.1.1", true), PSW_SUCCESS);
    char text[kGetStringCapacity] = "unchanged";
    ASSERT_EQ(request->get_string(text), PSW_SUCCESS);
    EXPECT_STREQ(text, "libpsw harness agent");

    auto oid_request = new_get_data(agent.address(), "harness-small");
    ASSERT_EQ(oid_request->add_oid_string("1.3.6.1.2.1.1.2.0", false), PSW_SUCCESS);
    ASSERT_EQ(oid_request->get_string(text), PSW_SUCCESS);
    EXPECT_STREQ(text, "1.3.6.1.4.1.99999.7.1");

    auto ints = new_get_data(agent.address(), "harness-small");
    ASSERT_EQ(ints->add_oid_string("1.3.6.1.2.1.1.7", true), PSW_SUCCESS);
    ASSERT_EQ(ints->add_oid_string("1.3.6.1.2.1.25.2.2", true), PSW_SUCCESS);
    ASSERT_EQ(ints->add_oid_string("1.3.6.1.2.1.1.1", true), PSW_SUCCESS);
    int32_t values[3] = {0, 0, 0};
    ASSERT_EQ(ints->get_ints(values, 3), PSW_SUCCESS);
    EXPECT_EQ(values[0], 72);
    EXPECT_EQ(values[1], 262144);
    EXPECT_EQ(values[2], -1);  // a text is no integer
}

TEST_F(SimulatedAgentTest, MissingObjectReadsAsEmptyTextOrMinusOne)
{
    auto request = new_get_data(agent.address(), "harness-small");
    ASSERT_EQ(request->add_oid_string("1.3.6.1.2.1.1.99", true), PSW_SUCCESS);
    char text[kGetStringCapacity] = "unchanged";
    EXPECT_EQ(request->get_string(text), PSW_SUCCESS);
    EXPECT_STREQ(text, "unchanged");  // nothing copied for an empty text

    auto number = new_get_data(agent.address(), "harness-small");
    ASSERT_EQ(number->add_oid_string("1.3.6.1.2.1.1.99", true), PSW_SUCCESS);
    int32_t value = 0;
    EXPECT_EQ(number->get_int(&value), PSW_SUCCESS);
    EXPECT_EQ(value, -1);
}

TEST_F(SimulatedAgentTest, TableWalkEqualsWhatSnmpwalkReads)
{
    auto request = new_get_data(agent.address(), "harness-small");
    for (int column = 1; column <= 7; ++column) {
        const std::string oid = "1.3.6.1.2.1.25.2.3.1." + std::to_string(column);
        ASSERT_EQ(request->add_oid_string(oid.c_str(), false), PSW_SUCCESS);
    }
    OwnedPtr<PmsPduList> rows(create_pdu_list());
    ASSERT_EQ(request->get_data(rows.get(), kHrStorageIndex), PSW_SUCCESS);
    const auto texts = row_texts(rows.get());
    ASSERT_EQ(texts.size(), 3u);

    for (int column = 1; column <= 7; ++column) {
        const std::string oid = "1.3.6.1.2.1.25.2.3.1." + std::to_string(column);
        const auto walk =
            agent.tools().walk(agent.target(), test::SnmpCredentials::v1("harness-small"), oid);
        ASSERT_TRUE(walk.ok()) << walk.describe();
        ASSERT_EQ(walk.rows.size(), texts.size()) << oid;
        for (size_t row = 0; row < texts.size(); ++row) {
            const auto& expected = walk.rows[row];
            if (expected.type == "STRING" || expected.type == "Hex-STRING") {
                continue;  // text forms differ by tool; checked below
            }
            EXPECT_NE(expected.value.find(texts[row][column - 1]), std::string::npos)
                << oid << " row " << row << ": " << expected.value << " vs "
                << texts[row][column - 1];
        }
    }
    EXPECT_EQ(texts[0][2], "Main memory");
    EXPECT_EQ(texts[1][2], "Fixed disc");
    EXPECT_EQ(texts[2][6], "17");
    EXPECT_EQ(texts[1][6], "4294967295");
}

// Rows handed over as they arrive are the rows the walk keeps, realigned ones included (the
// recording lacks some cells), whether the request streams them itself or through get_rows.
TEST_F(SimulatedAgentTest, StreamedWalkHandsOverTheRowsTheKeptWalkReads)
{
    const auto walk_with = [&](auto&& run) {
        auto request = new_get_data(agent.address(), "harness-small");
        for (int column = 1; column <= 7; ++column) {
            const std::string oid = "1.3.6.1.2.1.25.2.3.1." + std::to_string(column);
            EXPECT_EQ(request->add_oid_string(oid.c_str(), false), PSW_SUCCESS);
        }
        RowCollector collected;
        EXPECT_EQ(run(request.get(), &collected), PSW_SUCCESS);
        return collected.rows;
    };
    const auto streamed = walk_with([](IPmcGetData* request, RowCollector* sink) {
        return request->walk_rows(sink, kHrStorageIndex);
    });
    const auto kept = walk_with([](IPmcGetData* request, RowCollector* sink) {
        return request->IPmcGetData::walk_rows(sink, kHrStorageIndex);
    });
    ASSERT_EQ(streamed.size(), 3u);
    EXPECT_EQ(streamed, kept);
}

TEST_F(SimulatedAgentTest, WalkAtTheEndOfTheAgentsViewEndsWithTheRowsSoFar)
{
    // The last column of the recording: the agent answers noSuchName after its last object.
    auto request = new_get_data(agent.address(), "harness-small");
    ASSERT_EQ(request->add_oid_string("1.3.6.1.2.1.43.5.1.1.17", false), PSW_SUCCESS);
    OwnedPtr<PmsPduList> rows(create_pdu_list());
    ASSERT_EQ(request->get_data(rows.get(), "1.3.6.1.2.1.43.5.1.1.17"), PSW_SUCCESS);
    const auto texts = row_texts(rows.get());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0][0], "HRN-0001");
}

TEST_F(SimulatedAgentTest, WrongCommunityTimesOut)
{
    auto request = new_get_data(agent.address(), "no-such-community", 200, 1);
    ASSERT_EQ(request->add_oid_string("1.3.6.1.2.1.1.1", true), PSW_SUCCESS);
    char text[kGetStringCapacity];
    EXPECT_EQ(request->get_string(text), PSW_ERR_TIMEOUT);
}

TEST(RealAgentTest, SetDataWritesWithTheWriteCommunityOnly)
{
    PSW_REQUIRE_PEERS(Peer::root, Peer::snmpd, Peer::netsnmp_tools);
    test::SnmpdAgent agent;
    ASSERT_TRUE(agent.start({}));
    // snmpEnableAuthenTraps: an INTEGER (1 enabled, 2 disabled) the write community may set.
    constexpr char kAuthenTraps[] = "1.3.6.1.2.1.11.30";
    const auto read_back = [&] {
        const auto got =
            agent.tools().get(agent.target(), agent.ro(), {std::string(kAuthenTraps) + ".0"});
        EXPECT_TRUE(got.ok()) << got.describe();
        return got.out;
    };
    const std::string before = read_back();

    auto reader = new_get_data(agent.address(), "public");
    ASSERT_EQ(reader->add_oid_with_int(kAuthenTraps, "0", 1), PSW_SUCCESS);
    EXPECT_EQ(reader->set_data(), PSW_ERR_TOO_LONG);  // read-only community: refused
    EXPECT_EQ(read_back(), before);

    auto writer = new_get_data(agent.address(), "private");
    ASSERT_EQ(writer->add_oid_with_int(kAuthenTraps, "0", 1), PSW_SUCCESS);
    EXPECT_EQ(writer->set_data(), PSW_SUCCESS);
    EXPECT_NE(read_back().find("INTEGER: 1"), std::string::npos);

    auto again = new_get_data(agent.address(), "private");
    ASSERT_EQ(again->add_oid_with_int(kAuthenTraps, "0", 2), PSW_SUCCESS);
    EXPECT_EQ(again->set_data(), PSW_SUCCESS);
    EXPECT_NE(read_back().find("INTEGER: 2"), std::string::npos);

    // A value of the wrong type is refused with another status than noSuchName/noAccess: a
    // refusal all the same, so the write is not reported as done.
    auto wrong_type = new_get_data(agent.address(), "private");
    ASSERT_EQ(wrong_type->add_oid_with_int("1.3.6.1.2.1.1.6", "0", 7), PSW_SUCCESS);
    EXPECT_EQ(wrong_type->set_data(), PSW_ERR_TOO_LONG);
}

TEST(RealAgentTest, HostStorageWalkMatchesSnmpwalk)
{
    PSW_REQUIRE_PEERS(Peer::root, Peer::snmpd, Peer::netsnmp_tools);
    test::SnmpdAgent agent;
    ASSERT_TRUE(agent.start({}));
    auto request = new_get_data(agent.address(), nullptr);  // default community "public"
    ASSERT_EQ(request->add_oid_string(kHrStorageIndex, false), PSW_SUCCESS);
    ASSERT_EQ(request->add_oid_string("1.3.6.1.2.1.25.2.3.1.4", false), PSW_SUCCESS);
    OwnedPtr<PmsPduList> rows(create_pdu_list());
    ASSERT_EQ(request->get_data(rows.get(), kHrStorageIndex), PSW_SUCCESS);
    const auto texts = row_texts(rows.get());

    const auto index =
        agent.tools().walk(agent.target(), test::SnmpCredentials::v1("public"), kHrStorageIndex);
    const auto units = agent.tools().walk(agent.target(), test::SnmpCredentials::v1("public"),
                                          "1.3.6.1.2.1.25.2.3.1.4");
    ASSERT_TRUE(index.ok() && units.ok());
    ASSERT_FALSE(index.rows.empty());
    ASSERT_EQ(texts.size(), index.rows.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(index.rows[i].value, texts[i][0]);
        EXPECT_NE(units.rows[i].value.find(texts[i][1]), std::string::npos);
    }
}

}  // namespace
}  // namespace psw

namespace psw {
namespace {

// Answers each request with what `script` makes of it: a UDP socket on a leased loopback
// address at port 161, decoding with the library's codec and answering with its encoder.
class ScriptedAgent {
public:
    using Script = std::function<void(IPmsPdu* request_turned_reply, int call)>;

    explicit ScriptedAgent(Script script) : m_script(std::move(script)) {}
    ~ScriptedAgent()
    {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        if (m_fd >= 0) {
            close(m_fd);
        }
    }

    ::testing::AssertionResult start()
    {
        std::string error;
        m_lease = test::LoopbackLease::acquire(161, &error);
        if (!m_lease) {
            return ::testing::AssertionFailure() << error;
        }
        m_fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(161);
        inet_pton(AF_INET, m_lease->address().c_str(), &local.sin_addr);
        timeval poll{0, 50000};
        setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &poll, sizeof poll);
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            return ::testing::AssertionFailure() << "bind failed";
        }
        m_thread = std::thread([this] { serve(); });
        return ::testing::AssertionSuccess();
    }

    const std::string& address() const { return m_lease->address(); }
    int calls() const { return m_calls; }

private:
    void serve()
    {
        uint8_t datagram[2048];
        while (!m_stop) {
            sockaddr_in peer{};
            socklen_t peer_length = sizeof peer;
            const ssize_t length = recvfrom(m_fd, datagram, sizeof datagram, 0,
                                            reinterpret_cast<sockaddr*>(&peer), &peer_length);
            if (length <= 0) {
                continue;
            }
            PmsPacketBuffer in;
            in.attach_received(datagram, static_cast<size_t>(length));
            OwnedPtr<IPmsSnmpPacket> packet(create_packet());
            if (pms_packet_coder()->decode_packet(&in, packet.get(), kPmsTranslateCommunity) !=
                PSW_SUCCESS) {
                continue;
            }
            IPmsPdu* pdu = packet->pdu();
            pdu->set_type(kPmsResponse);
            pdu->set_error_status(0);
            pdu->set_error_index(0);
            m_script(pdu, m_calls++);
            packet->target()->set_max_message_size(2048);
            PmsPacketBuffer out;
            if (pms_packet_coder()->encode_packet(packet.get(), &out, nullptr) == PSW_SUCCESS) {
                sendto(m_fd, out.data(), out.data_length(), 0, reinterpret_cast<sockaddr*>(&peer),
                       peer_length);
            }
        }
    }

    Script m_script;
    std::optional<test::LoopbackLease> m_lease;
    int m_fd = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_calls{0};
};

// Renames the first binding and gives it an INTEGER value.
void answer_first(IPmsPdu* pdu, const std::string& name, int32_t value)
{
    PmsVarBind* first = pdu->bindings()->at(0);
    first->set_name(create_oid_from_text(name.c_str()));
    first->set_value(create_value_with_int(value, kPmsInteger));
}

constexpr char kColumn[] = "1.3.6.1.4.1.99999.1.1";

TEST(ScriptedAgentTest, StreamedWalkEndsAtTheFirstRowItsSinkRefuses)
{
    PSW_REQUIRE_PEERS(Peer::root);
    ScriptedAgent agent([](IPmsPdu* pdu, int call) {
        answer_first(pdu, std::string(kColumn) + "." + std::to_string(call + 1), call);
    });
    ASSERT_TRUE(agent.start());
    auto request = new_get_data(agent.address(), "public");
    ASSERT_EQ(request->add_oid_string(kColumn, false), PSW_SUCCESS);
    RowCollector sink;
    sink.fail_at = 1;
    sink.failure = PSW_ERR_BAD_DATA;
    EXPECT_EQ(request->walk_rows(&sink, kColumn), PSW_ERR_BAD_DATA);
    EXPECT_EQ(sink.rows.size(), 1u);
    EXPECT_EQ(agent.calls(), 2);  // no request after the refused row
    EXPECT_EQ(request->walk_rows(nullptr, kColumn), PSW_ERR_PARAMETER);
}

// A walk goes on only for a reply past the name it asked, in the order of the numbers (row 10
// follows row 9, though "10" sorts before "9" as text), and without an error-status other than
// noSuchName. A reply before or at the name asked is refused with both names logged, as an
// agent answering the same row again would otherwise be walked for ever; the rows read before
// are kept.
TEST(ScriptedAgentTest, WalkGoesOnOnlyPastTheNameAskedAndWithoutAnError)
{
    PSW_REQUIRE_PEERS(Peer::root);
    const struct {
        const char* first;   // the instances of the first two replies
        const char* second;  // null: genErr instead
        const char* line;    // the end logged; null: both rows are read
    } cases[] = {
        {".1", nullptr, "walk of 1.3.6.1.4.1.99999.1.1 ended by error-status 5."},
        // The name asked is the first reply's name, held as numbers: the log line spells it.
        {".5.2", ".5.1",
         "reply name 1.3.6.1.4.1.99999.1.1.5.1 does not follow 1.3.6.1.4.1.99999.1.1.5.2."},
        {".5.2", ".5",
         "reply name 1.3.6.1.4.1.99999.1.1.5 does not follow 1.3.6.1.4.1.99999.1.1.5.2."},
        {".5.2", ".5.2",
         "reply name 1.3.6.1.4.1.99999.1.1.5.2 does not follow 1.3.6.1.4.1.99999.1.1.5.2."},
        {".5.2", ".4294967295", nullptr},
        {".9", ".10", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " then " + (c.second ? c.second : "genErr"));
        test::ScopedLogCapture log("snmp");
        ScriptedAgent agent([&c](IPmsPdu* pdu, int call) {
            if (call == 0) {
                answer_first(pdu, std::string(kColumn) + c.first, 1);
            } else if (call == 1 && c.second == nullptr) {
                pdu->set_error_status(5);  // genErr
                pdu->set_error_index(1);
            } else if (call == 1) {
                answer_first(pdu, std::string(kColumn) + c.second, 2);
            } else {
                answer_first(pdu, "1.3.6.1.4.1.99999.1.2.1", 0);  // next column: end of the table
            }
        });
        ASSERT_TRUE(agent.start());
        auto request = new_get_data(agent.address(), "public");
        ASSERT_EQ(request->add_oid_string(kColumn, false), PSW_SUCCESS);
        OwnedPtr<PmsPduList> rows(create_pdu_list());
        const Result result = request->get_data(rows.get(), kColumn);
        using Rows = std::vector<std::vector<std::string>>;
        if (c.line != nullptr) {
            EXPECT_EQ(result, PSW_ERR_FAILED);
            EXPECT_TRUE(log.contains(c.line)) << ::testing::PrintToString(log.lines());
            EXPECT_EQ(row_texts(rows.get()), (Rows{{"1"}}));
            EXPECT_EQ(agent.calls(), 2);
        } else {
            EXPECT_EQ(result, PSW_SUCCESS);
            EXPECT_FALSE(log.contains("does not follow")) << ::testing::PrintToString(log.lines());
            EXPECT_EQ(row_texts(rows.get()), (Rows{{"1"}, {"2"}}));
            EXPECT_EQ(agent.calls(), 3);
        }
    }
}

TEST(ScriptedAgentTest, ReplyWithoutBindingsIsMissingData)
{
    PSW_REQUIRE_PEERS(Peer::root);
    ScriptedAgent agent([](IPmsPdu* pdu, int) {
        IPmsOid* name = nullptr;
        IPmsValue* value = nullptr;
        pdu->take_first(&name, &value);
        OwnedPtr<IPmsOid> drop_name(name);
        OwnedPtr<IPmsValue> drop_value(value);
    });
    ASSERT_TRUE(agent.start());
    auto request = new_get_data(agent.address(), "public");
    ASSERT_EQ(request->add_oid_string("1.3.6.1.2.1.1.1", true), PSW_SUCCESS);
    int32_t value = 0;
    EXPECT_EQ(request->get_int(&value), PSW_ERR_TOO_LONG);
    EXPECT_EQ(value, 0);
}

// Walks of captured printers read the same rows as snmpwalk -v1.
TEST(CapturedPrinterTest, SupplyAndDeviceTablesMatchSnmpwalk)
{
    PSW_REQUIRE_PEERS(Peer::root, Peer::snmpsim, Peer::netsnmp_tools, Peer::shared_printers);
    const std::vector<std::string> files = {"dell-s5830dn", "hp-m252dw", "ricoh-mpc3002",
                                            "sharp-mx3570n"};
    const std::vector<std::string> columns = {"1.3.6.1.2.1.43.11.1.1.4", "1.3.6.1.2.1.43.11.1.1.6",
                                              "1.3.6.1.2.1.43.11.1.1.8", "1.3.6.1.2.1.43.11.1.1.9",
                                              "1.3.6.1.2.1.25.3.2.1.2",  "1.3.6.1.2.1.25.3.2.1.3"};
    test::SnmpsimOptions options;
    for (const auto& file : files) {
        options.files.emplace_back(test::shared_printer_file(file + ".snmprec"));
    }
    test::SnmpsimAgent agent;
    ASSERT_TRUE(agent.start(options));
    for (const auto& community : files) {
        for (size_t first = 0; first < columns.size(); first += 4) {
            const size_t count = std::min<size_t>(4, columns.size() - first);
            auto request = new_get_data(agent.address(), community.c_str());
            for (size_t c = first; c < first + count; ++c) {
                ASSERT_EQ(request->add_oid_string(columns[c].c_str(), false), PSW_SUCCESS);
            }
            OwnedPtr<PmsPduList> rows(create_pdu_list());
            ASSERT_EQ(request->get_data(rows.get(), columns[first].c_str()), PSW_SUCCESS)
                << community;
            const auto texts = row_texts(rows.get());
            const auto walk = agent.tools().walk(
                agent.target(), test::SnmpCredentials::v1(community), columns[first]);
            ASSERT_TRUE(walk.ok()) << walk.describe();
            ASSERT_EQ(texts.size(), walk.rows.size()) << community << " " << columns[first];
            for (size_t row = 0; row < texts.size(); ++row) {
                const auto& expected = walk.rows[row];
                if (expected.type == "INTEGER" || expected.type == "Gauge32") {
                    EXPECT_EQ(expected.value, texts[row][0]) << community << " " << expected.oid;
                } else if (expected.type == "OID") {
                    EXPECT_EQ(expected.value, texts[row][0]) << community << " " << expected.oid;
                }
            }
        }
    }
}

}  // namespace
}  // namespace psw
