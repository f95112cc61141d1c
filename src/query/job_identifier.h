// Job identifiers: decoded from the instance of a job row, and encoded again as the instance of
// the job cancel object.
#pragma once

#include <cstddef>

#include "core/factory.h"
#include "core/result.h"
#include "snmp/pms_varbind.h"

namespace psw {

// Longest job identifier text: a record's job identifier field less its terminator.
inline constexpr size_t kJobIdMaxLength = 255;

// The identifier from the instance of `binding` under `column`: its first two sub-identifiers
// dropped, the rest read as an implied OCTET STRING index of at most 8 bytes, whose bytes are
// copied into `field` (cut to size - 1). PSW_ERR_INDEX_VALUE when the instance is no such index.
// borrowed: `binding` and `column` only read; `field` is the caller's buffer
Result pmc_decode_job_id(const PmsVarBind* binding, const char* column, char* field,
                         size_t size) noexcept;

// The cancel instance 101.<length>.<byte>... of an identifier: PSW_ERR_PARAMETER for a null
// identifier or one longer than kJobIdMaxLength.
// `*out` receives a new OID it then owns; left untouched on failure
Result pmc_job_cancel_instance(const char* job_id, OwnedPtr<IPmsOid>* out) noexcept;

}  // namespace psw
