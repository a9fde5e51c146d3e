// Byte and bit writers shared by the format writers, and the one error type
// they raise for a value that a format cannot hold.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace assetgen {

using Bytes = std::vector<uint8_t>;

// A value the format cannot hold. `field` names it relative to the thing
// being written ("frames[2].parts[0].dx"); callers prefix their own path.
class Error : public std::runtime_error {
public:
    Error(std::string field, const std::string& message) : std::runtime_error(message), field_(std::move(field)) {}
    const std::string& field() const { return field_; }
    // The same error one level further out: "outer.field" or "outer[field]".
    Error within(const std::string& outer) const;

private:
    std::string field_;
};

// Joins a path and a member or index: join("a", "b") = "a.b", join("a", "[2]") = "a[2]".
std::string join(const std::string& path, const std::string& member);
std::string item(const std::string& path, size_t index);  // "path[index]"

// Outside text fit for a one-line message: at most `limit` bytes of it (cut
// before a UTF-8 sequence that does not fit, then "..."), control characters
// written as \n, \r, \t or \xNN.
std::string excerpt(const std::string& text, size_t limit = 40);

// Throws Error(field, ...) unless lo <= value <= hi.
void checkRange(int64_t value, int64_t lo, int64_t hi, const std::string& field);

// Big-endian byte writer.
class ByteWriter {
public:
    void u8(uint32_t v) { bytes_.push_back(static_cast<uint8_t>(v)); }
    void u16(uint32_t v) {
        u8(v >> 8);
        u8(v);
    }
    void u32(uint32_t v) {
        u16(v >> 16);
        u16(v);
    }
    void u16le(uint32_t v) {
        u8(v);
        u8(v >> 8);
    }
    void u32le(uint32_t v) {
        u16le(v);
        u16le(v >> 16);
    }
    void tag(const char* four) {
        for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(four[i]));
    }
    void append(const Bytes& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void append(const std::string& s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    size_t size() const { return bytes_.size(); }
    Bytes& bytes() { return bytes_; }
    Bytes take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

// Bit writer, most significant bit of each byte first; the last byte is
// padded with zero bits.
class BitWriter {
public:
    // The low `bits` bits of value (0 to 32 bits).
    void put(int bits, uint32_t value);
    size_t bitCount() const { return bits_; }
    Bytes take() { return std::move(bytes_); }

private:
    Bytes bytes_;
    size_t bits_ = 0;
};

}  // namespace assetgen
