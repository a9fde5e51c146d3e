// Platform layer: process-wide services on Linux.
#include "hal_system.h"

#include <malloc.h>
#include <unistd.h>

#ifdef VESSILO_MIMALLOC
#include <mimalloc.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>

#include "ce.h"
#include "ce_time.h"
#include "hal_message.h"

namespace {

// --- host callbacks ------------------------------------------------------------
HAL_HostCallbacks g_callbacks;
std::mutex g_callbacksMutex;
// The enter callback runs at every switch point, so it is read without the mutex.
std::atomic<void* (*)()> g_enterCallback{nullptr};

// --- fatal stop ----------------------------------------------------------------
std::atomic<HAL_FatalHook> g_fatalHook{nullptr};
char g_lastFatalMessage[512];

// --- memory --------------------------------------------------------------------
constexpr size_t kReserveSize = 64 * 1024;
constexpr size_t kHeaderSize = 16;  // keeps the caller's block 16-byte aligned
// No allocator hands out more than this; larger requests fail at once.
constexpr size_t kLargestBlock = static_cast<size_t>(std::numeric_limits<ptrdiff_t>::max());
std::atomic<void*> g_reserve{nullptr};
// Compaction: the most in use seen at a compaction request since the last
// compaction, and how often memory was given back.
constexpr uint64_t kCompactionMinimum = uint64_t(8) << 20;
uint64_t g_compactionHigh = 0;
std::atomic<uint32_t> g_compactions{0};

#ifdef VESSILO_MIMALLOC
// Blocks freed by a collection are handed out again by the allocations that
// follow it. Left to itself the allocator gives their pages back to the
// system after 25 ms, and every page taken again then costs a fault that
// clears it: most of the system time of an allocating program. Pages stay
// for some seconds instead; HAL_compactHeap gives memory back at once when
// the heap has shrunk.
//
// The collector walks lists that run through the whole heap: backed by 2 MB
// pages where the system allows them, those walks miss the address
// translation cache far less often. (The first fault on such a page can wait
// while the system assembles one; faults are rare once freed pages stay.)
[[maybe_unused]] const bool g_allocatorTuned = [] {
    mi_option_set(mi_option_decommit_delay, 5000);
    mi_option_set(mi_option_segment_decommit_delay, 5000);
    mi_option_enable(mi_option_large_os_pages);
    return true;
}();
#endif

void addBlockBytes(uint64_t n) {
    HAL_blockBytes.store(HAL_blockBytes.load(std::memory_order_relaxed) + n, std::memory_order_relaxed);
}

// --- program directory ---------------------------------------------------------
std::mutex g_dirMutex;
std::string g_dirOverride;
bool g_hasDirOverride = false;

std::string defaultProgramDirectory() {
    std::string path(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return "./";
    path.resize(static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "./";
    path.resize(slash + 1);
    return path;
}

}  // namespace

std::atomic<uint64_t> HAL_platformBytes{0};
// Bytes in blocks of HAL_allocReleasingReserve. The runtime allocates and
// frees them holding the runtime lock, so a plain add (no locked
// read-modify-write) keeps the count.
std::atomic<uint64_t> HAL_blockBytes{0};

// --- host callbacks --------------------------------------------------------------

void HAL_setHostCallbacks(const HAL_HostCallbacks* callbacks) {
    std::lock_guard<std::mutex> guard(g_callbacksMutex);
    g_callbacks = callbacks ? *callbacks : HAL_HostCallbacks{};
    g_enterCallback.store(g_callbacks.enter);
}

const HAL_HostCallbacks& HAL_hostCallbacks() { return g_callbacks; }

void HAL_hostEnter() {
    if (void* (*enter)() = g_enterCallback.load()) enter();
}

// --- fatal stop ----------------------------------------------------------------

void HAL_fatalError(const char* message) {
    const char* text = message ? message : "";
    std::strncpy(g_lastFatalMessage, text, sizeof g_lastFatalMessage - 1);
    g_lastFatalMessage[sizeof g_lastFatalMessage - 1] = '\0';
    if (HAL_FatalHook hook = g_fatalHook.load()) hook(text);
    std::fflush(stdout);
    // _exit: no exit-time destructor may run while other threads still do.
    ::_exit(1);
}

void HAL_setFatalHook(HAL_FatalHook hook) { g_fatalHook.store(hook); }

const char* HAL_lastFatalMessage() { return g_lastFatalMessage; }

// --- console and identity ----------------------------------------------------------

int HAL_consoleWrite(int ch) {
    unsigned char byte = static_cast<unsigned char>(ch & 0xFF);
    if (std::putchar(byte) == EOF) return HAL_END_OF_DATA;
    if (byte == '\n' && std::fflush(stdout) != 0) return HAL_END_OF_DATA;
    return HAL_OK;
}

int HAL_consoleFlush() { return std::fflush(stdout) == 0 ? HAL_OK : HAL_END_OF_DATA; }

const char* HAL_getPlatformName() { return "WindowsMobile"; }
const char* HAL_getPlatformVersion() { return "1"; }

// --- memory --------------------------------------------------------------------

void HAL_reserveMemory() {
    if (g_reserve.load() != nullptr) return;
    void* block = std::malloc(kReserveSize);
    if (!block) return;
    void* expected = nullptr;
    if (!g_reserve.compare_exchange_strong(expected, block)) std::free(block);
}

void HAL_releaseMemoryReserve() { std::free(g_reserve.exchange(nullptr)); }

bool HAL_hasMemoryReserve() { return g_reserve.load() != nullptr; }

void* HAL_allocReleasingReserve(size_t size, int release) {
    if (release == 1) HAL_releaseMemoryReserve();
    if (size > kLargestBlock) return nullptr;
    return HAL_allocBlockInline(size);
}

void HAL_freeBlock(void* block, size_t size) {
    if (block == nullptr) return;
    addBlockBytes(-uint64_t(size));
    std::free(block);
}

void* HAL_malloc(size_t n) {
    if (n > kLargestBlock - kHeaderSize) return nullptr;  // n + header would not fit
    auto* raw = static_cast<unsigned char*>(std::malloc(n + kHeaderSize));
    if (!raw) return nullptr;
    std::memcpy(raw, &n, sizeof n);
    HAL_platformBytes.fetch_add(static_cast<uint64_t>(n) + kHeaderSize);
    return raw + kHeaderSize;
}

void HAL_free(void* block) {
    if (!block) return;
    unsigned char* raw = static_cast<unsigned char*>(block) - kHeaderSize;
    size_t n;
    std::memcpy(&n, raw, sizeof n);
    HAL_platformBytes.fetch_sub(static_cast<uint64_t>(n) + kHeaderSize);
    std::free(raw);
}

uint64_t HAL_getAllocatedBytes() { return HAL_platformBytes.load(); }

void HAL_compactHeap() {
    const uint64_t inUse = HAL_blockBytes.load(std::memory_order_relaxed) + HAL_platformBytes.load();
    if (inUse > g_compactionHigh) g_compactionHigh = inUse;
    const uint64_t shrunk = g_compactionHigh - inUse;
    if (shrunk < kCompactionMinimum || shrunk < g_compactionHigh / 2) return;
#ifdef VESSILO_MIMALLOC
    mi_collect(true);
#else
    ::malloc_trim(0);
#endif
    g_compactionHigh = inUse;
    g_compactions.fetch_add(1);
}

uint32_t HAL_heapCompactions() { return g_compactions.load(); }

// --- program directory ---------------------------------------------------------

const char* HAL_programDirectory() {
    static const std::string defaultDir = defaultProgramDirectory();
    std::lock_guard<std::mutex> guard(g_dirMutex);
    return g_hasDirOverride ? g_dirOverride.c_str() : defaultDir.c_str();
}

void HAL_setProgramDirectory(const char* dir) {
    std::lock_guard<std::mutex> guard(g_dirMutex);
    if (dir) {
        g_dirOverride = dir;
        g_hasDirOverride = true;
    } else {
        g_dirOverride.clear();
        g_hasDirOverride = false;
    }
}

// --- locale, identity, URL, exit ----------------------------------------------------

char* HAL_getLocale() {
    static const struct {
        const char16_t* code;
        const char* name;
    } kLocales[] = {{u"0410", "it-it"}, {u"040C", "fr-fr"}, {u"0816", "pt-pt"},
                    {u"0407", "de-de"}, {u"0C0A", "es-es"}, {u"0419", "ru"}};
    std::u16string code;
    if (!ce::GetLocaleLanguageCode(&code)) return nullptr;
    const char* name = "en-us";
    for (const auto& entry : kLocales) {
        if (code == entry.code) {
            name = entry.name;
            break;
        }
    }
    size_t n = std::strlen(name);
    auto* copy = static_cast<char*>(HAL_malloc(n + 1));
    if (copy) std::memcpy(copy, name, n + 1);
    return copy;
}

int32_t HAL_getTimeZoneOffset() {
    ce::TimeZoneInformation info;
    int32_t minutesWest;
    switch (ce::GetTimeZoneInformation(&info)) {
        case ce::TIME_ZONE_ID_STANDARD: minutesWest = info.Bias + info.StandardBias; break;
        case ce::TIME_ZONE_ID_DAYLIGHT: minutesWest = info.Bias + info.DaylightBias; break;
        case ce::TIME_ZONE_ID_UNKNOWN: minutesWest = info.Bias; break;
        default: return 0;
    }
    return -minutesWest * 60000;
}

int HAL_getDeviceId(char16_t* characters, int32_t* length) {
    if (!characters || !length) return HAL_BAD_ARGUMENT;
    static const uint8_t kAppData[] = {'W', 'i', 'n', 'C', 'E', '_', 'H', 'A', 'L'};
    uint8_t id[20];
    size_t idLength = sizeof id;
    if (!ce::GetDeviceUniqueID(kAppData, sizeof kAppData, 1, id, &idLength)) return HAL_FAILED;
    if (idLength > sizeof id) idLength = sizeof id;
    static const char kDigits[] = "0123456789abcdef";
    int64_t limit = *length < 0 ? 0 : *length;
    int64_t count = std::min<int64_t>(static_cast<int64_t>(idLength) * 2, limit);
    for (int64_t i = 0; i < count; ++i) {
        uint8_t byte = id[i / 2];
        characters[i] = static_cast<char16_t>(kDigits[(i % 2 == 0) ? (byte >> 4) : (byte & 15)]);
    }
    *length = static_cast<int32_t>(count);
    return HAL_OK;
}

int HAL_openURL(const char16_t* characters, int32_t length, int32_t* mustExit) {
    if (!characters && length > 0) return HAL_BAD_ARGUMENT;
    hostSetPendingURL(length > 0 ? characters : nullptr, length > 0 ? length : 0);
    if (mustExit) *mustExit = 1;
    return HAL_OK;
}

void HAL_setExitStatus(int status) { hostSetExitStatus(status); }

int HAL_requestExit() {
    if (ce::HWND window = HAL_getMainWindow()) ce::PostMessageW(window, HAL_WM_EXIT, 0, 0);
    return HAL_OK;
}
