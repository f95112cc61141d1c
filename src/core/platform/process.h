// Identifiers of the calling process and thread, as written into log lines.
#pragma once

#include <cstdint>

namespace psw {

uint32_t pmc_process_id() noexcept;
uint32_t pmc_thread_id() noexcept;

}  // namespace psw
