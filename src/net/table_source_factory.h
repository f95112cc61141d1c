// Making a table source: load its module, bind its functions, start it when it needs starting.
// Shared by the table sources of every platform (route_tables.cpp, route_tables_windows.cpp).
#pragma once

#include <memory>
#include <new>

#include "core/platform/module.h"
#include "core/result.h"

namespace psw {

class IPmcTableSource;

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
