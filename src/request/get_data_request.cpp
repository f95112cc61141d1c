// The get-data request: scalars, table walks and writes on one printer.
#include <cstdlib>
#include <cstring>

#include "core/pmc_string.h"
#include "core/pms_octets.h"
#include "log/log_channel.h"
#include "request/request_base.h"
#include "request/walk_alignment.h"
#include "request/walk_order.h"
#include "snmp/pms_value.h"
#include "snmp/pms_value_views.h"
#include "snmp/walk_rows.h"

namespace psw {

namespace {

constexpr int32_t kErrorNoSuchName = 2;
// The longest name asked that a walk keeps as numbers (SNMP allows 128 sub-identifiers).
constexpr uint32_t kAskedNumbersMax = 128;
// The columns of a walk whose numbers are read once (later ones are read per row).
constexpr uint32_t kColumnNumbersMax = 32;

class PmcGetData final : public PmcRequest<IPmcGetData> {
public:
    Result add_oid_string(const char* oid, bool instance) noexcept override
    {
        return add_null_binding(oid, instance);
    }

    Result add_oid_with_int(const char* oid, const char* index, int32_t value) noexcept override
    {
        OwnedPtr<IPmsOid> name;
        Result result = make_name(oid, &name);
        if (result != PSW_SUCCESS) {
            return result;
        }
        if (index != nullptr && *index != '\0' &&
            (result = name->append_text(index)) != PSW_SUCCESS) {
            return result;
        }
        IPmsValue* integer = create_value_with_int(value, kPmsInteger, &result);
        if (integer == nullptr) {
            return result;
        }
        return m_pdu->add(name.release(), integer);
    }

    Result set_data() noexcept override
    {
        const Result result = exchange(kPmsSetRequest);
        if (result != PSW_SUCCESS) {
            return result;
        }
        // Only error-status noError means the agent made the change.
        const int32_t status = m_pdu->error_status();
        if (status != 0) {
            pmc_snmp_channel().logger()->output(kLogError,
                                                "[set_data] refused with error-status %d.", status);
            return PSW_ERR_TOO_LONG;
        }
        return PSW_SUCCESS;
    }

    Result get_data(PmsPduList* rows, const char* first_column) noexcept override
    {
        return checked_walk(rows, first_column, [rows](IPmsPdu* reply) noexcept {
            Result made = PSW_SUCCESS;
            OwnedPtr<IPmsPdu> row(reply->clone(&made));
            return row ? rows->push_back(row.release()) : made;
        });
    }

    Result get_rows(PmsWalkRows* rows, const char* first_column) noexcept override
    {
        return checked_walk(rows, first_column,
                            [rows](IPmsPdu* reply) noexcept { return rows->append(reply); });
    }

    Result walk_rows(IPmcRowSink* sink, const char* first_column) noexcept override
    {
        return checked_walk(sink, first_column,
                            [sink](IPmsPdu* reply) noexcept { return sink->take_row(reply); });
    }

