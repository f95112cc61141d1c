#include "api/library_handle.h"

#include <cstring>
#include <new>

#include "api/device_members.h"

PSWLibrary::PSWLibrary() noexcept = default;

PSWLibrary::~PSWLibrary()
{
    release_device();
    delete m_pFinder;
    if (m_pUsm != nullptr) {
        m_pUsm->release();
    }
}

psw::Result PSWLibrary::create_members() noexcept
{
    m_pFinder = new (std::nothrow) psw::PSWFinder();
    if (m_pFinder == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    psw::Result result = PSW_SUCCESS;
    m_pUsm = psw::pmc_create_plugin_usm(&result);
    return m_pUsm != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
}

psw::Result PSWLibrary::set_community(const char* command, const char* value) noexcept
{
    char* member = nullptr;
    if (std::strcmp(command, "CmdSetCommunityGetOption") == 0) {
        member = m_readCommunity;
    } else if (std::strcmp(command, "CmdSetCommunityFind") == 0) {
        member = m_findCommunity;
    } else if (std::strcmp(command, "CmdSetCommunityWrite") == 0) {
        member = m_writeCommunity;
    } else {
        return PSW_ERR_UNSUPPORTED;
    }
    // A longer value would not fit the 256-byte field; refuse it rather than cut a secret.
    const size_t length = strnlen(value, psw::kCommunitySize);
    if (length >= psw::kCommunitySize) {
        return PSW_ERR_PARAMETER;
    }
    std::memset(member, 0, psw::kCommunitySize);
    std::memcpy(member, value, length);
    return PSW_SUCCESS;
}

void PSWLibrary::release_device() noexcept
{
    psw::pmc_destroy_option_set(m_pOptionSet);
    m_pOptionSet = nullptr;
    psw::pmc_destroy_device_query(m_pDeviceQuery);
    m_pDeviceQuery = nullptr;
    m_anyModel = false;
}
