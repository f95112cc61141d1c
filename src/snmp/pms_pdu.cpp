#include "snmp/pms_pdu.h"

#include <utility>

#include "core/factory.h"

namespace psw {

namespace {

template <class T>
void release_member(T*& member) noexcept
{
    if (member != nullptr) {
        member->release();
        member = nullptr;
    }
}

bool same_values(const IPmsValue* a, const IPmsValue* b) noexcept
{
    return a == nullptr || b == nullptr ? a == b : a->equals(b);
}

class CPmsPdu final : public IPmsPdu {
public:
    ~CPmsPdu() override
    {
        release_member(m_bindings);
        release_member(m_time_stamp);
        release_member(m_enterprise);
    }

    void release() noexcept override { delete this; }

    void reset() noexcept override
    {
        release_member(m_bindings);
        release_member(m_time_stamp);
        release_member(m_enterprise);
        m_type = kPmsPduUnset;
        m_error_status = -1;
        m_error_index = 0;
    }

    IPmsPdu* clone(Result* result) const noexcept override
    {
        return pmc_filled(create_pdu(result), result,
                          [&](IPmsPdu* copy) { return copy->assign(this); });
    }

    Result assign(const IPmsPdu* other) noexcept override
    {
        Result result = copy_header(other);
        if (result != PSW_SUCCESS || other == this) {
            return result;
        }
        PmsVarBindList* list = nullptr;
        if (other->bindings() != nullptr) {
            list = other->bindings()->clone(&result);
            if (list == nullptr) {
                return result;
            }
        }
        set_bindings(list);
        return PSW_SUCCESS;
    }

    Result copy_header(const IPmsPdu* other) noexcept override
    {
        if (other == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (other == this) {
            return PSW_SUCCESS;
        }
        Result result = PSW_SUCCESS;
        IPmsValue* time_stamp = nullptr;
        IPmsOid* enterprise = nullptr;
        if (other->time_stamp() != nullptr &&
            (time_stamp = other->time_stamp()->clone(&result)) == nullptr) {
            return result;
        }
        if (other->enterprise() != nullptr &&
            (enterprise = other->enterprise()->clone_oid(&result)) == nullptr) {
            release_member(time_stamp);
            return result;
        }
        m_type = other->type();
        m_request_id = other->request_id();
        m_error_status = other->error_status();
        m_error_index = other->error_index();
        release_member(m_time_stamp);
        release_member(m_enterprise);
        m_time_stamp = time_stamp;
        m_enterprise = enterprise;
        return PSW_SUCCESS;
    }

    bool equals(const IPmsPdu* other) const noexcept override
    {
        if (other == nullptr || m_type == kPmsPduUnset || m_type != other->type()) {
            return false;
        }
        if (m_type == kPmsTrap) {
            if (!same_values(m_time_stamp, other->time_stamp()) ||
                !same_values(m_enterprise, other->enterprise())) {
                return false;
            }
        } else if (m_request_id != other->request_id() || m_error_index != other->error_index() ||
                   m_error_status != other->error_status()) {
            return false;
        }
        const PmsVarBindList* theirs = other->bindings();
        if (m_bindings == nullptr || theirs == nullptr) {
            return m_bindings == theirs;
        }
        return m_bindings->equals(theirs);
    }

    int32_t type() const noexcept override { return m_type; }
    void set_type(int32_t type) noexcept override { m_type = type; }
    PmsVarBindList* bindings() const noexcept override { return m_bindings; }

    void set_bindings(PmsVarBindList* list) noexcept override
    {
        if (list != m_bindings) {
            release_member(m_bindings);
            m_bindings = list;
        }
    }

    PmsVarBindList* detach_bindings() noexcept override
    {
        return std::exchange(m_bindings, nullptr);
    }

    Result add(IPmsOid* name, IPmsValue* value) noexcept override
    {
        return into_list([&](PmsVarBindList* list) { return list->add(name, value); }, name, value);
    }

    Result append(PmsVarBind* binding) noexcept override
    {
        return into_list([&](PmsVarBindList* list) { return list->append(binding); }, binding);
    }

    Result add_front(IPmsOid* name, IPmsValue* value) noexcept override
    {
        return into_list([&](PmsVarBindList* list) { return list->add_front(name, value); }, name,
                         value);
    }

    Result prepend(PmsVarBind* binding) noexcept override
    {
        return into_list([&](PmsVarBindList* list) { return list->prepend(binding); }, binding);
    }

    void take_first(IPmsOid** name, IPmsValue** value) noexcept override
    {
        if (m_bindings != nullptr) {
            m_bindings->take_first(name, value);
        }
    }

    PmsVarBind* detach_first() noexcept override
    {
        return m_bindings != nullptr ? m_bindings->detach_first() : nullptr;
    }

    int32_t request_id() const noexcept override { return m_request_id; }
    int32_t error_status() const noexcept override { return m_error_status; }
    int32_t error_index() const noexcept override { return m_error_index; }
    void set_request_id(int32_t value) noexcept override { m_request_id = value; }
    void set_error_status(int32_t value) noexcept override { m_error_status = value; }
    void set_error_index(int32_t value) noexcept override { m_error_index = value; }
    IPmsValue* time_stamp() const noexcept override { return m_time_stamp; }
    IPmsOid* enterprise() const noexcept override { return m_enterprise; }

    IPmsValue* detach_time_stamp() noexcept override
    {
        return std::exchange(m_time_stamp, nullptr);
    }

    IPmsOid* detach_enterprise() noexcept override { return std::exchange(m_enterprise, nullptr); }

    Result set_time_stamp(IPmsValue* value) noexcept override
    {
        if (value != nullptr && value->type() != kPmsTimeTicks) {
            return PSW_ERR_PARAMETER;
        }
        if (value != m_time_stamp) {
            release_member(m_time_stamp);
            m_time_stamp = value;
        }
        return PSW_SUCCESS;
    }

    Result set_enterprise(IPmsValue* value) noexcept override
    {
        if (value != nullptr && value->type() != kPmsObjectId) {
            return PSW_ERR_PARAMETER;
        }
        IPmsOid* oid = value != nullptr ? value->extension() : nullptr;
        if (oid != m_enterprise) {
            release_member(m_enterprise);
            m_enterprise = oid;
        }
        return PSW_SUCCESS;
    }

private:
    // Hands `members` to the binding list through `put` once the list exists; releases them
    // when it cannot be made.
    template <class Put, class... Members>
    Result into_list(Put put, Members*... members) noexcept
    {
        const Result result = ensure_list();
        if (result != PSW_SUCCESS) {
            (release_member(members), ...);
            return result;
        }
        return put(m_bindings);
    }

    Result ensure_list() noexcept
    {
        if (m_bindings != nullptr) {
            return PSW_SUCCESS;
        }
        Result result = PSW_SUCCESS;
        m_bindings = create_varbind_list(&result);
        return result;
    }

    int32_t m_type = kPmsPduUnset;
    PmsVarBindList* m_bindings = nullptr;
    int32_t m_request_id = 0;
    int32_t m_error_status = 0;
    int32_t m_error_index = 0;
    IPmsValue* m_time_stamp = nullptr;
    IPmsOid* m_enterprise = nullptr;
};

}  // namespace

IPmsPdu* create_pdu(Result* result) noexcept
{
    return pmc_made(pmc_new<CPmsPdu>(), result);
}

}  // namespace psw
