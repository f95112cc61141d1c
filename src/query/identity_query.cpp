// Who the printer is: the MIB-II system group, the Printer MIB serial number, the printer's
// own row of hrDeviceTable and the lifetime counters of its markers. Objects the agent lacks
// leave their fields empty; a failed walk ends the query with its code.
#include <cstring>

#include "query/device_query.h"
#include "query/record_fields.h"

namespace psw {

namespace {

constexpr const char* kSystemColumns[] = {
    "1.3.6.1.2.1.1.1",  // sysDescr
    "1.3.6.1.2.1.1.2",  // sysObjectID
    "1.3.6.1.2.1.1.3",  // sysUpTime
    "1.3.6.1.2.1.1.4",  // sysContact
    "1.3.6.1.2.1.1.5",  // sysName
    "1.3.6.1.2.1.1.6",  // sysLocation
};
constexpr const char* kSerialColumns[] = {
    "1.3.6.1.2.1.43.5.1.1.17",  // prtGeneralSerialNumber
};
constexpr const char* kDeviceColumns[] = {
    "1.3.6.1.2.1.25.3.2.1.2",  // hrDeviceType
    "1.3.6.1.2.1.25.3.2.1.3",  // hrDeviceDescr
};
constexpr const char* kHrDevicePrinter = "1.3.6.1.2.1.25.3.1.5";
constexpr const char* kMarkerColumns[] = {
    "1.3.6.1.2.1.43.10.2.1.3",  // prtMarkerCounterUnit
    "1.3.6.1.2.1.43.10.2.1.4",  // prtMarkerLifeCount
};

}  // namespace

Result PSWDeviceQuery::query_identity(PSWIdentityInfo* out) noexcept
{
    PSWIdentityInfo identity = {};

    OwnedPtr<PmsWalkRows> rows;
    Result result = read_table(kSystemColumns, 6, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    // The system group has one instance (.0), so the walk gives at most one row.
    result = pmc_visit_rows(rows.get(), [&](const IPmsPdu* row) noexcept {
        // Only the objects themselves count: for one the agent lacks, the walk brings the
        // object that follows it.
        const auto scalar = [row](uint32_t position) {
            return pmc_row_value_of(row, position, kSystemColumns[position], "0");
        };
        pmc_store_uint(scalar(2), &identity.uptime);
        Result stored = pmc_store_text(scalar(0), identity.sys_descr, sizeof identity.sys_descr);
        const struct {
            uint32_t position;
            char* field;
            size_t size;
        } texts[] = {
            {1, identity.sys_object_id, sizeof identity.sys_object_id},
            {3, identity.sys_contact, sizeof identity.sys_contact},
            {4, identity.sys_name, sizeof identity.sys_name},
            {5, identity.sys_location, sizeof identity.sys_location},
        };
        for (const auto& text : texts) {
            if (stored == PSW_SUCCESS) {
                stored = pmc_store_text(scalar(text.position), text.field, text.size);
            }
        }
        return stored;
    });
    if (result != PSW_SUCCESS) {
        return result;
    }

    result = read_table(kSerialColumns, 1, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    bool serial_found = false;
    result = pmc_visit_rows(rows.get(), [&](const IPmsPdu* row) noexcept {
        if (serial_found) {
            return PSW_SUCCESS;
        }
        serial_found = true;
        return pmc_store_text(pmc_row_value(row, 0), identity.serial_number,
                              sizeof identity.serial_number);
    });
    if (result != PSW_SUCCESS) {
        return result;
    }

    result = read_table(kDeviceColumns, 2, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    bool printer_found = false;
    result = pmc_visit_rows(rows.get(), [&](const IPmsPdu* row) noexcept {
        if (printer_found) {
            return PSW_SUCCESS;
        }
        char type[128] = {};
        Result stored = pmc_store_text(pmc_row_value(row, 0), type, sizeof type);
        if (stored == PSW_SUCCESS && std::strcmp(type, kHrDevicePrinter) == 0) {
            printer_found = true;
            const char* instance = pmc_instance_after(pmc_row_binding(row, 0), kDeviceColumns[0]);
            stored = pmc_store_text(pmc_row_value_of(row, 1, kDeviceColumns[1], instance),
                                    identity.device_descr, sizeof identity.device_descr);
        }
        return stored;
    });
    if (result != PSW_SUCCESS) {
        return result;
    }

    result = read_table(kMarkerColumns, 2, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    result = pmc_visit_rows(rows.get(), [&](const IPmsPdu* row) noexcept {
        if (identity.marker_count < PSW_IDENTITY_MARKERS) {
            PSWMarkerCounter& marker = identity.markers[identity.marker_count];
            const char* instance = pmc_instance_after(pmc_row_binding(row, 0), kMarkerColumns[0]);
            pmc_store_int(pmc_row_value(row, 0), &marker.counter_unit);
            pmc_store_uint(pmc_row_value_of(row, 1, kMarkerColumns[1], instance),
                           &marker.life_count);
        }
        ++identity.marker_count;
        return PSW_SUCCESS;
    });
    if (result != PSW_SUCCESS) {
        return result;
    }
    std::memcpy(out, &identity, sizeof identity);
    return PSW_SUCCESS;
}

}  // namespace psw
