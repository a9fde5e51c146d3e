#include "bytes.h"

#include <algorithm>

namespace assetgen {

std::string join(const std::string& path, const std::string& member) {
    if (path.empty()) return member;
    if (member.empty()) return path;
    if (member.front() == '[') return path + member;
    return path + "." + member;
}

std::string item(const std::string& path, size_t index) { return path + "[" + std::to_string(index) + "]"; }

std::string excerpt(const std::string& text, size_t limit) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<uint8_t>(text[i]);
        // The whole UTF-8 sequence (a stray byte counts alone).
        size_t length = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        length = std::min(length, text.size() - i);
        std::string piece;
        if (b < 0x20 || b == 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            piece = b == '\n'   ? "\\n"
                    : b == '\r' ? "\\r"
                    : b == '\t' ? "\\t"
                                : std::string("\\x") + kHex[b >> 4] + kHex[b & 15];
        } else {
            piece = text.substr(i, length);
        }
        if (out.size() + piece.size() > limit) return out + "...";
        out += piece;
        i += length;
    }
    return out;
}

Error Error::within(const std::string& outer) const { return Error(join(outer, field_), what()); }

void checkRange(int64_t value, int64_t lo, int64_t hi, const std::string& field) {
    if (value < lo || value > hi) {
        throw Error(field, std::to_string(value) + " is outside " + std::to_string(lo) + " to " + std::to_string(hi));
    }
}

void BitWriter::put(int bits, uint32_t value) {
    for (int i = bits - 1; i >= 0; --i) {
        if (bits_ % 8 == 0) bytes_.push_back(0);
        if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> (bits_ % 8));
        ++bits_;
    }
}

}  // namespace assetgen
