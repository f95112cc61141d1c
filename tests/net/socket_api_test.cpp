// Binding the socket functions at run time, through a loader that can hide functions.
#include <gtest/gtest.h>

#include <cerrno>

#include "net/fake_module_loader.h"
#include "net/socket_api.h"
#include "support/log_capture.h"

namespace psw {
namespace {

using test::FakeModuleLoader;

int refusing_startup(uint16_t, void*) noexcept
{
    errno = 10092;
    return 10092;
}

TEST(SocketBinding, BindsEveryFunctionOfTheCLibraryAndCountsStartUps)
{
    FakeModuleLoader loader;
    CPmcSocketLibrary library(loader);
    EXPECT_FALSE(library.is_loaded());
    ASSERT_EQ(library.load_socket_library(), PSW_SUCCESS);
    EXPECT_TRUE(library.is_loaded());
    EXPECT_TRUE(library.has_extended_api());
    EXPECT_EQ(loader.loads(), 1);

    // The table works: a real conversion through it.
    const NPmcSocketAPI& api = library.api();
    EXPECT_EQ(api.m_pNtohs(api.m_pHtons(0x1234)), 0x1234);
    EXPECT_EQ(api.m_pInetAddr("1.2.3.4"), inet_addr("1.2.3.4"));
    EXPECT_NE(api.m_pCloseSocket, nullptr);
    EXPECT_NE(api.m_pIoctlSocket, nullptr);
    EXPECT_NE(api.m_pFreeAddrInfo, nullptr);

    const int before = pmc_socket_layer_startup_count();
    ASSERT_EQ(library.startup_v2_2(), PSW_SUCCESS);
    ASSERT_EQ(library.startup_v1_1(), PSW_SUCCESS);
    EXPECT_EQ(pmc_socket_layer_startup_count(), before + 2);
    library.cleanup();
    library.cleanup();
    EXPECT_EQ(pmc_socket_layer_startup_count(), before);

    // Loading again reuses the module.
    ASSERT_EQ(library.load_socket_library(), PSW_SUCCESS);
    EXPECT_EQ(loader.loads(), 1);
}

TEST(SocketBinding, MissingRequiredFunctionFailsLogsAndReleasesTheModule)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    FakeModuleLoader loader;
    loader.hide("select");
    CPmcSocketLibrary library(loader);

    EXPECT_EQ(library.load_socket_library(), PSW_ERR_FAILED);
    EXPECT_FALSE(library.is_loaded());
    EXPECT_EQ(loader.open_modules(), 0);
    EXPECT_TRUE(
        log.contains("[NPmcSocketAPI::set_api] fail GetProcAddress \"select\": GetLastError()=127"))
        << log.all();
    EXPECT_TRUE(log.contains("[NPmcSocketAPI::set_api] enter."));
    EXPECT_TRUE(log.contains("[NPmcSocketAPI::set_api] exit."));
    // Binding stops at the first missing name.
    EXPECT_TRUE(loader.looked_up("recvfrom"));
    EXPECT_FALSE(loader.looked_up("closesocket"));
    EXPECT_FALSE(loader.looked_up("getaddrinfo"));

    // Every start-up fails the same way and nothing is counted.
    const int before = pmc_socket_layer_startup_count();
    EXPECT_EQ(library.startup_v1_1(), PSW_ERR_FAILED);
    EXPECT_FALSE(library.has_extended_api());
    EXPECT_EQ(pmc_socket_layer_startup_count(), before);
    EXPECT_EQ(loader.open_modules(), 0);

    // The next call tries again from the start and succeeds once the function is there.
    const int loads = loader.loads();
    loader.reveal("select");
    EXPECT_EQ(library.load_socket_library(), PSW_SUCCESS);
    EXPECT_EQ(loader.loads(), loads + 1);
    EXPECT_EQ(loader.open_modules(), 1);
}

TEST(SocketBinding, MissingNameFunctionsGiveAWorkingBindingWithoutExtension)
{
    FakeModuleLoader loader;
    loader.hide("getaddrinfo");
    CPmcSocketLibrary library(loader);

    ASSERT_EQ(library.load_socket_library(), PSW_SUCCESS);
    EXPECT_FALSE(library.has_extended_api());
    EXPECT_EQ(library.api().m_pGetAddrInfo, nullptr);
    // The remaining optional names are not looked up once one is absent.
    EXPECT_FALSE(loader.looked_up("getnameinfo"));
    EXPECT_EQ(library.api().m_pGetNameInfo, nullptr);
    EXPECT_NE(library.api().m_pSelect, nullptr);
    EXPECT_EQ(library.startup_v1_1(), PSW_SUCCESS);
    library.cleanup();
}

TEST(SocketBinding, OptionalFunctionMissingForAnotherReasonFails)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    FakeModuleLoader loader;
    loader.hide("getnameinfo");
    loader.set_error(5);
    CPmcSocketLibrary library(loader);

