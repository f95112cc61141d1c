// A UDP responder for session tests: answers each received datagram with whatever its handler
// returns (nothing, garbage, stale or tooBig replies, several datagrams), on a thread of its
// own, and keeps every request it saw.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "session/session_test_util.h"

namespace psw::test {

class FaultResponder {
public:
    using Handler = std::function<std::vector<Bytes>(const Bytes& request, int index)>;

    explicit FaultResponder(Handler handler) : m_handler(std::move(handler)) {}
    ~FaultResponder() { stop(); }
    FaultResponder(const FaultResponder&) = delete;
    FaultResponder& operator=(const FaultResponder&) = delete;

    // Binds an IPv4 socket to address:port (port 0: any) and starts answering.
    ::testing::AssertionResult start(const std::string& address = "127.0.0.1", uint16_t port = 0)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (fd < 0) {
            return ::testing::AssertionFailure() << "socket: " << errno;
        }
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(port);
        ::inet_pton(AF_INET, address.c_str(), &local.sin_addr);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            ::close(fd);
            return ::testing::AssertionFailure() << "bind " << address << ":" << port << ": " << errno;
        }
        return adopt(fd);
    }

    // Answers on a bound socket made elsewhere (e.g. inside another network namespace).
    ::testing::AssertionResult adopt(int fd)
    {
        m_fd = fd;
        sockaddr_in bound{};
        socklen_t length = sizeof bound;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
        m_port = ntohs(bound.sin_port);
        m_thread = std::thread([this] { run(); });
        return ::testing::AssertionSuccess();
    }

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

    uint16_t port() const { return m_port; }
    std::vector<Bytes> requests()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_requests;
    }

private:
    void run()
    {
        while (!m_stop) {
            pollfd waiting{m_fd, POLLIN, 0};
            if (::poll(&waiting, 1, 20) <= 0) {
                continue;
            }
            uint8_t buffer[65536];
            sockaddr_storage from{};
            socklen_t from_length = sizeof from;
            const ssize_t count = ::recvfrom(m_fd, buffer, sizeof buffer, 0,
                                             reinterpret_cast<sockaddr*>(&from), &from_length);
            if (count < 0) {
                continue;
            }
            Bytes request(buffer, buffer + count);
            int index = 0;
            {
                std::lock_guard<std::mutex> guard(m_mutex);
                index = static_cast<int>(m_requests.size());
                m_requests.push_back(request);
            }
            for (const Bytes& reply : m_handler(request, index)) {
                ::sendto(m_fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from),
                         from_length);
            }
        }
    }

    Handler m_handler;
    int m_fd = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<Bytes> m_requests;
};

}  // namespace psw::test
