// The loopback pool keeps parallel test programs apart.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "support/loopback_pool.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace psw::test {
namespace {

// Points the pool at a private lock folder for one test.
class PrivateLockDir {
public:
    PrivateLockDir() : dir_("locks")
    {
        const char* old = getenv("PSW_TEST_LOCK_DIR");
        if (old) old_ = old;
        setenv("PSW_TEST_LOCK_DIR", dir_.path().c_str(), 1);
    }
    ~PrivateLockDir()
    {
        if (old_)
            setenv("PSW_TEST_LOCK_DIR", old_->c_str(), 1);
        else
            unsetenv("PSW_TEST_LOCK_DIR");
    }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    std::optional<std::string> old_;
};

class BoundUdp {
public:
    BoundUdp(const std::string& address, uint16_t port)
    {
        fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(port);
        inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
        bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    }
    ~BoundUdp() { close(fd_); }
    bool bound() const { return bound_; }

private:
    int fd_ = -1;
    bool bound_ = false;
};

uint16_t random_high_port()
{
    std::random_device rd;
    return static_cast<uint16_t>(20000 + rd() % 30000);
}

TEST(LoopbackPool, LeasesAreDistinctAndLocked)
{
    PrivateLockDir locks;
    const uint16_t port = random_high_port();
    std::string error;
    auto a = LoopbackLease::acquire(port, &error);
    ASSERT_TRUE(a) << error;
    auto b = LoopbackLease::acquire(port, &error);
    ASSERT_TRUE(b) << error;
    EXPECT_NE(a->address(), b->address());
    EXPECT_EQ(a->address().rfind("127.0.0.", 0), 0u);
    EXPECT_NE(a->address(), "127.0.0.1");
    EXPECT_EQ(a->endpoint(), a->address() + ":" + std::to_string(port));
    EXPECT_EQ(a->netsnmp_target(), "udp:" + a->endpoint());

    // Another open file description cannot take the lock while the lease lives...
    int fd = open(a->lock_path().c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
    std::string released = a->address();
    a.reset();
    // ...and can once it has ended; the next lease gets the address back.
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    flock(fd, LOCK_UN);
    close(fd);
    auto c = LoopbackLease::acquire(port, &error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->address(), released);
}

TEST(LoopbackPool, SkipsAddressesWhosePortIsBusy)
{
    PrivateLockDir locks;
    const uint16_t port = random_high_port();
    BoundUdp two("127.0.0.2", port), three("127.0.0.3", port);
    ASSERT_TRUE(two.bound() && three.bound()) << "port " << port << " already in use";
    EXPECT_FALSE(udp_port_free("127.0.0.2", port));
    EXPECT_TRUE(udp_port_free("127.0.0.4", port));
    std::string error;
    auto lease = LoopbackLease::acquire(port, &error);
    ASSERT_TRUE(lease) << error;
    EXPECT_NE(lease->address(), "127.0.0.2");
    EXPECT_NE(lease->address(), "127.0.0.3");
}

TEST(LoopbackPool, EndsAnAgentLeftBehindByADeadProgram)
{
    PrivateLockDir locks;
    const uint16_t port = random_high_port();
    Subprocess leftover;
    std::string error;
    ASSERT_TRUE(leftover.start({"sleep", "60"}, locks.dir().file("leftover.log"), {}, &error))
        << error;
    {
        auto lease = LoopbackLease::acquire(port, &error);
        ASSERT_TRUE(lease) << error;
        ASSERT_EQ(lease->address(), "127.0.0.2");
        lease->record_owner(leftover.pid());
        // Simulate the program dying: keep the file's contents, drop the lock.
        std::string saved = read_text_file(lease->lock_path());
        lease.reset();
        ASSERT_FALSE(saved.empty());
        locks.dir().write("psw-test-loopback-2.lock", saved);
    }
    ASSERT_TRUE(leftover.running());
    auto next = LoopbackLease::acquire(port, &error);
    ASSERT_TRUE(next) << error;
    EXPECT_EQ(next->address(), "127.0.0.2");
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) {
        ended = !leftover.running();
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(ended) << "the recorded agent was not ended";
}

TEST(LoopbackPool, LeavesAProcessAloneWhenTheStartTimeDiffers)
{
    PrivateLockDir locks;
    const uint16_t port = random_high_port();
    Subprocess unrelated;
    std::string error;
    ASSERT_TRUE(unrelated.start({"sleep", "60"}, locks.dir().file("unrelated.log"), {}, &error))
        << error;
    // Same pid, but not the process that was recorded (a reused pid).
    locks.dir().write("psw-test-loopback-2.lock", std::to_string(unrelated.pid()) + " 1\n");
    auto lease = LoopbackLease::acquire(port, &error);
    ASSERT_TRUE(lease) << error;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(unrelated.running());
}

TEST(LoopbackPool, Ipv6LeaseWaitsForTheHolder)
{
    PrivateLockDir locks;
    const uint16_t port = random_high_port();
    std::string error;
    auto first = LoopbackLease::acquire_ipv6(port, std::chrono::milliseconds(1000), &error);
    ASSERT_TRUE(first) << error;
    EXPECT_EQ(first->endpoint(), "[::1]:" + std::to_string(port));
    EXPECT_EQ(first->netsnmp_target(), "udp6:[::1]:" + std::to_string(port));
    auto second = LoopbackLease::acquire_ipv6(port, std::chrono::milliseconds(200), &error);
    EXPECT_FALSE(second);
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        first.reset();
    });
    auto third = LoopbackLease::acquire_ipv6(port, std::chrono::milliseconds(5000), &error);
    releaser.join();
    EXPECT_TRUE(third) << error;
}

}  // namespace
}  // namespace psw::test
