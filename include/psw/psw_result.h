/* Result codes of libpsw.
 *
 * Every exported call that reports a status returns one of these signed 32-bit codes: 0 is
 * success, negative values are failures. The one positive code, PSW_INIT_NO_MEMORY, is returned
 * only by PSWInit. Codes produced deep inside the library (sockets, SNMP sessions, the codec)
 * pass through the exported calls unchanged, so a caller may meet any code of this list. Each
 * exported call's comment in psw.h says when it returns which code.
 */
#ifndef PSW_RESULT_H
#define PSW_RESULT_H

#include <stdint.h>

/* The one list of codes: X(name, value, one-line meaning). It generates the constants below
 * and psw_result_meaning(); a new code is added here and nowhere else. */
#define PSW_RESULT_CODES(X)                                                         \
    X(PSW_SUCCESS, 0, "success")                                                    \
    X(PSW_INIT_NO_MEMORY, 3, "the library object could not be allocated")           \
    X(PSW_ERR_FAILED, -1, "operation failed")                                       \
    X(PSW_ERR_PARAMETER, -2, "bad or missing argument")                             \
    X(PSW_ERR_NO_MEMORY, -3, "out of memory")                                       \
    X(PSW_ERR_NO_INTERFACE, -4, "interface not available")                          \
    X(PSW_ERR_UNSUPPORTED, -5, "not supported")                                     \
    X(PSW_ERR_NOT_FOUND, -6, "not found")                                           \
    X(PSW_ERR_TOO_LONG, -7, "data too long, value missing or write rejected")       \
    X(PSW_ERR_NOT_INITIALIZED, -8, "not initialised (no device set up)")            \
    X(PSW_ERR_NOT_AVAILABLE, -10, "library, table or file not available")           \
    X(PSW_ERR_INDEX, -11, "record index out of range")                              \
    X(PSW_ERR_SNMPV3, -200, "SNMPv3 library error")                                 \
    X(PSW_ERR_SOCKET, -201, "socket could not be created")                          \
    X(PSW_ERR_ADDRESS, -202, "address conversion or bind failed")                   \
    X(PSW_ERR_TIMEOUT, -203, "no answer within the time-out")                       \
    X(PSW_ERR_RECEIVE, -204, "receive failed")                                      \
    X(PSW_ERR_SEND, -205, "send failed")                                            \
    X(PSW_ERR_TOO_BIG, -210, "the agent answered tooBig")                           \
    X(PSW_ERR_MESSAGE_SIZE, -211, "message larger than the maximum message size")   \
    X(PSW_ERR_CANNOT_SPLIT, -212, "request cannot be split further")                \
    X(PSW_ERR_SECURITY, -214, "SNMPv3 security failure")                            \
    X(PSW_ERR_MALFORMED, -250, "malformed SNMP message")                            \
    X(PSW_ERR_REQUEST_ID, -251, "reply does not match the request id")              \
    X(PSW_ERR_ERROR_STATUS, -252, "the printer refused the request (error status)") \
    X(PSW_ERR_BAD_DATA, -253, "the printer sent data out of range")                 \
    X(PSW_ERR_WALK_LIMIT, -254, "table longer than the walk row limit")             \
    X(PSW_ERR_V3_STATUS, -299, "unknown error status in an SNMPv3 reply")           \
    X(PSW_ERR_INDEX_VALUE, -401, "table index does not fit a value")

/* Each code is a constant of type int, as an integer literal would be: an enumerator in C (so
 * it may label a case), a constexpr int32_t in C++ (so it deduces as int, not as an enum). */
#ifdef __cplusplus
#define PSW_RESULT_CONSTANT(name, value, meaning) constexpr int32_t name = (value);
PSW_RESULT_CODES(PSW_RESULT_CONSTANT)
#else
#define PSW_RESULT_CONSTANT(name, value, meaning) name = (value),
enum { PSW_RESULT_CODES(PSW_RESULT_CONSTANT) };
#endif
#undef PSW_RESULT_CONSTANT

#ifdef __cplusplus
extern "C" {
#endif

/* One-line meaning of a result code, for messages; never null. A header-only helper, so it
 * needs no exported symbol. */
static inline const char* psw_result_meaning(int32_t code)
{
    switch (code) {
#define PSW_RESULT_MEANING(name, value, meaning) \
    case (value): return meaning;
        PSW_RESULT_CODES(PSW_RESULT_MEANING)
#undef PSW_RESULT_MEANING
        default: return "unknown result code";
    }
}

#ifdef __cplusplus
}
#endif

#endif /* PSW_RESULT_H */
