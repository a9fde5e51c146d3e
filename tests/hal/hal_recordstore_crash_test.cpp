// A child process adds and replaces records in a loop and is killed at a
// random moment, again and again. After every kill the store must open, hold
// every record whose write the child saw complete, and hold each record's old
// or new content, never a mixture or nothing.
//
// Runs only in plain builds: under the sanitizers or the collector's stress
// mode it would only take longer to prove the same.
#include "hal_recordstore.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "hal_system.h"
#include "hal_thread.h"
#include "program_dir.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VESSILO_CRASH_TEST_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VESSILO_CRASH_TEST_SANITIZED 1
#endif

namespace {

constexpr int kKills = 200;
constexpr char16_t kName[] = u"crash";
constexpr int32_t kNameLength = 5;

// The content of a record at one of its versions: its length varies, and
// every byte depends on the id and the version.
std::string contentOf(int32_t id, uint32_t version) {
    std::string content = std::to_string(id) + ":" + std::to_string(version) + ":";
    const size_t length = (uint32_t(id) * 2654435761u + version * 40503u) % 300;
    for (size_t i = 0; i < length; ++i) content += char('a' + (id + version + i) % 26);
    return content;
}

// What the child tells the parent: the write it starts, then that it ended.
struct Message {
    char kind;  // 'a' add begins, 'A' add done, 's' replace begins, 'S' replace done
    int32_t id;
    uint32_t version;
};

[[noreturn]] void childLoop(int out, std::map<int32_t, uint32_t> versions, uint32_t seed) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    NativeRecordStore* store = nullptr;
    if (HAL_openRecordStore(&store, kName, kNameLength, 1) != HAL_OK) ::_exit(2);
    std::mt19937 random(seed);
    std::vector<int32_t> ids;
    for (const auto& entry : versions) ids.push_back(entry.first);
    const time_t deadline = ::time(nullptr) + 20;  // never outlive a broken parent for long
    while (::time(nullptr) < deadline) {
        Message message{};
        if (ids.size() < 8 || random() % 3 == 0) {
            int32_t next = 0;
            HAL_getNextRecordID(store, &next);
            message = {'a', next, 0};
        } else {
            const int32_t id = ids[random() % ids.size()];
            message = {'s', id, versions[id] + 1};
        }
        if (::write(out, &message, sizeof message) != sizeof message) ::_exit(3);
        const std::string content = contentOf(message.id, message.version);
        int32_t added = 0;
        int status = message.kind == 'a' ? HAL_addRecord(store, &added, content.data(), int32_t(content.size()))
                                         : HAL_setRecord(store, message.id, content.data(), int32_t(content.size()));
        if (status != HAL_OK || (message.kind == 'a' && added != message.id)) ::_exit(4);
        if (message.kind == 'a') ids.push_back(added);
        versions[message.id] = message.version;
        message.kind = char(message.kind - 'a' + 'A');
        if (::write(out, &message, sizeof message) != sizeof message) ::_exit(3);
    }
    ::_exit(5);
}

TEST(HalRecordStoreCrashTest, KilledWritersLeaveOldOrNewContentAndLoseNoCommittedRecord) {
#if defined(VESSILO_CRASH_TEST_SANITIZED)
    GTEST_SKIP() << "runs in the plain build";
#endif
    if (const char* stress = std::getenv("VESSILO_GC_STRESS"); stress != nullptr && stress[0] != 0 && stress[0] != '0')
        GTEST_SKIP() << "runs without the collector's stress mode";
    TempProgramDir dir("hal_recordstore_crash");
    ::unsetenv("VESSILO_DATABASE_DIR");
    const std::string folder = dir.root() + "database/store-crash/";
    std::map<int32_t, uint32_t> versions;  // every record the child saw written, at its version
    std::mt19937 random(12345);
    int interruptedAdds = 0, interruptedReplaces = 0;
    int writes = 0;             // completed by all children
    double writeMicros = 3000;  // how long a write takes, as seen so far

    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const uint32_t seed = uint32_t(random());
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            childLoop(pipeEnds[1], versions, seed);
        }
        ::close(pipeEnds[1]);
        // One kill in ten lands anywhere from the start, opening included;
        // the others once the child has begun to write, within about three
        // writes' time (however slow the disk is today).
        std::optional<Message> pending;
        Message message;
        auto take = [&](const Message& m) {
            if (m.kind == 'a' || m.kind == 's') {
                pending = m;
            } else {
                versions[m.id] = m.version;
                pending.reset();
                ++writes;
            }
        };
        const uint64_t start = HAL_getTickCount();
        if (random() % 10 != 0 && ::read(pipeEnds[0], &message, sizeof message) == sizeof message) take(message);
        const uint64_t writing = HAL_getTickCount();
        const long window = std::clamp(long(3 * writeMicros), 1000L, 100000L);
        struct timespec pause = {0, long(random() % uint32_t(window)) * 1000};
        ::nanosleep(&pause, nullptr);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself with " << WEXITSTATUS(status);
        const int writesBefore = writes;
        while (::read(pipeEnds[0], &message, sizeof message) == sizeof message) take(message);
        ::close(pipeEnds[0]);
        if (writes > writesBefore && start <= writing)
            writeMicros = (writeMicros + double(HAL_getTickCount() - writing) * 1000.0 / (writes - writesBefore)) / 2;

        NativeRecordStore* store = nullptr;
        if (versions.empty() && !std::filesystem::exists(folder)) continue;  // killed before the folder was made
        ASSERT_EQ(HAL_openRecordStore(&store, kName, kNameLength, 0), HAL_OK);
        int32_t count = 0;
        ASSERT_EQ(HAL_getNumRecords(store, &count), HAL_OK);
        std::map<int32_t, std::string> found;
        for (int32_t n = 1; n <= count; ++n) {
            int32_t id = 0;
            ASSERT_EQ(HAL_getNthRecordID(store, n, &id), HAL_OK);
            char buffer[512];
            int32_t length = sizeof buffer;
            ASSERT_EQ(HAL_getRecord(store, id, buffer, &length), HAL_OK);
            found[id] = std::string(buffer, size_t(length));
        }
        int32_t nextId = 0;
        HAL_getNextRecordID(store, &nextId);
        HAL_closeRecordStore(store);

        if (pending && pending->kind == 'a') {
            ++interruptedAdds;
            auto it = found.find(pending->id);
            if (it != found.end()) {
                EXPECT_EQ(it->second, contentOf(pending->id, 0)) << "half an add of record " << pending->id;
                versions[pending->id] = 0;
            }
        }
        if (pending && pending->kind == 's') {
            ++interruptedReplaces;
            const std::string& now = found[pending->id];
            if (now == contentOf(pending->id, pending->version)) {
                versions[pending->id] = pending->version;
            } else {
                EXPECT_EQ(now, contentOf(pending->id, versions[pending->id])) << "torn record " << pending->id;
            }
        }
        ASSERT_EQ(found.size(), versions.size());
        for (const auto& [id, version] : versions) {
            ASSERT_EQ(found.count(id), 1u) << "committed record " << id << " lost";
            EXPECT_EQ(found[id], contentOf(id, version)) << "record " << id;
            EXPECT_GT(nextId, id);
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    }
    // The kills landed inside adds and replaces, not only between them.
    EXPECT_GT(interruptedAdds, kKills / 10);
    EXPECT_GT(interruptedReplaces, kKills / 10);
    EXPECT_GT(versions.size(), 8u);
}

}  // namespace
