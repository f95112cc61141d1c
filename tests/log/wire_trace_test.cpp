// The wire trace: datagrams as hex lines that stay inside a log line and join back to the
// bytes, written only when someone listens at Debug on "snmp".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/capture_output.h"
#include "log/log_registry.h"
#include "log/wire_trace.h"
#include "support/wire_trace_lines.h"

namespace psw {
namespace {

using test::CaptureOutput;

class WireTrace : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry = pmc_log_registry(nullptr);
        ASSERT_NE(registry, nullptr);
        registry->reset();
        snmp = registry->get_logger("snmp", nullptr);
        snmp->add_output(&capture);
    }
    void TearDown() override { registry->reset(); }

    CPmcLogRegistry* registry = nullptr;
    IPmcLogger* snmp = nullptr;
    CaptureOutput capture;
};

TEST_F(WireTrace, LongDatagramsSplitIntoBoundedLinesThatJoinBack)
{
    snmp->set_level_mask(kLogDebug);
    struct Case {
        size_t length;
        size_t lines;
    };
    // Around the 256-byte line boundary, an empty datagram, and the largest UDP payload.
    const Case cases[] = {{0, 1}, {1, 1}, {255, 1}, {256, 1}, {257, 2}, {1500, 6}, {65507, 256}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        capture.lines.clear();
        std::vector<uint8_t> bytes(c.length);
        for (size_t i = 0; i < c.length; ++i) {
            bytes[i] = static_cast<uint8_t>(i * 31 + 7);
        }
        pmc_trace_datagram("receive from", "fd77::2", 161, bytes.data(), bytes.size());
        ASSERT_EQ(capture.lines.size(), c.lines);
        for (const std::string& line : capture.lines) {
            EXPECT_LT(line.size(), 1024u) << line;  // never cut by the facility
            EXPECT_NE(line.find(", Debug, receive from fd77::2 port 161, "), std::string::npos)
                << line;
        }
        const auto datagrams = test::traced_datagrams(capture.lines);
        ASSERT_EQ(datagrams.size(), 1u);
        EXPECT_EQ(datagrams[0].length, c.length);
        EXPECT_EQ(datagrams[0].hex, test::hex_of(bytes.data(), bytes.size()));
        EXPECT_EQ(datagrams[0].lines, c.lines);
    }
}

TEST_F(WireTrace, WrittenOnlyAtDebugWithAnOutput)
{
    const uint8_t bytes[] = {0x30, 0x00};
    struct Case {
        uint32_t mask;
        bool output;
        size_t lines;
    };
    const Case cases[] = {
        {0, true, 0},
        {kLogAll & ~kLogDebug, true, 0},
        {kLogDebug, false, 0},
        {kLogDebug, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mask " << c.mask << " output " << c.output);
        capture.lines.clear();
        registry->discard_output(capture.name());
        if (c.output) {
            snmp->add_output(&capture);
        }
        snmp->set_level_mask(c.mask);
        EXPECT_EQ(snmp->accepts(kLogDebug), c.lines != 0);
        pmc_trace_datagram("send to", "127.0.0.2", 161, bytes, sizeof bytes);
        EXPECT_EQ(capture.lines.size(), c.lines);
    }
    ASSERT_EQ(capture.lines.size(), 1u);
    EXPECT_NE(capture.lines[0].find("send to 127.0.0.2 port 161, 2 bytes, at 0: 3000"),
              std::string::npos)
        << capture.lines[0];
}

}  // namespace
}  // namespace psw
