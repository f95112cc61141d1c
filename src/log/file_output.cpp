// Lines to a size-limited log file that is rotated to "<path>.bak" when it would overflow.
#include <cstring>

#include "core/pmc_string.h"
#include "core/platform/file.h"
#include "core/platform/lock.h"
#include "log/log_output_base.h"
#include "log/log_outputs.h"
#include "log/log_registry.h"

namespace psw {

namespace {

class CPmcFileOutput final : public CPmcLogOutputBase<IPmcLogFileOutput> {
public:
    ~CPmcFileOutput() { pmc_file_close(m_file); }

    void destroy() noexcept override { delete this; }

    const char* type_name() const noexcept override { return "file"; }
    const char* name() const noexcept override { return m_name.c_str(); }

    void set_max_size(uint64_t bytes) noexcept override
    {
        PmcLockGuard guard(m_lock);
        m_max_size = bytes;
    }

    Result set_path(const char* path) noexcept override
    {
        if (path == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        PmcLockGuard guard(m_lock);
        // A new path takes effect at the next line.
        pmc_file_close(m_file);
        m_file = nullptr;
        m_path.assign(path);
        return PSW_SUCCESS;
    }

    Result write_line(const char* line) noexcept override
    {
        PmcLockGuard guard(m_lock);
        if (m_file == nullptr) {
            m_file = pmc_file_open(m_path.c_str(), false);
            if (m_file == nullptr) {
                return PSW_ERR_NOT_AVAILABLE;
            }
            m_size = pmc_file_size(m_file);
        }
        const size_t length = std::strlen(line);
        // Counted as written in text mode on the platform with two-byte line ends, so the limit
        // means the same everywhere.
        const uint64_t needed = length + 2;
        if (needed > m_max_size) {
            return PSW_ERR_TOO_LONG;
        }
        if (m_size + needed > m_max_size) {
            pmc_file_close(m_file);
            m_file = nullptr;
            rotate();
            m_file = pmc_file_open(m_path.c_str(), true);
            if (m_file == nullptr) {
                return PSW_ERR_NOT_AVAILABLE;
            }
            m_size = 0;
        }
        pmc_file_write(m_file, line, length);
        pmc_file_write(m_file, "\n", 1);
        m_size += needed;
        return PSW_SUCCESS;
    }

    CPmcString m_name;

private:
    void rotate() noexcept
    {
        const char* path = m_path.c_str();
        if (!pmc_file_exists(path)) {
            return;
        }
        CPmcString backup(path);
        backup.append(".bak");
        if (pmc_file_exists(backup.c_str())) {
            pmc_file_remove(backup.c_str());
        }
        pmc_file_rename(path, backup.c_str());
    }

    CPmcString m_path;
    uint64_t m_max_size = kLogFileDefaultMaxSize;
    uint64_t m_size = 0;
    PmcFile* m_file = nullptr;
    PmcLock m_lock;
};

class CPmcFileOutputType final : public IPmcLogOutputType {
public:
    const char* type_name() const noexcept override { return "file"; }
    IPmcLogOutput* create(const char* output_name,
                          const IPmcKeyValueSet* options) noexcept override
    {
        if (output_name == nullptr) {
            return pmc_null_file_output();
        }
        IPmcLogFileOutput* output = pmc_create_file_output(output_name);
        if (output == nullptr || options == nullptr) {
            return output;
        }
        const char* path =
            options->has_key(kLogFilePathKey) ? options->value_of(kLogFilePathKey) : nullptr;
        if (path != nullptr && *path != '\0' && output->set_path(path) == PSW_SUCCESS) {
            return output;
        }
        output->destroy();
        return pmc_null_file_output();
    }
};

}  // namespace

IPmcLogFileOutput* pmc_create_file_output(const char* output_name) noexcept
{
    return pmc_create_named_output<CPmcFileOutput>(output_name);
}

IPmcLogOutputType* pmc_create_file_output_type() noexcept
{
    return new (std::nothrow) CPmcFileOutputType();
}

}  // namespace psw