    Result get_string(char* destination) noexcept override
    {
        if (destination == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        OwnedPtr<IPmsValue> value;
        const Result result = single_read(&value);
        if (result != PSW_SUCCESS) {
            return result;
        }
        Result error = PSW_SUCCESS;
        OwnedPtr<PmsOctets> text(value->to_text(&error));
        if (text && text->length() != 0) {
            const size_t length =
                text->length() < kGetStringCapacity - 1 ? text->length() : kGetStringCapacity - 1;
            std::memcpy(destination, text->data(), length);
            destination[length] = '\0';
        }
        return PSW_SUCCESS;
    }

    Result get_ints(int32_t* values, int32_t count) noexcept override
    {
        if (values == nullptr || count < 0) {
            return PSW_ERR_PARAMETER;
        }
        Result result = read_exchange();
        if (result != PSW_SUCCESS) {
            return result;
        }
        for (int32_t i = 0; i < count; ++i) {
            OwnedPtr<IPmsValue> value;
            result = take_first_value(&value);
            if (result != PSW_SUCCESS) {
                return result;
            }
            values[i] = value->get_int(nullptr);
        }
        return PSW_SUCCESS;
    }

    Result get_int(int32_t* value) noexcept override
    {
        if (value == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        OwnedPtr<IPmsValue> first;
        const Result result = single_read(&first);
        if (result == PSW_SUCCESS) {
            *value = first->get_int(nullptr);
        }
        return result;
    }

private:
    // A walk whose rows go to `destination`: init is checked first, then the destination.
    template <class Keep>
    Result checked_walk(const void* destination, const char* first_column, Keep&& keep) noexcept
    {
        const Result ready = require_init();
        if (ready != PSW_SUCCESS) {
            return ready;
        }
        return destination == nullptr ? PSW_ERR_PARAMETER : walk(first_column, keep);
    }
    // Walks the columns; `keep(reply)` stores each row.
    template <class Keep>
    Result walk(const char* first_column, Keep&& keep) noexcept;

    // A GetRequest whose reply the agent did not refuse. noSuchName is no refusal: the
    // bindings then read as absent objects.
    Result read_exchange() noexcept
    {
        const Result result = exchange(kPmsGetRequest);
        if (result != PSW_SUCCESS) {
            return result;
        }
        const int32_t status = m_pdu->error_status();
        if (status != 0 && status != kErrorNoSuchName) {
            pmc_snmp_channel().logger()->output(
                kLogError, "[get_data] read refused with error-status %d.", status);
            return PSW_ERR_ERROR_STATUS;
        }
        return PSW_SUCCESS;
    }

    // A GetRequest and the first value of its reply.
    Result single_read(OwnedPtr<IPmsValue>* value) noexcept
    {
        const Result result = read_exchange();
        return result == PSW_SUCCESS ? take_first_value(value) : result;
    }

    // Takes the reply's first binding out; its name is released. PSW_ERR_TOO_LONG when there is
    // none.
    Result take_first_value(OwnedPtr<IPmsValue>* value) noexcept
    {
        IPmsOid* name = nullptr;
        IPmsValue* taken = nullptr;
        m_pdu->take_first(&name, &taken);
        OwnedPtr<IPmsOid> released_name(name);
        if (taken == nullptr) {
            return PSW_ERR_TOO_LONG;
        }
        value->reset(taken);
        return PSW_SUCCESS;
    }
};

template <class Keep>
Result PmcGetData::walk(const char* first_column, Keep&& keep) noexcept
{
    Result result = require_init();
    if (result != PSW_SUCCESS) {
        return result;
    }
    if (first_column == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    OwnedPtr<IPmsOid> root(pmc_oid_from_text(first_column, &result));
    if (!root) {
        return result;
    }
    // The columns as added: a row that lacks one of them is realigned on them. Their numbers
    // are read from the text before the copy (the request's encoding needs them too, and the
    // copy takes them along), and kept for the whole walk.
    const uint32_t column_count = m_pdu->bindings() != nullptr ? m_pdu->bindings()->count() : 0;
    for (uint32_t i = 0; i < column_count; ++i) {
        pmc_canonical_view(m_pdu->bindings()->at(i)->name());
    }
    OwnedPtr<PmsVarBindList> columns(
        m_pdu->bindings() != nullptr ? m_pdu->bindings()->clone(&result) : nullptr);
    if (!columns) {
        return m_pdu->bindings() != nullptr ? result : PSW_ERR_TOO_LONG;
    }
    const PmsOidView* column_numbers[kColumnNumbersMax];
    const uint32_t known = column_count < kColumnNumbersMax ? column_count : kColumnNumbersMax;
    for (uint32_t i = 0; i < known; ++i) {
        column_numbers[i] = pmc_canonical_view(columns->at(i)->name());
    }
    IPmcLogger* log = pmc_snmp_channel().logger();
    // The name asked, kept for the whole walk: as numbers when its text is their canonical
    // spelling (a reply's name always is), else as text.
    CPmcString requested;
    uint32_t asked_ids[kAskedNumbersMax];
    uint32_t asked_count = 0;
    bool asked_as_numbers = false;
    for (uint32_t kept = 0;; ++kept) {
        // Where this request stands: the reply's first name must lie beyond it.
        PmsVarBind* first = m_pdu->bindings() != nullptr ? m_pdu->bindings()->at(0) : nullptr;
        if (first == nullptr || first->name() == nullptr) {
            return PSW_ERR_TOO_LONG;
        }
        const PmsOidView* asked = pmc_canonical_view(first->name());
        asked_as_numbers = asked != nullptr && asked->count() <= kAskedNumbersMax;
        if (asked_as_numbers) {
            asked_count = asked->count();
            if (asked_count != 0) {
                std::memcpy(asked_ids, asked->sub_ids(), asked_count * sizeof(uint32_t));
            }
        } else {
            const size_t asked_length = first->name()->text_length();
            requested.assign(first->name()->text(), asked_length);
            if (requested.length() != asked_length) {
                return PSW_ERR_NO_MEMORY;
            }
        }
        result = exchange(kPmsGetNextRequest);
        if (result != PSW_SUCCESS) {
            return result;
        }
        const int32_t status = m_pdu->error_status();
        if (status == kErrorNoSuchName) {
            // SNMPv1's end of the agent's view.
            return PSW_SUCCESS;
        }
        if (status != 0) {
            log->output(kLogError, "[get_data] walk of %s ended by error-status %d.", first_column,
                        status);
            return PSW_ERR_FAILED;
        }
        PmsVarBind* answer = m_pdu->bindings() != nullptr ? m_pdu->bindings()->at(0) : nullptr;
        if (answer == nullptr || answer->name() == nullptr) {
            return PSW_ERR_TOO_LONG;
        }
        if (answer->value() != nullptr && answer->value()->type() == kPmsEndOfMibView) {
            return PSW_SUCCESS;
        }
        const int32_t order = answer->name()->compare(root.get());
        if (order != kPmsOidInsideOther && order != kPmsOidPrefixOfOther) {
            return PSW_SUCCESS;
        }
        const PmsOidView* reply = asked_as_numbers ? pmc_canonical_view(answer->name()) : nullptr;
        if (reply == nullptr && asked_as_numbers) {
            // A name spelt otherwise is compared by its text, as the name asked is then.
            char text[kAskedNumbersMax * 11 + 1];
            pmc_format_sub_ids(asked_ids, asked_count, text, sizeof text);
            const size_t length = std::strlen(text);
            requested.assign(text, length);
            if (requested.length() != length) {
                return PSW_ERR_NO_MEMORY;
            }
            asked_as_numbers = false;
        }
        const int order_after =
            reply != nullptr
                ? pmc_oid_number_order(reply->sub_ids(), reply->count(), asked_ids, asked_count)
                : pmc_oid_text_order(answer->name()->text(), requested.c_str());
        if (order_after <= 0) {
            if (asked_as_numbers) {
                char text[kAskedNumbersMax * 11 + 1];
                pmc_format_sub_ids(asked_ids, asked_count, text, sizeof text);
                log->output(kLogError, "[get_data] reply name %s does not follow %s.",
                            answer->name()->text(), text);
                return PSW_ERR_FAILED;
            }
            log->output(kLogError, "[get_data] reply name %s does not follow %s.",
                        answer->name()->text(), requested.c_str());
            return PSW_ERR_FAILED;
        }
        if (kept == kWalkMaxRows) {
            log->output(kLogError, "[get_data] walk of %s passed %u rows.", first_column,
                        static_cast<unsigned>(kWalkMaxRows));
            return PSW_ERR_WALK_LIMIT;
        }
        result = pmc_align_walk_row(m_pdu->bindings(), columns.get(), column_numbers, known);
        if (result != PSW_SUCCESS) {
            return result;
        }
        result = keep(m_pdu.get());
        if (result == PSW_SUCCESS) {
            result = pmc_clear_absent_values(m_pdu->bindings());
        }
        if (result != PSW_SUCCESS) {
            return result;
        }
    }
}

}  // namespace

Result IPmcGetData::get_rows(PmsWalkRows* rows, const char* first_column) noexcept
{
    if (rows == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    Result result = PSW_SUCCESS;
    OwnedPtr<PmsPduList> list(create_pdu_list(&result));
    if (!list) {
        return result;
    }
    result = get_data(list.get(), first_column);
    if (result != PSW_SUCCESS) {
        return result;
    }
    PmsListIterator* at = list->new_iterator(&result);
    if (at == nullptr) {
        return result;
    }
    for (IPmsPdu* row = list->at(at); result == PSW_SUCCESS && row != nullptr; row = list->at(at)) {
        result = rows->append(row);
        list->advance(at);
    }
    list->release_iterator(at);
    return result;
}

Result IPmcGetData::walk_rows(IPmcRowSink* sink, const char* first_column) noexcept
{
    if (sink == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    PmsWalkRows rows;
    const Result result = get_rows(&rows, first_column);
    if (result != PSW_SUCCESS) {
        return result;
    }
    return rows.visit([sink](const IPmsPdu* row) noexcept { return sink->take_row(row); });
}

IPmcGetData* pmc_create_get_data(Result* result) noexcept
{
    IPmcGetData* request = new (std::nothrow) PmcGetData();
    set_result(result, request != nullptr ? PSW_SUCCESS : PSW_ERR_NO_MEMORY);
    return request;
}

}  // namespace psw
