// Every supply: all rows of prtMarkerSuppliesTable, whatever their type, with the colorant each
// one carries resolved through prtMarkerColorantTable.
#include <cstdio>
#include <cstring>

#include "core/text_field.h"
#include "query/device_query.h"
#include "query/record_fields.h"

namespace psw {

namespace {

constexpr const char* kSupplyType = "1.3.6.1.2.1.43.11.1.1.5";
constexpr const char* kSupplyColumns[] = {
    kSupplyType,                // prtMarkerSuppliesType (the walk starts here)
    "1.3.6.1.2.1.43.11.1.1.4",  // prtMarkerSuppliesClass
    "1.3.6.1.2.1.43.11.1.1.7",  // prtMarkerSuppliesSupplyUnit
    "1.3.6.1.2.1.43.11.1.1.8",  // prtMarkerSuppliesMaxCapacity
    "1.3.6.1.2.1.43.11.1.1.9",  // prtMarkerSuppliesLevel
    "1.3.6.1.2.1.43.11.1.1.3",  // prtMarkerSuppliesColorantIndex
    "1.3.6.1.2.1.43.11.1.1.6",  // prtMarkerSuppliesDescription
};
constexpr const char* kColorantValue = "1.3.6.1.2.1.43.12.1.1.4";  // prtMarkerColorantValue

// Reads the two sub-identifiers of an instance "hrDeviceIndex.entryIndex"; false when the
// instance has another form.
bool device_and_entry(const PmsVarBind* binding, const char* column, uint32_t* device,
                      uint32_t* entry) noexcept
{
    const char* instance = pmc_instance_after(binding, column);
    unsigned first = 0;
    unsigned second = 0;
    int used = 0;
    if (instance == nullptr || std::sscanf(instance, "%10u.%10u%n", &first, &second, &used) != 2 ||
        instance[used] != '\0') {
        return false;
    }
    *device = first;
    *entry = second;
    return true;
}

}  // namespace

int32_t pmc_supply_percent(int32_t level, int32_t capacity) noexcept
{
    if (level < 0) {
        return level;
    }
    if (capacity <= 0) {
        return kSupplyUnknown;
    }
    // Rounded to the nearest percent; 64-bit so that large counts cannot overflow.
    const int64_t percent =
        (static_cast<int64_t>(level) * 100 + capacity / 2) / static_cast<int64_t>(capacity);
    return percent > 100 ? 100 : static_cast<int32_t>(percent);
}

Result PSWDeviceQuery::query_supplies() noexcept
{
    m_supplies.clear();
    OwnedPtr<PmsWalkRows> rows;
    Result result = read_table(kSupplyColumns, 7, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    uint32_t device_of_first_row = 0;
    result = pmc_visit_rows(rows.get(), [&](const IPmsPdu* row) noexcept {
        PSWSupplyInfo record = {};
        uint32_t device = 0;
        uint32_t entry = 0;
        if (device_and_entry(pmc_row_binding(row, 0), kSupplyType, &device, &entry)) {
            record.supply_index = static_cast<int32_t>(entry);
            if (m_supplies.empty()) {
                device_of_first_row = device;
            }
        }
        // A column the agent lacks for this row leaves its field 0 (the walk would bring the
        // next object instead).
        const char* instance = pmc_instance_after(pmc_row_binding(row, 0), kSupplyType);
        const auto cell = [row, instance](uint32_t position) {
            return pmc_row_value_of(row, position, kSupplyColumns[position], instance);
        };
        pmc_store_int(pmc_row_value(row, 0), &record.supply_type);
        pmc_store_int(cell(1), &record.supply_class);
        pmc_store_int(cell(2), &record.supply_unit);
        pmc_store_int(cell(3), &record.max_capacity);
        pmc_store_int(cell(4), &record.level);
        pmc_store_int(cell(5), &record.colorant_index);
        record.percent = pmc_supply_percent(record.level, record.max_capacity);
        const Result stored =
            pmc_store_text(cell(6), record.description, sizeof record.description);
        if (stored != PSW_SUCCESS) {
            return stored;
        }
        return m_supplies.push_back(record) ? PSW_SUCCESS : PSW_ERR_NO_MEMORY;
    });
    if (result != PSW_SUCCESS) {
        return result;
    }
    bool any_colorant = false;
    for (size_t i = 0; i < m_supplies.size(); ++i) {
        any_colorant = any_colorant || m_supplies[i].colorant_index > 0;
    }
    return any_colorant ? resolve_colorants(device_of_first_row) : PSW_SUCCESS;
}

// Names each supply's colorant from the colorant table of the same device. A colorant index
// without a row of its own leaves the name empty.
Result PSWDeviceQuery::resolve_colorants(uint32_t device) noexcept
{
    OwnedPtr<PmsWalkRows> rows;
    const char* const columns[] = {kColorantValue};
    const Result result = read_table(columns, 1, &rows);
    if (result != PSW_SUCCESS) {
        return result;
    }
    return pmc_visit_rows(rows.get(), [&](const IPmsPdu* row) noexcept {
        uint32_t row_device = 0;
        uint32_t colorant = 0;
        if (!device_and_entry(pmc_row_binding(row, 0), kColorantValue, &row_device, &colorant) ||
            row_device != device) {
            return PSW_SUCCESS;
        }
        char name[sizeof(PSWSupplyInfo::colorant)] = {};
        const Result stored = pmc_store_text(pmc_row_value(row, 0), name, sizeof name);
        if (stored != PSW_SUCCESS) {
            return stored;
        }
        for (size_t i = 0; i < m_supplies.size(); ++i) {
            if (m_supplies[i].colorant_index == static_cast<int32_t>(colorant)) {
                pmc_copy_text(m_supplies[i].colorant, sizeof m_supplies[i].colorant, name);
            }
        }
        return PSW_SUCCESS;
    });
}

}  // namespace psw
