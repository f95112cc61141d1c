// Numeric order of dotted object identifier texts, sub-identifier by sub-identifier, as the
// protocol orders them (the text comparison of OIDs would put 1.10 before 1.9).
#pragma once

namespace psw {

// Negative, zero or positive as `a` comes before, equals or follows `b`. A prefix comes first.
// borrowed: both texts are only read
int pmc_oid_text_order(const char* a, const char* b) noexcept;

}  // namespace psw
