/* Fixed-size records of libpsw.
 *
 * These records cross the exported boundary by value or by copy, so callers depend on every
 * byte: all integers are little-endian, signed 32-bit unless marked otherwise, texts are
 * zero-terminated single-byte strings in fixed fields. A record handed out by the library starts
 * all zero, so the bytes after a text's terminating zero are zero too, and a text longer than
 * its field minus one byte is cut to fit.
 *
 * Every field sits at its natural alignment, so no packing directive is needed; the size of
 * each record and the offset of each field are checked at compile time below, from C and C++.
 */
#ifndef PSW_RECORDS_H
#define PSW_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#if defined(__BYTE_ORDER__) && defined(__ORDER_LITTLE_ENDIAN__) && \
    __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "libpsw records are little-endian; this platform is not"
#endif

/* Compile-time check usable from C99, C11 and C++11 alike. */
#if defined(__cplusplus) && __cplusplus >= 201103L
#define PSW_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#elif !defined(__cplusplus) && defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define PSW_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#else
#define PSW_STATIC_ASSERT_JOIN2(a, b) a##b
#define PSW_STATIC_ASSERT_JOIN(a, b) PSW_STATIC_ASSERT_JOIN2(a, b)
#define PSW_STATIC_ASSERT(cond, msg) \
    typedef char PSW_STATIC_ASSERT_JOIN(psw_static_assert_line_, __LINE__)[(cond) ? 1 : -1]
#endif

