/* Uses the installed header and library from plain C. */
#include <psw/psw.h>
#include <stdio.h>

int main(void)
{
    PSWHandle handle = 0;
    int32_t result = PSWInit(&handle);
    if (result != PSW_SUCCESS) {
        printf("PSWInit failed: %s\n", psw_result_meaning(result));
        return 1;
    }
    result = PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, "public");
    PSWUnInit(handle);
    printf("consumer ok %d\n", (int)result);
    return result == PSW_SUCCESS ? 0 : 1;
}
