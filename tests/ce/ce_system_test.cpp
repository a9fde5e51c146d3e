// Kernel objects, memory status, the shell and power notifications.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "ce.h"
#include "host_support.h"

namespace {

using namespace ce;

TEST(CeMutex, ANamedMutexExistsOncePerNameUntilClosed) {
    TestRuntimeFolder folder;
    HANDLE first = CreateMutexW(nullptr, FALSE, u"Local\\My/App");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    // The name cannot leave the runtime folder.
    struct stat info;
    EXPECT_EQ(::stat((folder.path() + "vessilo-mutex-Local%5CMy%2FApp").c_str(), &info), 0);

    HANDLE second = CreateMutexW(nullptr, FALSE, u"Local\\My/App");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    HANDLE other = CreateMutexW(nullptr, FALSE, u"Local\\Other");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_FALSE(CloseHandle(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    HANDLE third = CreateMutexW(nullptr, FALSE, u"Local\\My/App");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(third);
    CloseHandle(other);
    EXPECT_NE(CreateMutexW(nullptr, FALSE, nullptr), nullptr);
}

TEST(CeEvent, AutoResetEventsAreSpentByTheirWaitManualOnesAreNot) {
    HANDLE autoReset = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    HANDLE manual = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(autoReset, 10), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    std::thread setter([autoReset] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetEvent(autoReset);
    });
    EXPECT_EQ(WaitForSingleObject(autoReset, INFINITE), WAIT_OBJECT_0);
    setter.join();
    CloseHandle(autoReset);
    CloseHandle(manual);
    EXPECT_FALSE(SetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
}

TEST(CeMemory, ReportsAPhoneSizedMemoryUnlessTheEnvironmentSaysOtherwise) {
    const struct {
        const char* setting;
        DWORD limit;
    } cases[] = {
        {nullptr, 128u << 20}, {"64", 64u << 20}, {"0", 128u << 20}, {"4096", 128u << 20},
        {"12x", 128u << 20},   {"", 128u << 20},  {"1", 1u << 20},
    };
    for (const auto& c : cases) {
        ScopedEnv env("VESSILO_MEMORY_MB", c.setting);
        MEMORYSTATUS status;
        GlobalMemoryStatus(&status);
        EXPECT_EQ(status.dwAvailVirtual, c.limit) << (c.setting ? c.setting : "unset");
        EXPECT_LE(status.dwAvailPhys, c.limit);
        EXPECT_GT(status.dwAvailPhys, 0u);
        EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
    }
    GlobalMemoryStatus(nullptr);
}

TEST(CeShell, OpensOnlyWebURLsWithTheDesktopsOpenerAsOneArgument) {
    TestRuntimeFolder folder;
    const std::string record = folder.path() + "opened.txt";
    const std::string opener = folder.path() + "opener.sh";
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\" >> '" << record << "'; done\n";
    }
    ::chmod(opener.c_str(), 0755);
    ScopedEnv env("VESSILO_URL_OPENER", opener.c_str());

    const struct {
        const char16_t* file;
        const char16_t* parameters;
        bool opened;
        DWORD error;
    } cases[] = {
        {u"iexplore.exe", u"http://example.org/a b;$(x)", true, 0},
        {u"\\Windows\\IEXPLORE.EXE", u"HTTPS://example.org/", true, 0},
        {u"https://example.org/direct", nullptr, true, 0},
        {u"iexplore.exe", u"file:///etc/passwd", false, ERROR_ACCESS_DENIED},
        {u"iexplore.exe", u"javascript:alert(1)", false, ERROR_ACCESS_DENIED},
        {u"iexplore.exe", u"http://", false, ERROR_ACCESS_DENIED},
        {u"iexplore.exe", u"http://example.org/\nsecond", false, ERROR_ACCESS_DENIED},
        {u"iexplore.exe", nullptr, false, ERROR_ACCESS_DENIED},
        {u"cmd.exe", u"http://example.org/", false, ERROR_NO_ASSOCIATION},
        {u"ftp://example.org/", nullptr, false, ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SHELLEXECUTEINFO info;
        info.lpFile = c.file;
        info.lpParameters = c.parameters;
        info.nShow = 1;
        BOOL result = ShellExecuteEx(&info);
        EXPECT_EQ(result != FALSE, c.opened);
        if (!c.opened) {
            EXPECT_EQ(GetLastError(), c.error);
        }
    }
    EXPECT_EQ(readFile(record),
              "[http://example.org/a b;$(x)]\n[HTTPS://example.org/]\n[https://example.org/direct]\n");
    EXPECT_FALSE(ShellExecuteEx(nullptr));

    ScopedEnv missing("VESSILO_URL_OPENER", (folder.path() + "no-such-opener").c_str());
    SHELLEXECUTEINFO info;
    info.lpFile = u"iexplore.exe";
    info.lpParameters = u"http://example.org/";
    EXPECT_FALSE(ShellExecuteEx(&info));
}

// The start's environment: a session bus that is not there is made
// unreachable rather than started, the Compose table is left empty; a bus
// that is there is left alone, and a started program sees the environment
// as it was.
TEST(CeShell, DesktopStartSettingsStayInThisProcess) {
    TestRuntimeFolder folder;
    const std::string record = folder.path() + "environment.txt";
    const std::string opener = folder.path() + "opener.sh";
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\necho \"${DBUS_SESSION_BUS_ADDRESS-unset} ${XCOMPOSEFILE-unset}\" >> '" << record
               << "'\n";
    }
    ::chmod(opener.c_str(), 0755);
    ScopedEnv env("VESSILO_URL_OPENER", opener.c_str());
    const std::string withBus = folder.path() + "with-bus";
    ::mkdir(withBus.c_str(), 0700);
    int bus = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s/bus", withBus.c_str());
    ASSERT_EQ(::bind(bus, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const struct {
        const char* runtime;  // XDG_RUNTIME_DIR
        const char* address;  // DBUS_SESSION_BUS_ADDRESS before
        const char* compose;  // XCOMPOSEFILE before
        std::string addressAfter;
        const char* child;
    } cases[] = {
        {folder.path().c_str(), nullptr, nullptr, "unix:path=" + folder.path() + "/bus", "unset unset"},
        {nullptr, nullptr, "/home/a/.XCompose", "unix:path=/nonexistent/bus", "unset /home/a/.XCompose"},
        {folder.path().c_str(), "unix:path=/run/a", nullptr, "unix:path=/run/a", "unix:path=/run/a unset"},
        {withBus.c_str(), nullptr, nullptr, "", "unset unset"},
    };
    for (const auto& c : cases) {
        ScopedEnv runtime("XDG_RUNTIME_DIR", c.runtime);
        ScopedEnv address("DBUS_SESSION_BUS_ADDRESS", c.address);
        ScopedEnv compose("XCOMPOSEFILE", c.compose);
        PrepareDesktopStart();
        PrepareDesktopStart();  // twice changes nothing more
        const char* now = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        EXPECT_EQ(now ? now : "", c.addressAfter) << (c.runtime ? c.runtime : "no runtime folder");
        EXPECT_STREQ(std::getenv("XCOMPOSEFILE"), "/dev/null");
        std::remove(record.c_str());
        SHELLEXECUTEINFO info;
        info.lpFile = u"https://example.org/";
        EXPECT_TRUE(ShellExecuteEx(&info));
        EXPECT_EQ(readFile(record), std::string(c.child) + "\n");
    }
    ::close(bus);
}

TEST(CePower, NotificationsReachTheirQueueUntilStoppedAndClosingEndsAWait) {
    MSGQUEUEOPTIONS options;
    options.dwMaxMessages = 2;
    options.cbMaxMessage = sizeof(POWER_BROADCAST);
    HANDLE queue = CreateMsgQueue(nullptr, &options);
    ASSERT_NE(queue, nullptr);
    HANDLE notifications = RequestPowerNotifications(queue, PBT_TRANSITION);
    ASSERT_NE(notifications, nullptr);
    SetSystemPower(false);
    SetSystemPower(true);
    SetSystemPower(false);  // the queue holds two: this one is lost
    POWER_BROADCAST message;
    DWORD read = 0, flags = 0;
    ASSERT_TRUE(ReadMsgQueue(queue, &message, sizeof message, &read, 0, &flags));
    EXPECT_EQ(read, sizeof message);
    EXPECT_EQ(message.Message, PBT_TRANSITION);
    EXPECT_EQ(message.Flags & POWER_STATE_ON, 0u);
    ASSERT_TRUE(ReadMsgQueue(queue, &message, sizeof message, &read, 0, &flags));
    EXPECT_NE(message.Flags & POWER_STATE_ON, 0u);
    EXPECT_FALSE(ReadMsgQueue(queue, &message, sizeof message, &read, 10, &flags));
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);

    EXPECT_TRUE(StopPowerNotifications(notifications));
    SetSystemPower(true);
    EXPECT_FALSE(ReadMsgQueue(queue, &message, sizeof message, &read, 0, &flags));

    std::thread closer([queue] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        CloseMsgQueue(queue);
    });
    EXPECT_FALSE(ReadMsgQueue(queue, &message, sizeof message, &read, INFINITE, &flags));
    closer.join();
    EXPECT_EQ(RequestPowerNotifications(queue, PBT_TRANSITION), nullptr);
    options.cbMaxMessage = 0;
    EXPECT_EQ(CreateMsgQueue(nullptr, &options), nullptr);
}

TEST(CeWindowRegistration, AFileLeftByAProcessThatEndedFindsNoWindow) {
    TestRuntimeFolder folder;
    // Written as a window of another process would write it, but not held.
    std::ofstream(folder.path() + "vessilo-window-Gone") << "1\nGone\n";
    EXPECT_EQ(FindWindowW(u"Gone", nullptr), nullptr);
}

}  // namespace
