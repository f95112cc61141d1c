// Single reads through a get-data request that log their failing operation under "PSW" at
// level 1, as every device query and option refresh does.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"

namespace psw {

class IPmcGetData;

// Adds `oid` (".0" appended when `instance`) and reads it as text into `field` (cut to
// size - 1, terminated). An object the agent lacks reads as the empty text.
// borrowed: `request` stays the caller's; `field` is the caller's buffer
Result pmc_logged_read_text(IPmcGetData* request, const char* oid, bool instance, char* field,
                            size_t size) noexcept;

// The same read as a signed integer (-1 when it is no INTEGER or the agent lacks it).
// borrowed: `request` stays the caller's
Result pmc_logged_read_int(IPmcGetData* request, const char* oid, bool instance,
                           int32_t* value) noexcept;

// Adds `oid` to the request, logging a failure.
// borrowed: `request` stays the caller's; `oid` is copied
Result pmc_logged_add_oid(IPmcGetData* request, const char* oid, bool instance) noexcept;

}  // namespace psw
