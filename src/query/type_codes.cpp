#include "query/type_codes.h"

#include "query/mib_objects.h"
#include "query/record_fields.h"

namespace psw {

namespace {

struct TypeRange {
    const char* prefix;
    uint32_t first;
    uint32_t count;
};

// There are no standard device types 7, 8 and 9.
constexpr TypeRange kDeviceTypes[] = {
    {mib::kHrDeviceTypes, 1, 6},        {mib::kHrDeviceTypes, 10, 12},
    {"1.3.6.1.4.1.253.8.52.2", 101, 9}, {"1.3.6.1.4.1.253.8.52.2", 151, 4},
    {"1.3.6.1.4.1.253.8.52.2", 201, 7},
};

}  // namespace

int32_t pmc_storage_type_code(const char* type) noexcept
{
    return pmc_code_in_range(type, mib::kHrStorageTypes, 1, 8);
}

int32_t pmc_device_type_code(const char* type) noexcept
{
    for (const TypeRange& range : kDeviceTypes) {
        const int32_t code = pmc_code_in_range(type, range.prefix, range.first, range.count);
        if (code != 0) {
            return code;
        }
    }
    return 0;
}

int32_t pmc_job_type_code(const char* type) noexcept
{
    return pmc_code_in_range(type, "1.3.6.1.4.1.253.8.58.2", 1, 12);
}

}  // namespace psw
