#include "support/fake_get_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/pms_octets.h"
#include "core/result.h"

namespace psw::test {

Cell Int(std::string name, int32_t value)
{
    return Cell{std::move(name), kPmsInteger, value, {}};
}
Cell Gauge(std::string name, uint32_t value)
{
    return Cell{std::move(name), kPmsGauge32, value, {}};
}
Cell Str(std::string name, std::string text)
{
    return Cell{std::move(name), kPmsOctetString, 0, std::move(text)};
}
Cell Bytes(std::string name, const std::vector<uint8_t>& bytes)
{
    return Cell{std::move(name), kPmsOctetString, 0, std::string(bytes.begin(), bytes.end())};
}
Cell Oid(std::string name, std::string text)
{
    return Cell{std::move(name), kPmsObjectId, 0, std::move(text)};
}

IPmsValue* make_value(const Cell& cell)
{
    Result result = PSW_SUCCESS;
    IPmsValue* value = nullptr;
    switch (cell.tag) {
        case kPmsObjectId:
            value = create_value_from_text(cell.text.c_str(), kPmsObjectId, &result);
            break;
        case kPmsOctetString:
            value = create_value(kPmsOctetString, &result);
            if (value != nullptr) {
                value->set_octets(reinterpret_cast<const uint8_t*>(cell.text.data()),
                                  cell.text.size());
            }
            break;
        case kPmsGauge32:
            value = create_value(kPmsGauge32, &result);
            if (value != nullptr) {
                value->set_uint(static_cast<uint32_t>(cell.number));
            }
            break;
        default:
            value = create_value_with_int(static_cast<int32_t>(cell.number), cell.tag, &result);
            break;
    }
    EXPECT_NE(value, nullptr) << "cannot make the value of " << cell.name;
    return value;
}

IPmsPdu* make_row(const Row& row)
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

namespace {

FakeAgent* g_current = nullptr;

bool starts_with(const std::string& text, const std::string& prefix)
{
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

std::string text_or_null(const char* text)
{
    return text != nullptr ? text : "(null)";
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
        if (m_agent.set_community_failure != PSW_SUCCESS) {
            return m_agent.set_community_failure;
        }
        record().community_set = true;
        record().community = community;
        return PSW_SUCCESS;
    }
    Result init(const char* address, int32_t protocol, uint16_t port, int32_t security_mode,
                const PmcUsmValues& usm, int32_t timeout, int32_t retries,
                uint32_t max_message_size) noexcept override
    {
        FakeRequestRecord& seen = record();
        ++seen.init_count;
        ++m_agent.inits;
        seen.address = text_or_null(address);
        seen.protocol = protocol;
        seen.port = port;
        seen.security_mode = security_mode;
        seen.user_name = text_or_null(usm.user_name);
        seen.security_level = usm.security_level;
        seen.auth_protocol = usm.auth_protocol;
        seen.priv_protocol = usm.priv_protocol;
        seen.auth_pass_phrase = text_or_null(usm.auth_pass_phrase);
        seen.priv_pass_phrase = text_or_null(usm.priv_pass_phrase);
        seen.context_name = text_or_null(usm.context_name);
        seen.timeout = timeout;
        seen.retries = retries;
        seen.max_message_size = max_message_size;
        m_added.clear();
        if (m_agent.init_failure != PSW_SUCCESS &&
            (m_agent.init_failure_at == 0 || m_agent.init_failure_at == m_agent.inits)) {
            return m_agent.init_failure;
        }
        seen.initialised = true;
        return PSW_SUCCESS;
    }
    Result add_oid_string(const char* oid, bool instance) noexcept override
    {
        if (!record().initialised) {
            return PSW_ERR_NOT_INITIALIZED;
        }
        if (m_agent.add_failure != PSW_SUCCESS &&
            (m_agent.add_failure_oid.empty() || m_agent.add_failure_oid == oid)) {
            return m_agent.add_failure;
        }
        if (!pms_is_valid_oid_text(oid)) {
            return PSW_ERR_PARAMETER;
        }
        const std::string name = std::string(oid) + (instance ? ".0" : "");
        record().oids.push_back(name);
        m_added.push_back(name);
        return PSW_SUCCESS;
    }
    Result add_oid_with_int(const char* oid, const char* index, int32_t value) noexcept override
    {
        record().set_name = std::string(oid) + (*index != '\0' ? "." : "") + index;
        record().set_value = value;
        return PSW_SUCCESS;
    }
    Result set_data() noexcept override
    {
        ++record().set_count;
        return m_agent.set_result;
    }

    Result get_data(PmsPduList* rows, const char* first_column) noexcept override
    {
        record().walks.push_back(first_column);
        Result code = start("get_data");
        if (code != PSW_SUCCESS) {
            return code;
        }
        EXPECT_EQ(m_added.front(), first_column) << "the walk starts at the first column";
        // A failing walk fails after the scripted rows, as a real one after the rows it read.
        auto failure = m_agent.walk_failures.find(first_column);
        auto table = m_agent.tables.find(first_column);
        if (table != m_agent.tables.end()) {
            for (const Row& row : table->second) {
                EXPECT_EQ(rows->push_back(make_row(row)), PSW_SUCCESS);
            }
        }
        if (failure != m_agent.walk_failures.end()) {
            return failure->second;
        }
        return table != m_agent.tables.end() ? PSW_SUCCESS : walk_objects(rows, first_column);
    }

    // Rows are handed over as they "arrive": all of them, then the walk's failure if scripted.
    Result walk_rows(IPmcRowSink* sink, const char* first_column) noexcept override
    {
        OwnedPtr<PmsPduList> rows(create_pdu_list());
        const Result walked = get_data(rows.get(), first_column);
        PmsListIterator* at = rows->new_iterator();
        Result result = PSW_SUCCESS;
        for (IPmsPdu* row = rows->at(at); result == PSW_SUCCESS && row != nullptr;
             rows->advance(at), row = rows->at(at)) {
            result = sink->take_row(row);
        }
        rows->release_iterator(at);
        return result != PSW_SUCCESS ? result : walked;
    }

    Result get_string(char* destination) noexcept override
    {
        std::string oid;
        Result code = single_read("get_string", &oid);
        if (code != PSW_SUCCESS) {
            return code;
        }
        auto scripted = m_agent.strings.find(oid);
        if (scripted != m_agent.strings.end()) {
            const size_t length = std::min(scripted->second.size(), kGetStringCapacity - 1);
            std::memcpy(destination, scripted->second.data(), length);
            destination[length] = '\0';
            return PSW_SUCCESS;
        }
        Cell value;
        if (!m_agent.lookup(oid, &value)) {
            if (m_agent.strict) {
                ADD_FAILURE() << "unscripted text read of " << oid;
                return PSW_ERR_TIMEOUT;
            }
            return PSW_SUCCESS;  // a NULL value: nothing copied
        }
        IPmsValue* made = make_value(value);
        PmsOctets* text = made->to_text();
        std::strncpy(destination, text->c_str(), kGetStringCapacity - 1);
        destination[kGetStringCapacity - 1] = '\0';
        text->release();
        made->release();
        return PSW_SUCCESS;
    }
    Result get_ints(int32_t* values, int32_t count) noexcept override
    {
        Result code = start("get_ints");
        if (code != PSW_SUCCESS) {
            return code;
        }
        if (static_cast<size_t>(count) > m_added.size()) {
            return PSW_ERR_TOO_LONG;
        }
        for (int32_t i = 0; i < count; ++i) {
            values[i] = read_int(m_added[static_cast<size_t>(i)]);
        }
        return PSW_SUCCESS;
    }
    Result get_int(int32_t* value) noexcept override
    {
        std::string oid;
        Result code = single_read("get_int", &oid);
        if (code != PSW_SUCCESS) {
            return code;
        }
        *value = read_int(oid);
        return PSW_SUCCESS;
    }
    Result protocol_of(const char*, int32_t* protocol) noexcept override
    {
        record().operation = "protocol_of";
        if (m_agent.protocol_of_failure != PSW_SUCCESS) {
            return m_agent.protocol_of_failure;
        }
        *protocol = m_agent.address_protocol;
        return PSW_SUCCESS;
    }

private:
    FakeRequestRecord& record() { return m_agent.requests[m_record]; }

    // Common to every read: a request that was initialised and names an object, and the
    // injected failure by prefix.
    Result start(const char* operation)
    {
        record().operation = operation;
        if (!record().initialised || m_added.empty()) {
            EXPECT_FALSE(m_agent.strict) << operation << " before init and add_oid_string";
            return PSW_ERR_NOT_INITIALIZED;
        }
        if (m_agent.read_failure_code != PSW_SUCCESS &&
            starts_with(m_added.front(), m_agent.read_failure_prefix)) {
            return m_agent.read_failure_code;
        }
        return PSW_SUCCESS;
    }

    Result single_read(const char* operation, std::string* oid)
    {
        Result code = start(operation);
        if (code != PSW_SUCCESS) {
            return code;
        }
        EXPECT_EQ(m_added.size(), 1u) << "a single read names one object";
        *oid = m_added.front();
        record().reads.push_back(*oid);
        auto failure = m_agent.read_failures.find(*oid);
        return failure != m_agent.read_failures.end() ? failure->second : PSW_SUCCESS;
    }

    int32_t read_int(const std::string& oid) const
    {
        auto scripted = m_agent.ints.find(oid);
        if (scripted != m_agent.ints.end()) {
            return scripted->second;
        }
        Cell value;
        if (!m_agent.lookup(oid, &value)) {
            EXPECT_FALSE(m_agent.strict) << "unscripted integer read of " << oid;
            return -1;
        }
        return value.tag == kPmsInteger ? static_cast<int32_t>(value.number) : -1;
    }

    // GetNext on every added column until the view ends or the first column leaves its
    // subtree.
    Result walk_objects(PmsPduList* rows, const char* first_column)
    {
        std::vector<std::vector<uint32_t>> positions;
        for (const std::string& oid : m_added) {
            positions.push_back(parse_oid(oid));
        }
        const std::vector<uint32_t> root = parse_oid(first_column);
        for (int guard = 0; guard < 10000; ++guard) {
            IPmsPdu* row = create_pdu();
            bool ended = false;
            for (std::vector<uint32_t>& position : positions) {
                std::vector<uint32_t> name;
                Cell value;
                if (!m_agent.next(position, &name, &value)) {
                    ended = true;  // noSuchName at the end of the view
                    break;
                }
                position = name;
                row->add(create_oid_from_text(oid_text(name).c_str()), make_value(value));
            }
            const std::vector<uint32_t>& first = positions.front();
            const bool inside =
                first.size() > root.size() && std::equal(root.begin(), root.end(), first.begin());
            if (ended || !inside) {
                row->release();
                return PSW_SUCCESS;
            }
            rows->push_back(row);
        }
        return PSW_ERR_FAILED;
    }

    FakeAgent& m_agent;
    size_t m_record;
    std::vector<std::string> m_added;  // the current PDU
};

}  // namespace

std::vector<uint32_t> parse_oid(const std::string& text)
{
    std::vector<uint32_t> parts;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const size_t dot = text.find('.', start);
        parts.push_back(static_cast<uint32_t>(std::stoul(
            text.substr(start, dot == std::string::npos ? std::string::npos : dot - start))));
        if (dot == std::string::npos) {
            break;
        }
        start = dot + 1;
    }
    return parts;
}

