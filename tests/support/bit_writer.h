// A bit stream writer for tests and benchmarks: fields of 0 to 32 bits, the
// most significant bit first, the last byte padded with 0 bits.
#pragma once

#include <cstdint>
#include <vector>

class BitWriter {
public:
    // The low `bits` bits of value.
    BitWriter& put(int bits, uint32_t value) {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ % 8 == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() = uint8_t(bytes_.back() | 0x80 >> (used_ % 8));
            ++used_;
        }
        return *this;
    }
    size_t bitCount() const { return used_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    size_t used_ = 0;
};
