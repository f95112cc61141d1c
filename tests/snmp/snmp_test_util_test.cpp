// The SNMP test helpers (compiled into the SNMP test program).
#include "snmp/snmp_test_util.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include <gtest/gtest.h>

#include "snmp/pms_octets.h"
#include "snmp/pms_packet_buffer.h"

namespace psw::test {

namespace {

std::mutex g_lines_lock;
std::vector<std::string> g_lines;
bool g_capturing = false;

class CaptureOutput final : public IPmcLogOutput {
public:
    Result query_interface(PmcInterfaceId, void** out) noexcept override
    {
        if (out != nullptr) {
            *out = nullptr;
        }
        return PSW_ERR_NO_INTERFACE;
    }
    Result query_outer(PmcInterfaceId id, void** out) noexcept override
    {
        return query_interface(id, out);
    }
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    void destroy() noexcept override {}
    const char* type_name() const noexcept override { return "capture"; }
    const char* name() const noexcept override { return "snmp-test-capture"; }
    Result write_line(const char* line) noexcept override
    {
        std::lock_guard<std::mutex> hold(g_lines_lock);
        if (g_capturing) {
            g_lines.emplace_back(line);
        }
        return PSW_SUCCESS;
    }
};

CaptureOutput g_output;

}  // namespace

SnmpLogCapture::SnmpLogCapture()
{
    pmc_snmp_channel().logger()->add_output(&g_output);  // once per name: repeats are no-ops
    pmc_snmp_channel().logger()->set_level_mask(kLogAll);
    std::lock_guard<std::mutex> hold(g_lines_lock);
    g_lines.clear();
    g_capturing = true;
}

SnmpLogCapture::~SnmpLogCapture()
{
    pmc_snmp_channel().logger()->set_level_mask(0);
    std::lock_guard<std::mutex> hold(g_lines_lock);
    g_capturing = false;
    g_lines.clear();
}

const std::vector<std::string>& SnmpLogCapture::lines() const
{
    return g_lines;
}

bool SnmpLogCapture::contains(const std::string& text) const
{
    std::lock_guard<std::mutex> hold(g_lines_lock);
    return std::any_of(g_lines.begin(), g_lines.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

void SnmpLogCapture::clear()
{
    std::lock_guard<std::mutex> hold(g_lines_lock);
    g_lines.clear();
}

TargetPtr make_target(int32_t version, const char* community, size_t max_size)
{
    TargetPtr target(create_community_target());
    target->set_version(version);
    target->set_max_message_size(max_size);
    pms_community_of(target.get())->set_community(community);
    return target;
}

std::string encode_hex(IPmsPdu* pdu, IPmsSnmpTarget* target, uint32_t* count)
{
    PmsPacketBuffer buffer;
    const Result result = pms_packet_coder()->encode(pdu, target, &buffer, count);
    if (result != PSW_SUCCESS) {
        return "error " + std::to_string(result);
    }
    return buffer_hex(buffer);
}

Result decode_hex(const std::string& hex, IPmsPdu* pdu, IPmsSnmpTarget* target)
{
    const std::vector<uint8_t> bytes = hex_bytes(hex);
    PmsPacketBuffer buffer;
    buffer.attach_received(bytes.data(), bytes.size());
    return pms_packet_coder()->decode(&buffer, pdu, target, kPmsTranslateCommunity);
}

std::string text_of(const IPmsValue* value)
{
    if (value == nullptr) {
        return "";
    }
    OwnedPtr<PmsOctets> text(value->to_text());
    return text ? std::string(text->c_str(), text->length()) : std::string("<no text>");
}

TEST(SnmpTestUtil, HexRoundTrip)
{
    EXPECT_EQ(to_hex(hex_bytes("30 0a FF")), "300aff");
}

}  // namespace psw::test
