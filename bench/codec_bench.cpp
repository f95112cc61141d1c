// Encode a GetRequest of 10 bindings and decode a Response of 10 mixed bindings, ours beside
// libsnmp on the same bytes. The counter "allocs" is heap allocations per iteration.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "bench_messages.h"
#include "core/factory.h"
#include "snmp/pms_packet_coder.h"

#ifdef PSW_BENCH_NETSNMP
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#endif

namespace {

std::atomic<uint64_t> g_allocations{0};

void report(benchmark::State& state, uint64_t allocations)
{
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations());
}

void PswEncodeGet(benchmark::State& state)
{
    using namespace psw;
    OwnedPtr<IPmsPdu> pdu = make_get_request();
    OwnedPtr<IPmsSnmpTarget> target = make_get_target();
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
        benchmark::DoNotOptimize(
            pms_packet_coder()->encode(pdu.get(), target.get(), &buffer, nullptr));
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

// The same Response alternating with one whose ten names end in .2 instead of .1, so that no
// decode finds the names it already holds: every name's text is written each time.
void PswDecodeResponseNewNames(benchmark::State& state)
{
    using namespace psw;
    AlternatingResponses responses;
    PmsPacketBuffer* buffers = responses.buffers;
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    OwnedPtr<IPmsSnmpTarget> target(create_community_target());
    if (pms_packet_coder()->decode(&buffers[1], pdu.get(), target.get(), 0) != PSW_SUCCESS ||
        std::strcmp(pdu->bindings()->at(9)->name()->text(), "1.3.6.1.2.1.43.8.2.1.11.2") != 0) {
        state.SkipWithError("decode failed");
        return;
    }
    const uint64_t before = g_allocations;
    size_t turn = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            pms_packet_coder()->decode(&buffers[turn], pdu.get(), target.get(), 0));
        turn ^= 1;
    }
    report(state, g_allocations - before);
}
BENCHMARK(PswDecodeResponseNewNames);

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
        if (snmp_build(&packet, &length, &offset, &session, pdu) != 0 ||
            offset != expected.size() ||
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
        u_char* data =
            snmp_comstr_parse(message.data(), &length, community, &community_len, &version);
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
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

BENCHMARK_MAIN();
