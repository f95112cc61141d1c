/* libpsw: printer management over SNMP, exported C interface.
 *
 * Call sequence
 *   1. PSWInit(&handle) creates a library handle.
 *   2. PSWCommandString(handle, PSW_CMD_..., text) sets the communities (optional: without them
 *      requests carry "public" for reading and "private" for job cancel). A community takes
 *      effect at the next discovery or device set-up, not in a session already built.
 *   3. Either discovery:
 *        PSWFindAddFilter (optional) → PSWFindDeviceSNMP / PSWFindDeviceSNMPEx → PSWGetDeviceNext
 *        until it returns 0; PSWFindResetPosition hands the same list out again;
 *      or a device session:
 *        PSWInitDevice / PSWInitDeviceEx binds the handle to one printer; then, for each kind of
 *        information, PSWGetNumberOf<X>Info(handle, &count) reads the printer and fills a table,
 *        and PSWGet<X>Info(handle, i, &record) copies record i (0 <= i < count) out of it.
 *        PSWGetPrinterInfo, PSWGetCharSet, PSWCancelJob, PSWRefreshOptions and the
 *        PSWGetOptionValue... calls work on the same session.
 *   4. PSWUnInit(handle) frees the handle and everything it owns.
 *
 * Threads
 *   The library starts no thread: every call runs on the caller's thread and blocks until its
 *   SNMP exchanges have ended (time-out and retries as given at set-up). A handle has no lock
 *   and is used by one thread at a time; different handles may be used from different threads
 *   at once.
 *
 * Logging
 *   Silent until a host switches it on with PSWLogSetLevel and an output (PSWLogAttachStdout,
 *   PSWLogAttachFile, PSWLogAttachCallback): see "Logging" at the end of this header.
 *
 * Memory and texts
 *   The library allocates and frees everything it owns; the caller owns every buffer it passes
 *   and gives it the size stated with each function. Texts are zero-terminated single-byte
 *   strings. Every text the library writes, into a record field or a caller's buffer, is cut to
 *   the field or buffer size minus one and is always zero-terminated.
 *
 * Results
 *   A call returning int32_t returns PSW_SUCCESS (0) or a negative code of psw_result.h (PSWInit
 *   may also return the positive PSW_INIT_NO_MEMORY). Codes produced by the SNMP and network
 *   layers pass through unchanged; the lists below name the ones a call typically meets. Calls
 *   that talk to a printer may return these "request codes":
 *     PSW_ERR_NO_MEMORY (-3)     a request object or buffer could not be allocated
 *     PSW_ERR_FAILED (-1)        a table walk ended by an error-status other than noSuchName,
 *                                or by a name that does not follow the one asked for
 *     PSW_ERR_TOO_LONG (-7)      reply without the expected values, or noSuchName / noAccess
 *     PSW_ERR_NOT_AVAILABLE (-10) the system's socket library could not be loaded
 *     PSW_ERR_SOCKET (-201)      no socket could be created
 *     PSW_ERR_ADDRESS (-202)     the address could not be converted or bound
 *     PSW_ERR_TIMEOUT (-203)     the printer did not answer within time-out and retries
 *     PSW_ERR_RECEIVE (-204)     receiving failed
 *     PSW_ERR_SEND (-205)        sending failed
 *     PSW_ERR_TOO_BIG (-210)     the printer answered tooBig
 *     PSW_ERR_MESSAGE_SIZE (-211) a message exceeds the maximum message size
 *     PSW_ERR_CANNOT_SPLIT (-212) a too big request cannot be split further
 *     PSW_ERR_MALFORMED (-250)   the reply is not a well-formed SNMP message
 *     PSW_ERR_REQUEST_ID (-251)  the reply answers another request
 *     PSW_ERR_ERROR_STATUS (-252) a single read was refused with an error-status other than
 *                                noSuchName (which reads as an absent object instead)
 *     PSW_ERR_WALK_LIMIT (-254)  a table had more than PSW_WALK_MAX_ROWS (65,536) rows
 *     PSW_ERR_SNMPV3 (-200), PSW_ERR_SECURITY (-214), PSW_ERR_V3_STATUS (-299)
 *                                SNMPv3 failures (security mode PSW_SECURITY_MODE_V3 only)
 *     PSW_ERR_NOT_AVAILABLE (-10) security mode PSW_SECURITY_MODE_V3 in a build without
 *                                Net-SNMP (the Windows build): no SNMPv3 request is possible
 *   PSW_ERR_PARAMETER (-2) always means a bad argument of the caller; data a printer should not
 *   have sent gives PSW_ERR_BAD_DATA (-253) or one of the codes above.
 *
 * Network
 *   A request to one printer takes only a Response PDU that comes from the address and port it
 *   was sent to and carries its request-id; anything else (a reply from another port or host,
 *   another request's reply, a request or trap, an unreadable datagram) is dropped and the wait
 *   goes on. A reply never changes the address the session talks to. Request-ids start at a
 *   random value in each process and increase by one per request. A reply whose object names
 *   are longer than PSW_OID_MAX_SUB_IDS (128) sub-identifiers is malformed and dropped like any
 *   unreadable datagram. A table walk stops with PSW_ERR_WALK_LIMIT after PSW_WALK_MAX_ROWS
 *   rows. Discovery keeps only Response PDUs with the request's request-id and error-status
 *   noError.
 */
#ifndef PSW_H
#define PSW_H

#include <stdint.h>

#include "psw_records.h"
#include "psw_result.h"

/* Export macro: the library build defines PSW_BUILDING_LIBRARY. A program that links libpsw
 * statically may define PSW_API as empty before including this header. */
