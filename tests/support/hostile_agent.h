// A plain-UDP SNMPv1/v2c agent of our own that can misbehave on purpose: it serves a small
// object store (GET, GETNEXT, SET) and, in the fault mode a test chooses, answers as a buggy
// or hostile device would (endless tables, names that grow, refusals, wrong request-ids,
// reflected requests, replies from another port or host).
//
//   HostileAgent agent;
//   ASSERT_TRUE(agent.start("127.0.0.5", 161));      // e.g. a LoopbackLease's address
//   agent.set("1.3.6.1.2.1.1.2.0", HostileAgent::oid("1.3.6.1.4.1.297.1.11.93.1.35.27.1"));
//   agent.set_fault({HostileAgent::Mode::error_status, 5});
//
// Requests are decoded and replies encoded with the library's own codec; the faults are in what
// the agent puts into the reply, not in the encoding.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace psw::test {

class HostileAgent {
public:
    enum class Mode {
        normal,
        endless_table,     // GETNEXT under `subtree` answers the next instance, for ever
        growing_names,     // GETNEXT answers its own name plus ".1"
        error_status,      // every reply carries `error_status` (index 1)
        wrong_request_id,  // replies carry the request's id plus one
        reflect_request,   // sends the request back unchanged (a GetRequest PDU)
        spoof_other_port,  // first a poisoned reply from another port, then the right one
        spoof_other_host,  // first a poisoned reply from 127.0.0.1, then the right one
    };
    struct Fault {
        Mode mode = Mode::normal;
        int32_t error_status = 0;
        std::string subtree;  // endless_table: the table entry whose columns never end
    };
    // A stored value: ASN.1 tag and text form (as the library's values parse it).
    struct Value {
        uint32_t tag = 2;
        std::string text;
    };
    static Value integer(int32_t value) { return {2, std::to_string(value)}; }
    static Value text(std::string value) { return {4, std::move(value)}; }
    static Value oid(std::string value) { return {6, std::move(value)}; }
    // The value every spoofed reply carries instead of the real one.
    static constexpr int32_t kPoisonInteger = 666;

    HostileAgent() = default;
    ~HostileAgent() { stop(); }
    HostileAgent(const HostileAgent&) = delete;
    HostileAgent& operator=(const HostileAgent&) = delete;

    // Binds UDP address:port (IPv4) and starts answering on a thread of its own.
    ::testing::AssertionResult start(const std::string& address, uint16_t port);
    void stop();

    void set(const std::string& name, Value value);
    // `rows` rows (instances 1..rows) of the columns `entry`.C: in `numbers` the row number, in
    // `texts` "row N".
    void add_table(const std::string& entry, const std::vector<uint32_t>& numbers,
                   const std::vector<uint32_t>& texts, uint32_t rows);
    void set_fault(Fault fault);

    // Requests that reached the agent's own socket, and those sent to the spoofing socket (a
    // session that followed a spoofed reply sends its next request there).
    size_t requests() const { return m_requests.load(); }
    size_t requests_to_spoofer() const { return m_spoofer_requests.load(); }

private:
    using Name = std::vector<uint32_t>;
    void run();
    std::vector<std::vector<uint8_t>> answer(const std::vector<uint8_t>& request, bool* spoof);

    int m_fd = -1;
    int m_other_port_fd = -1;
    int m_other_host_fd = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<size_t> m_requests{0};
    std::atomic<size_t> m_spoofer_requests{0};
    std::thread m_thread;
    std::mutex m_mutex;
    std::map<Name, Value> m_objects;
    Fault m_fault;
};

}  // namespace psw::test
