// Crash tests: a child process forked from the test writes versions of some
// data in a loop and is killed at a random moment, again and again. The
// child tells the parent each write it begins and each it finishes, so that
// after the kill the parent knows which versions may stand.
//
// The child is a fork of the test process: it may use whatever the test set
// up (a booted runtime included, on the thread that holds its lock), and ends
// with _exit, never returning into the test.
#pragma once

#include <cstdint>
#include <functional>
#include <random>

class WriteKiller {
public:
    // What the child passes its writes to.
    class Reporter {
    public:
        void begin(int32_t version) { send(version, false); }
        void done(int32_t version) { send(version, true); }

    private:
        friend class WriteKiller;
        explicit Reporter(int fd) : fd_(fd) {}
        void send(int32_t version, bool finished);
        int fd_;
    };

    struct Outcome {
        bool killed = false;  // false: the child ended by itself (a failure)
        int exitCode = 0;     // its exit code when it ended by itself
        int32_t begun = -1;   // the write begun and not finished, or -1
        int32_t done = -1;    // the last write finished, or -1
    };

    explicit WriteKiller(uint32_t seed) : random_(seed) {}

    // Forks a child that runs writer (which should loop; the child ends with
    // exit code 5 when it returns, and after 20 s of writing at most) and
    // kills it: one time in ten anywhere from its start, otherwise within
    // about three writes' time of its first write (however long writes take
    // on this disk).
    Outcome killOnce(const std::function<void(Reporter&)>& writer);

    // Runs body in a forked child and returns its exit code (-1 when it did
    // not exit normally).
    static int runInChild(const std::function<int()>& body);

private:
    std::mt19937 random_;
    double writeMicros_ = 3000;  // how long a write takes, as seen so far
};
