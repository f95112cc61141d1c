// Hardware devices: one record per row of hrDeviceTable.
#include "query/device_query.h"
#include "query/mib_objects.h"
#include "query/record_fields.h"
#include "query/type_codes.h"

namespace psw {

namespace {

constexpr const char* kDeviceColumns[] = {
    mib::kHrDeviceType,
    mib::kHrDeviceStatus,
    mib::kHrDeviceDescr,
};

}  // namespace

Result PSWDeviceQuery::query_devices() noexcept
{
    m_devices.clear();
    return visit_table(kDeviceColumns, 3, m_devices, [this](const IPmsPdu* row) noexcept {
        PSWDeviceInfo record = {};
        // The type's code from its numbers when it has the usual spelling, else from its text.
        Result stored = PSW_SUCCESS;
        if (!pmc_device_type_code_of(pmc_row_value(row, 0), &record.device_type)) {
            char type[256];
            stored = pmc_store_text(pmc_row_value(row, 0), type, sizeof type);
            record.device_type = pmc_device_type_code(type);
        }
        pmc_store_int(pmc_row_value(row, 1), &record.device_status);
        if (stored == PSW_SUCCESS) {
            stored = pmc_store_text(pmc_row_value(row, 2), record.description,
                                    sizeof record.description);
        }
        if (stored != PSW_SUCCESS) {
            return stored;
        }
        return m_devices.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    });
}

}  // namespace psw
