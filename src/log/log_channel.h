// Static log channels: a subsystem's logger fetched once per process and kept.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/platform/lock.h"
#include "log/log_generation.h"
#include "log/log_interfaces.h"

namespace psw {

class CPmcLogChannel {
public:
    explicit constexpr CPmcLogChannel(const char* name) noexcept : m_name(name) {}
    CPmcLogChannel(const CPmcLogChannel&) = delete;
    CPmcLogChannel& operator=(const CPmcLogChannel&) = delete;

    // The channel's logger; never null (the null logger when none can be made).
    // not a transfer: owned by the registry; fetched again after a registry reset
    IPmcLogger* logger() noexcept
    {
        const uint32_t generation = pmc_log_generation();
        IPmcLogger* cached = m_logger.load(std::memory_order_acquire);
        if (cached != nullptr && m_generation.load(std::memory_order_acquire) == generation) {
            return cached;
        }
        return fetch_logger(generation);
    }
    // The logger when a line of `level` would reach an output (IPmcLogger::accepts), else
    // null: written as `if (IPmcLogger* l = channel.listening(level)) l->output(level, ...)`, a
    // line nobody hears costs one test, with neither its arguments nor its text made.
    // not a transfer: as logger()
    IPmcLogger* listening(uint32_t level) noexcept
    {
        IPmcLogger* channel_logger = logger();
        return channel_logger->accepts(level) ? channel_logger : nullptr;
    }
    // not a transfer: the literal given to the constructor
    const char* name() const noexcept { return m_name; }

private:
    // The registry's logger of this name, fetched under the lock and kept with `generation`.
    // not a transfer: as logger()
    IPmcLogger* fetch_logger(uint32_t generation) noexcept;

    const char* m_name;
    // Fetched once and kept; fetched again only after the registry was reset, so a channel
    // never writes through a logger the reset destroyed.
    std::atomic<IPmcLogger*> m_logger{nullptr};
    std::atomic<uint32_t> m_generation{0};
    PmcLock m_lock;
};

// The channel "socket": socket binding, interfaces, datagram socket.
// not a transfer: static channels that live as long as the process
CPmcLogChannel& pmc_socket_channel() noexcept;
// The channel "snmp": codec and sessions.
CPmcLogChannel& pmc_snmp_channel() noexcept;

}  // namespace psw
