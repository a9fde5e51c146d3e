// Fuzz target: the texts of HTTP connections that come from outside — date
// headers through the HTTP date parser, custom time-zone IDs, and URLs
// through Connector.open and the platform connection's URL parts (no request
// is ever sent: nothing here asks for a response).
//
// Input layout: byte 0 picks the parser (low 2 bits); the other bytes are
// the text, one character per byte (so every 8-bit character is reachable),
// or, for URLs, UTF-8.
//
// Allowed outcomes: a date or IllegalArgumentException "Error parsing
// date"; a zone whose ID and offset agree, or the zone "GMT"; a connection,
// or IllegalArgumentException, ConnectionNotFoundException or IOException.
// Anything else escapes and is reported as a crash, as is a date parsed
// twice to two instants or a zone beyond a day from UTC.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "VM.h"
#include "com_tarsel_sorrel_cldc_util_TimeZonePimpl.h"
#include "com_tarsel_sorrel_midp_io_protocol_http_Protocol.h"
#include "hal_http.h"
#include "hal_string.h"
#include "java_io_IOException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_String.h"
#include "java_util_TimeZone.h"
#include "javax_microedition_io_Connector.h"
#include "javax_microedition_io_HttpConnection.h"
#include "vm_boot.h"

namespace {

using java::lang::String;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_http: %s\n", what);
    std::abort();
}

VMPtr<String> latin1(const uint8_t* data, size_t size) {
    std::u16string chars(data, data + size);
    return String::create()->_VM_initLength(reinterpret_cast<const jchar*>(chars.data()), jint(chars.size()));
}

void date(const uint8_t* data, size_t size) {
    VMPtr<String> text = latin1(data, size);
    jlong first;
    try {
        first = com::tarsel::sorrel::midp::io::protocol::http::Protocol::parseDate(text);
    } catch (java::lang::IllegalArgumentException*) {
        return;
    }
    if (com::tarsel::sorrel::midp::io::protocol::http::Protocol::parseDate(text) != first)
        fail("one text, two instants");
}

void zone(const uint8_t* data, size_t size) {
    VMPtr<String> id = latin1(data, size);
    jint offset = 0;
    const bool custom =
        com::tarsel::sorrel::cldc::util::TimeZonePimpl::_VM_parseCustomOffset(id->_VM_chars(), id->length(), &offset);
    if (custom && (offset <= -86400000 || offset >= 86400000)) fail("a zone a day or more from UTC");
    VMPtr<java::util::TimeZone> z = java::util::TimeZone::getTimeZone(id);
    if (z == nullptr) fail("no zone at all");
    if (custom && z->getRawOffset() != offset) fail("the zone's offset is not the ID's");
    if (custom && z->getID()->length() != 9) fail("a custom zone's ID is not hh:mm");
}

void url(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (NativeString* native = HAL_createStringUTF8(text.c_str())) {
        VMPtr<String> name = String::create()->_VM_init(native);
        HAL_freeString(native);
        try {
            VMPtr<javax::microedition::io::Connection> c = javax::microedition::io::Connector::open(name);
            if (auto* http = dynamic_cast<javax::microedition::io::HttpConnection*>(c.get())) {
                http->getURL();
                http->getHost();
                http->getFile();
                http->getQuery();
                http->getRef();
                if (http->getPort() < 0) fail("a negative port");
            }
            c->close();
        } catch (java::lang::IllegalArgumentException*) {
        } catch (java::io::IOException*) {}
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (size == 0) return 0;
    switch (data[0] & 3) {
        case 0:
        case 3: date(data + 1, size - 1); break;
        case 1: zone(data + 1, size - 1); break;
        case 2: url(data + 1, size - 1); break;
    }
    vmFuzzInputDone();
    return 0;
}
