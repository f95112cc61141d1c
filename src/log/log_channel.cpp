#include "log/log_channel.h"

#include "log/log_generation.h"
#include "log/log_registry.h"
#include "log/null_logger.h"

namespace psw {

namespace {

CPmcNullLogger g_fallback_logger;

// Built when the library loads and never destroyed by a registry reset.
CPmcLogChannel g_socket_channel("socket");
CPmcLogChannel g_snmp_channel("snmp");

}  // namespace

constinit std::atomic<uint32_t> g_pmc_log_generation{1};

void pmc_log_generation_advance() noexcept
{
    g_pmc_log_generation.fetch_add(1, std::memory_order_acq_rel);
}

IPmcLogger* CPmcLogChannel::fetch_logger(uint32_t generation) noexcept
{
    PmcLockGuard guard(m_lock);
    IPmcLogger* logger = m_logger.load(std::memory_order_acquire);
    if (logger == nullptr || m_generation.load(std::memory_order_acquire) != generation) {
        CPmcLogRegistry* registry = pmc_log_registry(nullptr);
        logger = registry != nullptr ? registry->get_logger(m_name, nullptr) : &g_fallback_logger;
        m_generation.store(generation, std::memory_order_release);
        m_logger.store(logger, std::memory_order_release);
    }
    return logger;
}

CPmcLogChannel& pmc_socket_channel() noexcept
{
    return g_socket_channel;
}

CPmcLogChannel& pmc_snmp_channel() noexcept
{
    return g_snmp_channel;
}

}  // namespace psw
