// Discovery over a scripted find-device request: destination, request set-up, the answers the
// finder keeps, and failure logging.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "api/discovery.h"
#include "core/factory.h"
#include "log/log_registry.h"
#include "net/network_address.h"
#include "query/plugin_usm.h"
#include "snmp/pms_packet.h"
#include "snmp/pms_pdu.h"
#include "snmp/snmp_target.h"
#include "support/log_capture.h"

namespace psw {
namespace {

struct Answer {
    std::string source;
    std::string sys_object_id;
};

struct FindScript {
    std::vector<Answer> answers;
    Result create_failure = PSW_SUCCESS;
    Result send_failure = PSW_SUCCESS;
    Result init_failure = PSW_SUCCESS;
    int32_t parsed_protocol = 1;
    Result parse_failure = PSW_SUCCESS;

    // Observations.
    std::string parsed;
    std::string community;
    bool community_set = false;
    std::string destination;
    int32_t protocol = 0;
    uint16_t port = 0;
    int32_t security_mode = 0;
    std::string user_name;
    int32_t timeout = 0;
    int32_t retries = 0;
    uint32_t max_message_size = 99;
    std::vector<std::string> oids;
    int sends = 0;
    bool released = false;
};

FindScript* g_find = nullptr;

class FakeFindDevice final : public IPmcFindDeviceSnmp {
public:
    void release() noexcept override
    {
        g_find->released = true;
        delete this;
    }
    Result set_community(const char* community) noexcept override
    {
        g_find->community_set = true;
        g_find->community = community;
        return PSW_SUCCESS;
    }
    Result init(const char* address, int32_t protocol, uint16_t port, int32_t security_mode,
                const PmcUsmValues& usm, int32_t timeout, int32_t retries,
                uint32_t max_message_size) noexcept override
    {
        g_find->destination = address;
        g_find->protocol = protocol;
        g_find->port = port;
        g_find->security_mode = security_mode;
        g_find->user_name = usm.user_name;
        g_find->timeout = timeout;
        g_find->retries = retries;
        g_find->max_message_size = max_message_size;
        return g_find->init_failure;
    }
    Result add_oid_string(const char* oid) noexcept override
    {
        g_find->oids.push_back(oid);
        return PSW_SUCCESS;
    }
    Result send_broad_cast(IPmsSnmpPacketList** answers) noexcept override
    {
        ++g_find->sends;
        if (g_find->send_failure != PSW_SUCCESS) {
            return g_find->send_failure;
        }
        IPmsSnmpPacketList* list = create_packet_list(nullptr);
        for (const Answer& answer : g_find->answers) {
            IPmsSnmpPacket* packet = create_packet(nullptr);
            IPmsPdu* pdu = create_pdu(nullptr);
            pdu->set_type(kPmsResponse);
            pdu->add(create_oid_from_text("1.3.6.1.2.1.1.2.0"),
                     create_value_from_text(answer.sys_object_id.c_str(), kPmsObjectId));
            packet->set_pdu(pdu);
            IPmsSnmpTarget* target = create_community_target(nullptr);
            OwnedPtr<IPmcNetworkAddress> source(
                create_address(answer.source.c_str(), 161, nullptr));
            EXPECT_NE(source, nullptr) << answer.source;
            target->set_address(source.get());
            packet->set_target(target);
            list->push_back(packet);
        }
        *answers = list;
        return PSW_SUCCESS;
    }
    Result protocol_of(const char* address, int32_t* protocol) noexcept override
    {
        g_find->parsed = address;
        *protocol = g_find->parsed_protocol;
        return g_find->parse_failure;
    }
};

IPmcFindDeviceSnmp* fake_create_find(Result* result) noexcept
{
    if (g_find->create_failure != PSW_SUCCESS) {
        set_result(result, g_find->create_failure);
        return nullptr;
    }
    set_result(result, PSW_SUCCESS);
    return new FakeFindDevice();
}

constexpr char kModel[] = "1.3.6.1.4.1.297.1.11.93.1.35.27.1";

class DiscoveryRequestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_find = &script;
        usm.reset(pmc_create_plugin_usm(nullptr));
        PSWUSMSettings zero;
        std::memset(&zero, 0, sizeof zero);
        usm->set_settings(0, zero);
        registry = pmc_log_registry(nullptr);
        registry->reset();
        log = &test::LogCapture::attach("PSW");
        registry->get_logger("PSW", nullptr)->set_flags(0);
    }
    void TearDown() override
    {
        registry->reset();
        g_find = nullptr;
    }

    Result discover(const char* address, int32_t protocol, int32_t* count)
    {
        const PSWDiscoveryRequest request = {address, protocol, 700, 1};
        return pmc_discover(&finder, usm.get(), request, count, fake_create_find);
    }

    std::vector<PSWFoundDevice> found()
    {
        std::vector<PSWFoundDevice> devices;
        finder.reset_position();
        PSWFoundDevice device;
        while (finder.next(&device)) {
            devices.push_back(device);
        }
        return devices;
    }

    // Whether a captured line ends with the operation text.
    bool logged(const std::string& operation) const { return log->has_line_ending(operation); }

    FindScript script;
    OwnedPtr<IPSWPluginUSM> usm;
    PSWFinder finder;
    CPmcLogRegistry* registry = nullptr;
    test::LogCapture* log = nullptr;
};

TEST_F(DiscoveryRequestTest, DefaultDestinations)
{
    EXPECT_STREQ(pmc_default_discovery_address(1), "255.255.255.255");
    EXPECT_STREQ(pmc_default_discovery_address(2), "255.255.255.255");
    EXPECT_STREQ(pmc_default_discovery_address(4), "ff02::1");
    EXPECT_EQ(pmc_default_discovery_address(3), nullptr);
}

