// Numeric order of dotted object identifier texts, sub-identifier by sub-identifier, as the
// protocol orders them (the text comparison of OIDs would put 1.10 before 1.9).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"

namespace psw {

class IPmsOid;
class PmsOidView;

// Negative, zero or positive as `a` comes before, equals or follows `b`. A prefix comes first.
// borrowed: both texts are only read
int pmc_oid_text_order(const char* a, const char* b) noexcept;

// The same order for names held as numbers: on canonical texts (plain decimal below 2^32, single
// dots) it gives exactly what pmc_oid_text_order gives on their texts.
// borrowed: both arrays are only read
int pmc_oid_number_order(const uint32_t* a, uint32_t a_count, const uint32_t* b,
                         uint32_t b_count) noexcept;

// The storage of `oid` when its text is the canonical spelling of its numbers, so that its
// numbers may stand for its text in comparisons; null otherwise (or for a null OID). The text is
// not written for this.
// not a transfer: points into `oid`, valid until it next changes
const PmsOidView* pmc_canonical_view(const IPmsOid* oid) noexcept;

// A new OID (caller owns it) of `text`, as create_oid_from_text makes it, with the same result
// codes. A canonical, non-empty text of at most 128 numbers is read here into numbers (cheaply,
// as only that spelling is accepted) and the OID writes the same text back when it is read;
// any other text goes to create_oid_from_text.
// the caller owns the result (release()); `text` is only read
IPmsOid* pmc_oid_from_text(const char* text, Result* result = nullptr) noexcept;

// Writes the canonical text of `count` numbers into `text` (at most `size` - 1 characters and a
// terminating zero; `size` must not be 0): the text a canonical OID of these numbers holds.
// borrowed: `ids` only read, `text` written
void pmc_format_sub_ids(const uint32_t* ids, uint32_t count, char* text, size_t size) noexcept;

}  // namespace psw
