#include "query/record_fields.h"

#include <cstdio>
#include <cstring>

#include "core/factory.h"
#include "core/pms_octets.h"

namespace psw {

const PmsVarBind* pmc_row_binding(const IPmsPdu* row, uint32_t position) noexcept
{
    if (row == nullptr) {
        return nullptr;
    }
    const PmsVarBindList* list = row->bindings();
    if (list == nullptr || position >= list->count()) {
        return nullptr;
    }
    return list->at(position);
}

const IPmsValue* pmc_row_value(const IPmsPdu* row, uint32_t position) noexcept
{
    const PmsVarBind* binding = pmc_row_binding(row, position);
    const IPmsValue* value = binding != nullptr ? binding->value() : nullptr;
    // A column the row lacks (the walk marks it noSuchInstance) leaves its field alone.
    if (value != nullptr &&
        (value->type() == kPmsNoSuchObject || value->type() == kPmsNoSuchInstance ||
         value->type() == kPmsEndOfMibView)) {
        return nullptr;
    }
    return value;
}

void pmc_store_int(const IPmsValue* value, int32_t* field) noexcept
{
    if (value != nullptr) {
        *field = value->get_int();
    }
}

void pmc_store_uint(const IPmsValue* value, uint32_t* field) noexcept
{
    if (value != nullptr) {
        *field = value->get_uint();
    }
}

namespace {

// Where a value writes its text form when it goes straight into a record's field: the bytes
// are copied into the zeroed field, cut to size - 1, without a heap copy of their own.
class CPmcFieldTextSink final : public PmsOctets {
public:
    CPmcFieldTextSink(char* field, size_t size) noexcept : m_field(field), m_size(size) {}

    Result assign(const void* bytes, size_t length) noexcept override
    {
        std::memset(m_field, 0, m_size);
        // The text may hold zero bytes of its own; the field keeps what precedes the first.
        const size_t kept = length < m_size - 1 ? length : m_size - 1;
        if (kept != 0 && bytes != nullptr) {
            std::memcpy(m_field, bytes, kept);
        }
        return PSW_SUCCESS;
    }
    using PmsOctets::assign;

private:
    char* m_field;
    size_t m_size;
};

}  // namespace

Result pmc_store_text(const IPmsValue* value, char* field, size_t size) noexcept
{
    pmc_copy_text(field, size, nullptr);
    if (value == nullptr || field == nullptr || size == 0) {
        return PSW_SUCCESS;
    }
    CPmcFieldTextSink sink(field, size);
    const Result written = value->write_text(&sink);
    if (written != PSW_SUCCESS) {
        // A value without a text form leaves an empty text.
        pmc_copy_text(field, size, nullptr);
        return written == PSW_ERR_NO_MEMORY ? written : PSW_SUCCESS;
    }
    return PSW_SUCCESS;
}

void pmc_store_octets(const IPmsValue* value, uint8_t* field, size_t size) noexcept
{
    std::memset(field, 0, size);
    if (value == nullptr) {
        return;
    }
    size_t length = 0;
    const uint8_t* bytes = value->get_octets(&length);
    if (bytes == nullptr) {
        return;
    }
    std::memcpy(field, bytes, length < size ? length : size);
}

void pmc_store_date(const IPmsValue* value, PSWDateTime* date) noexcept
{
    uint8_t octets[7];
    pmc_store_octets(value, octets, sizeof octets);
    date->year = static_cast<int16_t>(octets[0] * 256 + octets[1]);
    date->month = static_cast<int8_t>(octets[2]);
    date->day = static_cast<int8_t>(octets[3]);
    date->hour = static_cast<int8_t>(octets[4]);
    date->minute = static_cast<int8_t>(octets[5]);
    date->second = static_cast<int8_t>(octets[6]);
}

const char* pmc_instance_after(const PmsVarBind* binding, const char* column) noexcept
{
    if (binding == nullptr || binding->name() == nullptr || column == nullptr) {
        return nullptr;
    }
    const char* name = binding->name()->text();
    const size_t length = std::strlen(column);
    if (std::strncmp(name, column, length) != 0 || name[length] != '.') {
        return nullptr;
    }
    return name + length + 1;
}

const IPmsValue* pmc_row_value_of(const IPmsPdu* row, uint32_t position, const char* column,
                                  const char* instance) noexcept
{
    const PmsVarBind* binding = pmc_row_binding(row, position);
    const char* found = binding != nullptr ? pmc_instance_after(binding, column) : nullptr;
    if (found == nullptr || instance == nullptr || std::strcmp(found, instance) != 0) {
        return nullptr;
    }
    return pmc_row_value(row, position);
}

bool pmc_row_index(const PmsVarBind* binding, const char* column, int64_t* index) noexcept
{
    *index = -1;
    const char* instance = pmc_instance_after(binding, column);
    if (instance == nullptr || *instance < '0' || *instance > '9') {
        return false;
    }
    uint64_t number = 0;
    for (const char* digit = instance; *digit >= '0' && *digit <= '9'; ++digit) {
        number = number * 10 + static_cast<uint64_t>(*digit - '0');
        if (number > 0xFFFFFFFFu) {
            return false;
        }
    }
    *index = static_cast<int64_t>(number);
    return true;
}

int32_t pmc_code_in_range(const char* text, const char* prefix, uint32_t first,
                          uint32_t count) noexcept
{
    if (text == nullptr) {
        return 0;
    }
    // The text must read exactly "<prefix>.<code>" with the code in its plain decimal spelling
    // (no sign, no leading zero), as printing the code after the prefix would give it.
    const size_t prefix_length = std::strlen(prefix);
    if (std::strncmp(text, prefix, prefix_length) != 0 || text[prefix_length] != '.') {
        return 0;
    }
    const char* digits = text + prefix_length + 1;
    if (*digits == '\0' || (digits[0] == '0' && digits[1] != '\0')) {
        return 0;
    }
    const uint64_t end = static_cast<uint64_t>(first) + count;
    uint64_t code = 0;
    for (const char* at = digits; *at != '\0'; ++at) {
        if (*at < '0' || *at > '9') {
            return 0;
        }
        code = code * 10 + static_cast<uint64_t>(*at - '0');
        if (code >= end) {
            return 0;
        }
    }
    return code >= first ? static_cast<int32_t>(code) : 0;
}

}  // namespace psw
