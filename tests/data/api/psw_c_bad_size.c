/* Must NOT compile: PSWJobInfo is 1336 bytes. Proves that the record size checks of
 * psw_records.h fire in this language mode. */
#include <psw/psw.h>

PSW_CHECK_SIZE(PSWJobInfo, 1332);
