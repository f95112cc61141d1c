// The printer's character sets: the localization of each row of a table column names one
// character-set object, which is read on its own; the last row wins.
#include <cinttypes>
#include <cstdio>

#include "log/log_registry.h"
#include "query/device_query.h"
#include "query/mib_objects.h"
#include "query/record_fields.h"

namespace psw {

namespace {

struct CharSetSource {
    const char* table_column;
    const char* value_column;
};

constexpr CharSetSource kCharSetSources[] = {
    // prtGeneralCurrentLocalization -> prtLocalizationCharacterSet
    {mib::kPrtGeneralCurrentLocalization, mib::kPrtLocalizationCharacterSet},
    // the printer's private current localization -> its private character set
    {"1.3.6.1.4.1.253.8.51.3.1.1.1", "1.3.6.1.4.1.253.8.51.4.1.1.7"},
};

}  // namespace

Result PSWDeviceQuery::walk_char_set(const char* table_column, const char* value_column,
                                     int32_t* member) noexcept
{
    OwnedPtr<PmsWalkRows> rows;
    const Result result = read_table(&table_column, 1, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    return pmc_visit_rows(rows.get(), [&](const IPmsPdu* row) noexcept {
        const PmsVarBind* binding = pmc_row_binding(row, 0);
        int64_t index = -1;
        if (!pmc_row_index(binding, table_column, &index)) {
            pmc_log("PSW", 1, "pmc_row_index()", PSW_ERR_INDEX_VALUE);
            return PSW_ERR_INDEX_VALUE;
        }
        // The localization is an index: a printer that gives text or a negative number there
        // sends bad data (no fault of the caller's).
        const IPmsValue* held = binding->value();
        if (held == nullptr || held->type() != kPmsInteger || held->get_int() < 0) {
            pmc_log("PSW", 1, "prtGeneralCurrentLocalization", PSW_ERR_BAD_DATA);
            return PSW_ERR_BAD_DATA;
        }
        const int32_t localization = held->get_int();
        char oid[160];
        std::snprintf(oid, sizeof oid, "%s.%" PRId64 ".%" PRId32, value_column, index,
                      localization);
        int32_t value = 0;
        const Result read = read_single_int(oid, &value);
        if (read != PSW_SUCCESS) {
            return read;
        }
        *member = value;
        return PSW_SUCCESS;
    });
}

Result PSWDeviceQuery::query_char_set(uint32_t which, int32_t* out) noexcept
{
    if (which > 1 || out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    int32_t* member = which == 0 ? &m_standardCharSet : &m_privateCharSet;
    const Result result = walk_char_set(kCharSetSources[which].table_column,
                                        kCharSetSources[which].value_column, member);
    if (result == PSW_SUCCESS) {
        *out = *member;
    }
    return result;
}

}  // namespace psw
