#include "snmp/pms_varbind.h"

#include <cstring>

#include "core/factory.h"

namespace psw {

namespace {

bool values_equal(const IPmsValue* a, const IPmsValue* b) noexcept
{
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    return a->equals(b);
}

class CPmsVarBind final : public PmsVarBind {
public:
    ~CPmsVarBind() override
    {
        if (m_name != nullptr) {
            m_name->release();
        }
        if (m_value != nullptr) {
            m_value->release();
        }
    }

    void release() noexcept override { delete this; }

    PmsVarBind* clone(Result* result) const noexcept override
    {
        OwnedPtr<PmsVarBind> copy(create_varbind(result));
        if (!copy) {
            return nullptr;
        }
        if (m_name != nullptr) {
            IPmsOid* name = m_name->clone_oid(result);
            if (name == nullptr) {
                return nullptr;
            }
            copy->set_name(name);
        }
        if (m_value != nullptr) {
            IPmsValue* value = m_value->clone(result);
            if (value == nullptr) {
                return nullptr;
            }
            copy->set_value(value);
        }
        copy->set_mark(m_mark);
        set_result(result, PSW_SUCCESS);
        return copy.release();
    }

    bool equals(const PmsVarBind* other) const noexcept override
    {
        return other != nullptr && values_equal(m_value, other->value()) &&
               values_equal(m_name, other->name()) && m_mark == other->mark();
    }

    Result set(IPmsOid* name, IPmsValue* value) noexcept override
    {
        set_name(name);
        Result result = PSW_SUCCESS;
        if (value == nullptr) {
            value = create_value(kPmsNull, &result);
        }
        set_value(value);
        return result;
    }

    Result set_again(IPmsOid* name, IPmsValue* value) noexcept override { return set(name, value); }

    void detach(IPmsOid** name, IPmsValue** value) noexcept override
    {
        if (name != nullptr) {
            *name = m_name;
        } else if (m_name != nullptr) {
            m_name->release();
        }
        if (value != nullptr) {
            *value = m_value;
        } else if (m_value != nullptr) {
            m_value->release();
        }
        m_name = nullptr;
        m_value = nullptr;
    }

    void set_name(IPmsOid* name) noexcept override
    {
        if (m_name != nullptr && m_name != name) {
            m_name->release();
        }
        m_name = name;
    }

    void set_value(IPmsValue* value) noexcept override
    {
        if (m_value != nullptr && m_value != value) {
            m_value->release();
        }
        m_value = value;
    }

    IPmsOid* name() const noexcept override { return m_name; }
    IPmsValue* value() const noexcept override { return m_value; }
    int32_t mark() const noexcept override { return m_mark; }
    void set_mark(int32_t mark) noexcept override { m_mark = mark; }

private:
    IPmsOid* m_name = nullptr;
    IPmsValue* m_value = nullptr;
    int32_t m_mark = 0;
};

class CPmsVarBindList final : public PmsVarBindList {
public:
    ~CPmsVarBindList() override
    {
        truncate(0);
        delete[] m_items;
    }

    void release() noexcept override { delete this; }

    PmsVarBindList* clone(Result* result) const noexcept override
    {
        return copy_range_unchecked(0, m_count, result);
    }

    bool equals(const PmsVarBindList* other) const noexcept override
    {
        if (other == nullptr || other->count() != m_count) {
            return false;
        }
        for (uint32_t i = 0; i < m_count; ++i) {
            if (!m_items[i]->equals(other->at(i))) {
                return false;
            }
        }
        return true;
    }

    uint32_t count() const noexcept override { return m_count; }

    Result add(IPmsOid* name, IPmsValue* value) noexcept override
    {
        return add_at(m_count, name, value);
    }

    Result append(PmsVarBind* binding) noexcept override { return insert(m_count, binding); }

    Result add_front(IPmsOid* name, IPmsValue* value) noexcept override
    {
        return add_at(0, name, value);
    }

    Result prepend(PmsVarBind* binding) noexcept override { return insert(0, binding); }

    Result remove(uint32_t index, PmsVarBind** out) noexcept override
    {
        if (index >= m_count) {
            return PSW_ERR_PARAMETER;
        }
        PmsVarBind* binding = m_items[index];
        std::memmove(m_items + index, m_items + index + 1,
                     (m_count - index - 1) * sizeof(PmsVarBind*));
        --m_count;
        if (out != nullptr) {
            *out = binding;
        } else {
            binding->release();
        }
        return PSW_SUCCESS;
    }

    void take_first(IPmsOid** name, IPmsValue** value) noexcept override
    {
        PmsVarBind* first = detach_first();
        if (first != nullptr) {
            first->detach(name, value);
            first->release();
        }
    }

    PmsVarBind* detach_first() noexcept override
    {
        PmsVarBind* first = nullptr;
        return remove(0, &first) == PSW_SUCCESS ? first : nullptr;
    }

