// A scripted get-data request for the device-session tests: it records what the session asks
// (community, init arguments, added objects, walks, reads, writes) and answers walks and single
// reads from a script of rows built with the library's own SNMP value classes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/factory.h"
#include "snmp/pms_lists.h"
#include "snmp/pms_pdu.h"
#include "snmp/pms_value.h"
#include "request/request_objects.h"

namespace psw::test {

// One binding of a scripted row: its name and a value of some SNMP type.
struct Cell {
    std::string name;
    uint32_t tag = kPmsInteger;
    int64_t number = 0;
    std::string text;  // OCTET STRING bytes or OBJECT IDENTIFIER text
};

inline Cell Int(std::string name, int32_t value)
{
    return Cell{std::move(name), kPmsInteger, value, {}};
}
inline Cell Gauge(std::string name, uint32_t value)
{
    return Cell{std::move(name), kPmsGauge32, value, {}};
}
inline Cell Str(std::string name, std::string text)
{
    return Cell{std::move(name), kPmsOctetString, 0, std::move(text)};
}
inline Cell Bytes(std::string name, const std::vector<uint8_t>& bytes)
{
    return Cell{std::move(name), kPmsOctetString, 0, std::string(bytes.begin(), bytes.end())};
}
inline Cell Oid(std::string name, std::string text)
{
    return Cell{std::move(name), kPmsObjectId, 0, std::move(text)};
}

using Row = std::vector<Cell>;

// A value of the cell's type, owned by the caller.
inline IPmsValue* make_value(const Cell& cell)
{
    Result result = PSW_SUCCESS;
    IPmsValue* value = nullptr;
    switch (cell.tag) {
    case kPmsObjectId: value = create_value_from_text(cell.text.c_str(), kPmsObjectId, &result); break;
    case kPmsOctetString:
        value = create_value(kPmsOctetString, &result);
        if (value != nullptr) {
            value->set_octets(reinterpret_cast<const uint8_t*>(cell.text.data()), cell.text.size());
        }
        break;
    case kPmsGauge32:
        value = create_value(kPmsGauge32, &result);
        if (value != nullptr) {
            value->set_uint(static_cast<uint32_t>(cell.number));
        }
        break;
    default: value = create_value_with_int(static_cast<int32_t>(cell.number), cell.tag, &result); break;
    }
    EXPECT_NE(value, nullptr) << "cannot make the value of " << cell.name;
    return value;
}

inline IPmsPdu* make_row(const Row& row)
{
    IPmsPdu* pdu = create_pdu(nullptr);
    EXPECT_NE(pdu, nullptr);
    pdu->set_type(kPmsResponse);
    for (const Cell& cell : row) {
        IPmsOid* name = create_oid_from_text(cell.name.c_str(), nullptr);
        EXPECT_NE(name, nullptr) << cell.name;
        EXPECT_EQ(pdu->add(name, make_value(cell)), PSW_SUCCESS);
    }
    return pdu;
}

// What one request object saw.
struct RequestLog {
    bool community_set = false;
    std::string community;
    int init_count = 0;
    std::string address;
    int32_t protocol = 0;
    uint16_t port = 0;
    int32_t security_mode = 0;
    std::string user_name;
    int32_t security_level = 0;
    int32_t auth_protocol = 0;
    int32_t priv_protocol = 0;
    std::string auth_pass_phrase;
    std::string priv_pass_phrase;
    std::string context_name;
    int32_t timeout = 0;
    int32_t retries = 0;
    uint32_t max_message_size = 0;
    std::vector<std::string> oids;         // added, in order (re-init clears the PDU, not this)
    std::vector<std::string> walks;        // first column of each get_data
    std::vector<std::string> reads;        // object of each single read
    std::string set_name;                  // add_oid_with_int: oid.index
    int32_t set_value = 0;
    int set_count = 0;
    bool released = false;
};

struct GetDataScript {
    // Answers.
    std::map<std::string, std::vector<Row>> tables;    // by first column
    std::map<std::string, Result> walk_failures;        // by first column
    std::map<std::string, int32_t> ints;                // by object
    std::map<std::string, std::string> strings;         // by object
    std::map<std::string, Result> read_failures;        // by object
    Result create_failure = PSW_SUCCESS;
    Result init_failure = PSW_SUCCESS;
    int init_failure_at = 0;  // 0: every init fails when init_failure is set; n: the n-th init
    Result add_failure = PSW_SUCCESS;
    Result set_result = PSW_SUCCESS;

    // Observations, one entry per request made.
    std::vector<RequestLog> requests;
    int inits = 0;
};

class FakeGetData final : public IPmcGetData {
public:
    FakeGetData(GetDataScript* script, size_t slot) : m_script(script), m_slot(slot) {}