#ifndef PSW_API
#if defined(_WIN32) || defined(__CYGWIN__)
#ifdef PSW_BUILDING_LIBRARY
#define PSW_API __declspec(dllexport)
#else
#define PSW_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) || defined(__clang__)
#define PSW_API __attribute__((visibility("default")))
#else
#define PSW_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Library handle: made by PSWInit, freed by PSWUnInit; the caller never looks inside. */
typedef struct PSWLibrary* PSWHandle;

/* Transport codes (the transport argument of the set-up and discovery calls). */
#define PSW_TRANSPORT_UDP_IPV4 1 /* UDP over IPv4, port 161 */
#define PSW_TRANSPORT_IPX 2      /* IPX, socket 36879 (0x900F) */
#define PSW_TRANSPORT_NONE 3     /* no SNMP transport: set-up gives -2, discovery -5 */
#define PSW_TRANSPORT_UDP_IPV6 5 /* UDP over IPv6, port 161 */

/* Security modes (the securityMode argument of the Ex calls). */
#define PSW_SECURITY_MODE_COMMUNITY 0 /* community-based SNMPv1 requests */
#define PSW_SECURITY_MODE_V3 2        /* SNMPv3 requests with the user settings */

/* Command names of PSWCommandString. */
#define PSW_CMD_SET_COMMUNITY_GET_OPTION "CmdSetCommunityGetOption" /* read community */
#define PSW_CMD_SET_COMMUNITY_FIND "CmdSetCommunityFind"            /* discovery community */
#define PSW_CMD_SET_COMMUNITY_WRITE "CmdSetCommunityWrite"          /* job cancel community */

/* Limits and buffer sizes. */
#define PSW_COMMUNITY_MAX_LENGTH 255 /* longest value of PSWCommandString */
#define PSW_FILTER_MAX_LENGTH 63     /* longest filter of PSWFindAddFilter */
#define PSW_FILTER_SLOTS 50          /* filters kept at once */
#define PSW_DEVICE_TEXT_SIZE 64      /* buffer for each text of PSWGetDeviceNext */
#define PSW_OPTION_TEXT_SIZE 256     /* buffer for PSWGetOptionValueString */
#define PSW_WALK_MAX_ROWS 65536 /* rows a table walk reads at most; more is PSW_ERR_WALK_LIMIT */
#define PSW_OID_MAX_SUB_IDS 128 /* longest name a reply may carry; longer is malformed */

/* Job kinds of PSWGetNumberOfJobInfo. */
#define PSW_JOB_KIND_ALL 0       /* every job */
#define PSW_JOB_KIND_OTHERS 1    /* jobs whose state is not PSW_JOB_STATE_SEPARATED */
#define PSW_JOB_KIND_SEPARATED 2 /* jobs whose state is PSW_JOB_STATE_SEPARATED */

/* Character sets of PSWGetCharSet. */
#define PSW_CHARSET_STANDARD 0 /* prtLocalizationCharacterSet of the current localization */
#define PSW_CHARSET_PRIVATE 1  /* the printer's private character set */

/* ========================================================================================== */
/* Library handle and commands                                                                */
/* ========================================================================================== */

/* Creates a library handle with its device finder and its SNMPv3 user settings.
 *   out: receives the handle on success only; the caller frees it with PSWUnInit.
 * Results:
 *   PSW_SUCCESS (0)         *out holds the new handle
 *   PSW_INIT_NO_MEMORY (3)  the library object itself could not be allocated (positive!)
 *   PSW_ERR_PARAMETER (-2)  out is null
 *   PSW_ERR_NO_MEMORY (-3)  the finder or the settings object could not be created
 */
PSW_API int32_t PSWInit(PSWHandle* out);

/* Destroys a handle: the option set, the finder, the device session and the user settings,
 * in that order. A null handle is ignored. The handle is invalid afterwards. */
PSW_API void PSWUnInit(PSWHandle handle);

/* Sets one of the three communities of the handle, replacing the earlier value.
 *   command: PSW_CMD_SET_COMMUNITY_GET_OPTION (read), PSW_CMD_SET_COMMUNITY_FIND (discovery) or
 *            PSW_CMD_SET_COMMUNITY_WRITE (job cancel), compared exactly and case-sensitively.
 *   value:   the community, at most PSW_COMMUNITY_MAX_LENGTH (255) characters; copied.
 * The read and write communities reach the printer from the next PSWInitDevice(Ex) on, the
 * discovery community from the next PSWFindDeviceSNMP(Ex) on.
 * Results:
 *   PSW_SUCCESS (0)          value stored
 *   PSW_ERR_PARAMETER (-2)   an argument is null, or value is longer than 255 characters
 *                            (nothing is stored then)
 *   PSW_ERR_UNSUPPORTED (-5) command is none of the three names
 */
PSW_API int32_t PSWCommandString(PSWHandle handle, const char* command, const char* value);

/* Integer command entry. No integer command is defined: command is not examined and value is
 * only tested for null; neither is written or kept.
 * Results:
 *   PSW_ERR_PARAMETER (-2)   handle or value is null
 *   PSW_ERR_UNSUPPORTED (-5) otherwise, always
 */
PSW_API int32_t PSWCommandInteger(PSWHandle handle, const void* command, const void* value);

/* Tells whether a transport can be used on this machine: UDP over IPv4 when an adapter other
 * than the loopback has an IPv4 address, UDP over IPv6 when an adapter that is neither loopback
 * nor tunnel has an IPv6 address, IPX when an IPX socket can be opened.
 *   transport: PSW_TRANSPORT_UDP_IPV4, PSW_TRANSPORT_IPX or PSW_TRANSPORT_UDP_IPV6.
 * Returns 1 when available, 0 when not, for PSW_TRANSPORT_NONE, for any unknown code (these
 * without asking the network layer) and when the network layer fails. */
