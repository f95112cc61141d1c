#include "api/finder.h"

#include <cstring>

#include "core/text_field.h"

namespace psw {

namespace {

bool begins_with(const char* text, const char* prefix) noexcept
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

const PSWSupportedModel kSupportedModels[] = {
    {"1.3.6.1.4.1.297.1.11.93.1.35.27.1", "Marlowen-K T7150X"},
    {nullptr, nullptr},
};

const PSWSupportedModel* pmc_find_supported_model(const char* sys_object_id) noexcept
{
    if (sys_object_id == nullptr) {
        return nullptr;
    }
    for (const PSWSupportedModel* row = kSupportedModels; row->sys_object_id_prefix != nullptr;
         ++row) {
        const size_t length = std::strlen(row->sys_object_id_prefix);
        if (begins_with(sys_object_id, row->sys_object_id_prefix) &&
            (sys_object_id[length] == '\0' || sys_object_id[length] == '.')) {
            return row;
        }
    }
    return nullptr;
}

PSWFinder::PSWFinder() noexcept
{
    clear_filters();
    std::memset(m_community, 0, sizeof m_community);
}

Result PSWFinder::add_filter(const char* filter) noexcept
{
    if (filter == nullptr || strnlen(filter, kFinderTextSize) >= kFinderTextSize) {
        return PSW_ERR_PARAMETER;
    }
    for (auto& slot : m_filters) {
        if (slot[0] == '\0') {
            pmc_copy_text(slot, kFinderTextSize, filter);
            break;
        }
    }
    return PSW_SUCCESS;
}

void PSWFinder::clear_filters() noexcept
{
    std::memset(m_filters, 0, sizeof m_filters);
}

bool PSWFinder::passes_filters(const char* sys_object_id) const noexcept
{
    // Filters are active only while slot 0 holds one.
    if (m_filters[0][0] == '\0') {
        return true;
    }
    for (const auto& slot : m_filters) {
        if (slot[0] != '\0' && begins_with(sys_object_id, slot)) {
            return true;
        }
    }
    return false;
}

void PSWFinder::start_list() noexcept
{
    m_devices.clear();
    m_has_list = true;
    m_position = 0;
}

Result PSWFinder::consider(const char* sys_object_id, const char* address) noexcept
{
    const PSWSupportedModel* model = pmc_find_supported_model(sys_object_id);
    if (model == nullptr || !passes_filters(sys_object_id)) {
        return PSW_SUCCESS;
    }
    PSWFoundDevice device;
    pmc_copy_text(device.sys_object_id, kFinderTextSize, sys_object_id);
    pmc_copy_text(device.model_name, kFinderTextSize, model->model_name);
    pmc_copy_text(device.address, kFinderTextSize, address);
    // Each new entry goes in front, so the list reads newest first.
    if (!m_devices.push_back(device)) {
        return PSW_ERR_NO_MEMORY;
    }
    for (size_t i = m_devices.size() - 1; i > 0; --i) {
        m_devices[i] = m_devices[i - 1];
    }
    m_devices[0] = device;
    return PSW_SUCCESS;
}

void PSWFinder::reset_position() noexcept
{
    if (m_has_list) {
        m_position = 0;
    }
}

bool PSWFinder::next(PSWFoundDevice* out) noexcept
{
    if (!m_has_list || m_position < 0 || static_cast<size_t>(m_position) >= m_devices.size()) {
        return false;
    }
    *out = m_devices[static_cast<size_t>(m_position)];
    ++m_position;
    return true;
}

void PSWFinder::set_community(const char* community) noexcept
{
    pmc_copy_text(m_community, sizeof m_community, community);
}

}  // namespace psw
