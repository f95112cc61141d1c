// The common slots every log output shares: its identifiers, the complete-object query and the
// unsupported slot. `Interface` is IPmcLogOutput or IPmcLogFileOutput.
#pragma once

#include <new>
#include <type_traits>

#include "core/interface_ids.h"
#include "log/log_interfaces.h"

namespace psw {

template <class Interface>
class CPmcLogOutputBase : public Interface {
public:
    Result query_interface(PmcInterfaceId id, void** out) noexcept override
    {
        IPmcLogOutput* output = this;
        if constexpr (std::is_base_of_v<IPmcLogFileOutput, Interface>) {
            const PmcInterfaceEntry entries[] = {
                {kIidPmcInterface, output},
                {kIidPmcLogOutput, output},
                {kIidPmcLogFileOutput, static_cast<IPmcLogFileOutput*>(this)},
            };
            return pmc_query_table(entries, 3, id, out);
        } else {
            const PmcInterfaceEntry entries[] = {
                {kIidPmcInterface, output},
                {kIidPmcLogOutput, output},
            };
            return pmc_query_table(entries, 2, id, out);
        }
    }
    Result query_outer(PmcInterfaceId id, void** out) noexcept override
    {
        return query_interface(id, out);
    }
    Result unsupported() noexcept override { return PSW_ERR_UNSUPPORTED; }
};

// A new output of class T named `output_name`; null when memory runs out (also for the name).
// the caller owns the result and releases it with destroy()
template <class T>
T* pmc_create_named_output(const char* output_name) noexcept
{
    auto* output = new (std::nothrow) T();
    if (output == nullptr) {
        return nullptr;
    }
    output->m_name.assign(output_name);
    if (output_name != nullptr && *output_name != '\0' && output->m_name.empty()) {
        delete output;
        return nullptr;
    }
    return output;
}

}  // namespace psw