PSW_API int16_t PSWTransportAvailable(int32_t transport);

/* Tells whether the set-up printer's sysObjectID begins with the given text.
 *   oid: dotted decimal text; null or empty matches every printer.
 * Returns:
 *   1   the printer matches, or oid is null or empty, once the option set exists (it is built
 *       by PSWInitDevice(Ex) even when that call then fails)
 *   0   it does not match, or no PSWInitDevice(Ex) has built the option set yet
 *   -2  (PSW_ERR_PARAMETER as a 16-bit value) handle is null
 */
PSW_API int16_t PSWIsSupportedOID(PSWHandle handle, const char* oid);

/* ========================================================================================== */
/* Discovery                                                                                  */
/* ========================================================================================== */

/* Sends one SNMP GET of sysObjectID.0 to a broadcast or multicast address, collects the
 * answers during time-out × (retries + 1) and keeps those of the supported printer model that
 * pass the filters (PSWFindAddFilter). Only a Response PDU with the request's request-id and
 * error-status noError counts as an answer; anything else is dropped. The list of an earlier
 * discovery is discarded; the read position starts at 0. Uses the discovery community,
 * community-based requests.
 *   address:   destination text; null means "255.255.255.255" for PSW_TRANSPORT_UDP_IPV4 and
 *              PSW_TRANSPORT_IPX, "ff02::1" for PSW_TRANSPORT_UDP_IPV6.
 *   transport: PSW_TRANSPORT_... code; the address must denote that transport.
 *   timeout:   milliseconds to wait after each send; retries: extra sends.
 *   count:     receives the number of printers found (0 after a failure in the exchange).
 * Results:
 *   PSW_SUCCESS (0)          *count holds the number of entries for PSWGetDeviceNext
 *   PSW_ERR_FAILED (-1)      address is not an address text (or names no local interface as
 *                            its zone, e.g. "ff02::1%nosuch")
 *   PSW_ERR_PARAMETER (-2)   handle or count is null, unknown transport code, or address
 *                            denotes another transport
 *   PSW_ERR_NO_MEMORY (-3)   the request or the result list could not be created
 *   PSW_ERR_UNSUPPORTED (-5) transport is PSW_TRANSPORT_NONE
 *   request codes            typically PSW_ERR_NOT_AVAILABLE (-10), PSW_ERR_SOCKET (-201),
 *                            PSW_ERR_ADDRESS (-202), PSW_ERR_SEND (-205),
 *                            PSW_ERR_RECEIVE (-204), PSW_ERR_MALFORMED (-250)
 */
PSW_API int32_t PSWFindDeviceSNMP(PSWHandle handle, const char* address, int32_t transport,
                                  uint32_t timeout, uint32_t retries, int32_t* count);

/* As PSWFindDeviceSNMP, with SNMPv3 settings.
 *   securityMode: PSW_SECURITY_MODE_V3 for SNMPv3 (an engine-id probe is broadcast, then each
 *                 device that answered is asked directly); any other value community-based.
 *   settings:     user settings merged over the built-in ones (see PSWUSMSettings); they stay
 *                 in the handle and are read again by later device calls (user name, pass
 *                 phrases and context name).
 * Results: as PSWFindDeviceSNMP, and with PSW_SECURITY_MODE_V3 also
 *   PSW_ERR_PARAMETER (-2)   a security level, authentication or privacy protocol the session
 *                            does not know (checked before anything is sent)
 *   PSW_ERR_SNMPV3 (-200)    a pass phrase Net-SNMP refuses (shorter than 8 characters)
 *   PSW_ERR_V3_STATUS (-299) an error-status outside 0..18 in a reply
 *   No engine answering the probe is no failure (count 0); a device that answers the probe
 *   but then fails its request (-203, -204, -214, -250) is left out of the list.
 */
PSW_API int32_t PSWFindDeviceSNMPEx(PSWHandle handle, const char* address, int32_t transport,
                                    int32_t securityMode, PSWUSMSettings settings, uint32_t timeout,
                                    uint32_t retries, int32_t* count);

/* Adds a filter: once filter slot 0 is used, discovery keeps only the printers whose
 * sysObjectID text begins with one of the filters. Filters persist across discoveries until
 * PSWFindClearFilter.
 *   filter: dotted decimal prefix, at most PSW_FILTER_MAX_LENGTH (63) characters; copied.
 * Results:
 *   PSW_SUCCESS (0)         added to the first free slot, or dropped because all
 *                           PSW_FILTER_SLOTS (50) slots are used
 *   PSW_ERR_PARAMETER (-2)  handle or filter is null, or filter is longer than 63 characters
 */
PSW_API int32_t PSWFindAddFilter(PSWHandle handle, const char* filter);

/* Empties all filter slots. A null handle is ignored. */
PSW_API void PSWFindClearFilter(PSWHandle handle);

/* Moves the read position of the discovery list back to its first entry. A null handle, or no
 * discovery yet, is ignored. */
PSW_API void PSWFindResetPosition(PSWHandle handle);

/* Copies the entry at the read position of the discovery list and advances the position.
 *   address:     caller's buffer of PSW_DEVICE_TEXT_SIZE (64) bytes: the answering address
 *   modelName:   caller's buffer of 64 bytes: the model name
 *   reserved:    caller's buffer of at least 1 byte: receives an empty text
 *   sysObjectId: caller's buffer of 64 bytes: the printer's sysObjectID, dotted decimal
 * Found-device texts are cut to 63 characters, so 64-byte buffers always suffice.
 * Returns 1 when an entry was copied; 0 when an argument is null, no discovery has run, or
 * every entry has been handed out (nothing is written then). */
