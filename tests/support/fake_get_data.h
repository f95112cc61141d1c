// A scripted printer behind fake get-data requests, for the tests of the code that reads a
// printer through IPmcGetData (option sets, device queries).
//
//   FakeAgent agent;                          // the agent fake_get_data_factory serves
//   agent.set_int("1.3.6.1.2.1.25.2.2.0", 262144);
//   agent.tables["1.3.6.1.2.1.25.2.3.1.4"] = {{Int("1.3.6.1.2.1.25.2.3.1.4.1", 4096)}};
//   session.set_get_data_factory(fake_get_data_factory);
//   ... run the code ...
//   EXPECT_EQ(agent.requests[0].community, "public");
//
// The agent answers from two sources, the first that knows the object wins:
// - the script: whole walks by first column (`tables`, rows returned verbatim), single reads by
//   object (`ints`, `strings`);
// - the objects, held in SNMP order (set_int, set_text, ...): single reads like a GetRequest,
//   walks like a series of GetNextRequests that end at the end of the view or when the first
//   column leaves its subtree.
// An object neither knows reads like after a noSuchName reply (the empty text, -1), or, when
// `strict` is set, fails the test ("unscripted read"). Every request is recorded, and failures
// can be injected per operation.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "request/request_objects.h"
#include "snmp/pms_lists.h"
#include "snmp/pms_pdu.h"
#include "snmp/pms_value.h"

namespace psw::test {

// One binding: its name and a value of some SNMP type.
struct Cell {
    std::string name;
    uint32_t tag = kPmsInteger;
    int64_t number = 0;
    std::string text;  // OCTET STRING bytes or OBJECT IDENTIFIER text
};

Cell Int(std::string name, int32_t value);
Cell Gauge(std::string name, uint32_t value);
Cell Str(std::string name, std::string text);
Cell Bytes(std::string name, const std::vector<uint8_t>& bytes);
Cell Oid(std::string name, std::string text);

using Row = std::vector<Cell>;

// A value of the cell's type, owned by the caller (a test failure when it cannot be made).
IPmsValue* make_value(const Cell& cell);
// A response PDU holding the row's bindings, owned by the caller.
IPmsPdu* make_row(const Row& row);

// What one request object saw.
struct FakeRequestRecord {
    bool community_set = false;
    std::string community;
    bool initialised = false;  // an init succeeded
    int init_count = 0;
    std::string address;
    int32_t protocol = -1;
    uint16_t port = 0;
    int32_t security_mode = -1;
    // Texts of the USM values; a null pointer is recorded as "(null)".
    std::string user_name;
    int32_t security_level = -1;
    int32_t auth_protocol = -1;
    int32_t priv_protocol = -1;
    std::string auth_pass_phrase;
    std::string priv_pass_phrase;
    std::string context_name;
    int32_t timeout = -1;
    int32_t retries = -1;
    uint32_t max_message_size = 0;
    std::vector<std::string> oids;   // added, in order, ".0" appended where asked (a re-init
                                     // starts a new PDU but keeps this list)
    std::vector<std::string> walks;  // first column of each get_data
    std::vector<std::string> reads;  // object of each get_string / get_int
    std::string operation;           // the last one: get_string, get_int, get_ints, get_data,
                                     // protocol_of
    std::string set_name;            // add_oid_with_int: oid.index
    int32_t set_value = 0;
    int set_count = 0;
    bool released = false;
};

class FakeAgent {
public:
    // The newest agent is the one fake_get_data_factory serves; when it ends, the one before.
    FakeAgent();
    ~FakeAgent();
    FakeAgent(const FakeAgent&) = delete;
    FakeAgent& operator=(const FakeAgent&) = delete;

    static FakeAgent* current();

    // The objects.
    void set_int(const std::string& oid, int32_t value);
    void set_text(const std::string& oid, const std::string& value);
    void set_oid(const std::string& oid, const std::string& value);
    void set_gauge(const std::string& oid, uint32_t value);
    void remove(const std::string& oid);

    // The script.
    std::map<std::string, std::vector<Row>> tables;  // by first column
    std::map<std::string, int32_t> ints;             // by object
    std::map<std::string, std::string> strings;      // by object
    // Every read must be answered by the script or the objects.
    bool strict = false;

    // Failure injection; a code of PSW_SUCCESS means no failure.
    Result create_failure = PSW_SUCCESS;
    Result set_community_failure = PSW_SUCCESS;
    Result init_failure = PSW_SUCCESS;
    int init_failure_at = 0;  // 0: every init fails; n: only the n-th init (of all)
    Result add_failure = PSW_SUCCESS;
    std::string add_failure_oid;  // when set, add_failure hits only this OID (as passed)
    std::map<std::string, Result> walk_failures;  // by first column
    std::map<std::string, Result> read_failures;  // single reads, by object
    // A read (get_string, get_int, get_ints, get_data) whose first object starts with this
    // text fails with read_failure_code.
    std::string read_failure_prefix;
    Result read_failure_code = PSW_SUCCESS;
    Result set_result = PSW_SUCCESS;  // what set_data returns
    // What protocol_of reports, and its code.
    int32_t address_protocol = 1;
    Result protocol_of_failure = PSW_SUCCESS;

    // Observations, one record per request made.
    std::vector<FakeRequestRecord> requests;
    int32_t live = 0;  // requests made and not yet released
    int inits = 0;     // init calls on every request

    // The records of the requests whose first object is `oid`.
    std::vector<const FakeRequestRecord*> requests_for(const std::string& oid) const;

    // Answers from the objects, for the fake request.
    bool lookup(const std::string& oid, Cell* out) const;
    bool next(const std::vector<uint32_t>& after, std::vector<uint32_t>* name, Cell* out) const;

private:
    void put(const std::string& oid, Cell cell);

    FakeAgent* m_previous;
    std::map<std::vector<uint32_t>, Cell> m_objects;
};

std::vector<uint32_t> parse_oid(const std::string& text);
std::string oid_text(const std::vector<uint32_t>& oid);

// The get-data factory the code under test is given: a new fake request of the current agent
// (owned by the caller; release() ends it), or null with the agent's create_failure
// (PSW_ERR_NO_MEMORY when there is no agent).
IPmcGetData* fake_get_data_factory(Result* result) noexcept;

}  // namespace psw::test
