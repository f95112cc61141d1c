#include "log/log_registry.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/interface_ids.h"
#include "core/platform/lock.h"
#include "core/pmc_vector.h"
#include "log/log_generation.h"
#include "log/log_outputs.h"
#include "log/logger.h"
#include "log/master_logger.h"
#include "log/null_logger.h"

namespace psw {

namespace {

class CPmcLogRegistryImpl final : public CPmcLogRegistry {
public:
    CPmcLogRegistryImpl() noexcept
    {
        // Registration order matters: lookups take the first type of a name.
        register_output_type(pmc_create_standard_output_type());
        register_output_type(pmc_create_file_output_type());
        m_loggers.push_back(&m_master);
    }

    ~CPmcLogRegistryImpl()
    {
        reset();
        for (IPmcLogOutputType* type : m_types) {
            delete type;
        }
    }

    IPmcLogger* create_logger(const char* name, IPmcLogOutput* first_output,
                              Result* result) noexcept override
    {
        if (name == nullptr) {
            set_result(result, PSW_ERR_PARAMETER);
            return &m_null_logger;
        }
        PmcLockGuard guard(m_lock);
        for (IPmcLogger* logger : m_loggers) {
            if (std::strcmp(logger->name(), name) == 0) {
                set_result(result, PSW_SUCCESS);
                return logger;
            }
        }
        CPmcLogger* logger = CPmcLogger::create(name);
        if (logger == nullptr) {
            set_result(result, PSW_ERR_NO_MEMORY);
            return &m_null_logger;
        }
        Result code = m_master.register_member(logger);
        if (code == PSW_SUCCESS && first_output != nullptr) {
            code = logger->add_output(first_output);
        }
        if (code == PSW_SUCCESS && !m_loggers.push_back(logger)) {
            code = PSW_ERR_NO_MEMORY;
        }
        if (code != PSW_SUCCESS) {
            m_master.unregister_member(logger);
            logger->destroy();
            set_result(result, code);
            return &m_null_logger;
        }
        set_result(result, PSW_SUCCESS);
        return logger;
    }

    IPmcLoggerGroup* find_logger_group(const char* name, Result* result) noexcept override
    {
        if (name == nullptr) {
            set_result(result, PSW_ERR_PARAMETER);
            return &m_null_group;
        }
        PmcLockGuard guard(m_lock);
        for (IPmcLogger* logger : m_loggers) {
            if (std::strcmp(logger->name(), name) == 0) {
                void* group = nullptr;
                if (logger->query_interface(kIidPmcLoggerGroup, &group) != PSW_SUCCESS) {
                    set_result(result, PSW_ERR_FAILED);
                    return nullptr;
                }
                set_result(result, PSW_SUCCESS);
                return static_cast<IPmcLoggerGroup*>(group);
            }
        }
        set_result(result, PSW_ERR_NOT_FOUND);
        return nullptr;
    }

    IPmcLogger* get_logger(const char* name, Result* result) noexcept override
    {
        return create_logger(name, nullptr, result);
    }

    IPmcLoggerGroup* find_logger_group_again(const char* name, Result* result) noexcept override
    {
        return find_logger_group(name, result);
    }

    IPmcLogOutput* get_output(const char* type_name, const char* output_name) noexcept override
    {
        if (type_name == nullptr || output_name == nullptr) {
            return null_output_of(type_name != nullptr ? type_name : "stdout");
        }
        PmcLockGuard guard(m_lock);
        for (IPmcLogOutput* output : m_outputs) {
            if (std::strcmp(output->name(), output_name) == 0) {
                return std::strcmp(output->type_name(), type_name) == 0 ? output
                                                                        : null_output_of(type_name);
            }
        }
        IPmcLogOutputType* type = find_type(type_name);
        if (type == nullptr) {
            return nullptr;
        }
        IPmcLogOutput* output = type->create(output_name, nullptr);
        if (output == nullptr) {
            return nullptr;
        }
        if (!m_outputs.push_back(output)) {
            output->destroy();
            return nullptr;
        }
        return output;
    }