PSW_API int16_t PSWGetDeviceNext(PSWHandle handle, char* address, char* modelName, char* reserved,
                                 char* sysObjectId);

/* ========================================================================================== */
/* Device session                                                                             */
/* ========================================================================================== */

/* Binds the handle to one printer: builds the option set, checks that the printer is the
 * supported model (one request for its sysObjectID) and builds the device session, which
 * takes the read and write communities set so far. A session of an earlier call is released
 * first. Community-based requests.
 *   address:   the printer's address text (at most 63 characters); copied.
 *   transport: PSW_TRANSPORT_... code.
 *   timeout:   milliseconds per try; retries: extra tries. Used by every later request.
 * Results:
 *   PSW_SUCCESS (0)         the session is ready; record tables are empty until counted
 *   PSW_ERR_PARAMETER (-2)  handle or address is null, address longer than 63 characters or
 *                           unknown transport code (nothing is built in these cases),
 *                           PSW_TRANSPORT_NONE, or the printer is not the supported model
 *   PSW_ERR_NO_MEMORY (-3)  the option set or the session could not be created
 *   request codes           typically PSW_ERR_TIMEOUT (-203) when nothing answers,
 *                           PSW_ERR_MALFORMED (-250), PSW_ERR_SOCKET (-201)
 * After a failure with the option set already built, option calls answer from empty data and
 * record calls return PSW_ERR_NOT_INITIALIZED.
 */
PSW_API int32_t PSWInitDevice(PSWHandle handle, const char* address, int32_t transport,
                              uint32_t timeout, uint32_t retries);

/* As PSWInitDevice, with SNMPv3 settings.
 *   securityMode: PSW_SECURITY_MODE_V3 makes every request of the session an SNMPv3 request;
 *                 0 and 1 community-based; any other value is treated as community-based.
 *   settings:     user settings merged over the built-in ones (see PSWUSMSettings). The session
 *                 keeps the numbers but refers to the handle's texts, so a later
 *                 PSWFindDeviceSNMPEx changes user name, pass phrases and context name used.
 * Results: as PSWInitDevice (PSW_ERR_PARAMETER also for an address longer than 63
 *   characters, before anything is built), and with PSW_SECURITY_MODE_V3 also
 *   PSW_ERR_PARAMETER (-2)   a security level, authentication or privacy protocol the session
 *                            does not know, a security name over 32 characters (nothing sent)
 *   PSW_ERR_SNMPV3 (-200)    a pass phrase Net-SNMP refuses (shorter than 8 characters)
 *   PSW_ERR_SECURITY (-214)  wrong authentication pass phrase, unknown user, a level the user
 *                            lacks (the agent reports it at once)
 *   PSW_ERR_TIMEOUT (-203)   also a wrong privacy pass phrase: the agent cannot decrypt the
 *                            request and stays silent
 *   PSW_ERR_V3_STATUS (-299) an error-status outside 0..18 in a reply
 * The same codes come from every later device call of the handle.
 */
PSW_API int32_t PSWInitDeviceEx(PSWHandle handle, const char* address, int32_t transport,
                                int32_t securityMode, PSWUSMSettings settings, uint32_t timeout,
                                uint32_t retries);

/* Reads the printer's installed options and settings again (one refresh, several requests);
 * the PSWGetOptionValue... calls answer from the last refresh.
 * Results:
 *   PSW_SUCCESS (0)              options read
 *   PSW_ERR_FAILED (-1)          the printer's ROM version text does not have the expected form
 *   PSW_ERR_PARAMETER (-2)       handle is null
 *   PSW_ERR_NOT_INITIALIZED (-8) no PSWInitDevice(Ex) has built the option set
 *   PSW_ERR_ERROR_STATUS (-252)  the printer refused a read (e.g. genErr); a printer that
 *                                fails every read fails the refresh with it
 *   PSW_ERR_WALK_LIMIT (-254)    one of the option tables had more than PSW_WALK_MAX_ROWS rows
 *   request codes                typically PSW_ERR_TIMEOUT (-203), PSW_ERR_TOO_LONG (-7),
 *                                PSW_ERR_MALFORMED (-250)
 */
PSW_API int32_t PSWRefreshOptions(PSWHandle handle);

/* Option values by name ("Scanner", "DuplexModule", "MemorySizeInKByte", "InputTrayName", ...),
 * answered from the last PSWRefreshOptions. The four calls share these rules:
 *   name:  option name, compared exactly and case-sensitively.
 *   index: 0-based row for the options that are per input or output tray; ignored otherwise.
 *   out:   written on success only.
 * Results:
 *   PSW_SUCCESS (0)              *out written
 *   PSW_ERR_PARAMETER (-2)       handle, name or out is null
 *   PSW_ERR_UNSUPPORTED (-5)     no option of that name and value type
 *   PSW_ERR_NOT_INITIALIZED (-8) no PSWInitDevice(Ex) has built the option set
 *   PSW_ERR_INDEX (-11)          index at or beyond the number of trays of the last refresh
 */

/* Truth options: *out receives 1 or 0. */
PSW_API int32_t PSWGetOptionValueBoolean(PSWHandle handle, const char* name, uint16_t index,
                                         int16_t* out);

/* Signed integer options. */
PSW_API int32_t PSWGetOptionValueInteger(PSWHandle handle, const char* name, uint16_t index,
                                         int32_t* out);

/* Unsigned integer options. No option of this type exists: with valid arguments the result is
 * always PSW_ERR_UNSUPPORTED (-5) once a device is set up. */
PSW_API int32_t PSWGetOptionValueUInteger(PSWHandle handle, const char* name, uint16_t index,
                                          uint32_t* out);