TEST_F(DiscoveryRequestTest, RequestIsSetUpForOneGetOfSysObjectId)
{
    int32_t count = -1;
    ASSERT_EQ(discover(nullptr, 1, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(script.parsed, "255.255.255.255");
    EXPECT_EQ(script.destination, "255.255.255.255");
    EXPECT_EQ(script.protocol, 1);
    EXPECT_EQ(script.port, 161);
    EXPECT_EQ(script.security_mode, 0);
    EXPECT_EQ(script.user_name, "Kolvaner");
    EXPECT_EQ(script.timeout, 700);
    EXPECT_EQ(script.retries, 1);
    EXPECT_EQ(script.max_message_size, 0u);
    EXPECT_FALSE(script.community_set) << "without a find community the request keeps its own";
    EXPECT_EQ(script.oids, std::vector<std::string>{"1.3.6.1.2.1.1.2"});
    EXPECT_EQ(script.sends, 1);
    EXPECT_TRUE(script.released);
}

TEST_F(DiscoveryRequestTest, FindCommunityAndIpxPort)
{
    finder.set_community("finders");
    script.parsed_protocol = 2;
    int32_t count = -1;
    ASSERT_EQ(discover(nullptr, 2, &count), PSW_SUCCESS);
    EXPECT_TRUE(script.community_set);
    EXPECT_EQ(script.community, "finders");
    EXPECT_EQ(script.port, 36879);
}

TEST_F(DiscoveryRequestTest, AddressOfAnotherTransportIsRefused)
{
    script.parsed_protocol = 4;
    int32_t count = -1;
    EXPECT_EQ(discover("ff02::1", 1, &count), PSW_ERR_PARAMETER);
    EXPECT_EQ(script.sends, 0);
    EXPECT_EQ(count, -1);
}

TEST_F(DiscoveryRequestTest, UnparsableAddressReturnsTheParseCode)
{
    script.parse_failure = PSW_ERR_ADDRESS;
    int32_t count = -1;
    EXPECT_EQ(discover("no address", 1, &count), PSW_ERR_ADDRESS);
    EXPECT_EQ(script.sends, 0);
}

TEST_F(DiscoveryRequestTest, KeepsSupportedModelsNewestFirst)
{
    script.answers = {
        {"192.0.2.1", kModel},
        {"192.0.2.2", "1.3.6.1.4.1.297.1.11.93.1.35.27.10"},
        {"192.0.2.3", std::string(kModel) + ".5"},
        {"192.0.2.4", "1.3.6.1.4.1.253.8.62.1"},
    };
    int32_t count = -1;
    ASSERT_EQ(discover(nullptr, 1, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 2);
    const std::vector<PSWFoundDevice> devices = found();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_STREQ(devices[0].address, "192.0.2.3");
    EXPECT_EQ(std::string(devices[0].sys_object_id), std::string(kModel) + ".5");
    EXPECT_STREQ(devices[0].model_name, "Marlowen-K T7150X");
    EXPECT_STREQ(devices[1].address, "192.0.2.1");
    EXPECT_STREQ(devices[1].sys_object_id, kModel);
}

TEST_F(DiscoveryRequestTest, FiltersNarrowTheAnswers)
{
    script.answers = {{"192.0.2.1", kModel}};
    int32_t count = -1;
    ASSERT_EQ(finder.add_filter("1.3.6.1.4.1.253"), PSW_SUCCESS);
    ASSERT_EQ(discover(nullptr, 1, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 0);
    finder.clear_filters();
    ASSERT_EQ(finder.add_filter("1.3.6.1.4.1.297"), PSW_SUCCESS);
    ASSERT_EQ(discover(nullptr, 1, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 1);
}

TEST_F(DiscoveryRequestTest, EachDiscoveryReplacesTheList)
{
    script.answers = {{"192.0.2.1", kModel}, {"192.0.2.2", kModel}};
    int32_t count = -1;
    ASSERT_EQ(discover(nullptr, 1, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 2);
    script.answers = {{"192.0.2.9", kModel}};
    ASSERT_EQ(discover(nullptr, 1, &count), PSW_SUCCESS);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(found().size(), 1u);
    EXPECT_STREQ(found()[0].address, "192.0.2.9");
}

TEST_F(DiscoveryRequestTest, FailuresAreLoggedAndReturned)
{
    int32_t count = -1;
    script.create_failure = PSW_ERR_NO_MEMORY;
    EXPECT_EQ(discover(nullptr, 1, &count), PSW_ERR_NO_MEMORY);
    EXPECT_TRUE(logged("pmc_create_find_device_snmp()"));
    EXPECT_EQ(count, -1);

    script.create_failure = PSW_SUCCESS;
    script.init_failure = PSW_ERR_ADDRESS;
    EXPECT_EQ(discover(nullptr, 1, &count), PSW_ERR_ADDRESS);
    EXPECT_TRUE(logged("m_pFindDeviceSnmp->init()"));

    script.init_failure = PSW_SUCCESS;
    script.answers = {{"192.0.2.1", kModel}};
    ASSERT_EQ(discover(nullptr, 1, &count), PSW_SUCCESS);
    ASSERT_EQ(count, 1);
    script.send_failure = PSW_ERR_SEND;
    EXPECT_EQ(discover(nullptr, 1, &count), PSW_ERR_SEND);
    EXPECT_TRUE(logged("m_pFindDeviceSnmp->send_broad_cast()"));
    EXPECT_EQ(count, 0) << "the count is 0 after a failed exchange";
    EXPECT_EQ(found().size(), 0u) << "and the earlier list is gone";
}

}  // namespace
}  // namespace psw
