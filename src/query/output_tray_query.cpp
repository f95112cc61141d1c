// Output trays: one record per row of prtOutputTable.
#include "query/device_query.h"
#include "query/mib_objects.h"
#include "query/record_fields.h"

namespace psw {

namespace {

constexpr const char* kOutputTrayColumns[] = {
    mib::kPrtOutputType,
    mib::kPrtOutputStatus,
    mib::kPrtOutputName,
    mib::kPrtOutputDescription,
};

}  // namespace

Result PSWDeviceQuery::query_output_trays() noexcept
{
    m_outputTrays.clear();
    return visit_table(kOutputTrayColumns, 4, m_outputTrays, [this](const IPmsPdu* row) noexcept {
        PSWOutputTrayInfo record = {};
        pmc_store_int(pmc_row_value(row, 0), &record.type);
        pmc_store_int(pmc_row_value(row, 1), &record.status);
        Result stored = pmc_store_text(pmc_row_value(row, 2), record.name, sizeof record.name);
        if (stored == PSW_SUCCESS) {
            stored = pmc_store_text(pmc_row_value(row, 3), record.description,
                                    sizeof record.description);
        }
        if (stored != PSW_SUCCESS) {
            return stored;
        }
        return m_outputTrays.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    });
}

}  // namespace psw
