// A scripted printer behind a fake get-data request, for the option set tests. Header-only:
// each test file of the program includes it.
//
// FakeAgent holds the printer's objects in SNMP order and answers the requests the option set
// makes through fake_get_data_factory: single reads like a GetRequest (an object the agent
// lacks reads as the empty text or -1, as after a noSuchName reply), table walks like a series
// of GetNextRequests. Every request is recorded, and failures can be injected per operation.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <algorithm>
#include <cstring>

#include "snmp/pms_lists.h"
#include "core/pms_octets.h"
#include "snmp/pms_pdu.h"
#include "request/request_objects.h"

namespace psw::test {

struct FakeValue {
    uint32_t tag;
    int32_t number;
    std::string text;
};

// What one request object saw.
struct FakeRequestRecord {
    bool communityGiven = false;
    std::string community;
    bool initialised = false;
    std::string address;
    int32_t protocol = -1;
    uint16_t port = 0;
    int32_t securityMode = -1;
    std::string userName;
    int32_t securityLevel = -1;
    std::string contextName;
    int32_t timeout = -1;
    int32_t retries = -1;
    uint32_t maxMessageSize = 0;
    std::vector<std::string> oids;  // as named in the PDU (".0" appended where asked)
    std::string operation;          // get_string, get_int, get_ints, get_data, protocol_of
    bool released = false;
};

class FakeAgent {
public:
    FakeAgent();
    ~FakeAgent();
    FakeAgent(const FakeAgent&) = delete;
    FakeAgent& operator=(const FakeAgent&) = delete;

    // The agent the factory serves (the most recently constructed one).
    static FakeAgent* current();

    void set_int(const std::string& oid, int32_t value);
    void set_text(const std::string& oid, const std::string& value);
    void set_oid(const std::string& oid, const std::string& value);
    void set_gauge(const std::string& oid, uint32_t value);
    void remove(const std::string& oid);

    // Failure injection. A code of 0 means no failure.
    int32_t failCreate = 0;
    int32_t failInit = 0;
    int32_t failSetCommunity = 0;
    // add_oid_string fails for this OID (as passed, without ".0").
    std::string failAddOid;
    int32_t failAddOidCode = 0;
    // A read (get_string, get_int, get_ints, get_data) whose first OID starts with this text
    // fails with the code.
    std::string failReadPrefix;
    int32_t failReadCode = 0;
    // The protocol protocol_of reports (and its code).
    int32_t addressProtocol = 1;
    int32_t protocolOfCode = 0;

    std::vector<FakeRequestRecord> requests;
    int32_t live = 0;  // requests created and not yet released

    // The records of the requests that read `oid` first (as named in the PDU).
    std::vector<const FakeRequestRecord*> requests_for(const std::string& oid) const;

