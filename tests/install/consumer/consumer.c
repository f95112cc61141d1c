/* Uses the installed header and library from plain C. */
#include <psw/psw.h>
#include <stdio.h>
#include <string.h>

int main(void)
{
    PSWHandle handle = 0;
    int32_t result = PSWInit(&handle);
    if (result != PSW_SUCCESS) {
        printf("PSWInit failed: %s\n", psw_result_meaning(result));
        return 1;
    }
    result = PSWCommandString(handle, PSW_CMD_SET_COMMUNITY_FIND, "public");
    /* The installed header and library are of one version. */
    if (strcmp(PSWGetVersion(), PSW_VERSION) != 0) {
        printf("header %s, library %s\n", PSW_VERSION, PSWGetVersion());
        result = PSW_ERR_FAILED;
    }
    PSWUnInit(handle);
    printf("consumer ok %d\n", (int)result);
    return result == PSW_SUCCESS ? 0 : 1;
}