    PmsVarBind* at(uint32_t index) const noexcept override
    {
        return index < m_count ? m_items[index] : nullptr;
    }

    PmsVarBindList* copy_range(uint32_t start, uint32_t count,
                               Result* result) const noexcept override
    {
        if (start >= m_count) {
            set_result(result, PSW_ERR_PARAMETER);
            return nullptr;
        }
        return copy_range_unchecked(start, count, result);
    }

    PmsVarBindList* take_first_n(uint32_t count, Result* result) noexcept override
    {
        if (count > m_count) {
            count = m_count;
        }
        auto* taken = pmc_new<CPmsVarBindList>();
        if (taken == nullptr || taken->reserve(count) != PSW_SUCCESS) {
            delete taken;
            set_result(result, PSW_ERR_NO_MEMORY);
            return nullptr;
        }
        if (count != 0) {
            std::memcpy(taken->m_items, m_items, count * sizeof(PmsVarBind*));
            std::memmove(m_items, m_items + count, (m_count - count) * sizeof(PmsVarBind*));
        }
        taken->m_count = count;
        m_count -= count;
        set_result(result, PSW_SUCCESS);
        return taken;
    }

    void mark_error(int32_t error_status, int32_t error_index) noexcept override
    {
        for (uint32_t i = 0; i < m_count; ++i) {
            const bool failing = static_cast<int64_t>(i) + 1 == error_index;
            m_items[i]->set_mark(failing ? error_status : kPmsMarkOtherBinding);
        }
    }

    void mark_all(int32_t mark) noexcept override
    {
        for (uint32_t i = 0; i < m_count; ++i) {
            m_items[i]->set_mark(mark);
        }
    }

    void truncate(uint32_t count) noexcept override
    {
        while (m_count > count) {
            m_items[--m_count]->release();
        }
    }

private:
    Result reserve(uint32_t count) noexcept
    {
        if (count <= m_capacity) {
            return PSW_SUCCESS;
        }
        uint32_t capacity = m_capacity < 8 ? 8 : m_capacity * 2;
        if (capacity < count) {
            capacity = count;
        }
        auto** items = new (std::nothrow) PmsVarBind*[capacity];
        if (items == nullptr) {
            return PSW_ERR_NO_MEMORY;
        }
        if (m_count != 0) {
            std::memcpy(items, m_items, m_count * sizeof(PmsVarBind*));
        }
        delete[] m_items;
        m_items = items;
        m_capacity = capacity;
        return PSW_SUCCESS;
    }

    // Takes ownership of `binding` in every case: it is released when it cannot be stored.
    Result insert(uint32_t index, PmsVarBind* binding) noexcept
    {
        if (binding == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (reserve(m_count + 1) != PSW_SUCCESS) {
            binding->release();
            return PSW_ERR_NO_MEMORY;
        }
        std::memmove(m_items + index + 1, m_items + index, (m_count - index) * sizeof(PmsVarBind*));
        m_items[index] = binding;
        ++m_count;
        return PSW_SUCCESS;
    }

    Result add_at(uint32_t index, IPmsOid* name, IPmsValue* value) noexcept
    {
        if (name == nullptr) {
            if (value != nullptr) {
                value->release();
            }
            return PSW_ERR_PARAMETER;
        }
        Result result = PSW_SUCCESS;
        PmsVarBind* binding = create_varbind(&result);
        if (binding == nullptr) {
            name->release();
            if (value != nullptr) {
                value->release();
            }
            return result;
        }
        result = binding->set(name, value);
        if (result != PSW_SUCCESS) {
            binding->release();
            return result;
        }
        return insert(index, binding);
    }

    PmsVarBindList* copy_range_unchecked(uint32_t start, uint32_t count,
                                         Result* result) const noexcept
    {
        OwnedPtr<CPmsVarBindList> copy(pmc_new<CPmsVarBindList>());
        if (!copy) {
            set_result(result, PSW_ERR_NO_MEMORY);
            return nullptr;
        }
        const uint32_t end = count < m_count - start ? start + count : m_count;
        for (uint32_t i = start; i < end; ++i) {
            PmsVarBind* binding = m_items[i]->clone(result);
            if (binding == nullptr) {
                return nullptr;
            }
            const Result appended = copy->append(binding);
            if (appended != PSW_SUCCESS) {
                set_result(result, appended);
                return nullptr;
            }
        }
        set_result(result, PSW_SUCCESS);
        return copy.release();
    }

    PmsVarBind** m_items = nullptr;
    uint32_t m_count = 0;
    uint32_t m_capacity = 0;
};

}  // namespace

PmsVarBind* create_varbind(Result* result) noexcept
{
    return pmc_made(pmc_new<CPmsVarBind>(), result);
}

PmsVarBindList* create_varbind_list(Result* result) noexcept
{
    return pmc_made(pmc_new<CPmsVarBindList>(), result);
}

}  // namespace psw
