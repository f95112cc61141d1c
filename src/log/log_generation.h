// A counter that moves whenever the registry destroys its loggers, so that cached logger
// pointers (the static channels) know to fetch theirs again.
#pragma once

#include <cstdint>

namespace psw {

uint32_t pmc_log_generation() noexcept;
void pmc_log_generation_advance() noexcept;

}  // namespace psw
