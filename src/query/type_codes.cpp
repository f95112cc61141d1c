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

// The same ranges as numbers: each prefix's sub-identifiers.
struct NumberRange {
    const uint32_t* prefix;
    uint32_t length;
    uint32_t first;
    uint32_t count;
};

constexpr uint32_t kStorageTypePrefix[] = {1, 3, 6, 1, 2, 1, 25, 2, 1};
constexpr uint32_t kDeviceTypePrefix[] = {1, 3, 6, 1, 2, 1, 25, 3, 1};
constexpr uint32_t kPrivateDeviceTypePrefix[] = {1, 3, 6, 1, 4, 1, 253, 8, 52, 2};

constexpr NumberRange kStorageTypeNumbers = {kStorageTypePrefix, 9, 1, 8};
constexpr NumberRange kDeviceTypeNumbers[] = {
    {kDeviceTypePrefix, 9, 1, 6},           {kDeviceTypePrefix, 9, 10, 12},
    {kPrivateDeviceTypePrefix, 10, 101, 9}, {kPrivateDeviceTypePrefix, 10, 151, 4},
    {kPrivateDeviceTypePrefix, 10, 201, 7},
};

// The code of `ids` in a range: the prefix and one more number, first <= code < first + count,
// as pmc_code_in_range reads a canonical text.
int32_t code_of_numbers(const uint32_t* ids, uint32_t length, const NumberRange& range) noexcept
{
    if (length != range.length + 1) {
        return 0;
    }
    const uint32_t code = ids[range.length];
    if (code < range.first || code - range.first >= range.count) {
        return 0;
    }
    for (uint32_t i = range.length; i-- != 0;) {
        if (ids[i] != range.prefix[i]) {
            return 0;
        }
    }
    return static_cast<int32_t>(code);
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
    *code = code_of_numbers(type->sub_ids(), type->count(), kStorageTypeNumbers);
    return true;
}

bool pmc_device_type_code_of(const IPmsValue* value, int32_t* code) noexcept
{
    const PmsOidView* type = canonical_type(value);
    if (type == nullptr) {
        return false;
    }
    *code = 0;
    for (const NumberRange& range : kDeviceTypeNumbers) {
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
