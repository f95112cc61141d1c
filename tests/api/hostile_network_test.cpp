// The exported calls against a device that misbehaves on purpose (support/hostile_agent.h):
// walks end, refused writes and reads are reported, replies come only from the address asked,
// and discovery keeps only real answers.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "psw/psw.h"
#include "support/hostile_agent.h"
#include "support/loopback_pool.h"
#include "support/peer_requirements.h"

namespace psw::test {
namespace {

using Mode = HostileAgent::Mode;

// Generous: the endless walk makes 65,536 exchanges, and one late reply must not end it.
constexpr uint32_t kTimeout = 1000;
constexpr uint32_t kRetries = 1;
constexpr char kStorageEntry[] = "1.3.6.1.2.1.25.2.3.1";
constexpr char kLocalization[] = "1.3.6.1.2.1.43.5.1.1.2.1";
constexpr char kCharSet[] = "1.3.6.1.2.1.43.7.1.1.4.1.1";
constexpr char kJobId[] = "1234";

class HostileNetworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PSW_REQUIRE_PEERS(Peer::root);
        std::string error;
        lease = LoopbackLease::acquire(161, &error);
        ASSERT_TRUE(lease) << error;
        ASSERT_TRUE(agent.start(lease->address(), lease->port()));
        agent.set("1.3.6.1.2.1.1.2.0", HostileAgent::oid("1.3.6.1.4.1.297.1.11.93.1.35.27.1"));
        // hrStorageType, hrStorageDescr as texts; allocation units and size as numbers.
        agent.add_table(kStorageEntry, {4, 5}, {2, 3}, 3);
        ASSERT_EQ(PSWInit(&handle), PSW_SUCCESS);
    }
    void TearDown() override
    {
        if (handle != nullptr) {
            PSWUnInit(handle);
        }
    }

    int32_t init_device()
    {
        return PSWInitDevice(handle, lease->address().c_str(), PSW_TRANSPORT_UDP_IPV4, kTimeout,
                             kRetries);
    }
    int32_t count_storage(int32_t* count) { return PSWGetNumberOfStorageInfo(handle, count); }

    std::optional<LoopbackLease> lease;
    HostileAgent agent;
    PSWHandle handle = nullptr;
};

// Every table below is a list of named cases: gtest prints a case by its name, not as bytes
// whose padding is never written, and names the test after it.
template <class Case>
requires requires(const Case& c)
{
    c.name;
}
void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}
constexpr auto kCaseName = [](const auto& instance) { return std::string(instance.param.name); };

template <class Case>
class HostileCaseTest : public HostileNetworkTest, public ::testing::WithParamInterface<Case> {
};

// Tables that never end: the walk stops at its row limit, or when a name grows past the SNMP
// limit (the reply is then malformed and dropped, so the printer is silent for the walk).
struct WalkCase {
    const char* name;
    Mode mode;
    int32_t expected;
};
using EndlessWalkTest = HostileCaseTest<WalkCase>;

