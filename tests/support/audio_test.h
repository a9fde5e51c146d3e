// Audio test support: the mixer driven by hand, its output captured.
#pragma once

#include <dirent.h>

#include <mutex>
#include <vector>

#include "ce_waveout.h"
#include "sound_files.h"

// Collects every mixed frame (interleaved stereo) while it lives.
class AudioCapture {
public:
    AudioCapture() { ce::WaveOutSetCaptureHook(&AudioCapture::hook, this); }
    ~AudioCapture() { ce::WaveOutSetCaptureHook(nullptr, nullptr); }
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    // Everything captured so far, and forgets it.
    std::vector<int16_t> take() {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<int16_t> out;
        out.swap(samples_);
        return out;
    }
    // Mixes frames by hand (manual clock) and returns what came out.
    std::vector<int16_t> render(size_t frames) {
        take();
        ce::WaveOutRender(nullptr, frames);
        return take();
    }

private:
    static void hook(void* context, const int16_t* frames, size_t count) {
        auto* self = static_cast<AudioCapture*>(context);
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->samples_.insert(self->samples_.end(), frames, frames + count * 2);
    }
    std::mutex mutex_;
    std::vector<int16_t> samples_;
};

inline size_t nonZeroSamples(const std::vector<int16_t>& samples) {
    size_t n = 0;
    for (int16_t s : samples) n += s != 0;
    return n;
}

// The process's thread count.
inline int threadCount() {
    int n = 0;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (dirent* entry = ::readdir(dir)) n += entry->d_name[0] != '.';
        ::closedir(dir);
    }
    return n;
}