    // Answers used by the fake request.
    bool lookup(const std::string& oid, FakeValue* out) const;
    bool next(const std::vector<uint32_t>& after, std::vector<uint32_t>* name,
              FakeValue* out) const;

private:
    std::map<std::vector<uint32_t>, FakeValue> m_objects;
};

std::vector<uint32_t> parse_oid(const std::string& text);
std::string oid_text(const std::vector<uint32_t>& oid);

// The factory an option set is given in the tests.
IPmcGetData* fake_get_data_factory(Result* result) noexcept;



namespace fake_detail {

inline FakeAgent* g_current = nullptr;

inline IPmsValue* make_value(const FakeValue& value)
{
    switch (value.tag) {
    case kPmsInteger:
        return create_value_with_int(value.number, kPmsInteger);
    case kPmsGauge32: {
        IPmsValue* gauge = create_value(kPmsGauge32);
        gauge->set_uint(static_cast<uint32_t>(value.number));
        return gauge;
    }
    default:
        return create_value_from_text(value.text.c_str(), value.tag);
    }
}

inline bool starts_with(const std::string& text, const std::string& prefix)
{
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

class FakeGetData final : public IPmcGetData {
public:
    FakeGetData(FakeAgent& agent, size_t record) : m_agent(agent), m_record(record) {}

    void release() noexcept override
    {
        record().released = true;
        --m_agent.live;
        delete this;
    }
    Result set_community(const char* community) noexcept override
    {
        if (m_agent.failSetCommunity != 0) {
            return m_agent.failSetCommunity;
        }
        record().communityGiven = true;
        record().community = community;
        return 0;
    }
    Result init(const char* address, int32_t protocol, uint16_t port, int32_t security_mode,
                const PmcUsmValues& usm, int32_t timeout, int32_t retries,
                uint32_t max_message_size) noexcept override
    {
        if (m_agent.failInit != 0) {
            return m_agent.failInit;
        }
        FakeRequestRecord& r = record();
        r.initialised = true;
        r.address = address;
        r.protocol = protocol;
        r.port = port;
        r.securityMode = security_mode;
        r.userName = usm.user_name != nullptr ? usm.user_name : "(null)";
        r.securityLevel = usm.security_level;
        r.contextName = usm.context_name != nullptr ? usm.context_name : "(null)";
        r.timeout = timeout;
        r.retries = retries;
        r.maxMessageSize = max_message_size;
        return 0;
    }
    Result add_oid_string(const char* oid, bool instance) noexcept override
    {
        if (!record().initialised) {
            return PSW_ERR_NOT_INITIALIZED;
        }
        if (m_agent.failAddOidCode != 0 && m_agent.failAddOid == oid) {
            return m_agent.failAddOidCode;
        }
        if (!pms_is_valid_oid_text(oid)) {
            return PSW_ERR_PARAMETER;
        }
        record().oids.push_back(std::string(oid) + (instance ? ".0" : ""));
        return 0;
    }
    Result add_oid_with_int(const char*, const char*, int32_t) noexcept override
    {
        return PSW_ERR_UNSUPPORTED;
    }
    Result set_data() noexcept override { return PSW_ERR_UNSUPPORTED; }

    Result get_data(PmsPduList* rows, const char* first_column) noexcept override
    {
        Result code = start("get_data");
        if (code != 0) {
            return code;
        }
        std::vector<std::vector<uint32_t>> positions;
        for (const std::string& oid : record().oids) {
            positions.push_back(parse_oid(oid));
        }
        const std::vector<uint32_t> root = parse_oid(first_column);
        for (int guard = 0; guard < 10000; ++guard) {
            IPmsPdu* row = create_pdu();
            bool ended = false;
            for (std::vector<uint32_t>& position : positions) {
                std::vector<uint32_t> name;
                FakeValue value;
                if (!m_agent.next(position, &name, &value)) {
                    ended = true;  // noSuchName at the end of the view
                    break;
                }
                position = name;
                row->add(create_oid_from_text(oid_text(name).c_str()), make_value(value));
            }
            const std::vector<uint32_t>& first = positions.front();
            const bool inside = first.size() > root.size() &&
                                std::equal(root.begin(), root.end(), first.begin());
            if (ended || !inside) {
                row->release();
                return 0;
            }
            rows->push_back(row);
        }
        return PSW_ERR_FAILED;
    }

    Result get_string(char* destination) noexcept override
    {
        Result code = start("get_string");
        if (code != 0) {
            return code;
        }
        FakeValue value;
        if (!m_agent.lookup(record().oids.front(), &value)) {
            return 0;  // a NULL value: nothing copied
        }
        IPmsValue* made = make_value(value);
        PmsOctets* text = made->to_text();
        std::strncpy(destination, text->c_str(), kGetStringCapacity - 1);
        destination[kGetStringCapacity - 1] = '\0';
        text->release();
        made->release();
        return 0;
    }
    Result get_ints(int32_t* values, int32_t count) noexcept override
    {
        Result code = start("get_ints");
        if (code != 0) {
            return code;
        }
        if (static_cast<size_t>(count) > record().oids.size()) {
            return PSW_ERR_TOO_LONG;
        }
        for (int32_t i = 0; i < count; ++i) {
            values[i] = read_int(record().oids[static_cast<size_t>(i)]);
        }
        return 0;
    }
    Result get_int(int32_t* value) noexcept override
    {
        Result code = start("get_int");
        if (code != 0) {
            return code;
        }
        *value = read_int(record().oids.front());
        return 0;
    }
    Result protocol_of(const char*, int32_t* protocol) noexcept override
    {
        record().operation = "protocol_of";
        if (m_agent.protocolOfCode != 0) {
            return m_agent.protocolOfCode;
        }
        *protocol = m_agent.addressProtocol;
        return 0;
    }

private:
    FakeRequestRecord& record() { return m_agent.requests[m_record]; }

    Result start(const char* operation)
    {
        record().operation = operation;
        if (!record().initialised || record().oids.empty()) {
            return PSW_ERR_NOT_INITIALIZED;
        }
        if (m_agent.failReadCode != 0 && starts_with(record().oids.front(), m_agent.failReadPrefix)) {
            return m_agent.failReadCode;
        }
        return 0;
    }

    int32_t read_int(const std::string& oid) const
    {
        FakeValue value;
        if (!m_agent.lookup(oid, &value)) {
            return -1;
        }
        return value.tag == kPmsInteger ? value.number : -1;
    }

    FakeAgent& m_agent;
    size_t m_record;
};

}  // namespace fake_detail

inline std::vector<uint32_t> parse_oid(const std::string& text)
{
    std::vector<uint32_t> parts;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const size_t dot = text.find('.', start);
        parts.push_back(static_cast<uint32_t>(
            std::stoul(text.substr(start, dot == std::string::npos ? std::string::npos
                                                                   : dot - start))));
        if (dot == std::string::npos) {
            break;
        }
        start = dot + 1;
    }
    return parts;
}

inline std::string oid_text(const std::vector<uint32_t>& oid)
{
    std::string text;
    for (uint32_t part : oid) {
        if (!text.empty()) {
            text += '.';
        }
        text += std::to_string(part);
    }
    return text;
}

inline FakeAgent::FakeAgent()
{
    fake_detail::g_current = this;
}

inline FakeAgent::~FakeAgent()
{
    if (fake_detail::g_current == this) {
        fake_detail::g_current = nullptr;
    }
}

inline FakeAgent* FakeAgent::current()
{
    return fake_detail::g_current;
}

inline void FakeAgent::set_int(const std::string& oid, int32_t value)
{
    m_objects[parse_oid(oid)] = FakeValue{kPmsInteger, value, {}};
}

inline void FakeAgent::set_text(const std::string& oid, const std::string& value)
{
    m_objects[parse_oid(oid)] = FakeValue{kPmsOctetString, 0, value};
}

inline void FakeAgent::set_oid(const std::string& oid, const std::string& value)
{
    m_objects[parse_oid(oid)] = FakeValue{kPmsObjectId, 0, value};
}

inline void FakeAgent::set_gauge(const std::string& oid, uint32_t value)
{
    m_objects[parse_oid(oid)] = FakeValue{kPmsGauge32, static_cast<int32_t>(value), {}};
}

inline void FakeAgent::remove(const std::string& oid)
{
    m_objects.erase(parse_oid(oid));
}

inline std::vector<const FakeRequestRecord*> FakeAgent::requests_for(const std::string& oid) const
{
    std::vector<const FakeRequestRecord*> found;
    for (const FakeRequestRecord& record : requests) {
        if (!record.oids.empty() && record.oids.front() == oid) {
            found.push_back(&record);
        }
    }
    return found;
}

inline bool FakeAgent::lookup(const std::string& oid, FakeValue* out) const
{
    const auto found = m_objects.find(parse_oid(oid));
    if (found == m_objects.end()) {
        return false;
    }
    *out = found->second;
    return true;
}

inline bool FakeAgent::next(const std::vector<uint32_t>& after, std::vector<uint32_t>* name,
                     FakeValue* out) const
{
    const auto found = m_objects.upper_bound(after);
    if (found == m_objects.end()) {
        return false;
    }
    *name = found->first;
    *out = found->second;
    return true;
}

inline IPmcGetData* fake_get_data_factory(Result* result) noexcept
{
    FakeAgent* agent = FakeAgent::current();
    if (agent == nullptr || agent->failCreate != 0) {
        set_result(result, agent != nullptr ? agent->failCreate : PSW_ERR_NO_MEMORY);
        return nullptr;
    }
    agent->requests.emplace_back();
    ++agent->live;
    set_result(result, 0);
    return new fake_detail::FakeGetData(*agent, agent->requests.size() - 1);
}

}  // namespace psw::test
