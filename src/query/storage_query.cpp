// Storage areas: one record per row of hrStorageTable.
#include "query/device_query.h"
#include "query/mib_objects.h"
#include "query/record_fields.h"
#include "query/type_codes.h"

namespace psw {

namespace {

constexpr const char* kStorageColumns[] = {
    mib::kHrStorageType,
    mib::kHrStorageAllocationUnits,
    mib::kHrStorageSize,
    mib::kHrStorageDescr,
};

}  // namespace

Result PSWDeviceQuery::query_storage() noexcept
{
    m_storage.clear();
    return visit_table(kStorageColumns, 4, m_storage, [this](const IPmsPdu* row) noexcept {
        PSWStorageInfo record = {};
        // The type's code from its numbers when it has the usual spelling, else from its text.
        Result stored = PSW_SUCCESS;
        if (!pmc_storage_type_code_of(pmc_row_value(row, 0), &record.storage_type)) {
            char type[256];
            stored = pmc_store_text(pmc_row_value(row, 0), type, sizeof type);
            record.storage_type = pmc_storage_type_code(type);
        }
        pmc_store_int(pmc_row_value(row, 1), &record.allocation_units);
        pmc_store_int(pmc_row_value(row, 2), &record.size);
        if (stored == PSW_SUCCESS) {
            stored = pmc_store_text(pmc_row_value(row, 3), record.description,
                                    sizeof record.description);
        }
        if (stored != PSW_SUCCESS) {
            return stored;
        }
        return m_storage.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    });
}

}  // namespace psw
