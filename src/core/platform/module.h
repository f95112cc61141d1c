// Loading system modules and binding their functions at run time.
//
// Function tables (socket functions, interface functions) are filled through a loader so that
// tests can present a module that lacks a function and exercise the missing-function paths.
#pragma once

namespace psw {

class PmcModuleLoader {
public:
    virtual ~PmcModuleLoader() = default;
    // Returns a module handle, or null when the module cannot be loaded.
    // the caller owns the handle and gives it back with unload()
    virtual void* load(const char* name) noexcept = 0;
    // Returns the address of the named function, or null when the module lacks it.
    // not a transfer: the address is valid while `module` stays loaded
    virtual void* find_function(void* module, const char* name) noexcept = 0;
    // Releases a handle returned by load(); null is ignored.
    virtual void unload(void* module) noexcept = 0;
    // Why the last load() or find_function() on this thread failed, in the codes that function
    // tables log and test: 126 module not found, 127 function not found, anything else another
    // platform error. A loader that cannot tell reports 127.
    virtual int last_error() noexcept { return kPmcErrorFunctionNotFound; }

    static constexpr int kPmcErrorModuleNotFound = 126;
    static constexpr int kPmcErrorFunctionNotFound = 127;
};

// The operating system's loader. Never null; lives as long as the process.
PmcModuleLoader& pmc_system_module_loader() noexcept;

}  // namespace psw