/* Text options. out: caller's buffer of PSW_OPTION_TEXT_SIZE (256) bytes; receives the text
 * with its terminating zero (option texts hold at most 255 characters). */
PSW_API int32_t PSWGetOptionValueString(PSWHandle handle, const char* name, uint16_t index,
                                        char* out);

/* ------------------------------------------------------------------------------------------ */
/* Count and copy                                                                             */
/* ------------------------------------------------------------------------------------------ */

/* Each PSWGetNumberOf<X>Info empties the record table of X, reads it from the printer and on
 * success writes the number of records to *count (which is left alone on failure). Each
 * PSWGet<X>Info copies record `index` of the table as last filled into the caller's record.
 *
 * Results of every PSWGetNumberOf<X>Info:
 *   PSW_SUCCESS (0)              *count holds the number of records (may be 0)
 *   PSW_ERR_PARAMETER (-2)       handle or count is null
 *   PSW_ERR_NOT_INITIALIZED (-8) no successful PSWInitDevice(Ex)
 *   PSW_ERR_WALK_LIMIT (-254)    the table had more than PSW_WALK_MAX_ROWS (65,536) rows
 *   request codes                typically PSW_ERR_TIMEOUT (-203), PSW_ERR_MALFORMED (-250),
 *                                PSW_ERR_TOO_LONG (-7), PSW_ERR_NO_MEMORY (-3)
 *
 * Results of every PSWGet<X>Info:
 *   PSW_SUCCESS (0)              *out holds the record
 *   PSW_ERR_PARAMETER (-2)       handle or out is null
 *   PSW_ERR_NOT_INITIALIZED (-8) no successful PSWInitDevice(Ex)
 *   PSW_ERR_INDEX (-11)          index negative, or at or beyond the count of the last
 *                                PSWGetNumberOf<X>Info (always, before the first one)
 */

/* Storage areas (hrStorageTable). */
PSW_API int32_t PSWGetNumberOfStorageInfo(PSWHandle handle, int32_t* count);
PSW_API int32_t PSWGetStorageInfo(PSWHandle handle, int32_t index, PSWStorageInfo* out);

/* Hardware devices (hrDeviceTable). */
PSW_API int32_t PSWGetNumberOfDeviceInfo(PSWHandle handle, int32_t* count);
PSW_API int32_t PSWGetDeviceInfo(PSWHandle handle, int32_t index, PSWDeviceInfo* out);

/* Input trays (prtInputTable). A printer without trays gives count 0. */
PSW_API int32_t PSWGetNumberOfInputTrayInfo(PSWHandle handle, int32_t* count);
PSW_API int32_t PSWGetInputTrayInfo(PSWHandle handle, int32_t index, PSWInputTrayInfo* out);

/* Input trays with their extension value. Unlike the plain count, a printer without trays is
 * a failure here. Additional result of the count call:
 *   PSW_ERR_FAILED (-1)          the printer reports no input tray
 * A missing extension table is not an error: the extension field is -1 then. */
PSW_API int32_t PSWGetNumberOfInputTrayInfoEx(PSWHandle handle, int32_t* count);
PSW_API int32_t PSWGetInputTrayInfoEx(PSWHandle handle, int32_t index, PSWInputTrayInfoEx* out);

/* Output trays (prtOutputTable). */
PSW_API int32_t PSWGetNumberOfOutputTrayInfo(PSWHandle handle, int32_t* count);
PSW_API int32_t PSWGetOutputTrayInfo(PSWHandle handle, int32_t index, PSWOutputTrayInfo* out);

/* Toner supplies (rows of prtMarkerSuppliesTable of type toner), in table order. */
PSW_API int32_t PSWGetNumberOfTonerInfo(PSWHandle handle, int32_t* count);
PSW_API int32_t PSWGetTonerInfo(PSWHandle handle, int32_t index, PSWTonerInfo* out);

/* Alerts (prtAlertTable), in table order. */
PSW_API int32_t PSWGetNumberOfAlertInfo(PSWHandle handle, int32_t* count);
PSW_API int32_t PSWGetAlertInfo(PSWHandle handle, int32_t index, PSWAlertInfo* out);

/* Jobs of the printer's job tables.
 *   kind: PSW_JOB_KIND_ALL, PSW_JOB_KIND_OTHERS or PSW_JOB_KIND_SEPARATED.
 * The first count call also reads the private character set (again while it is still 0),
 * which the job texts are resolved in. Additional results of the count call:
 *   PSW_ERR_PARAMETER (-2)       kind above 2
 *   PSW_ERR_INDEX_VALUE (-401)   a job identifier cannot be decoded from its row
 * A failure part way leaves the jobs read so far in the table, but no count is written. */
PSW_API int32_t PSWGetNumberOfJobInfo(PSWHandle handle, uint32_t kind, int32_t* count);
PSW_API int32_t PSWGetJobInfo(PSWHandle handle, int32_t index, PSWJobInfo* out);

/* ------------------------------------------------------------------------------------------ */
/* Other device calls                                                                         */
/* ------------------------------------------------------------------------------------------ */

/* Reads the printer status and detected error state (hrPrinterTable; the last row wins, an
 * empty table gives an all-zero record).
 *   out: caller's record, written on success only.
 * Results:
 *   PSW_SUCCESS (0)              *out written
 *   PSW_ERR_PARAMETER (-2)       handle or out is null
 *   PSW_ERR_NOT_INITIALIZED (-8) no successful PSWInitDevice(Ex)
 *   request codes                typically PSW_ERR_TIMEOUT (-203), PSW_ERR_MALFORMED (-250)
 */
PSW_API int32_t PSWGetPrinterInfo(PSWHandle handle, PSWPrinterInfo* out);