/* Checks that field `field` of record `type` starts at byte `offset`. */
#define PSW_CHECK_OFFSET(type, field, offset) \
    PSW_STATIC_ASSERT(offsetof(type, field) == (offset), #type "." #field " must be at " #offset)
/* Checks that record `type` is `size` bytes long. */
#define PSW_CHECK_SIZE(type, size) \
    PSW_STATIC_ASSERT(sizeof(type) == (size), #type " must be " #size " bytes")

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------------------------ */
/* Codes used in the records                                                                   */
/* ------------------------------------------------------------------------------------------ */

/* PSWUSMSettings.security_level */
#define PSW_USM_NO_AUTH_NO_PRIV 0 /* noAuthNoPriv */
#define PSW_USM_AUTH_NO_PRIV 1    /* authNoPriv */
#define PSW_USM_AUTH_PRIV 2       /* authPriv */

/* PSWUSMSettings.auth_protocol. MD5 and SHA-1 suit older printers; the SHA-2 protocols
 * (RFC 7860) need a printer that offers them. */
#define PSW_USM_AUTH_NONE 0         /* no authentication */
#define PSW_USM_AUTH_HMAC_MD5 1     /* HMAC-MD5-96 (1.3.6.1.6.3.10.1.1.2) */
#define PSW_USM_AUTH_HMAC_SHA 2     /* HMAC-SHA-96 (1.3.6.1.6.3.10.1.1.3) */
#define PSW_USM_AUTH_HMAC_SHA224 3  /* HMAC-SHA-224 (usmHMAC128SHA224AuthProtocol, .1.1.4) */
#define PSW_USM_AUTH_HMAC_SHA256 4  /* HMAC-SHA-256 (usmHMAC192SHA256AuthProtocol, .1.1.5) */
#define PSW_USM_AUTH_HMAC_SHA384 5  /* HMAC-SHA-384 (usmHMAC256SHA384AuthProtocol, .1.1.6) */
#define PSW_USM_AUTH_HMAC_SHA512 6  /* HMAC-SHA-512 (usmHMAC384SHA512AuthProtocol, .1.1.7) */
#define PSW_USM_AUTH_PROTOCOL_MAX 6 /* highest authentication protocol code */

/* PSWUSMSettings.priv_protocol. The privacy key is made from the pass phrase with the hash of
 * the authentication protocol; AES-192 and AES-256 extend it as Net-SNMP agents do. */
#define PSW_USM_PRIV_NONE 0         /* no privacy */
#define PSW_USM_PRIV_DES 1          /* DES (1.3.6.1.6.3.10.1.2.2) */
#define PSW_USM_PRIV_AES 2          /* AES-128 (1.3.6.1.6.3.10.1.2.4) */
#define PSW_USM_PRIV_AES192 3       /* AES-192 (1.3.6.1.4.1.14832.1.3) */
#define PSW_USM_PRIV_AES256 4       /* AES-256 (1.3.6.1.4.1.14832.1.4) */
#define PSW_USM_PRIV_PROTOCOL_MAX 4 /* highest privacy protocol code */

/* PSWStorageInfo.storage_type: the last arc of hrStorageType 1.3.6.1.2.1.25.2.1.n */
#define PSW_STORAGE_UNKNOWN 0        /* a type value outside the table below */
#define PSW_STORAGE_OTHER 1          /* hrStorageOther */
#define PSW_STORAGE_RAM 2            /* hrStorageRam */
#define PSW_STORAGE_VIRTUAL_MEMORY 3 /* hrStorageVirtualMemory */
#define PSW_STORAGE_FIXED_DISK 4     /* hrStorageFixedDisk */
#define PSW_STORAGE_REMOVABLE_DISK 5 /* hrStorageRemovableDisk */
#define PSW_STORAGE_FLOPPY_DISK 6    /* hrStorageFloppyDisk */
#define PSW_STORAGE_COMPACT_DISC 7   /* hrStorageCompactDisc */
#define PSW_STORAGE_RAM_DISK 8       /* hrStorageRamDisk */

/* ------------------------------------------------------------------------------------------ */
/* SNMPv3 user settings (716 bytes), passed by value to PSWInitDeviceEx and PSWFindDeviceSNMPEx */
/* ------------------------------------------------------------------------------------------ */

/* An empty text, a security level outside 0..2 or a protocol code outside the codes above
 * keeps the library's built-in value for that field;
 * an all-zero record therefore means "built-in user and pass phrases, noAuthNoPriv, no
 * protocols, no context". */
typedef struct PSWUSMSettings {
    char user_name[64];     /* security name; empty keeps the built-in user */
    int32_t security_level; /* PSW_USM_NO_AUTH_NO_PRIV, PSW_USM_AUTH_NO_PRIV or PSW_USM_AUTH_PRIV */
    int32_t auth_protocol;  /* PSW_USM_AUTH_NONE .. PSW_USM_AUTH_HMAC_SHA512 */
    int32_t priv_protocol;  /* PSW_USM_PRIV_NONE .. PSW_USM_PRIV_AES256 */
    char auth_pass_phrase[64]; /* authentication pass phrase; empty keeps the built-in one */
    char priv_pass_phrase[64]; /* privacy pass phrase; empty keeps the built-in one */
    char context_name[512];    /* SNMPv3 context name; empty means none */
} PSWUSMSettings;

PSW_CHECK_SIZE(PSWUSMSettings, 716);
PSW_CHECK_OFFSET(PSWUSMSettings, user_name, 0);
PSW_CHECK_OFFSET(PSWUSMSettings, security_level, 64);
PSW_CHECK_OFFSET(PSWUSMSettings, auth_protocol, 68);
PSW_CHECK_OFFSET(PSWUSMSettings, priv_protocol, 72);
PSW_CHECK_OFFSET(PSWUSMSettings, auth_pass_phrase, 76);
PSW_CHECK_OFFSET(PSWUSMSettings, priv_pass_phrase, 140);
PSW_CHECK_OFFSET(PSWUSMSettings, context_name, 204);

/* ------------------------------------------------------------------------------------------ */
/* Printer status (8 bytes), filled by PSWGetPrinterInfo from hrPrinterTable                   */
/* ------------------------------------------------------------------------------------------ */

typedef struct PSWPrinterInfo {
    int32_t printer_status; /* hrPrinterStatus (1 other, 2 unknown, 3 idle, 4 printing, 5 warmup) */
    uint8_t detected_error_state
        [4]; /* first four octets of hrPrinterDetectedErrorState, as sent; missing octets 0 */
} PSWPrinterInfo;

PSW_CHECK_SIZE(PSWPrinterInfo, 8);
PSW_CHECK_OFFSET(PSWPrinterInfo, printer_status, 0);
PSW_CHECK_OFFSET(PSWPrinterInfo, detected_error_state, 4);

/* ------------------------------------------------------------------------------------------ */
/* Storage area (268 bytes), one per row of hrStorageTable                                     */
/* ------------------------------------------------------------------------------------------ */

typedef struct PSWStorageInfo {
    int32_t storage_type;     /* PSW_STORAGE_... code from hrStorageType; 0 for any other type */
    int32_t allocation_units; /* hrStorageAllocationUnits: bytes per allocation unit */
    int32_t size;             /* hrStorageSize: size in allocation units */
    char description[256];    /* hrStorageDescr */
} PSWStorageInfo;

PSW_CHECK_SIZE(PSWStorageInfo, 268);
PSW_CHECK_OFFSET(PSWStorageInfo, storage_type, 0);
PSW_CHECK_OFFSET(PSWStorageInfo, allocation_units, 4);
PSW_CHECK_OFFSET(PSWStorageInfo, size, 8);
PSW_CHECK_OFFSET(PSWStorageInfo, description, 12);

/* ------------------------------------------------------------------------------------------ */
/* Hardware device (264 bytes), one per row of hrDeviceTable                                   */
/* ------------------------------------------------------------------------------------------ */

typedef struct PSWDeviceInfo {
    int32_t
        device_type; /* last arc of hrDeviceType (1..6, 10..21, 101..109, 151..154, 201..207); 0 when unknown */
    int32_t device_status; /* hrDeviceStatus (1 unknown, 2 running, 3 warning, 4 testing, 5 down) */
    char description[256]; /* hrDeviceDescr */
} PSWDeviceInfo;

PSW_CHECK_SIZE(PSWDeviceInfo, 264);
PSW_CHECK_OFFSET(PSWDeviceInfo, device_type, 0);
PSW_CHECK_OFFSET(PSWDeviceInfo, device_status, 4);
PSW_CHECK_OFFSET(PSWDeviceInfo, description, 8);

/* ------------------------------------------------------------------------------------------ */
/* Input tray (552 bytes), one per row of prtInputTable                                        */
/* ------------------------------------------------------------------------------------------ */

/* Numbers are delivered as the agent sends them: no unit conversion, and the Printer MIB's
 * special values (-1 other, -2 unknown, -3 at least one unit remaining) pass through. */
typedef struct PSWInputTrayInfo {
    int32_t type;                     /* prtInputType */
    int32_t dimension_unit;           /* prtInputDimUnit */
    int32_t media_dim_feed_declared;  /* prtInputMediaDimFeedDirDeclared */
    int32_t media_dim_xfeed_declared; /* prtInputMediaDimXFeedDirDeclared */
    int32_t media_dim_feed_chosen;    /* prtInputMediaDimFeedDirChosen */
    int32_t media_dim_xfeed_chosen;   /* prtInputMediaDimXFeedDirChosen */
    int32_t capacity_unit;            /* prtInputCapacityUnit */
    int32_t max_capacity;             /* prtInputMaxCapacity */
    int32_t current_level;            /* prtInputCurrentLevel */
    int32_t status;                   /* prtInputStatus (a bit mask of conditions) */
    char media_name[64];              /* prtInputMediaName */
    char name[64];                    /* prtInputName: the tray's name */
    char description[256];            /* prtInputDescription */
    char media_type[64];              /* prtInputMediaType */
    char media_color[64];             /* prtInputMediaColor */
} PSWInputTrayInfo;

PSW_CHECK_SIZE(PSWInputTrayInfo, 552);
PSW_CHECK_OFFSET(PSWInputTrayInfo, type, 0);
PSW_CHECK_OFFSET(PSWInputTrayInfo, dimension_unit, 4);
PSW_CHECK_OFFSET(PSWInputTrayInfo, media_dim_feed_declared, 8);
PSW_CHECK_OFFSET(PSWInputTrayInfo, media_dim_xfeed_declared, 12);
PSW_CHECK_OFFSET(PSWInputTrayInfo, media_dim_feed_chosen, 16);
PSW_CHECK_OFFSET(PSWInputTrayInfo, media_dim_xfeed_chosen, 20);
PSW_CHECK_OFFSET(PSWInputTrayInfo, capacity_unit, 24);
PSW_CHECK_OFFSET(PSWInputTrayInfo, max_capacity, 28);
PSW_CHECK_OFFSET(PSWInputTrayInfo, current_level, 32);
PSW_CHECK_OFFSET(PSWInputTrayInfo, status, 36);
PSW_CHECK_OFFSET(PSWInputTrayInfo, media_name, 40);
PSW_CHECK_OFFSET(PSWInputTrayInfo, name, 104);
PSW_CHECK_OFFSET(PSWInputTrayInfo, description, 168);
PSW_CHECK_OFFSET(PSWInputTrayInfo, media_type, 424);
PSW_CHECK_OFFSET(PSWInputTrayInfo, media_color, 488);

/* ------------------------------------------------------------------------------------------ */
/* Input tray with extension value (564 bytes), filled by PSWGetNumberOfInputTrayInfoEx        */
/* ------------------------------------------------------------------------------------------ */

typedef struct PSWInputTrayInfoEx {
    PSWInputTrayInfo tray; /* the plain input tray record, filled exactly as by the plain query */
    int32_t
        extension; /* the tray's value in the private column 1.3.6.1.4.1.297.2.9999.43.8.2.1.2; -1 when not available */
    uint8_t reserved[8]; /* reserved, always zero */
} PSWInputTrayInfoEx;

PSW_CHECK_SIZE(PSWInputTrayInfoEx, 564);
PSW_CHECK_OFFSET(PSWInputTrayInfoEx, tray, 0);
PSW_CHECK_OFFSET(PSWInputTrayInfoEx, extension, 552);
PSW_CHECK_OFFSET(PSWInputTrayInfoEx, reserved, 556);

/* ------------------------------------------------------------------------------------------ */
/* Output tray (328 bytes), one per row of prtOutputTable                                      */
/* ------------------------------------------------------------------------------------------ */

typedef struct PSWOutputTrayInfo {
    int32_t type;          /* prtOutputType */
    int32_t status;        /* prtOutputStatus (a bit mask of conditions) */
    char name[64];         /* prtOutputName */
    char description[256]; /* prtOutputDescription */
} PSWOutputTrayInfo;

PSW_CHECK_SIZE(PSWOutputTrayInfo, 328);
PSW_CHECK_OFFSET(PSWOutputTrayInfo, type, 0);
PSW_CHECK_OFFSET(PSWOutputTrayInfo, status, 4);
PSW_CHECK_OFFSET(PSWOutputTrayInfo, name, 8);
PSW_CHECK_OFFSET(PSWOutputTrayInfo, description, 72);

/* ------------------------------------------------------------------------------------------ */
/* Toner (268 bytes), one per row of prtMarkerSuppliesTable whose supply type is toner (3)     */
/* ------------------------------------------------------------------------------------------ */

typedef struct PSWTonerInfo {
    int32_t supply_unit;   /* prtMarkerSuppliesSupplyUnit */
    int32_t max_capacity;  /* prtMarkerSuppliesMaxCapacity (-1 other, -2 unknown) */
    int32_t level;         /* prtMarkerSuppliesLevel (-1 other, -2 unknown, -3 some remaining) */
    char description[256]; /* prtMarkerSuppliesDescription */
} PSWTonerInfo;

PSW_CHECK_SIZE(PSWTonerInfo, 268);
PSW_CHECK_OFFSET(PSWTonerInfo, supply_unit, 0);
PSW_CHECK_OFFSET(PSWTonerInfo, max_capacity, 4);
PSW_CHECK_OFFSET(PSWTonerInfo, level, 8);
PSW_CHECK_OFFSET(PSWTonerInfo, description, 12);

/* ------------------------------------------------------------------------------------------ */
/* Alert (276 bytes), one per row of prtAlertTable                                             */
/* ------------------------------------------------------------------------------------------ */

typedef struct PSWAlertInfo {
    int32_t severity_level; /* prtAlertSeverityLevel */
    int32_t group;          /* prtAlertGroup: the kind of component the alert is about */
    int32_t group_index;    /* prtAlertGroupIndex: which component of that group */
    int32_t location;       /* prtAlertLocation */
    int32_t code;           /* prtAlertCode */
    char description[256];  /* prtAlertDescription */
} PSWAlertInfo;

PSW_CHECK_SIZE(PSWAlertInfo, 276);
PSW_CHECK_OFFSET(PSWAlertInfo, severity_level, 0);
PSW_CHECK_OFFSET(PSWAlertInfo, group, 4);
PSW_CHECK_OFFSET(PSWAlertInfo, group_index, 8);
PSW_CHECK_OFFSET(PSWAlertInfo, location, 12);
PSW_CHECK_OFFSET(PSWAlertInfo, code, 16);
PSW_CHECK_OFFSET(PSWAlertInfo, description, 20);

/* ------------------------------------------------------------------------------------------ */
/* Date and time (12 bytes), as used in PSWJobInfo                                            */
/* ------------------------------------------------------------------------------------------ */

/* Taken from an SNMP DateAndTime by position; octets the value lacks count as 0, and
 * deci-seconds and time zone are not kept. */
typedef struct PSWDateTime {
    int16_t year;   /* full year, e.g. 2007 */
    int16_t month;  /* 1..12 */
    int16_t day;    /* 1..31 */
    int16_t hour;   /* 0..23 */
    int16_t minute; /* 0..59 */
    int16_t second; /* 0..60 */
} PSWDateTime;

PSW_CHECK_SIZE(PSWDateTime, 12);
PSW_CHECK_OFFSET(PSWDateTime, year, 0);
PSW_CHECK_OFFSET(PSWDateTime, month, 2);
PSW_CHECK_OFFSET(PSWDateTime, day, 4);
PSW_CHECK_OFFSET(PSWDateTime, hour, 6);
PSW_CHECK_OFFSET(PSWDateTime, minute, 8);
PSW_CHECK_OFFSET(PSWDateTime, second, 10);

/* ------------------------------------------------------------------------------------------ */
/* Job (1336 bytes), one per job of the printer's private job tables                           */
/* ------------------------------------------------------------------------------------------ */

/* PSWJobInfo.job_state of the jobs that the kind selector of PSWGetNumberOfJobInfo separates. */
#define PSW_JOB_STATE_SEPARATED 17

/* The columns are the printer's private ones (1.3.6.1.4.1.253.8.59.6, .59.10 and .59.16); the
 * numbers without a named meaning are delivered as they come. */
typedef struct PSWJobInfo {
    int32_t
        job_type; /* last arc of the job type 1.3.6.1.4.1.253.8.58.2.n (1..12); 0 when unknown */
    int32_t job_state;      /* job state (column .59.6.1.1.9) */
    int32_t value_59_6_10;  /* signed value of column .59.6.1.1.10 */
    uint32_t value_59_16_5; /* unsigned value of column .59.16.1.1.5 */
    uint32_t value_59_16_6; /* unsigned value of column .59.16.1.1.6 */
    char localized_text1
        [256]; /* code of column .59.6.1.1.5 resolved through the printer's localization table */
    char localized_text2
        [256]; /* code of column .59.6.1.1.6 resolved through the localization table */
    char localized_text3
        [256]; /* code of column .59.10.1.1.7 resolved through the localization table */
    char job_id
        [256]; /* job identifier decoded from the row's instance; the argument of PSWCancelJob */
    char text[256];    /* text form of column .59.6.1.1.3 */
    PSWDateTime date1; /* DateAndTime of column .59.10.1.1.10 */
    PSWDateTime date2; /* DateAndTime of column .59.16.1.1.4 */
    PSWDateTime date3; /* DateAndTime of column .59.16.1.1.7 */
} PSWJobInfo;

PSW_CHECK_SIZE(PSWJobInfo, 1336);
PSW_CHECK_OFFSET(PSWJobInfo, job_type, 0);
PSW_CHECK_OFFSET(PSWJobInfo, job_state, 4);
PSW_CHECK_OFFSET(PSWJobInfo, value_59_6_10, 8);
PSW_CHECK_OFFSET(PSWJobInfo, value_59_16_5, 12);
PSW_CHECK_OFFSET(PSWJobInfo, value_59_16_6, 16);
PSW_CHECK_OFFSET(PSWJobInfo, localized_text1, 20);
PSW_CHECK_OFFSET(PSWJobInfo, localized_text2, 276);
PSW_CHECK_OFFSET(PSWJobInfo, localized_text3, 532);
PSW_CHECK_OFFSET(PSWJobInfo, job_id, 788);
PSW_CHECK_OFFSET(PSWJobInfo, text, 1044);
PSW_CHECK_OFFSET(PSWJobInfo, date1, 1300);
PSW_CHECK_OFFSET(PSWJobInfo, date2, 1312);
PSW_CHECK_OFFSET(PSWJobInfo, date3, 1324);

#ifdef __cplusplus
}
#endif

#endif /* PSW_RECORDS_H */
