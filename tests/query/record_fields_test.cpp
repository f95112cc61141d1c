// Text fields of records written from a row's values: the field holds the bytes of the value's
// own text form (to_text), cut to leave room for the terminating zero, and zeros after them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/factory.h"
#include "core/pms_octets.h"
#include "query/record_fields.h"
#include "snmp/pms_value.h"

namespace psw {
namespace {

using Value = OwnedPtr<IPmsValue>;

// The `size` bytes a field must hold for `value`, from the value's to_text (none: all zeros).
std::string expected_field(const IPmsValue* value, size_t size)
{
    std::string field(size, '\0');
    OwnedPtr<PmsOctets> text(value != nullptr ? value->to_text() : nullptr);
    if (text && text->length() != 0) {
        field.replace(0, std::min(text->length(), size - 1),
                      reinterpret_cast<const char*>(text->data()),
                      std::min(text->length(), size - 1));
    }
    return field;
}

// A value from a factory, which must have made one.
Value made(IPmsValue* value)
{
    EXPECT_NE(value, nullptr);
    return Value(value);
}

Value octets(const std::string& bytes)
{
    Value value(create_value(kPmsOctetString));
    EXPECT_EQ(value->set_octets(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
              PSW_SUCCESS);
    return value;
}

Value time_ticks(uint32_t ticks)
{
    Value value(create_value(kPmsTimeTicks));
    EXPECT_EQ(value->set_uint(ticks), PSW_SUCCESS);
    return value;
}

TEST(RecordTextField, HoldsTheValuesTextCutToTheFieldWhateverItsTypeOrZeros)
{
    const struct {
        const char* what;
        Value value;
        size_t size;
    } cases[] = {
        {"octets", octets("Physical memory"), 64},
        {"octets cut", octets("Physical memory"), 9},
        {"octets of exactly the room", octets("12345678"), 9},
        {"octets with a zero byte", octets(std::string("ab\0cd", 5)), 64},
        {"empty octets", octets(""), 64},
        {"object identifier", made(create_oid_from_text("1.3.6.1.2.1.25.2.1.4")), 64},
        {"object identifier cut", made(create_oid_from_text("1.3.6.1.2.1.25.2.1.4")), 6},
        {"integer", made(create_value_with_int(-1234, kPmsInteger)), 64},
        {"ip address", made(create_value_from_text("192.0.2.7", kPmsIpAddress)), 64},
        {"time ticks", time_ticks(360000), 64},
        {"null, without a text form", made(create_value(kPmsNull)), 64},
        {"one byte field", octets("x"), 1},
        {"no value at all", Value(), 8},
    };
    for (const auto& c : cases) {
        char field[80];
        std::memset(field, 'Z', sizeof field);  // what a reused record held before
        EXPECT_EQ(pmc_store_text(c.value.get(), field, c.size), PSW_SUCCESS) << c.what;
        EXPECT_EQ(std::string(field, c.size), expected_field(c.value.get(), c.size)) << c.what;
        EXPECT_EQ(field[c.size], 'Z') << c.what << ": written past the field";
    }
}

}  // namespace
}  // namespace psw