    EXPECT_EQ(library.load_socket_library(), PSW_ERR_FAILED);
    EXPECT_TRUE(log.contains("fail GetProcAddress \"getnameinfo\": GetLastError()=5"));
    EXPECT_EQ(loader.open_modules(), 0);
    EXPECT_FALSE(library.has_extended_api());
}

TEST(SocketBinding, NoModuleGivesNotAvailableEverywhere)
{
    FakeModuleLoader loader;
    loader.refuse_load(true);
    CPmcSocketLibrary library(loader);

    EXPECT_EQ(library.load_socket_library(), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(library.startup_v1_1(), PSW_ERR_NOT_AVAILABLE);
    EXPECT_EQ(library.startup_v2_2(), PSW_ERR_NOT_AVAILABLE);
    EXPECT_FALSE(library.has_extended_api());
    EXPECT_EQ(library.last_error(), 0);
    library.cleanup();  // nothing loaded: must not call through an empty table
    EXPECT_GE(loader.loads(), 4);
}

TEST(SocketBinding, RefusedStartUpIsLoggedWithTheSocketError)
{
    test::LogCapture& log = test::LogCapture::attach("socket");
    FakeModuleLoader loader;
    loader.replace("WSAStartup", reinterpret_cast<void*>(&refusing_startup));
    CPmcSocketLibrary library(loader);

    const int before = pmc_socket_layer_startup_count();
    EXPECT_EQ(library.startup_v2_2(), PSW_ERR_FAILED);
    EXPECT_TRUE(log.contains("fail WSAStartup(2.2). WSAGetLastError()=10092")) << log.all();
    EXPECT_EQ(library.startup_v1_1(), PSW_ERR_FAILED);
    EXPECT_TRUE(log.contains("fail WSAStartup(1.1). WSAGetLastError()=10092"));
    EXPECT_EQ(pmc_socket_layer_startup_count(), before);
}

TEST(SocketLayer, StartUpAndCleanUpAreCountedAndBalanced)
{
    const int before = pmc_socket_layer_startup_count();
    EXPECT_EQ(pmc_socket_layer_startup(0x0101, nullptr), 0);
    EXPECT_EQ(pmc_socket_layer_startup(0x0202, nullptr), 0);
    EXPECT_EQ(pmc_socket_layer_startup_count(), before + 2);
    // Versions below 1 or above 2 are refused and not counted.
    EXPECT_NE(pmc_socket_layer_startup(0x0000, nullptr), 0);
    EXPECT_NE(pmc_socket_layer_startup(0x0003, nullptr), 0);
    EXPECT_EQ(pmc_socket_layer_last_error(), EPROTONOSUPPORT);
    EXPECT_EQ(pmc_socket_layer_startup_count(), before + 2);
    EXPECT_EQ(pmc_socket_layer_cleanup(), 0);
    EXPECT_EQ(pmc_socket_layer_cleanup(), 0);
    EXPECT_EQ(pmc_socket_layer_startup_count(), before);
}

TEST(SocketLayer, CleanUpWithoutStartUpFailsAndKeepsTheCountAtZero)
{
    // Every test runs in a process of its own, and the tests before balance their start-ups.
    ASSERT_EQ(pmc_socket_layer_startup_count(), 0);
    EXPECT_EQ(pmc_socket_layer_cleanup(), -1);
    EXPECT_EQ(pmc_socket_layer_startup_count(), 0);
}

TEST(SocketLayer, DescriptorTestRefusesHandlesOutsideTheSet)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(3, &set);
    EXPECT_EQ(pmc_socket_layer_fd_is_set(3, &set), 1);
    EXPECT_EQ(pmc_socket_layer_fd_is_set(4, &set), 0);
    EXPECT_EQ(pmc_socket_layer_fd_is_set(FD_SETSIZE, &set), 0);
    EXPECT_EQ(pmc_socket_layer_fd_is_set(-1, &set), 0);
    EXPECT_EQ(pmc_socket_layer_fd_is_set(3, nullptr), 0);
}

}  // namespace
}  // namespace psw
