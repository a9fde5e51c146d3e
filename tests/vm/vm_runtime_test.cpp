// The runtime object: boot through the initRuntime callback, event listeners and
// their dispatch, the runtime property table and the shutdown waits.
//
// Boot and shutdown change process-wide state for good, so those tests run
// their scenario in a child process of their own (a death test that exits
// with a code the parent checks).
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "VMException.h"
#include "VMRuntime.h"
#include "hal.h"
#include "java_lang_InterruptedException.h"
#include "java_lang_Runnable.h"
#include "java_lang_RuntimeException.h"
#include "vm_test.h"

namespace vmruntimetest {

// A boot class: its entry point records its argument and the stage it saw.
class Boot : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Boot, java::lang::Object)

public:
    static inline int entered = 0;
    static inline int argument = 0;
    static inline int stageAtEntry = 0;
    static inline bool initialisedBeforeEntry = false;
    static inline bool throwFromEntry = false;
    static void clinit() { initialisedBeforeEntry = entered == 0; }
    static void entry(int32_t arg) {
        ++entered;
        argument = arg;
        stageAtEntry = _VM_runtime->stage;
        if (throwFromEntry) _VM_throw(java::lang::RuntimeException::create()->construct());
    }
};

// Registered without an entry point.
class NoEntry : public virtual java::lang::Object {
    VM_DECLARE_CLASS(NoEntry, java::lang::Object)
};

}  // namespace vmruntimetest

VM_REGISTER_CLASS(vmruntimetest::Boot, .name = "vmruntimetest.Boot", .staticInit = vmruntimetest::Boot::clinit,
                  .entryPoint = vmruntimetest::Boot::entry)
VM_REGISTER_CLASS(vmruntimetest::NoEntry, .name = "vmruntimetest.NoEntry")

using vmruntimetest::Boot;
using vmtest::Task;

namespace {

int bootWith(const char* bootClass, int32_t argument = 0) {
    _VM_installHostCallbacks();
    HAL_enterVMLock();
    return HAL_hostCallbacks().initRuntime(uint64_t(16) << 20, uint64_t(256) << 20, HAL_getCurrentThread(), bootClass,
                                           argument);
}

// --- event recording ---
std::vector<std::string> heard;

template <int Tag>
void record(jint type, jint count, const intptr_t* args) {
    std::string entry = std::to_string(Tag) + ":" + std::to_string(type);
    for (jint i = 0; i < count; ++i) entry += "," + std::to_string(args[i]);
    heard.push_back(entry);
}

void throwing(jint, jint, const intptr_t*) {
    heard.push_back("throw");
    _VM_throw(java::lang::RuntimeException::create()->construct());
}

std::vector<std::string> reports;
void keepReport(const char* text) { reports.emplace_back(text); }

}  // namespace

class VMRuntimeTest : public VMTest {};

TEST_F(VMRuntimeTest, EventsFollowMaskAndPriorityLists) {
    VM_ONCE_PER_PROCESS("listeners stay registered");
    heard.clear();
    // Event type 20 is used by this test alone.
    const uint32_t mask = 1u << 20;
    ASSERT_NE(_VM_addEventListener(record<2>, mask, 2), nullptr);
    _VM_addEventListener(record<1>, mask, 1);
    _VM_addEventListener(record<0>, mask, 0);
    _VM_addEventListener(record<3>, mask, 3);
    _VM_addEventListener(record<9>, mask, -1);
    _VM_addEventListener(record<5>, 1u << 21, 0);  // another type
    _VM_addEventListener(nullptr, mask, 0);        // no callback: skipped

    const intptr_t args[] = {7, -8};
    EXPECT_EQ(_VM_dispatchEvent(20, 2, args), 0);
    EXPECT_EQ(heard, (std::vector<std::string>{"0:20,7,-8", "1:20,7,-8", "3:20,7,-8", "9:20,7,-8", "2:20,7,-8"}));

    // Types of 32 and above, and negative types, reach no listener whatever the masks.
    heard.clear();
    _VM_addEventListener(record<6>, 0xFFFFFFFFu, 1);
    EXPECT_EQ(_VM_dispatchEvent(40, 0, nullptr), 0);
    EXPECT_EQ(_VM_dispatchEvent(32, 0, nullptr), 0);
    EXPECT_EQ(_VM_dispatchEvent(-1, 0, nullptr), 0);
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(_VM_dispatchEvent(31, 0, nullptr), 0);
    EXPECT_EQ(heard, std::vector<std::string>{"6:31"});
}

