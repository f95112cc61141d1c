/* Must NOT compile: the job identifier of PSWJobInfo starts at byte 788. Proves that the field
 * offset checks of psw_records.h fire in this language mode. */
#include <psw/psw.h>

PSW_CHECK_OFFSET(PSWJobInfo, job_id, 789);
