// The object behind a PSWHandle. It owns everything later calls create.
#pragma once

#include <cstdint>

#include "api/finder.h"
#include "core/result.h"
#include "query/plugin_usm.h"

namespace psw {
class CPSWBramblingOption;
class PSWDeviceQuery;
}  // namespace psw

struct PSWLibrary {
    PSWLibrary() noexcept;
    virtual ~PSWLibrary();
    PSWLibrary(const PSWLibrary&) = delete;
    PSWLibrary& operator=(const PSWLibrary&) = delete;

    // Built by PSWInit: the finder, then the user settings. PSW_ERR_NO_MEMORY when either cannot be
    // made.
    psw::Result create_members() noexcept;

    // Stores a community named by its command; PSW_ERR_UNSUPPORTED for an unknown command,
    // PSW_ERR_PARAMETER for a value longer than its field allows.
    // borrowed: `command` is only read; `value` is copied
    psw::Result set_community(const char* command, const char* value) noexcept;

    // Releases the option set and the device session of an earlier device set-up.
    void release_device() noexcept;

    // owned: option set and device query go in release_device(), all four in the destructor
    psw::CPSWBramblingOption* m_pOptionSet = nullptr;
    // Set by PSWInitAnyDevice(Ex): a session without option set, on which option calls
    // answer -5.
    bool m_anyModel = false;
    psw::PSWFinder* m_pFinder = nullptr;
    char m_findCommunity[psw::kCommunitySize] = {};
    char m_readCommunity[psw::kCommunitySize] = {};
    char m_writeCommunity[psw::kCommunitySize] = {};
    psw::PSWDeviceQuery* m_pDeviceQuery = nullptr;
    psw::IPSWPluginUSM* m_pUsm = nullptr;
};