    void release() noexcept override
    {
        log().released = true;
        delete this;
    }
    Result set_community(const char* community) noexcept override
    {
        log().community_set = true;
        log().community = community;
        return PSW_SUCCESS;
    }
    Result init(const char* address, int32_t protocol, uint16_t port, int32_t security_mode,
                const PmcUsmValues& usm, int32_t timeout, int32_t retries,
                uint32_t max_message_size) noexcept override
    {
        RequestLog& seen = log();
        ++seen.init_count;
        ++m_script->inits;
        seen.address = address;
        seen.protocol = protocol;
        seen.port = port;
        seen.security_mode = security_mode;
        seen.user_name = usm.user_name;
        seen.security_level = usm.security_level;
        seen.auth_protocol = usm.auth_protocol;
        seen.priv_protocol = usm.priv_protocol;
        seen.auth_pass_phrase = usm.auth_pass_phrase;
        seen.priv_pass_phrase = usm.priv_pass_phrase;
        seen.context_name = usm.context_name;
        seen.timeout = timeout;
        seen.retries = retries;
        seen.max_message_size = max_message_size;
        m_added.clear();
        if (m_script->init_failure != PSW_SUCCESS &&
            (m_script->init_failure_at == 0 || m_script->init_failure_at == m_script->inits)) {
            return m_script->init_failure;
        }
        return PSW_SUCCESS;
    }
    Result add_oid_string(const char* oid, bool instance) noexcept override
    {
        if (m_script->add_failure != PSW_SUCCESS) {
            return m_script->add_failure;
        }
        std::string name = oid;
        if (instance) {
            name += ".0";
        }
        log().oids.push_back(name);
        m_added.push_back(name);
        return PSW_SUCCESS;
    }
    Result add_oid_with_int(const char* oid, const char* index, int32_t value) noexcept override
    {
        log().set_name = std::string(oid) + (*index != '\0' ? "." : "") + index;
        log().set_value = value;
        return PSW_SUCCESS;
    }
    Result set_data() noexcept override
    {
        ++log().set_count;
        return m_script->set_result;
    }
    Result get_data(PmsPduList* rows, const char* first_column) noexcept override
    {
        log().walks.push_back(first_column);
        EXPECT_FALSE(m_added.empty());
        if (!m_added.empty()) {
            EXPECT_EQ(m_added.front(), first_column) << "the walk starts at the first column";
        }
        auto failure = m_script->walk_failures.find(first_column);
        if (failure != m_script->walk_failures.end()) {
            return failure->second;
        }
        auto table = m_script->tables.find(first_column);
        if (table == m_script->tables.end()) {
            return PSW_SUCCESS;  // an empty table
        }
        for (const Row& row : table->second) {
            EXPECT_EQ(rows->push_back(make_row(row)), PSW_SUCCESS);
        }
        return PSW_SUCCESS;
    }
    Result get_string(char* destination) noexcept override
    {
        const std::string& oid = single_read();
        auto failure = m_script->read_failures.find(oid);
        if (failure != m_script->read_failures.end()) {
            return failure->second;
        }
        auto text = m_script->strings.find(oid);
        if (text == m_script->strings.end()) {
            ADD_FAILURE() << "unscripted text read of " << oid;
            return PSW_ERR_TIMEOUT;
        }
        const size_t length = std::min(text->second.size(), kGetStringCapacity - 1);
        std::memcpy(destination, text->second.data(), length);
        destination[length] = '\0';
        return PSW_SUCCESS;
    }
    Result get_ints(int32_t* values, int32_t count) noexcept override
    {
        for (int32_t i = 0; i < count; ++i) {
            values[i] = -1;
        }
        return PSW_ERR_UNSUPPORTED;
    }
    Result get_int(int32_t* value) noexcept override
    {
        const std::string& oid = single_read();
        auto failure = m_script->read_failures.find(oid);
        if (failure != m_script->read_failures.end()) {
            return failure->second;
        }
        auto number = m_script->ints.find(oid);
        if (number == m_script->ints.end()) {
            ADD_FAILURE() << "unscripted integer read of " << oid;
            return PSW_ERR_TIMEOUT;
        }
        *value = number->second;
        return PSW_SUCCESS;
    }
    Result protocol_of(const char*, int32_t* protocol) noexcept override
    {
        *protocol = 1;
        return PSW_SUCCESS;
    }

private:
    RequestLog& log() { return m_script->requests[m_slot]; }
    const std::string& single_read()
    {
        static const std::string none;
        EXPECT_EQ(m_added.size(), 1u) << "a single read names one object";
        if (m_added.empty()) {
            return none;
        }
        log().reads.push_back(m_added.front());
        return m_added.front();
    }

    GetDataScript* m_script;
    size_t m_slot;
    std::vector<std::string> m_added;
};

// The script the factory below serves; set by the test fixture.
inline GetDataScript* g_get_data_script = nullptr;

inline IPmcGetData* fake_create_get_data(Result* result) noexcept
{
    GetDataScript* script = g_get_data_script;
    if (script->create_failure != PSW_SUCCESS) {
        set_result(result, script->create_failure);
        return nullptr;
    }
    script->requests.emplace_back();
    set_result(result, PSW_SUCCESS);
    return new FakeGetData(script, script->requests.size() - 1);
}

}  // namespace psw::test
