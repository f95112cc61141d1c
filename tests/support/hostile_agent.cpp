#include "support/hostile_agent.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "core/factory.h"
#include "core/pms_octets.h"
#include "core/pms_packet_buffer.h"
#include "snmp/pms_packet_coder.h"
#include "snmp/pms_pdu.h"
#include "snmp/pms_value.h"
#include "snmp/pms_varbind.h"
#include "snmp/snmp_target.h"

namespace psw::test {
namespace {

constexpr int32_t kNoSuchName = 2;
constexpr size_t kLargestDatagram = 65507;

int bind_udp(const std::string& address, uint16_t port, std::string* error)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        *error = "socket: " + std::to_string(errno);
        return -1;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        *error = "bind " + address + ":" + std::to_string(port) + ": " + std::to_string(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

std::vector<uint32_t> parse_name(const std::string& text)
{
    std::vector<uint32_t> name;
    const char* at = text.c_str();
    while (*at != '\0') {
        char* end = nullptr;
        name.push_back(static_cast<uint32_t>(std::strtoul(at, &end, 10)));
        at = *end == '.' ? end + 1 : end;
        if (end == at && *end != '\0') {
            break;
        }
    }
    return name;
}

std::string name_text(const std::vector<uint32_t>& name)
{
    std::string text;
    for (uint32_t id : name) {
        if (!text.empty()) {
            text.push_back('.');
        }
        text.append(std::to_string(id));
    }
    return text;
}

bool starts_with(const std::vector<uint32_t>& name, const std::vector<uint32_t>& prefix)
{
    return name.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), name.begin());
}

// One binding of a reply, by text.
struct Binding {
    std::vector<uint32_t> name;
    HostileAgent::Value value;
};

std::vector<uint8_t> encode_reply(IPmsSnmpTarget* target, int32_t request_id, int32_t status,
                                  int32_t index, const std::vector<Binding>& bindings)
{
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    OwnedPtr<PmsPacketBuffer> buffer(create_packet_buffer());
    if (!pdu || !buffer) {
        return {};
    }
    pdu->set_type(kPmsResponse);
    pdu->set_request_id(request_id);
    pdu->set_error_status(status);
    pdu->set_error_index(index);
    for (const Binding& binding : bindings) {
        IPmsValue* value = create_value_from_text(binding.value.text.c_str(), binding.value.tag);
        if (value == nullptr) {
            value = create_value(kPmsNull);
        }
        pdu->add(create_oid_from_text(name_text(binding.name).c_str()), value);
    }
    if (pms_packet_coder()->encode(pdu.get(), target, buffer.get(), nullptr) != PSW_SUCCESS) {
        return {};
    }
    return std::vector<uint8_t>(buffer->data(), buffer->data() + buffer->data_length());
}

}  // namespace

::testing::AssertionResult HostileAgent::start(const std::string& address, uint16_t port)
{
    std::string error;
    m_fd = bind_udp(address, port, &error);
    if (m_fd >= 0) {
        m_other_port_fd = bind_udp(address, 0, &error);
    }
    if (m_other_port_fd >= 0) {
        m_other_host_fd = bind_udp(address == "127.0.0.1" ? "127.0.0.2" : "127.0.0.1", 0, &error);
    }
    if (m_other_host_fd < 0) {
        stop();
        return ::testing::AssertionFailure() << error;
    }
    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return ::testing::AssertionSuccess();
}

void HostileAgent::stop()
{
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    for (int* fd : {&m_fd, &m_other_port_fd, &m_other_host_fd}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void HostileAgent::set(const std::string& name, Value value)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_objects[parse_name(name)] = std::move(value);
}

void HostileAgent::add_table(const std::string& entry, const std::vector<uint32_t>& numbers,
                             const std::vector<uint32_t>& texts, uint32_t rows)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    Name name = parse_name(entry);
    name.push_back(0);
    name.push_back(0);
    for (const auto* columns : {&numbers, &texts}) {
        for (uint32_t column : *columns) {
            name[name.size() - 2] = column;
            for (uint32_t row = 1; row <= rows; ++row) {
                name.back() = row;
                m_objects[name] = columns == &numbers ? integer(static_cast<int32_t>(row))
                                                      : text("row " + std::to_string(row));
            }
        }
    }
}

void HostileAgent::set_fault(Fault fault)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_fault = std::move(fault);
}

