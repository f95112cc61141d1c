// The object identifier value: dotted decimal text with a cached sub-identifier count.
#include <cstring>

#include "core/factory.h"
#include "snmp/pms_value_base.h"

namespace psw {

bool pms_is_valid_oid_text(const char* text) noexcept
{
    if (text == nullptr) {
        return false;
    }
    if (*text == '\0') {
        return true;
    }
    const char* p = text;
    for (;;) {
        if (*p == '0') {
            ++p;
        } else if (*p >= '1' && *p <= '9') {
            while (*p >= '0' && *p <= '9') {
                ++p;
            }
        } else {
            return false;
        }
        if (*p == '\0') {
            return true;
        }
        if (*p != '.') {
            return false;
        }
        ++p;
    }
}

namespace {

class CPmsObjectId : public CPmsValueBase, public IPmsOid {
public:
    // ---- value interface ----
    Result accept(IPmsValueCoder* coder) noexcept override
    {
        return coder != nullptr ? coder->code_oid(m_view) : PSW_ERR_PARAMETER;
    }
    IPmsValue* clone(Result* result) const noexcept override
    {
        return static_cast<IPmsValue*>(clone_oid(result));
    }
    Result assign(const IPmsValue* other) noexcept override
    {
        const IPmsOid* oid = as_oid(other);
        if (oid == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (const auto* view = other_view(oid); view != nullptr && view != &m_view) {
            return m_view.assign(*view);  // the same text, with the numbers when it has them
        }
        return m_view.assign(oid->text(), oid->text_length(), -1);
    }
    void clear() noexcept override { m_view.clear(); }
    uint32_t type() const noexcept override { return kPmsObjectId; }
    bool equals(const IPmsValue* other) const noexcept override
    {
        const IPmsOid* oid = as_oid(other);
        if (const auto* view = oid != nullptr ? other_view(oid) : nullptr; view != nullptr) {
            return m_view.equals(*view);
        }
        return oid != nullptr && oid->text_length() == m_view.length() &&
               std::memcmp(oid->text(), m_view.text(), m_view.length()) == 0;
    }
    IPmsOid* extension() noexcept override { return this; }
    bool is_valid() const noexcept override { return pms_is_valid_oid_text(m_view.text()); }
    Result write_text(PmsOctets* sink) const noexcept override
    {
        return sink != nullptr ? sink->assign(m_view.text(), m_view.length()) : PSW_ERR_PARAMETER;
    }
    const uint8_t* get_octets(size_t* length, Result* error) const noexcept override
    {
        if (length == nullptr) {
            pms_set_error(error, PSW_ERR_PARAMETER);
            return nullptr;
        }
        *length = m_view.length();
        pms_set_error(error, PSW_SUCCESS);
        return reinterpret_cast<const uint8_t*>(m_view.text());
    }
    Result set_text(const char* text) noexcept override
    {
        return m_view.assign(text, text != nullptr ? std::strlen(text) : 0, -1);
    }
    uint32_t count() const noexcept override { return m_view.count(); }
    uint32_t index_length(bool implied) const noexcept override
    {
        return count() + (implied ? 0 : 1);
    }
    int64_t element(uint32_t index, Result* error) const noexcept override
    {
        uint32_t sub_id = 0;
        if (!m_view.sub_id(index, &sub_id)) {
            pms_set_error(error, m_view.empty() ? PSW_ERR_NOT_INITIALIZED : PSW_ERR_TOO_LONG);
            return -1;
        }
        pms_set_error(error, PSW_SUCCESS);
        return sub_id;
    }
    Result append_as_index(IPmsOid* oid, bool implied) const noexcept override
    {
        if (oid == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (oid == static_cast<const IPmsOid*>(this)) {
            return PSW_ERR_PARAMETER;  // would read the text while it grows
        }
        if (!implied) {
            const Result result = oid->append(count());
            if (result != PSW_SUCCESS) {
                return result;
            }
        }
        return oid->append_oid(this);
    }
    Result set_from_index(const IPmsOid* oid, bool implied, uint32_t wanted) noexcept override
    {
        if (oid == static_cast<const IPmsOid*>(this)) {
            return PSW_ERR_PARAMETER;
        }
        uint32_t first = 0;
        uint32_t length = 0;
        const Result span = pms_index_span(oid, implied, wanted, &first, &length);
        if (span != PSW_SUCCESS) {
            return span;
        }
        // Copy the stretch of text that holds sub-identifiers first .. first + length.
        const char* text = oid->text();
        size_t start = 0;
        for (uint32_t skipped = 0; skipped < first; ++start) {
            skipped += text[start] == '.' ? 1 : 0;
        }
        size_t end = start;
        for (uint32_t seen = 0; text[end] != '\0'; ++end) {
            if (text[end] == '.' && ++seen == length) {
                break;
            }
        }
        return m_view.assign(text + start, length == 0 ? 0 : end - start, length);
    }

    // ---- object identifier interface ----
    IPmsOid* clone_oid(Result* result) const noexcept override
    {
        return create_oid_from(this, result);
    }
    int32_t compare_text(const char* text, Result* error) const noexcept override
    {
        if (text == nullptr) {
            pms_set_error(error, PSW_ERR_PARAMETER);
            return -1;
        }
        pms_set_error(error, PSW_SUCCESS);
        return m_view.compare(text);
    }
    int32_t compare(const IPmsOid* other, Result* error) const noexcept override
    {
        if (const auto* view = other != nullptr ? other_view(other) : nullptr; view != nullptr) {
            pms_set_error(error, PSW_SUCCESS);
            return m_view.compare(*view);
        }
        return compare_text(other != nullptr ? other->text() : nullptr, error);
    }
    Result remove_prefix_text(const char* text) noexcept override
    {
        const int32_t order = compare_text(text, nullptr);
        if (order != kPmsOidEqual && order != kPmsOidInsideOther) {
            return PSW_ERR_PARAMETER;
        }
        if (*text == '\0') {
            return PSW_SUCCESS;
        }
        uint32_t prefix = 1;
        for (const char* p = text; *p != '\0'; ++p) {
            prefix += *p == '.' ? 1 : 0;
        }
        return m_view.remove(0, prefix);
    }
    Result remove_prefix(const IPmsOid* prefix) noexcept override
    {
        return prefix != nullptr ? remove_prefix_text(prefix->text()) : PSW_ERR_PARAMETER;
    }
    Result append_text(const char* text) noexcept override
    {
        return text != nullptr ? m_view.append_text(text, std::strlen(text)) : PSW_SUCCESS;
    }
    Result append(uint32_t sub_id) noexcept override { return m_view.append_sub_id(sub_id); }
    Result append_oid(const IPmsOid* other) noexcept override
    {
        if (other == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        if (other == static_cast<const IPmsOid*>(this)) {
            // Appending to itself: the source text must stay put while the text grows.
            OwnedPtr<IPmsOid> copy(clone_oid(nullptr));
            return copy ? append_oid(copy.get()) : PSW_ERR_NO_MEMORY;
        }
        const auto* view = other_view(other);
        if (view != nullptr) {
            return m_view.append_oid(*view);
        }
        return m_view.append_text(other->text(), other->text_length());
    }
    Result append_index_text(const char* text, uint32_t tag, bool implied) noexcept override
    {
        Result result = PSW_SUCCESS;
        OwnedPtr<IPmsValue> value(create_value_from_text(text, tag, &result));
        return value ? value->append_as_index(this, implied) : result;
    }
    Result append_index(const IPmsValue* value, bool implied) noexcept override
    {
        return value != nullptr ? value->append_as_index(this, implied) : PSW_ERR_PARAMETER;
    }
    IPmsOid* split_prefix(uint32_t count, Result* result) noexcept override
    {
        return pmc_filled(create_oid(result), result,
                          [&](IPmsOid* prefix) { return split_prefix_to(prefix, count); });
    }
    Result split_prefix_to(IPmsOid* out, uint32_t count) noexcept override
    {
        if (out == nullptr || out == static_cast<IPmsOid*>(this)) {
            return PSW_ERR_PARAMETER;
        }
        const size_t length = prefix_length(count);
        const uint32_t total = m_view.count();
        const uint32_t taken = count < total ? count : total;
        Result result = PSW_SUCCESS;
        if (auto* view = other_view(out); view != nullptr) {
            result = view->assign(m_view.text(), length, taken);
        } else {
            return PSW_ERR_PARAMETER;  // every OID of the library is of this class
        }
        if (result != PSW_SUCCESS || taken == 0) {
            return result;
        }
        return m_view.remove(0, taken);
    }
    int64_t pop_first(Result* result) noexcept override
    {
        Result error = PSW_SUCCESS;
        const int64_t first = element(0, &error);
        if (error == PSW_SUCCESS) {
            m_view.remove(0, 1);
        }
        set_result(result, error);
        return first;
    }
    PmsOctets* split_prefix_text(uint32_t count, Result* result) noexcept override
    {
        return pmc_filled(create_octets(result), result,
                          [&](PmsOctets* text) { return split_prefix_text_to(text, count); });
    }
    Result split_prefix_text_to(PmsOctets* out, uint32_t count) noexcept override
    {
        if (out == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const Result result = out->assign(m_view.text(), prefix_length(count));
        if (result != PSW_SUCCESS || m_view.empty() || count == 0) {
            return result;
        }
        return m_view.remove(0, count);
    }
    IPmsValue* take_index_value(uint32_t tag, bool implied, uint32_t count,
                                Result* result) noexcept override
    {
        return pmc_filled(create_value(tag, result), result,
                          [&](IPmsValue* value) { return take_index(value, implied, count); });
    }
    Result take_index(IPmsValue* value, bool implied, uint32_t count) noexcept override
    {
        if (value == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        const Result result = value->set_from_index(this, implied, count);
        if (result != PSW_SUCCESS) {
            return result;
        }
        const uint32_t used = value->index_length(implied);
        return used == 0 || m_view.empty() ? PSW_SUCCESS : m_view.remove(0, used);
    }
    Result remove(uint32_t start, uint32_t count) noexcept override
    {
        return m_view.remove(start, count);
    }
    IPmsValue* take_index_value_all(uint32_t tag, bool implied, Result* result) noexcept override
    {
        return take_index_value(tag, implied, kPmsIndexAll, result);
    }
    Result read_index(IPmsValue* value, bool implied) const noexcept override
    {
        return value != nullptr ? value->set_from_index(this, implied, kPmsIndexAll)
                                : PSW_ERR_PARAMETER;
    }
    Result write_index(const IPmsValue* value, bool implied) noexcept override
    {
        return value != nullptr ? value->set_oid_to_index(this, implied) : PSW_ERR_PARAMETER;
    }
    const char* text() const noexcept override { return m_view.text(); }
    size_t text_length() const noexcept override { return m_view.length(); }

protected:
    void* own_view(uint32_t id) noexcept override
    {
        return id == kPmsViewOid || id == kPmsViewOidShort ? &m_view : nullptr;
    }

private:
    static const IPmsOid* as_oid(const IPmsValue* value) noexcept
    {
        if (value == nullptr || value->type() != kPmsObjectId) {
            return nullptr;
        }
        return const_cast<IPmsValue*>(value)->extension();
    }
    // The storage of another OID of this class, for the fast paths.
    static PmsOidView* other_view(const IPmsOid* oid) noexcept
    {
        void* view = nullptr;
        const_cast<IPmsOid*>(oid)->get_view(kPmsViewOid, &view);
        return static_cast<PmsOidView*>(view);
    }
    // Characters of the text taken by the first `count` sub-identifiers.
    size_t prefix_length(uint32_t count) const noexcept
    {
        if (count == 0) {
            return 0;
        }
        const char* text = m_view.text();
        uint32_t seen = 0;
        for (size_t i = 0; i < m_view.length(); ++i) {
            if (text[i] == '.' && ++seen == count) {
                return i;
            }
        }
        return m_view.length();
    }

    PmsOidView m_view;
};

}  // namespace

IPmsOid* pms_new_oid() noexcept
{
    return pmc_new<CPmsObjectId>();
}

IPmsOid* create_oid(Result* result) noexcept
{
    return pmc_made(pms_new_oid(), result);
}

IPmsOid* create_oid_from(const IPmsOid* other, Result* result) noexcept
{
    if (other == nullptr) {
        set_result(result, PSW_ERR_PARAMETER);
        return nullptr;
    }
    return pmc_filled(create_oid(result), result, [&](IPmsOid* oid) { return oid->assign(other); });
}

IPmsOid* create_oid_from_text(const char* text, Result* result) noexcept
{
    if (!pms_is_valid_oid_text(text)) {
        set_result(result, PSW_ERR_PARAMETER);
        return nullptr;
    }
    return pmc_filled(create_oid(result), result,
                      [&](IPmsOid* oid) { return oid->set_text(text); });
}

}  // namespace psw