std::string oid_text(const std::vector<uint32_t>& oid)
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

FakeAgent::FakeAgent() : m_previous(g_current)
{
    g_current = this;
}

FakeAgent::~FakeAgent()
{
    if (g_current == this) {
        g_current = m_previous;
    }
}

FakeAgent* FakeAgent::current()
{
    return g_current;
}

void FakeAgent::put(const std::string& oid, Cell cell)
{
    cell.name = oid;
    m_objects[parse_oid(oid)] = std::move(cell);
}

void FakeAgent::set_int(const std::string& oid, int32_t value)
{
    put(oid, Int(oid, value));
}

void FakeAgent::set_text(const std::string& oid, const std::string& value)
{
    put(oid, Str(oid, value));
}

void FakeAgent::set_oid(const std::string& oid, const std::string& value)
{
    put(oid, Oid(oid, value));
}

void FakeAgent::set_gauge(const std::string& oid, uint32_t value)
{
    put(oid, Gauge(oid, value));
}

void FakeAgent::remove(const std::string& oid)
{
    m_objects.erase(parse_oid(oid));
}

std::vector<const FakeRequestRecord*> FakeAgent::requests_for(const std::string& oid) const
{
    std::vector<const FakeRequestRecord*> found;
    for (const FakeRequestRecord& record : requests) {
        if (!record.oids.empty() && record.oids.front() == oid) {
            found.push_back(&record);
        }
    }
    return found;
}

bool FakeAgent::lookup(const std::string& oid, Cell* out) const
{
    const auto found = m_objects.find(parse_oid(oid));
    if (found == m_objects.end()) {
        return false;
    }
    *out = found->second;
    return true;
}

bool FakeAgent::next(const std::vector<uint32_t>& after, std::vector<uint32_t>* name,
                     Cell* out) const
{
    const auto found = m_objects.upper_bound(after);
    if (found == m_objects.end()) {
        return false;
    }
    *name = found->first;
    *out = found->second;
    return true;
}

IPmcGetData* fake_get_data_factory(Result* result) noexcept
{
    FakeAgent* agent = FakeAgent::current();
    if (agent == nullptr || agent->create_failure != PSW_SUCCESS) {
        set_result(result, agent != nullptr ? agent->create_failure : PSW_ERR_NO_MEMORY);
        return nullptr;
    }
    agent->requests.emplace_back();
    ++agent->live;
    set_result(result, PSW_SUCCESS);
    return new FakeGetData(*agent, agent->requests.size() - 1);
}

}  // namespace psw::test
