// Input trays: one record per row of prtInputTable.
#include "query/device_query.h"
#include "query/input_tray_columns.h"
#include "query/record_fields.h"

namespace psw {

Result PSWDeviceQuery::fill_input_tray(const IPmsPdu* row, PSWInputTrayInfo* record) noexcept
{
    int32_t* const numbers[] = {
        &record->type,
        &record->dimension_unit,
        &record->media_dim_feed_declared,
        &record->media_dim_xfeed_declared,
        &record->media_dim_feed_chosen,
        &record->media_dim_xfeed_chosen,
        &record->capacity_unit,
        &record->max_capacity,
        &record->current_level,
        &record->status,
    };
    uint32_t position = 0;
    for (int32_t* number : numbers) {
        pmc_store_int(pmc_row_value(row, position++), number);
    }
    struct TextField {
        char* field;
        size_t size;
    };
    const TextField texts[] = {
        {record->media_name, sizeof record->media_name},
        {record->name, sizeof record->name},
        {record->description, sizeof record->description},
        {record->media_type, sizeof record->media_type},
        {record->media_color, sizeof record->media_color},
    };
    Result result = PSW_SUCCESS;
    for (const TextField& text : texts) {
        const Result stored = pmc_store_text(pmc_row_value(row, position++), text.field, text.size);
        if (result == PSW_SUCCESS) {
            result = stored;
        }
    }
    return result;
}

Result PSWDeviceQuery::query_input_trays() noexcept
{
    m_inputTrays.clear();
    return visit_table(kInputTrayColumns, kInputTrayColumnCount, m_inputTrays,
                       [this](const IPmsPdu* row) noexcept {
                           PSWInputTrayInfo record = {};
                           const Result filled = fill_input_tray(row, &record);
                           if (filled != PSW_SUCCESS) {
                               return filled;
                           }
                           return m_inputTrays.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
                       });
}

}  // namespace psw
