// A counter that moves whenever the registry destroys its loggers, so that cached logger
// pointers (the static channels) know to fetch theirs again.
#pragma once

#include <atomic>
#include <cstdint>

namespace psw {

// Starts at 1 so that a channel's initial generation 0 never counts as current. Constant
// initialised, so it is ready before any static channel is used.
extern std::atomic<uint32_t> g_pmc_log_generation;

// Read on every log call of a channel: one load, inline.
inline uint32_t pmc_log_generation() noexcept
{
    return g_pmc_log_generation.load(std::memory_order_acquire);
}
void pmc_log_generation_advance() noexcept;

}  // namespace psw
