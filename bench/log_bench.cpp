// What the wire trace costs: a 279-byte datagram traced while nobody listens (one load of the
// snmp logger's live mask, nothing formatted), a filtered-out ordinary log line for comparison
// (a lock and a bit test), and the same datagram written as hex to an output that drops it.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_messages.h"
#include "core/interface_ids.h"
#include "log/log_channel.h"
#include "log/log_registry.h"
#include "log/wire_trace.h"

namespace {

// An output that drops each line: what is measured is the formatting.
class DropOutput final : public psw::IPmcLogOutput {
public:
    psw::Result query_interface(psw::PmcInterfaceId id, void** out) noexcept override
    {
        const psw::PmcInterfaceEntry entries[] = {{psw::kIidPmcLogOutput, this}};
        return psw::pmc_query_table(entries, 1, id, out);
    }
    psw::Result query_outer(psw::PmcInterfaceId id, void** out) noexcept override
    {
        return query_interface(id, out);
    }
    psw::Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
    void destroy() noexcept override {}
    const char* type_name() const noexcept override { return "drop"; }
    const char* name() const noexcept override { return "bench-drop"; }
    psw::Result write_line(const char* line) noexcept override
    {
        benchmark::DoNotOptimize(line);
        return PSW_SUCCESS;
    }
};

DropOutput g_drop;

psw::IPmcLogger* snmp_logger(uint32_t mask)
{
    psw::CPmcLogRegistry* registry = psw::pmc_log_registry(nullptr);
    registry->reset();
    psw::IPmcLogger* logger = registry->get_logger("snmp", nullptr);
    if (mask != 0) {
        logger->add_output(&g_drop);
    }
    logger->set_level_mask(mask);
    return logger;
}

void TraceDatagramNobodyListens(benchmark::State& state)
{
    snmp_logger(0);
    const std::vector<uint8_t> bytes = from_hex(kResponse);
    for (auto _ : state) {
        psw::pmc_trace_datagram("receive from", "192.0.2.10", 161, bytes.data(), bytes.size());
    }
}
BENCHMARK(TraceDatagramNobodyListens);

void FilteredLogLine(benchmark::State& state)
{
    psw::IPmcLogger* logger = snmp_logger(0);
    for (auto _ : state) {
        logger->output(psw::kLogDebug, "[DataGramSocket::send] send packet. port:%d(0x%x)", 161,
                       161);
    }
}
BENCHMARK(FilteredLogLine);

void TraceDatagramWritten(benchmark::State& state)
{
    snmp_logger(psw::kLogDebug);
    const std::vector<uint8_t> bytes = from_hex(kResponse);
    for (auto _ : state) {
        psw::pmc_trace_datagram("receive from", "192.0.2.10", 161, bytes.data(), bytes.size());
    }
    psw::pmc_log_registry(nullptr)->reset();
}
BENCHMARK(TraceDatagramWritten);

}  // namespace

BENCHMARK_MAIN();
