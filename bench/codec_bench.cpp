// Encode a GetRequest of 10 bindings and decode a Response of 10 mixed bindings, ours beside
// libsnmp on the same bytes. The counter "allocs" is heap allocations per iteration.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/factory.h"
#include "snmp/pms_packet_coder.h"

#ifdef PSW_BENCH_NETSNMP
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#endif

namespace {

std::atomic<uint64_t> g_allocations{0};

const char kGet[] =
    "3081c702010004067075626c6963a081b90204123456780201000201003081aa300f060b2b060102012b0802"
    "0102010500300f060b2b060102012b08020103010500300f060b2b060102012b08020104010500300f060b2b"
    "060102012b08020105010500300f060b2b060102012b08020106010500300f060b2b060102012b0802010701"
    "0500300f060b2b060102012b08020108010500300f060b2b060102012b08020109010500300f060b2b060102"
    "012b0802010a010500300f060b2b060102012b0802010b010500";
const char kResponse[] =
    "3082011302010004067075626c6963a28201040204123456780201000201003081f53010060b2b060102012b08"
    "0201020102012a302f060b2b060102012b080201030104204142434445464748494a4b4c4d4e4f50515253545556"
    "5758595a303132333435301a060b2b060102012b0802010401060b2b060104018f650a0103013012060b2b0601"
    "02012b0802010501410301e2403012060b2b060102012b080201060143030f12063014060b2b060102012b0802"
    "010701420500ee6b28003010060b2b060102012b08020108010201fb3015060b2b060102012b08020109010406"
    "5472617920313013060b2b060102012b0802010a0140040a0102033018060b2b060102012b0802010b0106092b"
    "0601020119030105";

std::vector<uint8_t> from_hex(const char* hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoul(std::string(hex + i, 2), nullptr, 16)));
    }
    return bytes;
}

void report(benchmark::State& state, uint64_t allocations)
{
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations());
}

void PswEncodeGet(benchmark::State& state)
{
    using namespace psw;
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    pdu->set_type(kPmsGetRequest);
    pdu->set_request_id(0x12345678);
    for (int column = 2; column <= 11; ++column) {
        const std::string name = "1.3.6.1.2.1.43.8.2.1." + std::to_string(column) + ".1";
        pdu->add(create_oid_from_text(name.c_str()), nullptr);
    }
    OwnedPtr<IPmsSnmpTarget> target(create_community_target());
    target->set_version(0);
    target->set_max_message_size(1472);
    pms_community_of(target.get())->set_community("public");
    PmsPacketBuffer buffer;
    const auto expected = from_hex(kGet);
    pms_packet_coder()->encode(pdu.get(), target.get(), &buffer, nullptr);
    if (buffer.data_length() != expected.size() ||
        std::memcmp(buffer.data(), expected.data(), expected.size()) != 0) {
        state.SkipWithError("encoding differs from the reference message");
        return;
    }
    const uint64_t before = g_allocations;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pms_packet_coder()->encode(pdu.get(), target.get(), &buffer, nullptr));
    }
    report(state, g_allocations - before);
}
BENCHMARK(PswEncodeGet);

void PswDecodeResponse(benchmark::State& state)
{
    using namespace psw;
    const auto message = from_hex(kResponse);
    PmsPacketBuffer buffer;
    buffer.attach_received(message.data(), message.size());
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    OwnedPtr<IPmsSnmpTarget> target(create_community_target());
    if (pms_packet_coder()->decode(&buffer, pdu.get(), target.get(), 0) != PSW_SUCCESS) {
        state.SkipWithError("decode failed");
        return;
    }
    const uint64_t before = g_allocations;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pms_packet_coder()->decode(&buffer, pdu.get(), target.get(), 0));
    }
    report(state, g_allocations - before);
}
BENCHMARK(PswDecodeResponse);

#ifdef PSW_BENCH_NETSNMP
void init_netsnmp()
{
    static bool done = [] {
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, 1);
        setenv("MIBS", "", 1);
        init_snmp("psw_bench");
        return true;
    }();
    (void)done;
}

void NetSnmpEncodeGet(benchmark::State& state)
{
    init_netsnmp();
    netsnmp_session session;
    snmp_sess_init(&session);
    session.version = SNMP_VERSION_1;
    static char community[] = "public";
    session.community = reinterpret_cast<u_char*>(community);
    session.community_len = 6;
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
    pdu->reqid = 0x12345678;
    pdu->version = SNMP_VERSION_1;
    for (int column = 2; column <= 11; ++column) {
        oid name[] = {1, 3, 6, 1, 2, 1, 43, 8, 2, 1, static_cast<oid>(column), 1};
        snmp_add_null_var(pdu, name, 12);
    }
    std::vector<u_char> storage(1472);
    const auto expected = from_hex(kGet);
    {
        u_char* packet = storage.data();
        size_t length = storage.size();
        size_t offset = 0;
        if (snmp_build(&packet, &length, &offset, &session, pdu) != 0 || offset != expected.size() ||
            std::memcmp(packet + length - offset, expected.data(), offset) != 0) {
            state.SkipWithError("libsnmp encoding differs from the reference message");
        }
    }
    const uint64_t before = g_allocations;
    for (auto _ : state) {
        u_char* packet = storage.data();
        size_t length = storage.size();
        size_t offset = 0;
        benchmark::DoNotOptimize(snmp_build(&packet, &length, &offset, &session, pdu));
    }
    report(state, g_allocations - before);
    snmp_free_pdu(pdu);
}
BENCHMARK(NetSnmpEncodeGet);

void NetSnmpDecodeResponse(benchmark::State& state)
{
    init_netsnmp();
    auto message = from_hex(kResponse);
    const uint64_t before = g_allocations;
    for (auto _ : state) {
        u_char community[128];
        size_t community_len = sizeof(community);
        long version = 0;
        size_t length = message.size();
        u_char* data = snmp_comstr_parse(message.data(), &length, community, &community_len, &version);
        netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_RESPONSE);
        pdu->version = version;
        const int parsed = data != nullptr ? snmp_pdu_parse(pdu, data, &length) : -1;
        if (parsed != 0 || pdu->variables == nullptr) {
            state.SkipWithError("libsnmp could not parse the response");
        }
        snmp_free_pdu(pdu);
    }
    report(state, g_allocations - before);
}
BENCHMARK(NetSnmpDecodeResponse);
#endif

}  // namespace

// Counts every allocation of the process; libsnmp allocates with malloc, which is not counted
// here, so its "allocs" column stays 0 — see BENCHMARKS.md.
void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

BENCHMARK_MAIN();
