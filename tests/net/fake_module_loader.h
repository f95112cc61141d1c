// A module loader over the real C library that can hide functions, fail to load, or offer
// replacements, and that records what it was asked.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/platform/module.h"

namespace psw::test {

class FakeModuleLoader final : public PmcModuleLoader {
public:
    void* load(const char* name) noexcept override
    {
        ++m_loads;
        if (m_refuse_load) {
            return nullptr;
        }
        void* module = pmc_system_module_loader().load(name);
        if (module != nullptr) {
            ++m_open;
        }
        return module;
    }

    void* find_function(void* module, const char* name) noexcept override
    {
        m_lookups.emplace_back(name);
        const auto replaced = m_replacements.find(name);
        if (replaced != m_replacements.end()) {
            return replaced->second;
        }
        if (m_hidden.count(name) != 0) {
            return nullptr;
        }
        return pmc_system_module_loader().find_function(module, name);
    }

    void unload(void* module) noexcept override
    {
        if (module != nullptr) {
            --m_open;
        }
        pmc_system_module_loader().unload(module);
    }

    int last_error() noexcept override { return m_error; }

    void hide(const std::string& name) { m_hidden.insert(name); }
    void reveal(const std::string& name) { m_hidden.erase(name); }
    void replace(const std::string& name, void* function) { m_replacements[name] = function; }
    void refuse_load(bool refuse) { m_refuse_load = refuse; }
    void set_error(int error) { m_error = error; }

    int loads() const { return m_loads; }
    // Modules loaded and not yet released.
    int open_modules() const { return m_open; }
    const std::vector<std::string>& lookups() const { return m_lookups; }
    bool looked_up(const std::string& name) const
    {
        for (const std::string& lookup : m_lookups) {
            if (lookup == name) {
                return true;
            }
        }
        return false;
    }

private:
    std::set<std::string> m_hidden;
    std::map<std::string, void*> m_replacements;
    std::vector<std::string> m_lookups;
    bool m_refuse_load = false;
    int m_error = kPmcErrorFunctionNotFound;
    int m_loads = 0;
    int m_open = 0;
};

}  // namespace psw::test
