// The device finder of a library handle: caller filters, the supported-model table and the
// list of devices the last discovery kept.
#pragma once

#include <cstdint>

#include "core/pmc_vector.h"
#include "core/result.h"

namespace psw {

inline constexpr int kFinderFilterSlots = 50;
inline constexpr size_t kFinderTextSize = 64;
inline constexpr size_t kCommunitySize = 256;

struct PSWSupportedModel {
    // not a transfer: static literals (both texts)
    const char* sys_object_id_prefix;
    const char* model_name;
};

// The models discovery keeps and device set-up accepts, ended by an empty row.
extern const PSWSupportedModel kSupportedModels[];

// The first supported-model row whose prefix P matches `sys_object_id`: the text begins with P
// and is exactly P or continues with a dot. Null when none matches.
// not a transfer: a row of the static kSupportedModels table
const PSWSupportedModel* pmc_find_supported_model(const char* sys_object_id) noexcept;

struct PSWFoundDevice {
    char sys_object_id[kFinderTextSize];
    char model_name[kFinderTextSize];
    char address[kFinderTextSize];
};

class PSWFinder {
public:
    PSWFinder() noexcept;
    PSWFinder(const PSWFinder&) = delete;
    PSWFinder& operator=(const PSWFinder&) = delete;

    // PSW_ERR_PARAMETER for a filter longer than 63 characters; a filter beyond the last free slot
    // is dropped with PSW_SUCCESS.
    // borrowed: `filter` is copied
    Result add_filter(const char* filter) noexcept;
    void clear_filters() noexcept;

    // Starts an empty result list, replacing the one of an earlier discovery.
    void start_list() noexcept;
    // Keeps an answer when its sysObjectID is of a supported model and passes the filters;
    // texts are cut to 63 characters. PSW_ERR_NO_MEMORY when the entry cannot be stored.
    // borrowed: both texts are copied
    Result consider(const char* sys_object_id, const char* address) noexcept;
    int32_t count() const noexcept { return static_cast<int32_t>(m_devices.size()); }

    void reset_position() noexcept;
    // Copies the entry at the read position and advances it; false when none is left.
    // not a transfer: `out` is the caller's record
    bool next(PSWFoundDevice* out) noexcept;

    // borrowed: `community` is copied
    void set_community(const char* community) noexcept;
    // not a transfer: owned by the finder
    const char* community() const noexcept { return m_community; }

private:
    // borrowed: `sys_object_id` is only read
    bool passes_filters(const char* sys_object_id) const noexcept;

    char m_filters[kFinderFilterSlots][kFinderTextSize];
    // Entries in the order they were handed out: the newest answer first.
    PmcVector<PSWFoundDevice> m_devices;
    bool m_has_list = false;
    int32_t m_position = 0;
    char m_community[kCommunitySize];
};

}  // namespace psw
