// The process-wide log registry: owns every logger and every output made through it.
//
// The library only writes lines; a host switches logging on through these operations, for
// example:
//   auto* registry = psw::pmc_log_registry(nullptr);
//   auto* master = registry->get_logger("All", nullptr);
//   master->add_output(registry->get_output("stdout", "console"));
//   master->set_level_mask(psw::kLogAll);
#pragma once

#include <cstdarg>

#include "log/log_interfaces.h"

namespace psw {

class CPmcLogRegistry {
public:
    // not a transfer: owned by the registry until reset(); `first_output` stays its owner's
    virtual IPmcLogger* create_logger(const char* name, IPmcLogOutput* first_output,
                                      Result* result) noexcept = 0;
    // not a transfer: a part of a registry-owned logger, valid until reset()
    virtual IPmcLoggerGroup* find_logger_group(const char* name, Result* result) noexcept = 0;
    // not a transfer: owned by the registry (or the static null logger) until reset()
    virtual IPmcLogger* get_logger(const char* name, Result* result) noexcept = 0;
    // not a transfer: as find_logger_group()
    virtual IPmcLoggerGroup* find_logger_group_again(const char* name, Result* result) noexcept = 0;
    // not a transfer: owned by the registry (or a static null output) until reset()
    virtual IPmcLogOutput* get_output(const char* type_name, const char* output_name) noexcept = 0;
    // not a transfer: owned by the registry or static; never destroy it
    virtual IPmcLogOutput* find_output(const char* output_name, Result* result) noexcept = 0;
    // Takes ownership of `type`.
    // takes ownership of `type`; it is deleted when it cannot be kept
    virtual Result register_output_type(IPmcLogOutputType* type) noexcept = 0;
    virtual void reset() noexcept = 0;
    // Addition after the slots above: detaches the output named `output_name` from the master and
    // every logger and, when the registry made it (get_output), destroys it, closing its file. 0
    // whether or not such an output exists; PSW_ERR_PARAMETER for a null name. An output the caller
    // owns is only detached.
    virtual Result discard_output(const char* output_name) noexcept = 0;

protected:
    ~CPmcLogRegistry() = default;
};

// The registry, built on first use; writes PSW_SUCCESS to `result`. Null (with
// PSW_ERR_NO_MEMORY) only when memory runs out while building it.
// not a transfer: process-wide, destroyed at exit
CPmcLogRegistry* pmc_log_registry(Result* result) noexcept;

// Writes one line through the logger `name` (created on first use). Call sites often pass the
// failing operation's name as the format and its code as an extra argument the format does not
// print, so the format is deliberately not checked against the arguments.
// borrowed: `name` and `format` are only read
Result pmc_log(const char* name, uint32_t level, const char* format, ...) noexcept;

// The static null outputs.
// not a transfer: static objects (both null outputs); destroy() does nothing
IPmcLogOutput* pmc_null_standard_output() noexcept;
// not a transfer: a static object; destroy() does nothing
IPmcLogFileOutput* pmc_null_file_output() noexcept;

}  // namespace psw
