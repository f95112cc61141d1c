// The log family's interfaces: loggers, their control and membership parts, outputs and output
// types. Identifiers are in core/interface_ids.h.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "core/interface.h"

namespace psw {

// Level bits. A line is written when its level shares a bit with the logger's mask.
enum PmcLogLevel : uint32_t {
    kLogError = 1,
    kLogWarn = 2,
    kLogInfo = 4,
    kLogDebug = 8,
    kLogTrace = 16,
    kLogAll = 31,
};

// Header flags of a logger.
enum PmcLogFlags : uint32_t {
    kLogFlagTime = 1,
    kLogFlagProcessId = 2,
    kLogFlagThreadId = 4,
};

class IPmcLogOutput : public IPmcInterface {
public:
    // not a transfer: owned by the output (type_name and name)
    virtual const char* type_name() const noexcept = 0;
    virtual const char* name() const noexcept = 0;
    // Writes one finished line (without line end). PSW_SUCCESS, or the output's failure code.
    // borrowed: `line` is valid only during the call
    virtual Result write_line(const char* line) noexcept = 0;

protected:
    ~IPmcLogOutput() = default;
};

class IPmcLogFileOutput : public IPmcLogOutput {
public:
    virtual void set_max_size(uint64_t bytes) noexcept = 0;
    // PSW_ERR_PARAMETER for a null path, else PSW_SUCCESS.
    // borrowed: `path` is copied
    virtual Result set_path(const char* path) noexcept = 0;

protected:
    ~IPmcLogFileOutput() = default;
};

class IPmcLogger : public IPmcInterface {
public:
    // not a transfer: owned by the logger
    virtual const char* name() const noexcept = 0;
    // Attaches an output it does not own; one output per output name. PSW_ERR_PARAMETER for null.
    // not a transfer: `output` must stay alive until it is removed or discarded
    virtual Result add_output(IPmcLogOutput* output) noexcept = 0;
    virtual void set_level_mask(uint32_t mask) noexcept = 0;
    virtual uint32_t get_level_mask() noexcept = 0;
    virtual void set_indent(int32_t count) noexcept = 0;
    virtual int32_t get_indent() noexcept = 0;
    virtual void set_flags(uint32_t flags) noexcept = 0;
    virtual uint32_t get_flags() noexcept = 0;
    // 10 or 16; PSW_ERR_PARAMETER for any other radix.
    virtual Result set_radix(uint32_t radix) noexcept = 0;
    virtual uint32_t get_radix() noexcept = 0;
    // Reserved slot: always PSW_ERR_NOT_FOUND.
    virtual Result reserved() noexcept = 0;
    // borrowed: `format` and its arguments are only read (also output_v)
    // C99 formats on every platform (the Windows build uses mingw's C99 printf family).
    virtual Result output(uint32_t level, const char* format, ...) noexcept
        __attribute__((format(gnu_printf, 3, 4))) = 0;
    virtual Result output_v(uint32_t level, const char* format, va_list arguments) noexcept = 0;

    // Additions after the slots above.
    // True when a line of `level` would reach an output: the level shares a bit with the mask
    // and an output is attached. Takes no lock (one load), so a caller can skip the formatting
    // of an expensive line nobody listens to; a change made on another thread at the same
    // moment may be seen one line late.
    virtual bool accepts(uint32_t level) noexcept = 0;
    // Detaches the output named `output_name`; 0 whether or not it was attached, PSW_ERR_PARAMETER
    // for null. Once it returns, no line of this logger is written to that output any more.
    // not a transfer: the detached output stays its owner's
    virtual Result remove_output(const char* output_name) noexcept = 0;

protected:
    ~IPmcLogger() = default;
};

class IPmcLoggerControl {
public:
    virtual void destroy() noexcept = 0;
    // Back to the defaults: no outputs, mask 0, indent 0, flags 7, radix 10.
    virtual void reset() noexcept = 0;

protected:
    ~IPmcLoggerControl() = default;
};

class IPmcLoggerGroup {
public:
    // Makes `logger` a member: it takes the master's settings and outputs and follows changes.
    // not a transfer: `logger` stays its owner's (the registry)
    virtual Result register_member(IPmcLogger* logger) noexcept = 0;
    // Returns the removed logger, or null when it was not a member.
    // not a transfer: the result is `logger` itself, still its owner's
    virtual IPmcLogger* unregister_member(IPmcLogger* logger) noexcept = 0;

protected:
    ~IPmcLoggerGroup() = default;
};

// Options read by the "file" output type: only has_key and value_of are used.
class IPmcKeyValueSet {
public:
    // borrowed: `key` is only read
    virtual bool has_key(const char* key) const noexcept = 0;
    // not a transfer: owned by the set
    virtual const char* value_of(const char* key) const noexcept = 0;

protected:
    ~IPmcKeyValueSet() = default;
};

// A kind of output, registered with the registry by its type name.
class IPmcLogOutputType {
public:
    virtual ~IPmcLogOutputType() = default;
    // not a transfer: owned by the type
    virtual const char* type_name() const noexcept = 0;
    // A new output owned by the caller, the type's static null output for a null name, or null
    // when memory runs out.
    // the caller owns a new result (destroy()); `options` is only read
    virtual IPmcLogOutput* create(const char* output_name,
                                  const IPmcKeyValueSet* options) noexcept = 0;
};

}  // namespace psw
