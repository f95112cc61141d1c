/* Must NOT compile: PSWGetCharSet takes an unsigned selector, not a signed one. Proves that the
 * signature checks of psw_c_check.c can fail. */
#include <psw/psw.h>

#include "expect_type.h"

EXPECT_TYPE(PSWGetCharSet, int32_t, (PSWHandle, int32_t, int32_t*));
