// Printer status and detected error state from hrPrinterTable; the last row wins.
#include "query/device_query.h"
#include "query/mib_objects.h"
#include "query/record_fields.h"

namespace psw {

namespace {

constexpr const char* kPrinterColumns[] = {
    mib::kHrPrinterStatus,
    mib::kHrPrinterDetectedErrorState,
};

}  // namespace

Result PSWDeviceQuery::query_printer(PSWPrinterInfo* out) noexcept
{
    m_printer = PSWPrinterInfo{};
    OwnedPtr<PmsWalkRows> rows;
    Result result = read_table(kPrinterColumns, 2, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = pmc_visit_rows(rows.get(), [this](const IPmsPdu* row) noexcept {
        PSWPrinterInfo printer = {};
        pmc_store_int(pmc_row_value(row, 0), &printer.printer_status);
        // A bit mask taken by position: zero octets are octets too.
        pmc_store_octets(pmc_row_value(row, 1), printer.detected_error_state,
                         sizeof printer.detected_error_state);
        m_printer = printer;
        return PSW_SUCCESS;
    });
    if (result == PSW_SUCCESS) {
        *out = m_printer;
    }
    return result;
}

}  // namespace psw
