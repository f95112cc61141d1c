// Alerts: one record per row of prtAlertTable, in table order.
#include "query/device_query.h"
#include "query/mib_objects.h"
#include "query/record_fields.h"

namespace psw {

namespace {

constexpr const char* kAlertColumns[] = {
    mib::kPrtAlertSeverityLevel, mib::kPrtAlertGroup, mib::kPrtAlertGroupIndex,
    mib::kPrtAlertLocation,      mib::kPrtAlertCode,  mib::kPrtAlertDescription,
};

}  // namespace

Result PSWDeviceQuery::query_alerts() noexcept
{
    m_alerts.clear();
    return visit_table(kAlertColumns, 6, m_alerts, [this](const IPmsPdu* row) noexcept {
        PSWAlertInfo record = {};
        pmc_store_int(pmc_row_value(row, 0), &record.severity_level);
        pmc_store_int(pmc_row_value(row, 1), &record.group);
        pmc_store_int(pmc_row_value(row, 2), &record.group_index);
        pmc_store_int(pmc_row_value(row, 3), &record.location);
        pmc_store_int(pmc_row_value(row, 4), &record.code);
        const Result stored =
            pmc_store_text(pmc_row_value(row, 5), record.description, sizeof record.description);
        if (stored != PSW_SUCCESS) {
            return stored;
        }
        return m_alerts.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    });
}

}  // namespace psw