TEST_F(VMRuntimeTest, AThrowingListenerEndsThatDispatchOnly) {
    VM_ONCE_PER_PROCESS("listeners stay registered");
    heard.clear();
    const uint32_t mask = 1u << 22;
    _VM_addEventListener(record<0>, mask, 0);
    _VM_addEventListener(throwing, mask, 1);
    _VM_addEventListener(record<2>, mask, 2);
    EXPECT_EQ(_VM_dispatchEvent(22, 0, nullptr), 2);
    // (A catch-all listener of another test, in list 1 before the thrower,
    // may have heard it too.)
    std::erase(heard, std::string("6:22"));
    EXPECT_EQ(heard, (std::vector<std::string>{"0:22", "throw"}));
    // The next event is dispatched normally.
    heard.clear();
    _VM_addEventListener(record<4>, 1u << 23, 0);
    EXPECT_EQ(_VM_dispatchEvent(23, 0, nullptr), 0);
    std::erase(heard, std::string("6:23"));
    EXPECT_EQ(heard, std::vector<std::string>{"4:23"});
}

TEST_F(VMRuntimeTest, DestroyEventRequestsExit) {
    _VM_runtime->exitRequested = false;
    EXPECT_EQ(HAL_hostCallbacks().dispatchEvent(3, 0, nullptr), 0);
    EXPECT_TRUE(_VM_runtime->exitRequested);
    _VM_runtime->exitRequested = false;
}

TEST_F(VMRuntimeTest, RuntimePropertiesAnswerTheirKeys) {
    VMStringMap* table = _VM_runtimeProperties();
    ASSERT_EQ(table, _VM_runtimeProperties());
    auto get = [&](const char* key) {
        const char* value = _VM_getRuntimeProperty(table, key);
        return std::string(value ? value : "<null>");
    };
    EXPECT_EQ(get("microedition.configuration"), "CLDC-1.1");
    EXPECT_EQ(get("microedition.platform"), "TarselSorrel/PLATFORM_BRIDGE_VERSION");
    EXPECT_EQ(get("microedition.encoding"), "UTF-8");
    EXPECT_EQ(get("microedition.profiles"), "MIDP-2.0");
    EXPECT_NE(get("microedition.locale"), "<null>");
    EXPECT_EQ(get("microedition.commports"), "");
    EXPECT_EQ(get("microedition.hostname"), "");
    EXPECT_EQ(get("javax.microedition.io.Connector.protocolpath"), "com.tarsel.sorrel.midp.io.protocol");
    EXPECT_EQ(get("com.tarsel.sorrel.software.version"), "PLATFORM_BRIDGE_VERSION");
    EXPECT_EQ(get("com.tarsel.sorrel.hal.platform"), "WindowsMobile");
    EXPECT_EQ(get("com.tarsel.sorrel.hal.version"), "1");
    EXPECT_EQ(get("no.such.key"), "<null>");
    EXPECT_EQ(_VM_getRuntimeProperty(table, nullptr), nullptr);

    std::string id = get("com.tarsel.sorrel.hal.uniqueid");
    ASSERT_EQ(id.size(), 44u);
    EXPECT_EQ(id.substr(0, 4), "Wind");
    char16_t digits[40];
    int32_t n = 40;
    ASSERT_EQ(HAL_getDeviceId(digits, &n), 0);
    EXPECT_EQ(id.substr(4), std::string(digits, digits + 40));
}

TEST_F(VMRuntimeTest, DuplicatePropertyIsFatal) {
    EXPECT_EXIT(_VM_addRuntimeProperty(_VM_runtimeProperties(), "microedition.encoding", "x"),
                ::testing::ExitedWithCode(1), "");
}

// --- boot ---------------------------------------------------------------------------

