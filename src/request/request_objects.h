// The two request objects the device queries talk through: the get-data request reads
// scalars, walks tables and writes values on one printer; the find-device request sends one GET
// to a broadcast or multicast address and returns every answer. Both hide PDUs, targets and
// sessions from their callers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/result.h"
#include "snmp/pms_lists.h"

namespace psw {

// The SNMPv3 values a request needs when its security mode is 2. The texts are not copied by
// the caller's side: they point into the handle's user settings.
struct PmcUsmValues {
    // borrowed (every text here): owned by the handle's user settings; init copies them
    const char* user_name;
    int32_t security_level;
    int32_t auth_protocol;
    int32_t priv_protocol;
    const char* auth_pass_phrase;
    const char* priv_pass_phrase;
    const char* context_name;
};

// Largest text get_string writes, terminator included.
inline constexpr size_t kGetStringCapacity = 256;

// Rows one get_data walk reads at most (PSW_WALK_MAX_ROWS of the API): no printer table comes
// near it, and a table without end stops there.
inline constexpr uint32_t kWalkMaxRows = 65536;

// The security mode that makes a request SNMPv3; every other value means community access.
inline constexpr int32_t kSecurityModeUsm = 2;

class PmsWalkRows;

// Takes the rows of a walk one at a time, as they arrive.
class IPmcRowSink {
public:
    // `row` holds one binding per added column, in the order added; a non-zero result ends the
    // walk and is its result.
    // borrowed: `row` is valid during the call only
    virtual Result take_row(const IPmsPdu* row) noexcept = 0;

protected:
    ~IPmcRowSink() = default;
};

// What both requests are set up with.
class IPmcRequestSetup {
public:
    // Destroys the request with its address, PDU and target.
    virtual void release() noexcept = 0;
    // Community for the next init (default "public"); PSW_ERR_PARAMETER for null or longer than 255
    // characters.
    // borrowed: `community` is copied
    virtual Result set_community(const char* community) noexcept = 0;
    // Builds address, target and the empty PDU. `protocol` is a network protocol number
    // (1 UDP/IPv4, 2 IPX, 4 UDP/IPv6); a maximum message size of 0 chooses the protocol's
    // default.
    // borrowed: `address` and the `usm` texts are copied
    virtual Result init(const char* address, int32_t protocol, uint16_t port, int32_t security_mode,
                        const PmcUsmValues& usm, int32_t timeout, int32_t retries,
                        uint32_t max_message_size) noexcept = 0;
    // The protocol number an address text denotes.
    // borrowed: `address` is only read
    virtual Result protocol_of(const char* address, int32_t* protocol) noexcept = 0;

protected:
    virtual ~IPmcRequestSetup() = default;
};

class IPmcGetData : public IPmcRequestSetup {
public:
    // Adds a binding named by `oid` (with ".0" appended when `instance` is set) and a NULL
    // value. PSW_ERR_PARAMETER for an invalid OID text.
    // borrowed: `oid` is copied into a new binding
    virtual Result add_oid_string(const char* oid, bool instance) noexcept = 0;
    // Adds a binding named `oid`.`index` with an INTEGER value (for SetRequests).
    // borrowed: `oid` and `index` are copied into a new binding
    virtual Result add_oid_with_int(const char* oid, const char* index, int32_t value) noexcept = 0;
    // Sends the bindings as a SetRequest. 0 only when the agent answers error-status noError;
    // PSW_ERR_TOO_LONG for every other error-status (the write was not made).
    virtual Result set_data() noexcept = 0;
    // Walks the added columns with GetNextRequests until the first column ends. Each row appended
    // to `rows` is a PDU holding one binding per added column, in the order added. The caller owns
    // `rows` and its contents. PSW_ERR_WALK_LIMIT once more than kWalkMaxRows rows came;
    // PSW_ERR_FAILED for an error-status other than noSuchName (SNMPv1's end of the view) or a name
    // that does not follow the one asked for. not a transfer: `rows` stays the caller's and
    // receives new PDUs it owns
    virtual Result get_data(PmsPduList* rows, const char* first_column) noexcept = 0;
    // The same walk with the rows kept compact (snmp/walk_rows.h); same results. The default
    // walks with get_data and copies the rows over.
    virtual Result get_rows(PmsWalkRows* rows, const char* first_column) noexcept;
    // The same walk with each row handed to `sink` as it arrives instead of being kept: the same
    // requests and results, ended early by the first non-zero result of the sink. The default
    // walks with get_rows and hands the kept rows over afterwards.
    // borrowed: `sink` is only called
    virtual Result walk_rows(IPmcRowSink* sink, const char* first_column) noexcept;
    // The three reads below send one GetRequest and fail with PSW_ERR_ERROR_STATUS when the reply's
    // error-status is neither noError nor noSuchName (which reads as absent objects).
    // GetRequest; copies the text form of the first value into `destination`, which must hold
    // kGetStringCapacity bytes (longer texts are cut, always terminated).
    // borrowed: `destination` is the caller's buffer
    virtual Result get_string(char* destination) noexcept = 0;
    // GetRequest; the first `count` values as signed integers (-1 for non-integers).
    // borrowed: `values` is the caller's array of `count` entries
    virtual Result get_ints(int32_t* values, int32_t count) noexcept = 0;
    virtual Result get_int(int32_t* value) noexcept = 0;

protected:
    ~IPmcGetData() override = default;
};

class IPmcFindDeviceSnmp : public IPmcRequestSetup {
public:
    // Adds `oid`.0 with a NULL value.
    // borrowed: `oid` is copied into a new binding
    virtual Result add_oid_string(const char* oid) noexcept = 0;
    // Sends one GetRequest to the destination and hands out the answers, one packet per
    // answering device (reply PDU and a target carrying the answering address). The caller
    // releases the list.
    // `*answers` receives a new list the caller releases; left untouched on failure
    virtual Result send_broad_cast(IPmsSnmpPacketList** answers) noexcept = 0;

protected:
    ~IPmcFindDeviceSnmp() override = default;
};

// New requests in their initial state; null with PSW_ERR_NO_MEMORY when memory runs out.
// the caller owns the result and releases it with release()
IPmcGetData* pmc_create_get_data(Result* result) noexcept;
// the caller owns the result and releases it with release()
IPmcFindDeviceSnmp* pmc_create_find_device_snmp(Result* result) noexcept;

}  // namespace psw
