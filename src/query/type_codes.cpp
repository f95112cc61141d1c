#include "query/type_codes.h"

#include "query/mib_objects.h"
#include "query/record_fields.h"
#include "request/walk_order.h"
#include "snmp/pms_value.h"
#include "snmp/pms_value_views.h"

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

// The code of `ids` in a range: "<prefix>.<code>" with first <= code < first + count, as
// pmc_code_in_range reads a canonical text. `prefix` is canonical text.
int32_t code_of_numbers(const uint32_t* ids, uint32_t length, const TypeRange& range) noexcept
{
    uint32_t at = 0;
    const char* p = range.prefix;
    while (*p != '\0') {
        uint32_t number = 0;
        for (; *p >= '0' && *p <= '9'; ++p) {
            number = number * 10 + static_cast<uint32_t>(*p - '0');
        }
        if (*p == '.') {
            ++p;
        }
        if (at >= length || ids[at] != number) {
            return 0;
        }
        ++at;
    }
    if (at + 1 != length) {
        return 0;
    }
    const uint32_t code = ids[at];
    return code >= range.first && code - range.first < range.count ? static_cast<int32_t>(code)
                                                                    : 0;
}

// The numbers of a type value whose text is their canonical spelling, or null.
const PmsOidView* canonical_type(const IPmsValue* value) noexcept
{
    IPmsOid* oid = value != nullptr ? const_cast<IPmsValue*>(value)->extension() : nullptr;
    return pmc_canonical_view(oid);
}

}  // namespace

bool pmc_storage_type_code_of(const IPmsValue* value, int32_t* code) noexcept
{
    const PmsOidView* type = canonical_type(value);
    if (type == nullptr) {
        return false;
    }
    *code = code_of_numbers(type->sub_ids(), type->count(), {mib::kHrStorageTypes, 1, 8});
    return true;
}

bool pmc_device_type_code_of(const IPmsValue* value, int32_t* code) noexcept
{
    const PmsOidView* type = canonical_type(value);
    if (type == nullptr) {
        return false;
    }
    *code = 0;
    for (const TypeRange& range : kDeviceTypes) {
        *code = code_of_numbers(type->sub_ids(), type->count(), range);
        if (*code != 0) {
            break;
        }
    }
    return true;
}

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
