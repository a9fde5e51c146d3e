// Fuzz target: text that comes from outside — bytes decoded in every
// accepted encoding, numbers parsed from that text, UTF-8 handed to the
// platform layer, resource names, and the property files read at start-up.
//
// Input layout: byte 0 picks the encoding (low 3 bits) and the radix for
// parseInt (the rest, 2 to 36 and some out of range); the remaining bytes
// are the text.
//
// Allowed outcomes: a value, or a RuntimeException (malformed text,
// NumberFormatException, a bad radix) or UnsupportedEncodingException.
// Anything else escapes and is reported as a crash, as is a decoded string
// that does not survive the UTF-8 round trip, or platform decoding that
// differs from new String(bytes).
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "VM.h"
#include "fuzz_temp_folder.h"
#include "hal.h"
#include "java_io_UnsupportedEncodingException.h"
#include "java_lang_Integer.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_String.h"
#include "vm_boot.h"

namespace {

using java::lang::String;

const char* const kEncodings[] = {"UTF-8", "UTF8", "ISO-8859-1", "ISO8859_1", "US-ASCII", "ASCII", "utf-8", "EBCDIC"};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_text: %s\n", what);
    std::abort();
}

// A folder of its own beside nothing: the property files are written here.
const std::string& programFolder() {
    static const std::string folder = [] {
        std::string dir = makeFuzzTempFolder("text");
        if (dir.empty()) fail("no temporary folder");
        std::string properties = dir + "properties";
        if (::mkdir(properties.c_str(), 0700) != 0) fail("no properties folder");
        HAL_setProgramDirectory(dir.c_str());
        return dir;
    }();
    return folder;
}

void decodeAndParse(const uint8_t* data, size_t size) {
    VMPtr<VMBytes> bytes = VMBytes::create(jint(size - 1));
    if (size > 1) std::memcpy(bytes->elements(), data + 1, size - 1);
    const char* encoding = kEncodings[data[0] & 7];
    const jint radix = data[0] >> 3;  // 0 to 31: some below the lowest radix
    try {
        VMPtr<String> text = String::create()->construct(bytes, 0, bytes->length, VM_STR(encoding));
        // Back to UTF-8 and in again: the characters stay the same.
        VMCString utf8;
        text->_VM_toCString(&utf8);
        VMPtr<String> again = String::_VM_fromUTF8(utf8.c_str());
        _VM_cstrFree(&utf8);
        if (again->length() != text->length() ||
            std::memcmp(again->_VM_chars(), text->_VM_chars(), size_t(text->length()) * sizeof(jchar)) != 0)
            fail("a decoded string changed through UTF-8");
        java::lang::Integer::parseInt(text, radix);
    } catch (java::lang::RuntimeException*) {
    } catch (java::io::UnsupportedEncodingException*) {}
}

void platformText(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    // The platform decodes as new String(bytes) does, up to the first NUL.
    const jint length = jint(std::strlen(text.c_str()));
    VMPtr<VMBytes> bytes = VMBytes::create(length);
    std::memcpy(bytes->elements(), text.data(), size_t(length));
    VMPtr<String> expected;
    try {
        expected = String::create()->construct(bytes);
    } catch (java::lang::RuntimeException*) {}
    NativeString* s = HAL_createStringUTF8(text.c_str());
    if ((s == nullptr) != (expected == nullptr)) fail("platform decoding and new String(bytes) disagree on refusal");
    if (s != nullptr) {
        VMPtr<String> string = String::create()->_VM_init(s);
        HAL_freeString(s);
        if (string->length() != expected->length() ||
            std::memcmp(string->_VM_chars(), expected->_VM_chars(), size_t(expected->length()) * sizeof(jchar)) != 0)
            fail("platform decoding and new String(bytes) disagree");
        // The same text as a resource name: refused, missing or opened.
        HAL_ResourceFile* file = nullptr;
        if (HAL_openResource(&file, string->_VM_chars(), string->length()) == HAL_OK) HAL_closeResource(file);
    }
}

void propertyFile(const uint8_t* data, size_t size) {
    {
        std::ofstream file(programFolder() + "properties/app.prop", std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    HAL_loadProperties();
    char16_t value[16];
    for (const char16_t* key : {u"MIDlet-1", u"MIDlet-Name", u"a"}) {
        int32_t keyLength = int32_t(std::char_traits<char16_t>::length(key));
        int32_t length = HAL_getApplicationPropertyLength(key, keyLength);
        int32_t room = 16;
        int status = HAL_getApplicationProperty(key, keyLength, value, &room);
        if ((length < 0) != (status == HAL_NOT_FOUND)) fail("length and lookup disagree");
        if (status == 0 && (room < 0 || room > 16 || room > length)) fail("bad copied length");
    }
    HAL_releaseProperties();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    programFolder();
    if (size == 0) return 0;
    decodeAndParse(data, size);
    platformText(data, size);
    propertyFile(data, size);
    vmFuzzInputDone();
    return 0;
}
