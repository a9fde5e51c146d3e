// Audio: the time from a player's start to its first audible sample in the
// mixed output (target: at most 30 ms for WAV and for MIDI), and the cost of
// mixing eight playing WAV players (target: at most 2% of one core).
//
// The latency is measured on the output the program would use (an SDL audio
// device, or the clock-driven sink when there is none, as under
// SDL_AUDIODRIVER=dummy): from HAL_startPlayer to the moment the mixer hands
// the first non-zero sample on.
#include <benchmark/benchmark.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "ce_waveout.h"
#include "hal_audio.h"
#include "sound_files.h"

namespace {

using Clock = std::chrono::steady_clock;

struct FirstSound {
    std::atomic<bool> armed{false};
    std::atomic<int64_t> heardAt{0};  // steady-clock nanoseconds
};

void listen(void* context, const int16_t* frames, size_t count) {
    auto* first = static_cast<FirstSound*>(context);
    if (!first->armed.load()) return;
    for (size_t i = 0; i < count * 2; ++i) {
        if (frames[i] != 0) {
            first->heardAt = Clock::now().time_since_epoch().count();
            first->armed = false;
            return;
        }
    }
}

void measureStartLatency(benchmark::State& state, const soundfiles::Bytes& file, int32_t contentCode) {
    ce::WaveOutSetManualClock(false);
    HAL_Player* player = nullptr;
    if (HAL_createPlayerWithData(&player, file.data(), int32_t(file.size()), contentCode, 0) != HAL_OK) {
        state.SkipWithError("the player cannot be made");
        return;
    }
    FirstSound first;
    ce::WaveOutSetCaptureHook(listen, &first);
    double worst = 0;
    for (auto _ : state) {
        first.armed = true;
        const auto start = Clock::now();
        HAL_startPlayer(player);
        while (first.armed.load() && Clock::now() - start < std::chrono::seconds(2))
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        if (first.armed.exchange(false)) {
            state.SkipWithError("no sound within 2 s");
            break;
        }
        double seconds = double(first.heardAt.load() - start.time_since_epoch().count()) * 1e-9;
        state.SetIterationTime(seconds);
        worst = std::max(worst, seconds);
        HAL_stopPlayer(player);
    }
    ce::WaveOutSetCaptureHook(nullptr, nullptr);
    state.counters["worst_ms"] = worst * 1000;
    state.SetLabel(ce::WaveOutOutputName());
    HAL_closePlayer(player);
}

void BM_WavStartToFirstSample(benchmark::State& state) {
    measureStartLatency(state, soundfiles::wav(soundfiles::samples16(soundfiles::toneStereo(44100))), HAL_CONTENT_WAV);
}
BENCHMARK(BM_WavStartToFirstSample)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// A sound the mixer converts (11.025 kHz, 8-bit mono): the resampler's
// look-ahead must not delay it.
void BM_ConvertedWavStartToFirstSample(benchmark::State& state) {
    measureStartLatency(state, soundfiles::wav(soundfiles::Bytes(11025, 0xC0), 1, 11025, 8), HAL_CONTENT_WAV);
}
BENCHMARK(BM_ConvertedWavStartToFirstSample)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_MidiStartToFirstSample(benchmark::State& state) {
    if (!ce::WaveOutHasSoundFont()) {
        state.SkipWithError("no General MIDI soundfont installed (timgm6mb-soundfont)");
        return;
    }
    measureStartLatency(state, soundfiles::midi(480, {soundfiles::noteTrack(60, 2000)}), HAL_CONTENT_MIDI);
}
BENCHMARK(BM_MidiStartToFirstSample)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Eight looping WAV players of the formats a game ships (44.1 kHz stereo, and
// 22.05 and 11.025 kHz mono that the mixer converts), mixed one second of
// output per iteration on this thread.
void BM_MixEightWavPlayers(benchmark::State& state) {
    if (!ce::WaveOutSetManualClock(true)) {
        state.SkipWithError("devices are open");
        return;
    }
    struct Format {
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
    };
    const Format formats[8] = {{2, 44100, 16}, {2, 44100, 16}, {2, 44100, 16}, {2, 44100, 16},
                               {1, 22050, 16}, {1, 22050, 16}, {1, 11025, 8},  {1, 11025, 8}};
    std::vector<HAL_Player*> players;
    for (const Format& f : formats) {
        soundfiles::Bytes samples(size_t(f.rate) * f.channels * f.bits / 8 * 2, 0x40);  // two seconds
        soundfiles::Bytes file = soundfiles::wav(samples, f.channels, f.rate, f.bits);
        HAL_Player* player = nullptr;
        if (HAL_createPlayerWithData(&player, file.data(), int32_t(file.size()), HAL_CONTENT_WAV, -1) != HAL_OK) {
            state.SkipWithError("a player cannot be made");
            break;
        }
        HAL_startPlayer(player);
        players.push_back(player);
    }
    std::vector<int16_t> out(size_t(ce::kWaveOutRate) * 2);
    double cpu = 0;
    for (auto _ : state) {
        const double before = threadCpuSeconds();
        ce::WaveOutRender(out.data(), ce::kWaveOutRate);  // one second of output
        cpu += threadCpuSeconds() - before;
    }
    state.counters["core_share_percent"] = state.iterations() ? cpu / double(state.iterations()) * 100 : 0;
    for (HAL_Player* player : players) HAL_closePlayer(player);
    ce::WaveOutSetManualClock(false);
}
BENCHMARK(BM_MixEightWavPlayers)->Unit(benchmark::kMillisecond);

}  // namespace