TEST(VMRuntimeBoot, RunsTheBootClassEntryPoint) {
    EXPECT_EXIT(
        {
            int status = bootWith("vmruntimetest.Boot", 42);
            bool ok = status == 0 && Boot::entered == 1 && Boot::argument == 42 &&
                      Boot::stageAtEntry == VM_STAGE_BOOT_CLASS && Boot::initialisedBeforeEntry &&
                      _VM_runtime->collectionCount == 1 && _VM_runtime->mainThread == VMThread::current();
            std::_Exit(ok ? 0 : 10 + status);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(VMRuntimeBoot, ResultsForMissingAndFailingBootClasses) {
    EXPECT_EXIT(std::_Exit(bootWith(nullptr)), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(std::_Exit(bootWith("no.such.Class")), ::testing::ExitedWithCode(2), "");
    EXPECT_EXIT(std::_Exit(bootWith("vmruntimetest.NoEntry")), ::testing::ExitedWithCode(2), "");
    EXPECT_EXIT(
        {
            Boot::throwFromEntry = true;
            std::_Exit(bootWith("vmruntimetest.Boot"));
        },
        ::testing::ExitedWithCode(2), "");
}

// --- shutdown -------------------------------------------------------------------------

namespace {

// Starts a runtime thread running body; the runnable is kept by the thread.
VMThread* startThread(std::function<void()> body) {
    VMPtr<Task> runnable = Task::create();
    runnable->body = std::move(body);
    auto* thread = new VMThread(runnable.get());
    thread->start();
    VMThread::yield();
    return thread;
}

// Shuts down and destroys the runtime; the exit code says how long it took
// (in 50 ms units) and how many reports it made (times 100).
[[noreturn]] void shutdownAndExit() {
    _VM_setDiagnosticSink(keepReport);
    uint64_t start = HAL_getTickCount();
    HAL_hostCallbacks().destroyRuntime();
    uint64_t elapsed = HAL_getTickCount() - start;
    bool gone = _VM_runtime == nullptr;
    // Give a thread left behind the chance to come back into the runtime: it
    // must stay parked rather than touch what was destroyed.
    HAL_leaveVMLock();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    std::_Exit(gone ? static_cast<int>(reports.size() * 10 + std::min<uint64_t>(elapsed / 100, 9)) : 99);
}

}  // namespace

TEST(VMRuntimeShutdown, WithOnlyTheMainThreadReturnsAtOnce) {
    EXPECT_EXIT(
        {
            bootWith(nullptr);
            shutdownAndExit();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(VMRuntimeShutdown, ThreadsThatEndedAreJoined) {
    // One thread ended long before, one ends while shutdown waits: neither
    // platform thread is left unjoined behind the runtime.
    EXPECT_EXIT(
        {
            const int before = HAL_unjoinedThreadCount();
            bootWith(nullptr);
            VMThread* quick = startThread([] {});
            startThread([] { VMThread::sleep(VMThread::current(), 30); });
            while (!HAL_isThreadFinished(quick->platformThread)) VMThread::sleep(VMThread::current(), 1);
            const bool made = HAL_unjoinedThreadCount() >= before + 2;
            HAL_hostCallbacks().destroyRuntime();
            std::_Exit(made ? HAL_unjoinedThreadCount() - before : 99);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(VMRuntimeShutdown, InterruptsThreadsThatDoNotStop) {
    // The thread ends at its first interrupt: two reports, about 250 ms.
    EXPECT_EXIT(
        {
            bootWith(nullptr);
            startThread([] {
                try {
                    for (;;) VMThread::sleep(VMThread::current(), 10);
                } catch (java::lang::InterruptedException*) {}
            });
            shutdownAndExit();
        },
        ::testing::ExitedWithCode(22), "");
}

TEST(VMRuntimeShutdown, GivesUpOnThreadsThatIgnoreInterruptAndCancel) {
    // All five reports after 250 + 250 + 100 ms; the stubborn thread is left
    // behind and never runs against the destroyed runtime.
    EXPECT_EXIT(
        {
            bootWith(nullptr);
            startThread([] {
                for (;;) {
                    try {
                        VMThread::sleep(VMThread::current(), 10);
                    } catch (java::lang::InterruptedException*) {}
                }
            });
            shutdownAndExit();
            // (exits inside)
        },
        ::testing::ExitedWithCode(56), "");
}
