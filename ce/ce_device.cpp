// Device identity and memory status.
#include "ce_device.h"

#include <sys/sysinfo.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "ce_hash.h"

namespace ce {

namespace {

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

// --- memory status ---------------------------------------------------------------

namespace {

constexpr uint64_t kMegabyte = 1024 * 1024;
constexpr uint64_t kDefaultLimit = 128 * kMegabyte;

uint64_t memoryLimit() {
    const char* value = std::getenv("VESSILO_MEMORY_MB");
    if (value && *value) {
        char* end = nullptr;
        long megabytes = std::strtol(value, &end, 10);
        if (end && *end == 0 && megabytes >= 1 && megabytes <= 4095)
            return static_cast<uint64_t>(megabytes) * kMegabyte;
    }
    return kDefaultLimit;
}

DWORD clampToDword(uint64_t value) { return static_cast<DWORD>(std::min<uint64_t>(value, 0xFFFFFFFFu)); }

}  // namespace

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (!status) return;
    const uint64_t limit = memoryLimit();
    uint64_t totalPhys = limit, availPhys = limit;
    struct sysinfo info;
    if (::sysinfo(&info) == 0) {
        const uint64_t unit = info.mem_unit ? info.mem_unit : 1;
        totalPhys = std::min<uint64_t>(static_cast<uint64_t>(info.totalram) * unit, limit);
        availPhys = std::min<uint64_t>(static_cast<uint64_t>(info.freeram + info.bufferram) * unit, limit);
    }
    *status = MEMORYSTATUS{};
    status->dwTotalPhys = clampToDword(totalPhys);
    status->dwAvailPhys = clampToDword(availPhys);
    status->dwMemoryLoad = totalPhys ? static_cast<DWORD>(100 - availPhys * 100 / totalPhys) : 0;
    status->dwTotalVirtual = clampToDword(limit);
    status->dwAvailVirtual = clampToDword(limit);
}

}  // namespace ce
