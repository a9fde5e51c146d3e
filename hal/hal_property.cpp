// Platform layer: property files.
#include "hal_property.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <string>

#include "hal_string.h"
#include "hal_system.h"

namespace {

using Table = std::map<std::u16string, std::u16string>;

std::mutex g_mutex;
Table g_tables[2];

// The file's UTF-8 text as the platform's strings decode it (exactly as
// `new String(bytes)` does); false for text that decoding refuses.
bool decodeUtf8(const std::string& text, std::u16string& out) {
    out.clear();
    NativeString* s = HAL_createStringUTF8(text.c_str());
    if (!s) return false;
    int32_t n = 0;
    HAL_getStringLength(s, &n);
    out.resize(static_cast<size_t>(n));
    if (n > 0) HAL_getStringCharacters(s, out.data());
    HAL_freeString(s);
    return true;
}

// A property file larger than this is refused whole.
constexpr std::streamoff kLargestPropertyFile = 1 << 20;

void loadFile(const std::string& path, Table* table) {
    table->clear();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return;
    const std::streamoff size = in.tellg();
    if (size > kLargestPropertyFile) {
        std::fprintf(stdout, "Property file %s is larger than 1 MB: ignored.\n", path.c_str());
        std::fflush(stdout);
        return;
    }
    in.seekg(0);
    std::string line;
    for (bool first = true; std::getline(in, line); first = false) {
        // A byte-order mark before the first key is not part of it.
        if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) continue;
        std::string key = line.substr(0, colon);
        size_t valueStart = colon + 1;
        if (valueStart < line.size() && line[valueStart] == ' ') ++valueStart;
        // A line whose key or value does not decode is left out, like a
        // line without a colon.
        std::u16string decodedKey, decodedValue;
        if (!decodeUtf8(key, decodedKey) || !decodeUtf8(line.substr(valueStart), decodedValue)) continue;
        (*table)[decodedKey] = decodedValue;
    }
}

const std::u16string* lookup(int which, const char16_t* key, int32_t keyLength) {
    if (keyLength <= 0 || !key) return nullptr;
    const Table& table = g_tables[which];
    auto it = table.find(std::u16string(key, static_cast<size_t>(keyLength)));
    return it == table.end() ? nullptr : &it->second;
}

int32_t valueLength(int which, const char16_t* key, int32_t keyLength) {
    std::lock_guard<std::mutex> guard(g_mutex);
    const std::u16string* value = lookup(which, key, keyLength);
    return value ? static_cast<int32_t>(std::min<size_t>(value->size(), INT32_MAX)) : -1;
}

int copyValue(int which, const char16_t* key, int32_t keyLength, char16_t* buffer, int32_t* length) {
    if ((!key && keyLength > 0) || !length) return HAL_BAD_ARGUMENT;
    std::lock_guard<std::mutex> guard(g_mutex);
    const std::u16string* value = lookup(which, key, keyLength);
    if (!value) return HAL_NOT_FOUND;
    size_t room = *length > 0 ? static_cast<size_t>(*length) : 0;
    size_t n = std::min(value->size(), room);
    if (n > 0 && !buffer) return HAL_BAD_ARGUMENT;
    std::copy_n(value->data(), n, buffer);
    *length = static_cast<int32_t>(n);
    return HAL_OK;
}

}  // namespace

void HAL_loadProperties() {
    std::string folder = std::string(HAL_programDirectory()) + "properties/";
    std::lock_guard<std::mutex> guard(g_mutex);
    loadFile(folder + "sys.prop", &g_tables[0]);
    loadFile(folder + "app.prop", &g_tables[1]);
}

void HAL_releaseProperties() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_tables[0].clear();
    g_tables[1].clear();
}

int32_t HAL_getSystemPropertyLength(const char16_t* key, int32_t keyLength) { return valueLength(0, key, keyLength); }

int32_t HAL_getApplicationPropertyLength(const char16_t* key, int32_t keyLength) {
    return valueLength(1, key, keyLength);
}

int HAL_getSystemProperty(const char16_t* key, int32_t keyLength, char16_t* buffer, int32_t* length) {
    return copyValue(0, key, keyLength, buffer, length);
}

int HAL_getApplicationProperty(const char16_t* key, int32_t keyLength, char16_t* buffer, int32_t* length) {
    return copyValue(1, key, keyLength, buffer, length);
}
