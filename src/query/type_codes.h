// The object-identifier type tables of the records: each maps the text form of a type value,
// compared exactly, to its code (the identifier's last sub-identifier), or 0 when it is not in
// the table.
#pragma once

#include <cstdint>

namespace psw {

// hrStorageType 1.3.6.1.2.1.25.2.1.1 .. .8 -> 1 .. 8.
// borrowed: `type` is only read (here and below)
int32_t pmc_storage_type_code(const char* type) noexcept;
// hrDeviceType 1.3.6.1.2.1.25.3.1.1 .. .6 and .10 .. .21, and the private device types
// 1.3.6.1.4.1.253.8.52.2.101 .. .109, .151 .. .154, .201 .. .207.
int32_t pmc_device_type_code(const char* type) noexcept;
// Job types 1.3.6.1.4.1.253.8.58.2.1 .. .12 -> 1 .. 12.
int32_t pmc_job_type_code(const char* type) noexcept;

class IPmsValue;

// The same lookups for a type value as read: true with the code when the value is an OID whose
// text is the canonical spelling of its numbers (the code is then read from the numbers, the
// text is not written: the answer is the text lookup's); false when the text must decide.
// borrowed: `value` is only read (it may be null)
bool pmc_storage_type_code_of(const IPmsValue* value, int32_t* code) noexcept;
bool pmc_device_type_code_of(const IPmsValue* value, int32_t* code) noexcept;

}  // namespace psw