/* Reads a character set number of the printer.
 *   which: PSW_CHARSET_STANDARD or PSW_CHARSET_PRIVATE.
 *   out:   receives the number on success; 0 when the printer reports none.
 * Results:
 *   PSW_SUCCESS (0)              *out written
 *   PSW_ERR_PARAMETER (-2)       handle or out is null, or which above 1
 *   PSW_ERR_NOT_INITIALIZED (-8) no successful PSWInitDevice(Ex)
 *   PSW_ERR_BAD_DATA (-253)      the printer's current localization is no index (a negative
 *                                number or not an INTEGER)
 *   PSW_ERR_ERROR_STATUS (-252)  the printer refused the read of the character set
 *   request codes                typically PSW_ERR_TIMEOUT (-203), PSW_ERR_TOO_LONG (-7),
 *                                PSW_ERR_MALFORMED (-250)
 */
PSW_API int32_t PSWGetCharSet(PSWHandle handle, uint32_t which, int32_t* out);

/* Cancels a job with one SNMP SET, using the write community ("private" unless set).
 *   jobId: the job_id text of a PSWJobInfo record (at most 255 characters).
 * Results:
 *   PSW_SUCCESS (0)              the printer accepted the request (error-status noError)
 *   PSW_ERR_PARAMETER (-2)       handle or jobId is null, or jobId is longer than 255
 *                                characters (no request is sent)
 *   PSW_ERR_NOT_INITIALIZED (-8) no successful PSWInitDevice(Ex)
 *   PSW_ERR_TOO_LONG (-7)        the printer refused the write: any error-status but noError
 *                                (noSuchName / noAccess, e.g. a wrong community or an unknown
 *                                job; readOnly, genErr, notWritable, authorizationError, ...)
 *   request codes                typically PSW_ERR_TIMEOUT (-203), PSW_ERR_MALFORMED (-250)
 */
PSW_API int32_t PSWCancelJob(PSWHandle handle, const char* jobId);

/* ========================================================================================== */
/* Logging                                                                                    */
/* ========================================================================================== */

/* The library writes diagnostic lines through named loggers: "PSW" (the exported calls),
 * "socket" (sockets and network interfaces) and "snmp" (codec and sessions; at PSW_LOG_DEBUG it
 * also writes each datagram it sends or receives as hex with its peer, at most 256 bytes a
 * line). A line is written when its level is in its logger's level mask and an output is
 * attached. Out of the box every mask is 0 and no output is attached: nothing is written until
 * a host calls the functions below.
 *
 * They act on the whole process, not on a handle, and may be called from any thread at any
 * time, also before PSWInit and after PSWUnInit; calling one twice leaves the state of calling
 * it once. An output, once attached, receives the lines of every logger, including loggers first
 * used later. A line looks like
 *   2026/12/08 10:15:02:117,    41234,    41234, snmp            , Debug, <message>
 * (local time with milliseconds, process id, thread id, the logger name in 16 columns, the level
 * word, the message) and is at most 1024 characters long, without line end. Lines are written
 * on the thread of the call that logs them. */

/* Level bits of PSWLogSetLevel. */
#define PSW_LOG_ERROR 1  /* failures */
#define PSW_LOG_WARN 2   /* oddities that do not stop a call */
#define PSW_LOG_INFO 4   /* notable protocol events */
#define PSW_LOG_DEBUG 8  /* sockets made, datagrams sent and received (with their bytes) */
#define PSW_LOG_TRACE 16 /* entry and exit of session operations */
#define PSW_LOG_ALL 31   /* every level */

/* Receives one finished line (zero-terminated, without line end), valid only during the call.
 * Called on the thread that logs, while that logger's lock is held: it must return soon and must
 * not call any function of the library. */
typedef void (*PSWLogCallback)(void* context, const char* line);

/* Sets the level mask of one logger.
 *   logger: "PSW", "socket", "snmp", or NULL (or "All") for the master logger "All", whose mask
 *           every logger takes over, now and whenever the master's mask is set again (so set a
 *           single logger after the master). A name not used by the library makes a logger
 *           that stays silent. The text is copied.
 *   mask:   an OR of PSW_LOG_... bits; 0 switches the logger off.
 * Results:
 *   PSW_SUCCESS (0)
 *   PSW_ERR_PARAMETER (-2)      logger is an empty text, or mask has bits above PSW_LOG_ALL
 *   PSW_ERR_NO_MEMORY (-3)      the logger could not be made
 */
PSW_API int32_t PSWLogSetLevel(const char* logger, uint32_t mask);

/* Writes every line, followed by a newline, to the process's standard output.
 * Results:
 *   PSW_SUCCESS (0)             attached (or already attached)
 *   PSW_ERR_NO_MEMORY (-3)      the output could not be made; nothing is attached
 */
PSW_API int32_t PSWLogAttachStdout(void);

/* Stops writing to the standard output. PSW_SUCCESS (0), also when it was not attached. */
PSW_API int32_t PSWLogDetachStdout(void);

/* Appends every line to a log file. When the next line would make the file larger than maxSize
 * bytes (each line counted as its length plus 2), the file is renamed to path + ".bak",
 * replacing an older backup, and a new file is begun. A line longer than maxSize - 2 is dropped.
 * A file attached before is closed first (also when this call then fails): one log file at a
 * time.
 *   path:    file to append to; created when missing. The text is copied.
 *   maxSize: size limit in bytes; 0 means 4194304 (4 MiB).
 * Results:
 *   PSW_SUCCESS (0)             attached; the file exists
 *   PSW_ERR_PARAMETER (-2)      path is NULL or empty
 *   PSW_ERR_NO_MEMORY (-3)      the output could not be made; nothing is attached
 *   PSW_ERR_NOT_AVAILABLE (-10) the file cannot be opened for writing; nothing is attached
 */
