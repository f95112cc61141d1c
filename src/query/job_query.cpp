// Jobs: one record per job of the printer's private job tables, with three coded columns
// resolved to texts through the private localization table in the private character set, the
// job identifier decoded from the row's instance, and three DateAndTime columns.
#include <cinttypes>
#include <cstdio>

#include "log/log_registry.h"
#include "query/device_query.h"
#include "query/job_identifier.h"
#include "query/record_fields.h"
#include "query/type_codes.h"

namespace psw {

namespace {

// Walk order; the record field of each column is given where the row is read.
constexpr const char* kJobColumns[] = {
    "1.3.6.1.4.1.253.8.59.6.1.1.4",    // 0: job type
    "1.3.6.1.4.1.253.8.59.6.1.1.9",    // 1: job state
    "1.3.6.1.4.1.253.8.59.6.1.1.10",   // 2
    "1.3.6.1.4.1.253.8.59.16.1.1.5",   // 3 (unsigned)
    "1.3.6.1.4.1.253.8.59.16.1.1.6",   // 4 (unsigned)
    "1.3.6.1.4.1.253.8.59.6.1.1.5",    // 5: first localized code
    "1.3.6.1.4.1.253.8.59.6.1.1.6",    // 6: second localized code
    "1.3.6.1.4.1.253.8.59.10.1.1.7",   // 7: third localized code; its instance names the job
    "1.3.6.1.4.1.253.8.59.6.1.1.3",    // 8: text
    "1.3.6.1.4.1.253.8.59.10.1.1.10",  // 9: first date
    "1.3.6.1.4.1.253.8.59.16.1.1.4",   // 10: second date
    "1.3.6.1.4.1.253.8.59.16.1.1.7",   // 11: third date
};
constexpr size_t kJobColumnCount = sizeof kJobColumns / sizeof *kJobColumns;
constexpr uint32_t kJobIdColumn = 7;

constexpr char kLocalizedTextColumn[] = "1.3.6.1.4.1.253.8.51.5.1.1.4";
constexpr char kPrivateCharSetTable[] = "1.3.6.1.4.1.253.8.51.3.1.1.1";
constexpr char kPrivateCharSetValues[] = "1.3.6.1.4.1.253.8.51.4.1.1.7";

bool passes_kind(uint32_t kind, int32_t state) noexcept
{
    switch (kind) {
        case kJobKindOthers: return state != kJobStateSeparated;
        case kJobKindSeparated: return state == kJobStateSeparated;
        default: return true;
    }
}

}  // namespace

Result PSWDeviceQuery::resolve_localized(const char* column, const IPmsPdu* row, uint32_t position,
                                         char* field, size_t size) noexcept
{
    const PmsVarBind* binding = pmc_row_binding(row, position);
    if (binding == nullptr) {
        return PSW_SUCCESS;  // the row lacks this column: the text stays empty
    }
    int64_t index = -1;
    if (!pmc_row_index(binding, column, &index)) {
        pmc_log("PSW", 1, "pmc_row_index()", PSW_ERR_INDEX_VALUE);
        return PSW_ERR_INDEX_VALUE;
    }
    int32_t code = 0;
    pmc_store_int(binding->value(), &code);
    char oid[192];
    std::snprintf(oid, sizeof oid, "%s.%" PRId64 ".%" PRId32 ".%" PRId32, kLocalizedTextColumn,
                  index, code, m_privateCharSet);
    return read_single_text(oid, field, size);
}

Result PSWDeviceQuery::query_jobs(uint32_t kind) noexcept
{
    if (kind > kJobKindSeparated) {
        return PSW_ERR_PARAMETER;
    }
    if (m_privateCharSet == 0) {
        const Result result =
            walk_char_set(kPrivateCharSetTable, kPrivateCharSetValues, &m_privateCharSet);
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
    m_jobs.clear();
    OwnedPtr<PmsWalkRows> rows;
    const Result result = read_table(kJobColumns, kJobColumnCount, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    return pmc_visit_rows(rows.get(), [this, kind](const IPmsPdu* row) noexcept {
        PSWJobInfo record = {};
        char type[256];
        Result step = pmc_store_text(pmc_row_value(row, 0), type, sizeof type);
        if (step != PSW_SUCCESS) {
            return step;
        }
        record.job_type = pmc_job_type_code(type);
        pmc_store_int(pmc_row_value(row, 1), &record.job_state);
        pmc_store_int(pmc_row_value(row, 2), &record.value_59_6_10);
        pmc_store_uint(pmc_row_value(row, 3), &record.value_59_16_5);
        pmc_store_uint(pmc_row_value(row, 4), &record.value_59_16_6);

        struct Localized {
            uint32_t position;
            char* field;
        };
        const Localized localized[] = {
            {5, record.localized_text1},
            {6, record.localized_text2},
            {7, record.localized_text3},
        };
        for (const Localized& text : localized) {
            step = resolve_localized(kJobColumns[text.position], row, text.position, text.field,
                                     sizeof record.localized_text1);
            if (step != PSW_SUCCESS) {
                return step;
            }
        }
        const PmsVarBind* identifying = pmc_row_binding(row, kJobIdColumn);
        if (identifying != nullptr) {
            step = pmc_decode_job_id(identifying, kJobColumns[kJobIdColumn], record.job_id,
                                     sizeof record.job_id);
            if (step != PSW_SUCCESS) {
                pmc_log("PSW", 1, "set_from_index()", step);
                return step;
            }
        }
        step = pmc_store_text(pmc_row_value(row, 8), record.text, sizeof record.text);
        if (step != PSW_SUCCESS) {
            return step;
        }
        pmc_store_date(pmc_row_value(row, 9), &record.date1);
        pmc_store_date(pmc_row_value(row, 10), &record.date2);
        pmc_store_date(pmc_row_value(row, 11), &record.date3);

        if (!passes_kind(kind, record.job_state)) {
            return PSW_SUCCESS;
        }
        return m_jobs.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    });
}

}  // namespace psw
