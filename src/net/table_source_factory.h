// What the table sources of every platform share (route_tables.cpp, route_tables_windows.cpp):
// the module a source holds, binding its entry points, and making a source.
#pragma once

#include <memory>
#include <new>

#include "core/platform/module.h"
#include "core/result.h"
#include "log/log_channel.h"
#include "net/route_tables.h"

namespace psw {

// Binds one entry point; a missing one is logged on the channel "socket" at Error.
// not a transfer: *slot is a function address, valid while `module` stays loaded
template <class Function>
bool pmc_bind_table_entry(PmcModuleLoader& loader, void* module, const char* name,
                          Function* slot) noexcept
{
    *slot = reinterpret_cast<Function>(loader.find_function(module, name));
    if (*slot == nullptr) {
        pmc_socket_channel().logger()->output(
            kLogError,
            "[CPmcLocalAgent::ensure_source] fail GetProcAddress \"%s\": GetLastError()=%d", name,
            loader.last_error());
        return false;
    }
    return true;
}

// A table source over one loaded module, which it unloads when destroyed.
// takes ownership of `module` (unloaded through `loader`)
class CPmcModuleTableSource : public IPmcTableSource {
public:
    CPmcModuleTableSource(PmcModuleLoader& loader, void* module) noexcept
        : m_loader(loader),
          m_module(module)
    {
    }
    ~CPmcModuleTableSource() override { m_loader.unload(m_module); }
    CPmcModuleTableSource(const CPmcModuleTableSource&) = delete;
    CPmcModuleTableSource& operator=(const CPmcModuleTableSource&) = delete;

protected:
    template <class Function>
    bool bind_entry(const char* name, Function* slot) noexcept
    {
        return pmc_bind_table_entry(m_loader, m_module, name, slot);
    }

    PmcModuleLoader& m_loader;
    void* m_module;
};

// A new `Source` (the caller owns it) over the module `name`, or null with PSW_ERR_NOT_AVAILABLE
// (no module, a function missing, start() failed) or PSW_ERR_NO_MEMORY in *result. `Source` is
// made from (loader, module) and releases the module itself once made.
template <class Source, bool kNeedsStart>
IPmcTableSource* pmc_make_table_source(PmcModuleLoader& loader, const char* name,
                                       Result* result) noexcept
{
    void* module = loader.load(name);
    if (module == nullptr) {
        *result = PSW_ERR_NOT_AVAILABLE;
        return nullptr;
    }
    std::unique_ptr<Source> source(new (std::nothrow) Source(loader, module));
    if (!source) {
        loader.unload(module);
        *result = PSW_ERR_NO_MEMORY;
        return nullptr;
    }
    bool ready = source->bind_api();
    if constexpr (kNeedsStart) {
        ready = ready && source->start();
    }
    if (!ready) {
        *result = PSW_ERR_NOT_AVAILABLE;
        return nullptr;  // the source releases the module
    }
    *result = PSW_SUCCESS;
    return source.release();
}

}  // namespace psw
