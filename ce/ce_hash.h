// Digests used by the device identity.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ce {

// SHA-1 of a byte string (20 bytes).
void Sha1(const uint8_t* data, size_t length, uint8_t digest[20]);

}  // namespace ce
