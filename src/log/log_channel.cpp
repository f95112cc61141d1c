#include "log/log_channel.h"

#include "log/log_generation.h"
#include "log/log_registry.h"
#include "log/null_logger.h"

namespace psw {

namespace {

// Starts at 1 so that a channel's initial generation 0 never counts as current.
std::atomic<uint32_t> g_generation{1};

CPmcNullLogger g_fallback_logger;

// Built when the library loads and never destroyed by a registry reset.
CPmcLogChannel g_socket_channel("socket");
CPmcLogChannel g_snmp_channel("snmp");

}  // namespace

uint32_t pmc_log_generation() noexcept
{
    return g_generation.load(std::memory_order_acquire);
}

void pmc_log_generation_advance() noexcept
{
    g_generation.fetch_add(1, std::memory_order_acq_rel);
}

IPmcLogger* CPmcLogChannel::logger() noexcept
{
    const uint32_t generation = pmc_log_generation();
    IPmcLogger* logger = m_logger.load(std::memory_order_acquire);
    if (logger != nullptr && m_generation.load(std::memory_order_acquire) == generation) {
        return logger;
    }
    PmcLockGuard guard(m_lock);
    logger = m_logger.load(std::memory_order_acquire);
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
