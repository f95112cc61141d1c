// Toner: the rows of prtMarkerSuppliesTable whose supply type is toner, in table order.
#include "query/device_query.h"
#include "query/mib_objects.h"
#include "query/record_fields.h"

namespace psw {

namespace {

constexpr const char* kSuppliesColumns[] = {
    mib::kPrtMarkerSuppliesType,        mib::kPrtMarkerSuppliesSupplyUnit,
    mib::kPrtMarkerSuppliesMaxCapacity, mib::kPrtMarkerSuppliesLevel,
    mib::kPrtMarkerSuppliesDescription,
};

// prtMarkerSuppliesType toner(3); ink, developer, waste toner, drums and the rest are dropped.
constexpr int32_t kSupplyTypeToner = 3;

}  // namespace

Result PSWDeviceQuery::query_toners() noexcept
{
    m_toners.clear();
    return visit_table(kSuppliesColumns, 5, m_toners, [this](const IPmsPdu* row) noexcept {
        int32_t type = 0;
        pmc_store_int(pmc_row_value(row, 0), &type);
        PSWTonerInfo record = {};
        pmc_store_int(pmc_row_value(row, 1), &record.supply_unit);
        pmc_store_int(pmc_row_value(row, 2), &record.max_capacity);
        pmc_store_int(pmc_row_value(row, 3), &record.level);
        const Result stored =
            pmc_store_text(pmc_row_value(row, 4), record.description, sizeof record.description);
        if (stored != PSW_SUCCESS) {
            return stored;
        }
        if (type != kSupplyTypeToner) {
            return PSW_SUCCESS;
        }
        return m_toners.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    });
}

}  // namespace psw
