#include "write_killer.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace {

struct Message {
    int32_t version;
    int32_t finished;
};

int64_t micros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void WriteKiller::Reporter::send(int32_t version, bool finished) {
    const Message message{version, finished ? 1 : 0};
    if (::write(fd_, &message, sizeof message) != sizeof message) ::_exit(3);
}

WriteKiller::Outcome WriteKiller::killOnce(const std::function<void(Reporter&)>& writer) {
    Outcome outcome;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return outcome;
    const pid_t child = ::fork();
    if (child < 0) return outcome;
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::close(pipeEnds[0]);
        ::alarm(20);  // never outlive a broken parent for long
        Reporter reporter(pipeEnds[1]);
        writer(reporter);
        ::_exit(5);
    }
    ::close(pipeEnds[1]);
    int writes = 0;
    auto take = [&](const Message& m) {
        if (m.finished) {
            outcome.done = m.version;
            outcome.begun = -1;
            ++writes;
        } else {
            outcome.begun = m.version;
        }
    };
    Message message;
    const int64_t start = micros();
    bool writing = false;
    if (random_() % 10 != 0 && ::read(pipeEnds[0], &message, sizeof message) == sizeof message) {
        take(message);
        writing = true;
    }
    const int64_t writingAt = micros();
    const long window = std::clamp(long(3 * writeMicros_), 1000L, 100000L);
    struct timespec pause = {0, long(random_() % uint32_t(window)) * 1000};
    ::nanosleep(&pause, nullptr);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.killed = WIFSIGNALED(status);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    const int writesBefore = writes;
    while (::read(pipeEnds[0], &message, sizeof message) == sizeof message) take(message);
    ::close(pipeEnds[0]);
    if (writing && writes > writesBefore && start <= writingAt)
        writeMicros_ = (writeMicros_ + double(micros() - writingAt) / (writes - writesBefore)) / 2;
    return outcome;
}

int WriteKiller::runInChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::alarm(20);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
