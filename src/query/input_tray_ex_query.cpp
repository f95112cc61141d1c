// Input trays with the private extension value: the plain input tray walk, then a walk of the
// extension column on the same request, whose rows are matched to the trays by position.
#include "log/log_registry.h"
#include "query/device_query.h"
#include "query/input_tray_columns.h"
#include "query/record_fields.h"

namespace psw {

namespace {

constexpr int32_t kNoExtension = -1;

}  // namespace

Result PSWDeviceQuery::query_input_trays_ex() noexcept
{
    m_inputTraysEx.clear();
    OwnedPtr<IPmcGetData> request;
    Result result = open_request(&request, false);
    if (result != PSW_SUCCESS) {
        return result;
    }
    OwnedPtr<PmsWalkRows> rows;
    result = walk_columns(request.get(), kInputTrayColumns, kInputTrayColumnCount, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = pmc_visit_rows(rows.get(), [this](const IPmsPdu* row) noexcept {
        PSWInputTrayInfoEx record = {};
        const Result filled = fill_input_tray(row, &record.tray);
        if (filled != PSW_SUCCESS) {
            return filled;
        }
        return m_inputTraysEx.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    });
    if (result != PSW_SUCCESS) {
        return result;
    }
    rows.reset();

    // The extension column: the same request, initialised again for a walk of its own.
    result = init_request(request.get());
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = request->add_oid_string(kInputTrayExtensionColumn, false);
    if (result != PSW_SUCCESS) {
        pmc_log("PSW", 1, "pGetData->add_oid_string()", result);
        return result;
    }
    OwnedPtr<PmsPduList> extension(create_pdu_list(&result));
    if (extension == nullptr) {
        return PSW_ERR_NO_MEMORY;
    }
    // A printer without the extension table fails this walk; that only means no values.
    if (request->get_data(extension.get(), kInputTrayExtensionColumn) != PSW_SUCCESS) {
        extension->clear();
    }

    size_t tray = 0;
    pmc_visit_rows(extension.get(), [this, &tray](const IPmsPdu* row) noexcept {
        if (tray >= m_inputTraysEx.size()) {
            return PSW_ERR_INDEX;  // more values than trays: the rest has no tray to go to
        }
        const IPmsValue* value = pmc_row_value(row, 0);
        m_inputTraysEx[tray].extension = value != nullptr ? value->get_int() : kNoExtension;
        ++tray;
        return PSW_SUCCESS;
    });
    for (; tray < m_inputTraysEx.size(); ++tray) {
        m_inputTraysEx[tray].extension = kNoExtension;
    }
    return m_inputTraysEx.empty() ? PSW_ERR_FAILED : PSW_SUCCESS;
}

}  // namespace psw