void HostileAgent::run()
{
    std::vector<uint8_t> buffer(kLargestDatagram);
    while (!m_stop) {
        pollfd waiting[3] = {
            {m_fd, POLLIN, 0}, {m_other_port_fd, POLLIN, 0}, {m_other_host_fd, POLLIN, 0}};
        if (::poll(waiting, 3, 20) <= 0) {
            continue;
        }
        for (int i = 1; i < 3; ++i) {
            if ((waiting[i].revents & POLLIN) != 0 &&
                ::recv(waiting[i].fd, buffer.data(), buffer.size(), 0) >= 0) {
                ++m_spoofer_requests;  // never answered
            }
        }
        if ((waiting[0].revents & POLLIN) == 0) {
            continue;
        }
        sockaddr_storage from{};
        socklen_t from_length = sizeof from;
        const ssize_t count = ::recvfrom(m_fd, buffer.data(), buffer.size(), 0,
                                         reinterpret_cast<sockaddr*>(&from), &from_length);
        if (count < 0) {
            continue;
        }
        ++m_requests;
        bool spoof = false;
        const std::vector<uint8_t> request(buffer.begin(), buffer.begin() + count);
        const std::vector<std::vector<uint8_t>> replies = answer(request, &spoof);
        for (size_t i = 0; i < replies.size(); ++i) {
            // With a spoof the first reply leaves from the spoofing socket.
            int fd = m_fd;
            if (spoof && i == 0) {
                std::lock_guard<std::mutex> guard(m_mutex);
                fd = m_fault.mode == Mode::spoof_other_host ? m_other_host_fd : m_other_port_fd;
            }
            ::sendto(fd, replies[i].data(), replies[i].size(), 0,
                     reinterpret_cast<sockaddr*>(&from), from_length);
        }
    }
}

std::vector<std::vector<uint8_t>> HostileAgent::answer(const std::vector<uint8_t>& request,
                                                       bool* spoof)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_fault.mode == Mode::reflect_request) {
        return {request};
    }
    OwnedPtr<PmsPacketBuffer> raw(create_packet_buffer());
    OwnedPtr<IPmsPdu> pdu(create_pdu());
    OwnedPtr<IPmsSnmpTarget> target(create_community_target());
    if (!raw || !pdu || !target) {
        return {};
    }
    raw->attach_received(request.data(), request.size());
    if (pms_packet_coder()->decode(raw.get(), pdu.get(), target.get(), kPmsTranslateCommunity) !=
        PSW_SUCCESS) {
        return {};
    }
    target->set_max_message_size(kLargestDatagram);
    int32_t id = pdu->request_id();
    if (m_fault.mode == Mode::wrong_request_id) {
        id = static_cast<int32_t>(static_cast<uint32_t>(id) + 1u);
    }

    std::vector<Binding> asked;
    const PmsVarBindList* list = pdu->bindings();
    for (uint32_t i = 0; list != nullptr && i < list->count(); ++i) {
        const PmsVarBind* binding = list->at(i);
        Binding copy{parse_name(binding->name()->text()), {kPmsNull, ""}};
        if (binding->value() != nullptr && pdu->type() == kPmsSetRequest) {
            OwnedPtr<PmsOctets> shown(binding->value()->to_text());
            copy.value.tag = binding->value()->type();
            if (shown) {
                copy.value.text.assign(reinterpret_cast<const char*>(shown->data()),
                                       shown->length());
            }
        }
        asked.push_back(std::move(copy));
    }
    if (m_fault.mode == Mode::error_status) {
        return {encode_reply(target.get(), id, m_fault.error_status, 1, asked)};
    }

    std::vector<Binding> answered = asked;
    const Name subtree = parse_name(m_fault.subtree);
    for (size_t i = 0; i < asked.size(); ++i) {
        Name& name = answered[i].name;
        if (pdu->type() == kPmsSetRequest) {
            m_objects[name] = asked[i].value;
            continue;
        }
        if (pdu->type() == kPmsGetNextRequest && m_fault.mode == Mode::growing_names) {
            name.push_back(1);
            answered[i].value = integer(1);
            continue;
        }
        if (pdu->type() == kPmsGetNextRequest && m_fault.mode == Mode::endless_table &&
            starts_with(name, subtree)) {
            // The column itself gets its first instance, an instance the next one.
            if (name.size() <= subtree.size() + 1) {
                name.resize(subtree.size() + 1, 1);
                name.push_back(1);
            } else {
                ++name.back();
            }
            answered[i].value = integer(1);
            continue;
        }
        const auto found =
            pdu->type() == kPmsGetNextRequest ? m_objects.upper_bound(name) : m_objects.find(name);
        if (found == m_objects.end()) {
            return {
                encode_reply(target.get(), id, kNoSuchName, static_cast<int32_t>(i + 1), asked)};
        }
        answered[i] = {found->first, found->second};
    }
    std::vector<std::vector<uint8_t>> replies;
    if (m_fault.mode == Mode::spoof_other_port || m_fault.mode == Mode::spoof_other_host) {
        std::vector<Binding> poisoned = answered;
        for (Binding& binding : poisoned) {
            binding.value = integer(kPoisonInteger);
        }
        replies.push_back(encode_reply(target.get(), id, 0, 0, poisoned));
        *spoof = true;
    }
    replies.push_back(encode_reply(target.get(), id, 0, 0, answered));
    return replies;
}

}  // namespace psw::test
