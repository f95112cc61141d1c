/* Result codes of libpsw.
 *
 * Every exported call that reports a status returns one of these signed 32-bit codes: 0 is
 * success, negative values are failures. The one positive code, PSW_INIT_NO_MEMORY, is returned
 * only by PSWInit. Codes produced deep inside the library (sockets, SNMP sessions, the codec)
 * pass through the exported calls unchanged, so a caller may meet any code of this list.
 */
#ifndef PSW_RESULT_H
#define PSW_RESULT_H

#include <stdint.h>

#define PSW_SUCCESS 0                /* success */
#define PSW_INIT_NO_MEMORY 3         /* PSWInit: the library object could not be allocated */
#define PSW_ERR_FAILED (-1)          /* generic failure (no tray reported, ROM text unparsable) */
#define PSW_ERR_PARAMETER (-2)       /* bad or null argument, unknown transport, unsupported target */
#define PSW_ERR_NO_MEMORY (-3)       /* out of memory */
#define PSW_ERR_NO_INTERFACE (-4)    /* interface identifier not answered */
#define PSW_ERR_UNSUPPORTED (-5)     /* operation, command or value type not supported */
#define PSW_ERR_NOT_FOUND (-6)       /* not found */
#define PSW_ERR_TOO_LONG (-7)        /* data too long for its receiver, missing binding, write rejected */
#define PSW_ERR_NOT_INITIALIZED (-8) /* no object to work on (device not set up, empty OID, no codec) */
#define PSW_ERR_NOT_AVAILABLE (-10)  /* library, table source or file not available */
#define PSW_ERR_INDEX (-11)          /* record index at or beyond the count of the last query */
#define PSW_ERR_SNMPV3 (-200)        /* other SNMPv3 library error */
#define PSW_ERR_SOCKET (-201)        /* socket creation failed */
#define PSW_ERR_ADDRESS (-202)       /* address conversion or bind failed */
#define PSW_ERR_TIMEOUT (-203)       /* no answer within the time-out */
#define PSW_ERR_RECEIVE (-204)       /* receive failure */
#define PSW_ERR_SEND (-205)          /* send failure */
#define PSW_ERR_TOO_BIG (-210)       /* the agent answered tooBig */
#define PSW_ERR_MESSAGE_SIZE (-211)  /* message larger than the target's maximum message size */
#define PSW_ERR_CANNOT_SPLIT (-212)  /* request cannot be split further */
#define PSW_ERR_SECURITY (-214)      /* SNMPv3 security failure */
#define PSW_ERR_MALFORMED (-250)     /* malformed message */
#define PSW_ERR_REQUEST_ID (-251)    /* reply request-id does not match the request */
#define PSW_ERR_ERROR_STATUS (-252)  /* the agent refused the request with a non-zero error-status */
#define PSW_ERR_BAD_DATA (-253)      /* the printer's data is out of range for what it describes */
#define PSW_ERR_WALK_LIMIT (-254)    /* a table walk passed its row limit (PSW_WALK_MAX_ROWS) */
#define PSW_ERR_V3_STATUS (-299)     /* unknown error-status in an SNMPv3 reply */
#define PSW_ERR_INDEX_VALUE (-401)   /* table index does not fit a value */

#ifdef __cplusplus
extern "C" {
#endif

/* One-line meaning of a result code, for messages; never null. A header-only helper, so it
 * needs no exported symbol. */
static inline const char* psw_result_meaning(int32_t code)
{
    switch (code) {
    case PSW_SUCCESS: return "success";
    case PSW_INIT_NO_MEMORY: return "the library object could not be allocated";
    case PSW_ERR_FAILED: return "operation failed";
    case PSW_ERR_PARAMETER: return "bad or missing argument";
    case PSW_ERR_NO_MEMORY: return "out of memory";
    case PSW_ERR_NO_INTERFACE: return "interface not available";
    case PSW_ERR_UNSUPPORTED: return "not supported";
    case PSW_ERR_NOT_FOUND: return "not found";
    case PSW_ERR_TOO_LONG: return "data too long, value missing or write rejected";
    case PSW_ERR_NOT_INITIALIZED: return "not initialised (no device set up)";
    case PSW_ERR_NOT_AVAILABLE: return "library, table or file not available";
    case PSW_ERR_INDEX: return "record index out of range";
    case PSW_ERR_SNMPV3: return "SNMPv3 library error";
    case PSW_ERR_SOCKET: return "socket could not be created";
    case PSW_ERR_ADDRESS: return "address conversion or bind failed";
    case PSW_ERR_TIMEOUT: return "no answer within the time-out";
    case PSW_ERR_RECEIVE: return "receive failed";
    case PSW_ERR_SEND: return "send failed";
    case PSW_ERR_TOO_BIG: return "the agent answered tooBig";
    case PSW_ERR_MESSAGE_SIZE: return "message larger than the maximum message size";
    case PSW_ERR_CANNOT_SPLIT: return "request cannot be split further";
    case PSW_ERR_SECURITY: return "SNMPv3 security failure";
    case PSW_ERR_MALFORMED: return "malformed SNMP message";
    case PSW_ERR_REQUEST_ID: return "reply does not match the request id";
    case PSW_ERR_ERROR_STATUS: return "the printer refused the request (error status)";
    case PSW_ERR_BAD_DATA: return "the printer sent data out of range";
    case PSW_ERR_WALK_LIMIT: return "table longer than the walk row limit";
    case PSW_ERR_V3_STATUS: return "unknown error status in an SNMPv3 reply";
    case PSW_ERR_INDEX_VALUE: return "table index does not fit a value";
    default: return "unknown result code";
    }
}

#ifdef __cplusplus
}
#endif

#endif /* PSW_RESULT_H */
