// Linux stand-ins for the phone platform's system calls.
#include "ce.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>

namespace ce {

// --- locale ------------------------------------------------------------------

namespace {

struct LocaleCode {
    const char* name;  // language, or language_TERRITORY
    const char* code;
};

// Language identifiers of the locales this system tells apart, and the
// common neighbours that must not be mistaken for them.
const LocaleCode kLocaleCodes[] = {
    {"it_IT", "0410"}, {"it_CH", "0810"}, {"it", "0410"},
    {"fr_FR", "040C"}, {"fr_BE", "080C"}, {"fr_CA", "0C0C"}, {"fr_CH", "100C"}, {"fr", "040C"},
    {"pt_PT", "0816"}, {"pt_BR", "0416"}, {"pt", "0816"},
    {"de_DE", "0407"}, {"de_CH", "0807"}, {"de_AT", "0C07"}, {"de", "0407"},
    {"es_ES", "0C0A"}, {"es_MX", "080A"}, {"es", "0C0A"},
    {"ru_RU", "0419"}, {"ru", "0419"},
    {"en_GB", "0809"}, {"en_US", "0409"}, {"en", "0409"},
};

}  // namespace

std::u16string LanguageCodeForLocaleName(const char* localeName) {
    std::string name = localeName ? localeName : "";
    // Drop the code set and modifier: "de_DE.UTF-8@euro" -> "de_DE".
    size_t cut = name.find_first_of(".@");
    if (cut != std::string::npos) name.resize(cut);
    std::string language = name.substr(0, name.find('_'));
    const char* found = nullptr;
    for (const LocaleCode& entry : kLocaleCodes) {
        if (name == entry.name) {
            found = entry.code;
            break;
        }
    }
    if (!found) {
        for (const LocaleCode& entry : kLocaleCodes) {
            if (language == entry.name) {
                found = entry.code;
                break;
            }
        }
    }
    if (!found) found = "0409";
    return std::u16string(found, found + std::strlen(found));
}

bool GetLocaleLanguageCode(std::u16string* code) {
    if (!code) return false;
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    *code = LanguageCodeForLocaleName(name);
    return true;
}

// --- device identity ------------------------------------------------------------

namespace {

uint32_t rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

std::string machineId() {
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        std::ifstream in(path);
        std::string id;
        if (in && std::getline(in, id) && !id.empty()) return id;
    }
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0 && host[0]) return host;
    return "vessilo";
}

}  // namespace

void Sha1(const uint8_t* data, size_t length, uint8_t digest[20]) {
    uint32_t h[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
    // Message plus 0x80, zero padding and the 64-bit bit length.
    std::string message(reinterpret_cast<const char*>(data), length);
    message.push_back(static_cast<char>(0x80));
    while (message.size() % 64 != 56) message.push_back('\0');
    uint64_t bits = static_cast<uint64_t>(length) * 8;
    for (int i = 7; i >= 0; --i) message.push_back(static_cast<char>(bits >> (i * 8)));

    for (size_t chunk = 0; chunk < message.size(); chunk += 64) {
        uint32_t w[80];
        for (int i = 0; i < 16; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(message.data() + chunk + i * 4);
            w[i] = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
        }
        for (int i = 16; i < 80; ++i) w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            uint32_t f, k;
            if (i < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999u;
            } else if (i < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1u;
            } else if (i < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDCu;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6u;
            }
            uint32_t t = rotl(a, 5) + f + e + k + w[i];
            e = d;
            d = c;
            c = rotl(b, 30);
            b = a;
            a = t;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    }
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 4; ++j) digest[i * 4 + j] = static_cast<uint8_t>(h[i] >> (24 - j * 8));
    }
}

bool GetDeviceUniqueID(const uint8_t* appData, size_t appDataLength, uint32_t version, uint8_t* output,
                       size_t* outputLength) {
    if (!appData || appDataLength == 0 || !output || !outputLength) return false;
    std::string input = machineId();
    input.append(reinterpret_cast<const char*>(appData), appDataLength);
    for (int i = 0; i < 4; ++i) input.push_back(static_cast<char>(version >> (i * 8)));
    uint8_t digest[20];
    Sha1(reinterpret_cast<const uint8_t*>(input.data()), input.size(), digest);
    size_t n = *outputLength < sizeof digest ? *outputLength : sizeof digest;
    std::memcpy(output, digest, n);
    *outputLength = sizeof digest;
    return true;
}

// --- window messages -------------------------------------------------------------

namespace {

struct PostedMessage {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

std::mutex g_messageMutex;
std::deque<PostedMessage> g_messages;
bool g_mainWindowExists = false;

}  // namespace

bool PostMainWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    std::lock_guard<std::mutex> guard(g_messageMutex);
    if (!g_mainWindowExists) return false;
    g_messages.push_back({message, wParam, lParam});
    return true;
}

bool TakeMainWindowMessage(uint32_t* message, uintptr_t* wParam, intptr_t* lParam) {
    std::lock_guard<std::mutex> guard(g_messageMutex);
    if (g_messages.empty()) return false;
    PostedMessage front = g_messages.front();
    g_messages.pop_front();
    if (message) *message = front.message;
    if (wParam) *wParam = front.wParam;
    if (lParam) *lParam = front.lParam;
    return true;
}

void SetMainWindowExists(bool exists) {
    std::lock_guard<std::mutex> guard(g_messageMutex);
    g_mainWindowExists = exists;
    if (!exists) g_messages.clear();
}

// --- idle timer and power registry -------------------------------------------------

namespace {

std::mutex g_powerMutex;
uint32_t g_powerTimeouts[static_cast<int>(PowerValue::Count)] = {};
uint32_t g_idleTimerPeriod = 0;
uint64_t g_idleResets = 0;

}  // namespace

void SetPowerTimeout(PowerValue value, uint32_t seconds) {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    g_powerTimeouts[static_cast<int>(value)] = seconds;
}

bool QueryPowerTimeout(PowerValue value, uint32_t* seconds) {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    uint32_t v = g_powerTimeouts[static_cast<int>(value)];
    if (v == 0 || !seconds) return false;
    *seconds = v;
    return true;
}

void SetIdleTimer(uint32_t periodMs) {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    g_idleTimerPeriod = periodMs;
}

void KillIdleTimer() { SetIdleTimer(0); }

uint32_t IdleTimerPeriod() {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    return g_idleTimerPeriod;
}

void SystemIdleTimerReset() {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    ++g_idleResets;
}

uint64_t SystemIdleTimerResetCount() {
    std::lock_guard<std::mutex> guard(g_powerMutex);
    return g_idleResets;
}

// --- display orientation ---------------------------------------------------------

namespace {
std::mutex g_orientationMutex;
int g_orientation = 0;
}  // namespace

int GetDisplayOrientation() {
    std::lock_guard<std::mutex> guard(g_orientationMutex);
    return g_orientation;
}

bool SetDisplayOrientation(int platformCode) {
    if (platformCode < 0 || platformCode > 4) return false;
    std::lock_guard<std::mutex> guard(g_orientationMutex);
    g_orientation = platformCode;
    return true;
}

// --- shell ---------------------------------------------------------------------

namespace {
std::mutex g_urlMutex;
std::u16string g_pendingURL;
}  // namespace

void SetPendingURL(const std::u16string& url) {
    std::lock_guard<std::mutex> guard(g_urlMutex);
    g_pendingURL = url;
}

std::u16string PendingURL() {
    std::lock_guard<std::mutex> guard(g_urlMutex);
    return g_pendingURL;
}

}  // namespace ce