PSW_API int32_t PSWLogAttachFile(const char* path, uint64_t maxSize);

/* Stops writing to the log file and closes it. PSW_SUCCESS (0), also when none was attached. */
PSW_API int32_t PSWLogDetachFile(void);

/* Hands every line to a function of the caller. A function attached before is replaced: once
 * this call returns, the old function is not called again.
 *   callback: called once per line (see PSWLogCallback).
 *   context:  passed to callback unchanged; not owned; must stay valid until the callback is
 *             replaced or detached.
 * Results:
 *   PSW_SUCCESS (0)
 *   PSW_ERR_PARAMETER (-2)      callback is NULL
 *   PSW_ERR_NO_MEMORY (-3)      the output could not be attached; nothing is attached
 */
PSW_API int32_t PSWLogAttachCallback(PSWLogCallback callback, void* context);

/* Stops handing lines to the callback. Once it returns the callback is not called again and its
 * context may be freed. PSW_SUCCESS (0), also when none was attached. */
PSW_API int32_t PSWLogDetachCallback(void);
/* Extensions                                                                                 */
/* ========================================================================================== */

/* Everything in this section goes beyond the model-specific interface above and is marked as
 * an extension: it reads any printer through the standard MIB-II, Host Resources MIB and
 * Printer MIB objects. The calls above keep their behaviour exactly; these add to them:
 *   PSW_VERSION..., PSWGetVersion          the library's version
 *   PSWInitAnyDevice, PSWInitAnyDeviceEx   a device session on a printer of any model
 *   PSWSupplyInfo, PSWGetNumberOfSupplyInfo, PSWGetSupplyInfo
 *                                          every row of the marker supplies table
 *   PSWIdentityInfo, PSWGetIdentityInfo    who the printer is, and its page counters
 *   PSWGetMediumSize                       the medium-size code of a tray's dimensions
 */

/* The version of this header; PSWGetVersion tells the version of the loaded library. */
#define PSW_VERSION_MAJOR 0
#define PSW_VERSION_MINOR 1
#define PSW_VERSION_PATCH 0
#define PSW_VERSION "0.1.0"
/* major * 10000 + minor * 100 + patch, for comparisons in the preprocessor */
#define PSW_VERSION_NUMBER (PSW_VERSION_MAJOR * 10000 + PSW_VERSION_MINOR * 100 + PSW_VERSION_PATCH)

/* Returns the version text of the loaded library ("MAJOR.MINOR.PATCH", equal to PSW_VERSION of
 * the headers it was built with). The text is static: never null, never freed by the caller. */
PSW_API const char* PSWGetVersion(void);

/* Binds the handle to a printer of any model: builds the device session as PSWInitDevice does,
 * but no option set and no check of the model, so no request is sent yet (a silent or wrong
 * address shows at the first read, typically as PSW_ERR_TIMEOUT). Every count-and-copy call,
 * PSWGetPrinterInfo, PSWGetCharSet, PSWCancelJob and the extension reads below work on it.
 * The installed options are model-specific: on a session made by this call PSWRefreshOptions
 * and the PSWGetOptionValue... calls return PSW_ERR_UNSUPPORTED (-5) once their arguments
 * pass their checks, and PSWIsSupportedOID returns 0. A session of an earlier set-up is
 * released first. Arguments as PSWInitDevice.
 * Results:
 *   PSW_SUCCESS (0)         the session is ready; record tables are empty until counted
 *   PSW_ERR_PARAMETER (-2)  handle or address is null, address longer than 63 characters,
 *                           unknown transport code or PSW_TRANSPORT_NONE (nothing is built)
 *   PSW_ERR_NO_MEMORY (-3)  the session could not be created
 */
PSW_API int32_t PSWInitAnyDevice(PSWHandle handle, const char* address, int32_t transport,
                                 uint32_t timeout, uint32_t retries);

/* As PSWInitAnyDevice, with SNMPv3 settings (securityMode and settings as PSWInitDeviceEx).
 * Results: as PSWInitAnyDevice; SNMPv3 failures show at the first read. */
PSW_API int32_t PSWInitAnyDeviceEx(PSWHandle handle, const char* address, int32_t transport,
                                   int32_t securityMode, PSWUSMSettings settings, uint32_t timeout,
                                   uint32_t retries);

/* Supply (352 bytes): one per row of prtMarkerSuppliesTable (1.3.6.1.2.1.43.11.1.1), every
 * supply type, in table order. Values as the agent gives them (-1 other, -2 unknown, -3 some
 * remaining); a column the agent lacks leaves its field 0 (texts empty). */
typedef struct PSWSupplyInfo {
    int32_t supply_index;   /* prtMarkerSuppliesIndex: last sub-identifier of the row */
    int32_t supply_class;   /* .4 prtMarkerSuppliesClass: 3 consumed, 4 receptacle filled */
    int32_t supply_type;    /* .5 prtMarkerSuppliesType: 3 toner, 4 waste toner, 9 opc, ... */
    int32_t supply_unit;    /* .7 prtMarkerSuppliesSupplyUnit */
    int32_t max_capacity;   /* .8 prtMarkerSuppliesMaxCapacity */
    int32_t level;          /* .9 prtMarkerSuppliesLevel */
    int32_t percent;        /* level in percent of max_capacity, rounded to nearest, at most
                             * 100; a negative level is passed on as it is (-1, -2, -3);
                             * -2 (unknown) when max_capacity is 0 or negative */
    int32_t colorant_index; /* .3 prtMarkerSuppliesColorantIndex (0: none) */
    char colorant[64];      /* prtMarkerColorantValue of that colorant ("cyan", ...) */
    char description[256];  /* .6 prtMarkerSuppliesDescription */
} PSWSupplyInfo;

