#include "text.h"

namespace assetgen {

void checkBmpUtf8(const std::string& text, const std::string& field) {
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<uint8_t>(text[i]);
        const size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 0;
        if (length == 0) {
            throw Error(field, "byte " + std::to_string(i) +
                                   ((b & 0xF8) == 0xF0 ? ": characters above U+FFFF cannot be stored" : ": not UTF-8"));
        }
        if (i + length > text.size()) throw Error(field, "byte " + std::to_string(i) + ": UTF-8 cut short");
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80) {
                throw Error(field, "byte " + std::to_string(i + k) + ": not UTF-8");
            }
        }
        i += length;
    }
}

Bytes writeTextTable(const std::vector<std::string>& texts) {
    checkRange(static_cast<int64_t>(texts.size()), 0, 65535, "strings");
    ByteWriter out;
    out.u16(static_cast<uint32_t>(texts.size()));
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string field = item("strings", i);
        checkBmpUtf8(texts[i], field);
        if (texts[i].size() > 32767) {
            throw Error(field, std::to_string(texts[i].size()) + " bytes; a text holds at most 32767");
        }
        out.u16(static_cast<uint32_t>(texts[i].size()));
        out.append(texts[i]);
    }
    return out.take();
}

}  // namespace assetgen