    IPmcLogOutput* find_output(const char* output_name, Result* result) noexcept override
    {
        if (output_name == nullptr) {
            set_result(result, PSW_ERR_PARAMETER);
            return pmc_null_standard_output();
        }
        PmcLockGuard guard(m_lock);
        set_result(result, PSW_SUCCESS);
        for (IPmcLogOutput* output : m_outputs) {
            if (std::strcmp(output->name(), output_name) == 0) {
                return output;
            }
        }
        return pmc_null_standard_output();
    }

    Result register_output_type(IPmcLogOutputType* type) noexcept override
    {
        if (type != nullptr && !m_types.push_back(type)) {
            delete type;
        }
        return PSW_SUCCESS;
    }

    void reset() noexcept override
    {
        PmcLockGuard guard(m_lock);
        pmc_log_generation_advance();
        for (IPmcLogOutput* output : m_outputs) {
            output->destroy();
        }
        m_outputs.clear();
        for (IPmcLogger* logger : m_loggers) {
            logger->destroy();
        }
        m_loggers.clear();
        m_master.reset();
        m_loggers.push_back(&m_master);
    }

    Result discard_output(const char* output_name) noexcept override
    {
        if (output_name == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        PmcLockGuard guard(m_lock);
        // Each logger lets go under its own lock, so no line is still being written to the
        // output when it is destroyed below. The master comes first in the list and also
        // detaches it from its members; loggers that left the group are reached directly.
        for (IPmcLogger* logger : m_loggers) {
            logger->remove_output(output_name);
        }
        for (size_t i = 0; i < m_outputs.size(); ++i) {
            if (std::strcmp(m_outputs[i]->name(), output_name) == 0) {
                m_outputs[i]->destroy();
                m_outputs.erase_at(i);
                break;
            }
        }
        return PSW_SUCCESS;
    }

private:
    IPmcLogOutputType* find_type(const char* type_name) noexcept
    {
        for (IPmcLogOutputType* type : m_types) {
            if (std::strcmp(type->type_name(), type_name) == 0) {
                return type;
            }
        }
        return nullptr;
    }

    IPmcLogOutput* null_output_of(const char* type_name) noexcept
    {
        IPmcLogOutputType* type = find_type(type_name);
        return type != nullptr ? type->create(nullptr, nullptr) : nullptr;
    }

    PmcLock m_lock;
    CPmcNullLogger m_null_logger;
    CPmcNullLoggerGroup m_null_group;
    CPmcMasterLogger m_master;
    PmcVector<IPmcLogger*> m_loggers;
    PmcVector<IPmcLogOutput*> m_outputs;
    PmcVector<IPmcLogOutputType*> m_types;
};

// Guards the building of the registry; constant-initialised, so it exists before any code runs.
PmcLock g_registry_singleton_lock;
CPmcLogRegistryImpl* g_registry = nullptr;

void destroy_registry_at_exit()
{
    PmcLockGuard guard(g_registry_singleton_lock);
    delete g_registry;
    g_registry = nullptr;
    pmc_log_generation_advance();
}

}  // namespace

CPmcLogRegistry* pmc_log_registry(Result* result) noexcept
{
    PmcLockGuard guard(g_registry_singleton_lock);
    if (g_registry == nullptr) {
        g_registry = new (std::nothrow) CPmcLogRegistryImpl();
        if (g_registry != nullptr) {
            std::atexit(destroy_registry_at_exit);
        }
    }
    set_result(result, g_registry != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return g_registry;
}

Result pmc_log(const char* name, uint32_t level, const char* format, ...) noexcept
{
    Result result = PSW_SUCCESS;
    CPmcLogRegistry* registry = pmc_log_registry(&result);
    if (registry == nullptr) {
        return result;
    }
    IPmcLogger* logger = registry->get_logger(name, nullptr);
    va_list arguments;
    va_start(arguments, format);
    result = logger->output_v(level, format, arguments);
    va_end(arguments);
    return result;
}

}  // namespace psw