TEST_P(EndlessWalkTest, StopsWithADocumentedError)
{
    ASSERT_EQ(init_device(), PSW_SUCCESS);
    agent.set_fault({GetParam().mode, 0, kStorageEntry});
    int32_t count = -1;
    EXPECT_EQ(count_storage(&count), GetParam().expected);
    EXPECT_EQ(count, -1) << "no count after a failed walk";
    // Every row was one exchange: the limit, not the agent, ended the walk.
    if (GetParam().mode == Mode::endless_table) {
        EXPECT_GE(agent.requests(), static_cast<size_t>(PSW_WALK_MAX_ROWS));
    } else {
        EXPECT_LT(agent.requests(), static_cast<size_t>(PSW_OID_MAX_SUB_IDS));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, EndlessWalkTest,
    ::testing::Values(WalkCase{"EndlessTable", Mode::endless_table, PSW_ERR_WALK_LIMIT},
                      WalkCase{"GrowingNames", Mode::growing_names, PSW_ERR_TIMEOUT}),
    kCaseName);

// Every call honours error-status. A write is done only when the printer answers noError; a
// refused read fails the option refresh, but noSuchName still reads as absent objects, which
// a refresh accepts.
struct ErrorStatusCase {
    const char* name;
    int32_t (*call)(PSWHandle handle);
    int32_t error_status;
    int32_t expected;
};
using ErrorStatusTest = HostileCaseTest<ErrorStatusCase>;

TEST_P(ErrorStatusTest, TheCallReportsTheStatus)
{
    ASSERT_EQ(init_device(), PSW_SUCCESS);
    agent.set_fault({Mode::error_status, GetParam().error_status, ""});
    EXPECT_EQ(GetParam().call(handle), GetParam().expected);
}

int32_t cancel_job(PSWHandle handle)
{
    return PSWCancelJob(handle, kJobId);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, ErrorStatusTest,
    ::testing::Values(
        ErrorStatusCase{"CancelNoError", cancel_job, 0, PSW_SUCCESS},
        ErrorStatusCase{"CancelNoSuchName", cancel_job, 2, PSW_ERR_TOO_LONG},
        ErrorStatusCase{"CancelReadOnly", cancel_job, 4, PSW_ERR_TOO_LONG},
        ErrorStatusCase{"CancelGenErr", cancel_job, 5, PSW_ERR_TOO_LONG},
        ErrorStatusCase{"CancelNoAccess", cancel_job, 6, PSW_ERR_TOO_LONG},
        ErrorStatusCase{"CancelAuthorizationError", cancel_job, 16, PSW_ERR_TOO_LONG},
        ErrorStatusCase{"CancelNotWritable", cancel_job, 17, PSW_ERR_TOO_LONG},
        ErrorStatusCase{"RefreshGenErr", PSWRefreshOptions, 5, PSW_ERR_ERROR_STATUS},
        ErrorStatusCase{"RefreshNoAccess", PSWRefreshOptions, 6, PSW_ERR_ERROR_STATUS},
        ErrorStatusCase{"RefreshNoSuchNameReadsAsAbsent", PSWRefreshOptions, 2, PSW_SUCCESS}),
    kCaseName);

// The localization column is an index: anything else is the printer's fault, not the caller's.
struct CharSetCase {
    const char* name;
    HostileAgent::Value localization;
    int32_t expected;
};
using CharSetDataTest = HostileCaseTest<CharSetCase>;
TEST_P(CharSetDataTest, BadLocalizationIsBadData)
{
    agent.set(kLocalization, GetParam().localization);
    agent.set(kCharSet, HostileAgent::integer(106));
    ASSERT_EQ(init_device(), PSW_SUCCESS);
    int32_t set = -1;
    EXPECT_EQ(PSWGetCharSet(handle, PSW_CHARSET_STANDARD, &set), GetParam().expected);
    EXPECT_EQ(set, GetParam().expected == PSW_SUCCESS ? 106 : -1);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, CharSetDataTest,
    ::testing::Values(CharSetCase{"Index", HostileAgent::integer(1), PSW_SUCCESS},
                      CharSetCase{"Negative", HostileAgent::integer(-3), PSW_ERR_BAD_DATA},
                      CharSetCase{"Text", HostileAgent::text("one"), PSW_ERR_BAD_DATA}),
    kCaseName);

// Replies that are no answer from the address asked are dropped: a spoofed reply from another
// port or host changes nothing, and the session keeps talking to the printer only.
struct ReplyCase {
    const char* name;
    Mode mode;
    int32_t expected;
};

using ForeignReplyTest = HostileCaseTest<ReplyCase>;

TEST_P(ForeignReplyTest, OnlyTheAddressAskedAnswers)
{
    ASSERT_EQ(init_device(), PSW_SUCCESS);
    agent.set_fault({GetParam().mode, 0, ""});
    int32_t count = -1;
    ASSERT_EQ(count_storage(&count), GetParam().expected);
    if (GetParam().expected == PSW_SUCCESS) {
        ASSERT_EQ(count, 3);
        PSWStorageInfo record{};
        ASSERT_EQ(PSWGetStorageInfo(handle, 2, &record), PSW_SUCCESS);
        EXPECT_EQ(record.allocation_units, 3) << "a spoofed value was taken";
    }
    // Then a normal phase: the walk still goes to the printer's own address and port.
    agent.set_fault({});
    const size_t before = agent.requests();
    ASSERT_EQ(count_storage(&count), PSW_SUCCESS);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(agent.requests() - before, 4u) << "three rows and the end of the table";
    EXPECT_EQ(agent.requests_to_spoofer(), 0u) << "the session followed a stranger";
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, ForeignReplyTest,
    ::testing::Values(ReplyCase{"OtherPort", Mode::spoof_other_port, PSW_SUCCESS},
                      ReplyCase{"OtherHost", Mode::spoof_other_host, PSW_SUCCESS},
                      ReplyCase{"WrongRequestId", Mode::wrong_request_id, PSW_ERR_TIMEOUT},
                      ReplyCase{"ReflectedRequest", Mode::reflect_request, PSW_ERR_TIMEOUT}),
    kCaseName);

// Discovery lists only printers whose reply is a Response to its request with error-status 0.
struct DiscoveryCase {
    const char* name;
    Mode mode;
    int32_t error_status;
    int32_t found;
};

using DiscoveryAnswerTest = HostileCaseTest<DiscoveryCase>;

TEST_P(DiscoveryAnswerTest, KeepsOnlyRealAnswers)
{
    agent.set_fault({GetParam().mode, GetParam().error_status, ""});
    int32_t count = -1;
    ASSERT_EQ(PSWFindDeviceSNMP(handle, lease->address().c_str(), PSW_TRANSPORT_UDP_IPV4, kTimeout,
                                0, &count),
              PSW_SUCCESS);
    EXPECT_EQ(count, GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, DiscoveryAnswerTest,
    ::testing::Values(DiscoveryCase{"Answer", Mode::normal, 0, 1},
                      DiscoveryCase{"WrongRequestId", Mode::wrong_request_id, 0, 0},
                      DiscoveryCase{"TooBig", Mode::error_status, 1, 0},
                      DiscoveryCase{"GenErr", Mode::error_status, 5, 0},
                      DiscoveryCase{"ReflectedRequest", Mode::reflect_request, 0, 0}),
    kCaseName);

}  // namespace
}  // namespace psw::test