PSW_CHECK_SIZE(PSWSupplyInfo, 352);
PSW_CHECK_OFFSET(PSWSupplyInfo, supply_index, 0);
PSW_CHECK_OFFSET(PSWSupplyInfo, supply_class, 4);
PSW_CHECK_OFFSET(PSWSupplyInfo, supply_type, 8);
PSW_CHECK_OFFSET(PSWSupplyInfo, supply_unit, 12);
PSW_CHECK_OFFSET(PSWSupplyInfo, max_capacity, 16);
PSW_CHECK_OFFSET(PSWSupplyInfo, level, 20);
PSW_CHECK_OFFSET(PSWSupplyInfo, percent, 24);
PSW_CHECK_OFFSET(PSWSupplyInfo, colorant_index, 28);
PSW_CHECK_OFFSET(PSWSupplyInfo, colorant, 32);
PSW_CHECK_OFFSET(PSWSupplyInfo, description, 96);

/* Count and copy of every supply, as the other pairs (same results; see "Count and copy"). */
PSW_API int32_t PSWGetNumberOfSupplyInfo(PSWHandle handle, int32_t* count);
PSW_API int32_t PSWGetSupplyInfo(PSWHandle handle, int32_t index, PSWSupplyInfo* out);

/* Markers whose counters PSWIdentityInfo carries. */
#define PSW_IDENTITY_MARKERS 4

/* A marker's page counter (prtMarkerTable 1.3.6.1.2.1.43.10.2.1). */
typedef struct PSWMarkerCounter {
    int32_t counter_unit; /* .3 prtMarkerCounterUnit: 7 impressions, 8 sheets, ... */
    uint32_t life_count;  /* .4 prtMarkerLifeCount: pages (in counter_unit) since built */
} PSWMarkerCounter;

PSW_CHECK_SIZE(PSWMarkerCounter, 8);
PSW_CHECK_OFFSET(PSWMarkerCounter, counter_unit, 0);
PSW_CHECK_OFFSET(PSWMarkerCounter, life_count, 4);

/* Identity and counters (1704 bytes). An object the agent lacks leaves its field 0 or empty. */
typedef struct PSWIdentityInfo {
    char sys_descr[256];     /* sysDescr.0 */
    char sys_object_id[128]; /* sysObjectID.0, dotted decimal */
    char sys_contact[256];   /* sysContact.0 */
    char sys_name[256];      /* sysName.0 */
    char sys_location[256];  /* sysLocation.0 */
    uint32_t uptime;         /* sysUpTime.0, hundredths of a second */
    int32_t marker_count;    /* rows of prtMarkerTable (may exceed PSW_IDENTITY_MARKERS) */
    char serial_number[256]; /* prtGeneralSerialNumber of the first printer */
    char device_descr[256];  /* hrDeviceDescr of the first hrDeviceTable row of type printer
                              * (1.3.6.1.2.1.25.3.1.5) */
    PSWMarkerCounter markers[PSW_IDENTITY_MARKERS]; /* the first markers, in table order */
} PSWIdentityInfo;

PSW_CHECK_SIZE(PSWIdentityInfo, 1704);
PSW_CHECK_OFFSET(PSWIdentityInfo, sys_descr, 0);
PSW_CHECK_OFFSET(PSWIdentityInfo, sys_object_id, 256);
PSW_CHECK_OFFSET(PSWIdentityInfo, sys_contact, 384);
PSW_CHECK_OFFSET(PSWIdentityInfo, sys_name, 640);
PSW_CHECK_OFFSET(PSWIdentityInfo, sys_location, 896);
PSW_CHECK_OFFSET(PSWIdentityInfo, uptime, 1152);
PSW_CHECK_OFFSET(PSWIdentityInfo, marker_count, 1156);
PSW_CHECK_OFFSET(PSWIdentityInfo, serial_number, 1160);
PSW_CHECK_OFFSET(PSWIdentityInfo, device_descr, 1416);
PSW_CHECK_OFFSET(PSWIdentityInfo, markers, 1672);

/* Reads who the printer is: the system group, the serial number, the printer's hrDeviceDescr
 * and the lifetime counters of its markers (four walks on the session's connection values).
 *   out: caller's record, written whole on success only.
 * Results:
 *   PSW_SUCCESS (0)              *out written
 *   PSW_ERR_PARAMETER (-2)       handle or out is null
 *   PSW_ERR_NOT_INITIALIZED (-8) no successful PSWInitDevice(Ex) or PSWInitAnyDevice(Ex)
 *   request codes                typically PSW_ERR_TIMEOUT (-203), PSW_ERR_MALFORMED (-250)
 */
PSW_API int32_t PSWGetIdentityInfo(PSWHandle handle, PSWIdentityInfo* out);

/* The medium-size code (the option set's table of 81 sizes, e.g. 25 for A4, 1 for Letter) of a
 * medium with the given dimensions in prtInputDimUnit `unit`: 3 (ten-thousandths of an inch) or
 * 4 (micrometres). The first size whose two sides lie within 2 mm of the medium's short and long
 * side wins; which dimension is the feed direction does not matter. Needs no handle and sends
 * nothing; `sizeCode` is the caller's and written only on success.
 *   PSW_SUCCESS          `*sizeCode` holds the code
 *   PSW_ERR_PARAMETER    null `sizeCode`, a unit other than 3 or 4, or a dimension below 0
 *   PSW_ERR_NOT_FOUND    no size of the table fits */
PSW_API int32_t PSWGetMediumSize(int32_t unit, int32_t feed, int32_t crossFeed, int32_t* sizeCode);

#ifdef __cplusplus
}
#endif

#endif /* PSW_H */
