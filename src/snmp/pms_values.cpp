// The value classes other than the object identifier, and the value factories.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "core/factory.h"
#include "core/number_text.h"
#include "snmp/pms_value_base.h"

namespace psw {

IPmsOid* pms_new_oid() noexcept;  // pms_oid.cpp

// ---- shared part ----

Result CPmsValueBase::get_view(uint32_t id, void** out) noexcept
{
    if (out == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    void* view = id == kPmsViewCommon || id == kPmsViewCommonShort
                     ? static_cast<void*>(static_cast<IPmsValue*>(this))
                     : own_view(id);
    *out = view;
    return view != nullptr ? PSW_SUCCESS : PSW_ERR_NO_INTERFACE;
}

int32_t CPmsValueBase::get_int(Result* error) const noexcept
{
    pms_set_error(error, PSW_ERR_UNSUPPORTED);
    return -1;
}

uint32_t CPmsValueBase::get_uint(Result* error) const noexcept
{
    pms_set_error(error, PSW_ERR_UNSUPPORTED);
    return 0;
}

bool CPmsValueBase::format_text(char*, size_t) const noexcept
{
    return false;
}

Result CPmsValueBase::write_text(PmsOctets* sink) const noexcept
{
    if (sink == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    char buffer[64];
    if (!format_text(buffer, sizeof(buffer))) {
        return PSW_ERR_UNSUPPORTED;
    }
    return sink->assign(buffer);
}

PmsOctets* CPmsValueBase::to_text(Result* error) const noexcept
{
    return pmc_filled(create_octets(error), error,
                      [&](PmsOctets* text) { return write_text(text); });
}

const uint8_t* CPmsValueBase::get_octets(size_t* length, Result* error) const noexcept
{
    pms_set_error(error, length == nullptr ? PSW_ERR_PARAMETER : PSW_ERR_UNSUPPORTED);
    return nullptr;
}

Result CPmsValueBase::write_octets(PmsOctets* sink) const noexcept
{
    if (sink == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    size_t length = 0;
    Result result = PSW_SUCCESS;
    const uint8_t* bytes = get_octets(&length, &result);
    if (result != PSW_SUCCESS) {
        return result;
    }
    return sink->assign(bytes, length);
}

PmsOctets* CPmsValueBase::to_octets(Result* error) const noexcept
{
    return pmc_filled(create_octets(error), error,
                      [&](PmsOctets* bytes) { return write_octets(bytes); });
}

uint16_t CPmsValueBase::get_port(Result* error) const noexcept
{
    pms_set_error(error, PSW_ERR_UNSUPPORTED);
    return 0xFFFF;
}

uint32_t CPmsValueBase::get_high(Result* error) const noexcept
{
    pms_set_error(error, PSW_ERR_UNSUPPORTED);
    return 0;
}

uint32_t CPmsValueBase::get_low(Result* error) const noexcept
{
    pms_set_error(error, PSW_ERR_UNSUPPORTED);
    return 0;
}

Result CPmsValueBase::set_text_from(const PmsOctets* text) noexcept
{
    return set_text(text != nullptr ? text->c_str() : nullptr);
}

Result CPmsValueBase::set_octets_from(const PmsOctets* bytes) noexcept
{
    if (bytes == nullptr) {
        return set_octets(nullptr, 0);
    }
    return set_octets(bytes->data(), bytes->length());
}

int64_t CPmsValueBase::element(uint32_t, Result* error) const noexcept
{
    pms_set_error(error, PSW_ERR_UNSUPPORTED);
    return -1;
}

Result CPmsValueBase::set_oid_to_index(IPmsOid* oid, bool implied) const noexcept
{
    if (oid == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    oid->clear();
    return append_as_index(oid, implied);
}

IPmsValue* pms_finish_value(IPmsValue* value, Result* result) noexcept
{
    if (value == nullptr) {
        set_result(result, PSW_ERR_NO_MEMORY);
        return nullptr;
    }
    const Result initialised = value->initialise();
    if (initialised != PSW_SUCCESS) {
        value->release();
        set_result(result, initialised);
        return nullptr;
    }
    set_result(result, PSW_SUCCESS);
    return value;
}

uint32_t pms_parse_decimal(const char* text, const char** end) noexcept
{
    bool negative = false;
    text = pmc_skip_space_and_sign(text, &negative);
    uint32_t value = 0;
    while (*text >= '0' && *text <= '9') {
        value = value * 10u + static_cast<uint32_t>(*text - '0');
        ++text;
    }
    if (end != nullptr) {
        *end = text;
    }
    return negative ? 0u - value : value;
}

Result pms_index_span(const IPmsOid* oid, bool implied, uint32_t wanted, uint32_t* first,
                      uint32_t* length) noexcept
{
    if (oid == nullptr) {
        return PSW_ERR_PARAMETER;
    }
    const uint32_t present = oid->count();
    if (implied) {
        *first = 0;
        *length = wanted < present ? wanted : present;
        return PSW_SUCCESS;
    }
    if (present == 0) {
        return PSW_ERR_INDEX_VALUE;
    }
    *length = static_cast<uint32_t>(oid->element(0));
    if (*length > present - 1) {
        return PSW_ERR_INDEX_VALUE;
    }
    *first = 1;
    return PSW_SUCCESS;
}

namespace {

// Clones by making a fresh object of the same class and assigning the contents.
template <class T>
IPmsValue* clone_as(const T& self, Result* result) noexcept
{
    return pmc_filled(pms_finish_value(pmc_new<T>(), result), result,
                      [&](IPmsValue* copy) { return copy->assign(&self); });
}

// Hands a storage view to its coder operation; the operations of the kinds that share one
// (Gauge32, the byte buffers) also get the value's tag.
template <class View>
Result code_view(IPmsValueCoder* coder, Result (IPmsValueCoder::*code)(View&) noexcept, View& view,
                 uint32_t) noexcept
{
    return (coder->*code)(view);
}

template <class View>
Result code_view(IPmsValueCoder* coder, Result (IPmsValueCoder::*code)(View&, uint32_t) noexcept,
                 View& view, uint32_t tag) noexcept
{
    return (coder->*code)(view, tag);
}

// What every concrete class with a storage view writes the same way: the coder operation it is
// handed to, a clone of its own class and its type tag. `Self` is the concrete class.
template <class Base, class Self, uint32_t kTag, auto kCode>
class CPmsKind : public Base {
public:
    Result accept(IPmsValueCoder* coder) noexcept override
    {
        return coder != nullptr ? code_view(coder, kCode, this->m_view, kTag) : PSW_ERR_PARAMETER;
    }
    IPmsValue* clone(Result* result) const noexcept override
    {
        return clone_as(static_cast<const Self&>(*this), result);
    }
    uint32_t type() const noexcept override { return kTag; }
};

// ---- INTEGER, Gauge32 and the unsigned types built on it: one 32-bit number ----

template <class View, uint32_t kViewId>
class CPmsNumber : public CPmsValueBase {
public:
    using Number = decltype(View::value);

    Result assign(const IPmsValue* other) noexcept override
    {
        if (other == nullptr || other->type() != type()) {
            return PSW_ERR_PARAMETER;
        }
        m_view.value = number_of(other);
        return PSW_SUCCESS;
    }
    void clear() noexcept override { m_view.value = 0; }
    bool equals(const IPmsValue* other) const noexcept override
    {
        return other != nullptr && other->type() == type() && number_of(other) == m_view.value;
    }
    Result set_text(const char* text) noexcept override
    {
        if (text == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        m_view.value = static_cast<Number>(pms_parse_decimal(text));
        return PSW_SUCCESS;
    }
    Result append_as_index(IPmsOid* oid, bool) const noexcept override
    {
        return oid != nullptr ? oid->append(static_cast<uint32_t>(m_view.value))
                              : PSW_ERR_PARAMETER;
    }
    Result set_from_index(const IPmsOid* oid, bool, uint32_t) noexcept override
    {
        if (oid == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        Result error = PSW_SUCCESS;
        const int64_t first = oid->element(0, &error);
        if (error != PSW_SUCCESS) {
            return PSW_ERR_INDEX_VALUE;
        }
        m_view.value = static_cast<Number>(static_cast<uint32_t>(first));
        return PSW_SUCCESS;
    }

protected:
    // The number of another value of the same type.
    static Number number_of(const IPmsValue* other) noexcept
    {
        if constexpr (std::is_signed_v<Number>) {
            return other->get_int();
        } else {
            return other->get_uint();
        }
    }
    Number get_number(Result* error) const noexcept
    {
        pms_set_error(error, PSW_SUCCESS);
        return m_view.value;
    }
    Result set_number(Number value) noexcept
    {
        m_view.value = value;
        return PSW_SUCCESS;
    }
    void* own_view(uint32_t id) noexcept override { return id == kViewId ? &m_view : nullptr; }
    bool format_text(char* buffer, size_t size) const noexcept override
    {
        if constexpr (std::is_signed_v<Number>) {
            std::snprintf(buffer, size, "%" PRId32, m_view.value);
        } else {
            std::snprintf(buffer, size, "%" PRIu32, m_view.value);
        }
        return true;
    }

    View m_view;
};

class CPmsInteger : public CPmsKind<CPmsNumber<PmsIntegerView, kPmsViewInteger>, CPmsInteger,
                                    kPmsInteger, &IPmsValueCoder::code_integer> {
public:
    int32_t get_int(Result* error) const noexcept override { return get_number(error); }
    Result set_int(int32_t value) noexcept override { return set_number(value); }
};

// The unsigned accessors of Gauge32, Counter32 and TimeTicks.
class CPmsUnsigned : public CPmsNumber<PmsUnsignedView, kPmsViewUnsigned> {
public:
    uint32_t get_uint(Result* error) const noexcept override { return get_number(error); }
    Result set_uint(uint32_t value) noexcept override { return set_number(value); }
};

class CPmsGauge32
    : public CPmsKind<CPmsUnsigned, CPmsGauge32, kPmsGauge32, &IPmsValueCoder::code_gauge32> {};
class CPmsCounter32
    : public CPmsKind<CPmsUnsigned, CPmsCounter32, kPmsCounter32, &IPmsValueCoder::code_counter32> {
};
class CPmsTimeTicks : public CPmsKind<CPmsUnsigned, CPmsTimeTicks, kPmsTimeTicks,
                                      &IPmsValueCoder::code_time_ticks> {};

// ---- Counter64 ----

class CPmsCounter64Storage : public CPmsValueBase {
public:
    Result assign(const IPmsValue* other) noexcept override
    {
        if (other == nullptr || other->type() != type()) {
            return PSW_ERR_PARAMETER;
        }
        m_view.high = other->get_high();
        m_view.low = other->get_low();
        return PSW_SUCCESS;
    }
    void clear() noexcept override { m_view = PmsCounter64View{}; }
    bool equals(const IPmsValue* other) const noexcept override
    {
        return other != nullptr && other->type() == type() && other->get_high() == m_view.high &&
               other->get_low() == m_view.low;
    }
    uint32_t get_high(Result* error) const noexcept override
    {
        pms_set_error(error, PSW_SUCCESS);
        return m_view.high;
    }
    uint32_t get_low(Result* error) const noexcept override
    {
        pms_set_error(error, PSW_SUCCESS);
        return m_view.low;
    }
    Result set_high(uint32_t value) noexcept override
    {
        m_view.high = value;
        return PSW_SUCCESS;
    }
    Result set_low(uint32_t value) noexcept override
    {
        m_view.low = value;
        return PSW_SUCCESS;
    }
    // Decimal digits only, the whole unsigned 64-bit range; anything else is rejected.
    Result set_text(const char* text) noexcept override
    {
        if (text == nullptr || *text == '\0') {
            return PSW_ERR_PARAMETER;
        }
        uint64_t value = 0;
        for (const char* p = text; *p != '\0'; ++p) {
            if (*p < '0' || *p > '9') {
                return PSW_ERR_PARAMETER;
            }
            const uint64_t digit = static_cast<uint64_t>(*p - '0');
            if (value > (UINT64_MAX - digit) / 10) {
                return PSW_ERR_PARAMETER;
            }
            value = value * 10 + digit;
        }
        m_view.high = static_cast<uint32_t>(value >> 32);
        m_view.low = static_cast<uint32_t>(value);
        return PSW_SUCCESS;
    }

protected:
    void* own_view(uint32_t id) noexcept override
    {
        return id == kPmsViewCounter64 ? &m_view : nullptr;
    }
    bool format_text(char* buffer, size_t size) const noexcept override
    {
        const uint64_t value = (static_cast<uint64_t>(m_view.high) << 32) | m_view.low;
        std::snprintf(buffer, size, "%" PRIu64, value);
        return true;
    }

    PmsCounter64View m_view;
};

class CPmsCounter64 : public CPmsKind<CPmsCounter64Storage, CPmsCounter64, kPmsCounter64,
                                      &IPmsValueCoder::code_counter64> {};

// ---- NULL and the exception values ----

// A value with no contents: equal to, and assignable from, any value of its type.
class CPmsEmpty : public CPmsValueBase {
public:
    Result assign(const IPmsValue* other) noexcept override
    {
        return other != nullptr && other->type() == type() ? PSW_SUCCESS : PSW_ERR_PARAMETER;
    }
    void clear() noexcept override {}
    bool equals(const IPmsValue* other) const noexcept override
    {
        return other != nullptr && other->type() == type();
    }
    uint32_t count() const noexcept override { return 0; }
    uint32_t index_length(bool) const noexcept override { return 0; }

protected:
    bool format_text(char* buffer, size_t) const noexcept override
    {
        buffer[0] = '\0';
        return true;
    }
};

class CPmsNull : public CPmsEmpty {
public:
    Result accept(IPmsValueCoder* coder) noexcept override
    {
        return coder != nullptr ? coder->code_null(kPmsNull) : PSW_ERR_PARAMETER;
    }
    IPmsValue* clone(Result* result) const noexcept override { return clone_as(*this, result); }
    uint32_t type() const noexcept override { return kPmsNull; }

protected:
    void* own_view(uint32_t) noexcept override { return nullptr; }
};

class CPmsException : public CPmsEmpty {
public:
    CPmsException() noexcept = default;
    explicit CPmsException(uint32_t tag) noexcept { m_view.tag = tag; }

    Result accept(IPmsValueCoder* coder) noexcept override
    {
        return coder != nullptr ? coder->code_exception(m_view) : PSW_ERR_PARAMETER;
    }
    IPmsValue* clone(Result* result) const noexcept override
    {
        return pms_finish_value(pmc_new<CPmsException>(m_view.tag), result);
    }
    uint32_t type() const noexcept override { return m_view.tag; }

protected:
    void* own_view(uint32_t id) noexcept override
    {
        return id == kPmsViewException ? &m_view : nullptr;
    }

private:
    PmsExceptionView m_view;
};

// ---- byte buffers ----

class CPmsBytes : public CPmsValueBase {
public:
    Result assign(const IPmsValue* other) noexcept override
    {
        if (other == nullptr || other->type() != type()) {
            return PSW_ERR_PARAMETER;
        }
        size_t length = 0;
        const uint8_t* bytes = other->get_octets(&length);
        return m_view.assign(bytes, length);
    }
    void clear() noexcept override { m_view.clear(); }
    bool equals(const IPmsValue* other) const noexcept override
    {
        if (other == nullptr || other->type() != type()) {
            return false;
        }
        size_t length = 0;
        const uint8_t* bytes = other->get_octets(&length);
        return length == m_view.length() &&
               (length == 0 || std::memcmp(bytes, m_view.data(), length) == 0);
    }
    Result write_text(PmsOctets* sink) const noexcept override
    {
        if (sink == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        char buffer[64];
        if (format_text(buffer, sizeof(buffer))) {
            return sink->assign(buffer);
        }
        return sink->assign(m_view.data(), m_view.length());
    }
    const uint8_t* get_octets(size_t* length, Result* error) const noexcept override
    {
        if (length == nullptr) {
            pms_set_error(error, PSW_ERR_PARAMETER);
            return nullptr;
        }
        *length = m_view.length();
        pms_set_error(error, PSW_SUCCESS);
        return m_view.data();
    }
    Result set_text(const char* text) noexcept override
    {
        if (text == nullptr) {
            m_view.clear();
            return PSW_SUCCESS;
        }
        return m_view.assign(reinterpret_cast<const uint8_t*>(text), std::strlen(text));
    }
    Result set_octets(const uint8_t* bytes, size_t length) noexcept override
    {
        return m_view.assign(bytes, bytes != nullptr ? length : 0);
    }
    uint32_t count() const noexcept override { return static_cast<uint32_t>(m_view.length()); }
    uint32_t index_length(bool implied) const noexcept override
    {
        return count() + (implied ? 0 : 1);
    }
    int64_t element(uint32_t index, Result* error) const noexcept override
    {
        if (index >= m_view.length()) {
            pms_set_error(error, PSW_ERR_PARAMETER);
            return -1;
        }
        pms_set_error(error, PSW_SUCCESS);
        return m_view.data()[index];
    }
    Result append_as_index(IPmsOid* oid, bool implied) const noexcept override
    {
        if (oid == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        Result result = implied ? PSW_SUCCESS : oid->append(count());
        for (size_t i = 0; i < m_view.length() && result == PSW_SUCCESS; ++i) {
            result = oid->append(m_view.data()[i]);
        }
        return result;
    }
    Result set_from_index(const IPmsOid* oid, bool implied, uint32_t wanted) noexcept override
    {
        uint32_t first = 0;
        uint32_t length = 0;
        const Result span = pms_index_span(oid, implied, wanted, &first, &length);
        if (span != PSW_SUCCESS) {
            return span;
        }
        uint8_t bytes[256];
        PmsBytesView large;  // only for indexes longer than the stack buffer
        uint8_t* target = bytes;
        if (length > sizeof(bytes)) {
            if (large.reserve(length) != PSW_SUCCESS) {
                return PSW_ERR_NO_MEMORY;
            }
            target = large.data();
        }
        for (uint32_t i = 0; i < length; ++i) {
            const int64_t sub_id = oid->element(first + i);
            if (sub_id < 0 || sub_id > 255) {
                return PSW_ERR_INDEX_VALUE;
            }
            target[i] = static_cast<uint8_t>(sub_id);
        }
        return m_view.assign(target, length);
    }

protected:
    void* own_view(uint32_t id) noexcept override
    {
        return id == kPmsViewBytes ? &m_view : nullptr;
    }
    bool format_text(char*, size_t) const noexcept override { return false; }

    PmsBytesView m_view;
};

class CPmsOctetString
    : public CPmsKind<CPmsBytes, CPmsOctetString, kPmsOctetString, &IPmsValueCoder::code_bytes> {};
class CPmsOpaque : public CPmsKind<CPmsBytes, CPmsOpaque, kPmsOpaque, &IPmsValueCoder::code_bytes> {
};

// A fixed-size address held in the byte buffer; zero bytes until set.
class CPmsAddress : public CPmsBytes {
public:
    Result initialise() noexcept override
    {
        const uint8_t zeros[16] = {};
        return m_view.assign(zeros, size());
    }

protected:
    virtual size_t size() const noexcept = 0;
    // The byte at `i`, 0 when a shorter buffer was set through set_octets.
    uint8_t byte(size_t i) const noexcept { return i < m_view.length() ? m_view.data()[i] : 0; }
};

class CPmsIpAddress
    : public CPmsKind<CPmsAddress, CPmsIpAddress, kPmsIpAddress, &IPmsValueCoder::code_ip_address> {
public:
    Result set_text(const char* text) noexcept override
    {
        if (text == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        int fields[4];
        if (std::sscanf(text, "%d.%d.%d.%d", &fields[0], &fields[1], &fields[2], &fields[3]) != 4) {
            return PSW_ERR_PARAMETER;
        }
        uint8_t bytes[4];
        for (int i = 0; i < 4; ++i) {
            if (fields[i] < 0 || fields[i] > 255) {
                return PSW_ERR_PARAMETER;
            }
            bytes[i] = static_cast<uint8_t>(fields[i]);
        }
        return m_view.assign(bytes, 4);
    }

protected:
    size_t size() const noexcept override { return 4; }
    bool format_text(char* buffer, size_t size) const noexcept override
    {
        std::snprintf(buffer, size, "%d.%d.%d.%d", byte(0), byte(1), byte(2), byte(3));
        return true;
    }
};

class CPmsIpv6Address : public CPmsKind<CPmsAddress, CPmsIpv6Address, kPmsIpv6Address,
                                        &IPmsValueCoder::code_ipv6_address> {
public:
    Result set_text(const char* text) noexcept override
    {
        if (text == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        unsigned int g[8];
        if (std::sscanf(text, "%x:%x:%x:%x:%x:%x:%x:%x", &g[0], &g[1], &g[2], &g[3], &g[4], &g[5],
                        &g[6], &g[7]) != 8) {
            return PSW_ERR_PARAMETER;
        }
        uint8_t bytes[16];
        for (int i = 0; i < 8; ++i) {
            bytes[2 * i] = static_cast<uint8_t>(g[i] >> 8);
            bytes[2 * i + 1] = static_cast<uint8_t>(g[i]);
        }
        return m_view.assign(bytes, 16);
    }

protected:
    size_t size() const noexcept override { return 16; }
    bool format_text(char* buffer, size_t size) const noexcept override
    {
        unsigned g[8];
        for (size_t i = 0; i < 8; ++i) {
            g[i] = static_cast<unsigned>(byte(2 * i) << 8 | byte(2 * i + 1));
        }
        std::snprintf(buffer, size, "%x:%x:%x:%x:%x:%x:%x:%x", g[0], g[1], g[2], g[3], g[4], g[5],
                      g[6], g[7]);
        return true;
    }
};

// A transport address: an address followed by a two-byte port, the last two bytes of size().
class CPmsTransport : public CPmsAddress {
public:
    uint16_t get_port(Result* error) const noexcept override
    {
        pms_set_error(error, PSW_SUCCESS);
        return static_cast<uint16_t>(port());
    }
    Result set_port(uint16_t port_number) noexcept override
    {
        const size_t full = size();
        const Result result = m_view.reserve(full);
        if (result != PSW_SUCCESS) {
            return result;
        }
        while (m_view.length() < full) {
            m_view.push_back(0);
        }
        m_view.data()[full - 2] = static_cast<uint8_t>(port_number >> 8);
        m_view.data()[full - 1] = static_cast<uint8_t>(port_number);
        return PSW_SUCCESS;
    }

protected:
    int port() const noexcept { return byte(size() - 2) << 8 | byte(size() - 1); }
};

class CPmsIpv4Transport : public CPmsKind<CPmsTransport, CPmsIpv4Transport, kPmsIpv4Transport,
                                          &IPmsValueCoder::code_ipv4_transport> {
public:
    Result set_text(const char* text) noexcept override
    {
        if (text == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        int f[5];
        if (std::sscanf(text, "%d.%d.%d.%d/%d", &f[0], &f[1], &f[2], &f[3], &f[4]) != 5) {
            return PSW_ERR_PARAMETER;
        }
        for (int i = 0; i < 4; ++i) {
            if (f[i] < 0 || f[i] > 255) {
                return PSW_ERR_PARAMETER;
            }
        }
        if (f[4] < 0 || f[4] > 65535) {
            return PSW_ERR_PARAMETER;
        }
        const uint8_t bytes[6] = {static_cast<uint8_t>(f[0]),      static_cast<uint8_t>(f[1]),
                                  static_cast<uint8_t>(f[2]),      static_cast<uint8_t>(f[3]),
                                  static_cast<uint8_t>(f[4] >> 8), static_cast<uint8_t>(f[4])};
        return m_view.assign(bytes, 6);
    }

protected:
    size_t size() const noexcept override { return 6; }
    bool format_text(char* buffer, size_t size) const noexcept override
    {
        std::snprintf(buffer, size, "%d.%d.%d.%d/%d", byte(0), byte(1), byte(2), byte(3), port());
        return true;
    }
};

class CPmsIpxTransport : public CPmsKind<CPmsTransport, CPmsIpxTransport, kPmsIpxTransport,
                                         &IPmsValueCoder::code_ipx_transport> {
public:
    Result set_text(const char* text) noexcept override
    {
        if (text == nullptr) {
            return PSW_ERR_PARAMETER;
        }
        unsigned f[11];
        if (std::sscanf(text, "%2x%2x%2x%2x:%2x%2x%2x%2x%2x%2x/%x", &f[0], &f[1], &f[2], &f[3],
                        &f[4], &f[5], &f[6], &f[7], &f[8], &f[9], &f[10]) != 11) {
            return PSW_ERR_PARAMETER;
        }
        uint8_t bytes[12];
        for (int i = 0; i < 10; ++i) {
            if (f[i] > 255) {
                return PSW_ERR_PARAMETER;
            }
            bytes[i] = static_cast<uint8_t>(f[i]);
        }
        if (f[10] > 65535) {
            return PSW_ERR_PARAMETER;
        }
        bytes[10] = static_cast<uint8_t>(f[10] >> 8);
        bytes[11] = static_cast<uint8_t>(f[10]);
        return m_view.assign(bytes, 12);
    }

protected:
    size_t size() const noexcept override { return 12; }
    bool format_text(char* buffer, size_t size) const noexcept override
    {
        std::snprintf(buffer, size, "%02x%02x%02x%02x:%02x%02x%02x%02x%02x%02x/%x", byte(0),
                      byte(1), byte(2), byte(3), byte(4), byte(5), byte(6), byte(7), byte(8),
                      byte(9), port());
        return true;
    }
};

}  // namespace

IPmsValue* create_value(uint32_t tag, Result* result) noexcept
{
    IPmsValue* value = nullptr;
    switch (tag) {
        case kPmsInteger: value = pmc_new<CPmsInteger>(); break;
        case kPmsOctetString: value = pmc_new<CPmsOctetString>(); break;
        case kPmsNull: value = pmc_new<CPmsNull>(); break;
        case kPmsObjectId: value = pms_new_oid(); break;
        case kPmsIpAddress: value = pmc_new<CPmsIpAddress>(); break;
        case kPmsCounter32: value = pmc_new<CPmsCounter32>(); break;
        case kPmsGauge32: value = pmc_new<CPmsGauge32>(); break;
        case kPmsTimeTicks: value = pmc_new<CPmsTimeTicks>(); break;
        case kPmsOpaque: value = pmc_new<CPmsOpaque>(); break;
        case kPmsCounter64: value = pmc_new<CPmsCounter64>(); break;
        case kPmsIpv6Address: value = pmc_new<CPmsIpv6Address>(); break;
        case kPmsNoSuchObject:
        case kPmsNoSuchInstance:
        case kPmsEndOfMibView: value = pmc_new<CPmsException>(tag); break;
        case kPmsIpv4Transport: value = pmc_new<CPmsIpv4Transport>(); break;
        case kPmsIpxTransport: value = pmc_new<CPmsIpxTransport>(); break;
        default: set_result(result, PSW_ERR_PARAMETER); return nullptr;
    }
    return pms_finish_value(value, result);
}

IPmsValue* create_value_from_text(const char* text, uint32_t tag, Result* result) noexcept
{
    if (text == nullptr) {
        set_result(result, PSW_ERR_PARAMETER);
        return nullptr;
    }
    OwnedPtr<IPmsValue> value(create_value(tag, result));
    if (!value) {
        return nullptr;
    }
    const Result parsed = value->set_text(text);
    if (parsed != PSW_SUCCESS) {
        set_result(result, parsed);
        return nullptr;
    }
    if (!value->is_valid()) {
        set_result(result, PSW_ERR_PARAMETER);
        return nullptr;
    }
    set_result(result, PSW_SUCCESS);
    return value.release();
}

IPmsValue* create_value_with_int(int32_t number, uint32_t tag, Result* result) noexcept
{
    return pmc_filled(create_value(tag, result), result,
                      [&](IPmsValue* value) { return value->set_int(number); });
}

}  // namespace psw
