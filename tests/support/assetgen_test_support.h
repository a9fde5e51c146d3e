// Helpers of the asset generator's tests: files, running the generator, a
// small SHA-256, and a big-endian reader for the tests' own format checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen_test {

using Bytes = std::vector<uint8_t>;

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
// A new empty folder under the test's temporary folder, with a trailing '/'.
std::string makeTempDir(const char* tag);

struct Run {
    int status = -1;     // exit status
    std::string output;  // standard error and output
};
// Runs the generator with the arguments, with `environment` ("A=b C=d")
// before it on the command line.
Run runGenerator(const std::string& arguments, const std::string& environment = "");

// Lower-case hex SHA-256.
std::string sha256(const Bytes& data);

// Reads big-endian numbers and counts the bytes; reading past the end fails
// the test and gives 0.
class Reader {
public:
    explicit Reader(const Bytes& data, size_t at = 0) : data_(&data), at_(at) {}
    uint32_t u8();
    uint32_t u16() {
        uint32_t v = u8() << 8;
        return v | u8();
    }
    uint32_t u32() {
        uint32_t v = u16() << 16;
        return v | u16();
    }
    int32_t s8() { return static_cast<int8_t>(u8()); }
    int32_t s16() { return static_cast<int16_t>(u16()); }
    Bytes bytes(size_t n);
    size_t at() const { return at_; }
    bool atEnd() const { return at_ == data_->size(); }

private:
    const Bytes* data_;
    size_t at_;
};

}  // namespace assetgen_test
