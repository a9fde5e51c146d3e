// Device identity and memory status.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ce_types.h"

namespace ce {

// A stable identifier of this machine mixed with the application's data:
// the SHA-1 digest of the machine id (/etc/machine-id, or the host name when
// that file is missing), the application data and the version. Writes up to
// *outputLength bytes (20 at most) and sets *outputLength to the digest
// length. False for null arguments or an empty application data.
bool GetDeviceUniqueID(const uint8_t* appData, size_t appDataLength, uint32_t version, uint8_t* output,
                       size_t* outputLength);

struct MEMORYSTATUS {
    DWORD dwLength = sizeof(MEMORYSTATUS);
    DWORD dwMemoryLoad = 0;
    DWORD dwTotalPhys = 0;
    DWORD dwAvailPhys = 0;
    DWORD dwTotalPageFile = 0;
    DWORD dwAvailPageFile = 0;
    DWORD dwTotalVirtual = 0;
    DWORD dwAvailVirtual = 0;
};

// The memory of a phone-sized device: the available physical and virtual
// memory are what the machine has free, but never more than 128 MB, or the
// number of megabytes in VESSILO_MEMORY_MB (1 to 4095) when that is set.
void GlobalMemoryStatus(MEMORYSTATUS* status);

}  // namespace ce
