// com.tarsel.sorrel.midp.io.protocol.http.Protocol: the connection for "http:" URLs.
#include "com_tarsel_sorrel_midp_io_protocol_http_Protocol.h"

#include <climits>

#include "com_tarsel_sorrel_midp_io_HttpInputStream.h"
#include "com_tarsel_sorrel_midp_io_HttpOutputStream.h"
#include "hal_http.h"
#include "hal_string.h"
#include "hal_system.h"
#include "java_io_DataInputStream.h"
#include "java_io_DataOutputStream.h"
#include "java_io_IOException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_Integer.h"
#include "java_lang_NumberFormatException.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_System.h"
#include "java_util_Calendar.h"
#include "java_util_Date.h"
#include "java_util_TimeZone.h"

namespace com::tarsel::sorrel::midp::io::protocol::http {

using java::lang::String;

VMStatic<String> Protocol::protocolName;
VMStatic<VMArray<String, 1>> Protocol::dateWords;
const jint Protocol::dateWordActions[32] = {
    14,    1,                                                                // am pm
    0,     0,     0,     0,     0,     0,     0,                             // the weekdays
    2,     3,     4,     5,     6,     7,     8,     9,     10, 11, 12, 13,  // the months
    10000, 10000, 10000,                                                     // gmt ut utc
    10300, 10240, 10360, 10300, 10420, 10360, 10480, 10420,                  // est edt cst cdt mst mdt pst pdt
};
jint Protocol::defaultCenturyStart = 0;
jboolean Protocol::centuryStartKnown = false;

namespace {

const char* const kDateWords[32] = {
    "am",     "pm",        "monday",   "tuesday",  "wednesday", "thursday", "friday", "saturday",
    "sunday", "january",   "february", "march",    "april",     "may",      "june",   "july",
    "august", "september", "october",  "november", "december",  "gmt",      "ut",     "utc",
    "est",    "edt",       "cst",      "cdt",      "mst",       "mdt",      "pst",    "pdt",
};

[[noreturn]] void throwIOException(const char* message) {
    _VM_throw(java::io::IOException::create()->construct(VM_STR(message)));
}

[[noreturn]] void throwBadDate() {
    _VM_throw(java::lang::IllegalArgumentException::create()->construct(VM_STR("Error parsing date")));
}

// A platform string result: a new String when the call succeeded and gave
// one; the platform string is released in every case.
VMPtr<String> takeString(int status, NativeString* native) {
    if (native == nullptr) return nullptr;
    struct Release {
        NativeString* s;
        ~Release() { HAL_freeString(s); }
    } release{native};
    if (status != HAL_OK) return nullptr;
    return String::create()->_VM_init(native);
}

const char16_t* charsOf(const VMPtr<String>& s) { return s == nullptr ? nullptr : s->_VM_chars(); }
int32_t lengthOf(const VMPtr<String>& s) { return s == nullptr ? 0 : s->length(); }

bool isAsciiLetter(jchar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

void Protocol::_VM_clinit() {
    protocolName = VM_STR("http");
    VMPtr<VMArray<String, 1>> words = VMArray<String, 1>::create(32);
    for (jint i = 0; i < 32; ++i) words->set(i, VM_STR(kDateWords[i]));
    dateWords = words;
}

Protocol::~Protocol() {
    if (handle != nullptr) {
        HAL_closeHTTPConnection(handle);
        handle = nullptr;
    }
}

VMPtr<Protocol> Protocol::construct() {
    Super::construct();
    handle = nullptr;
    state = SETUP;
    outputStream = nullptr;
    return this;
}

void Protocol::markReferences(uint32_t bits) {
    Super::markReferences(bits);
    _VM_markRef(inputStream, bits);
    _VM_markRef(outputStream, bits);
}

VMPtr<javax::microedition::io::Connection> Protocol::openConnection(VMPtr<String> name, jint, jboolean) {
    if (name == nullptr) _VM_throwNullPointer();
    if (handle != nullptr) {
        HAL_closeHTTPConnection(handle);
        handle = nullptr;
    }
    const int status = HAL_createHTTPConnection(&handle, name->_VM_chars(), name->length());
    if (status != HAL_OK) {
        VMPtr<java::lang::StringBuffer> message =
            java::lang::StringBuffer::create()->construct("HAL_createHTTPConnection error: ");
        message->append(jint(status));
        _VM_throw(java::io::IOException::create()->construct(message->toString()));
    }
    return VMPtr<javax::microedition::io::Connection>(this);
}

void Protocol::close() {
    if (inputStream != nullptr) {
        try {
            VMPtr<HttpInputStream> in = inputStream;
            in->close();
        } catch (java::lang::Throwable*) {}
        inputStream = nullptr;
    }
    if (outputStream != nullptr) {
        try {
            VMPtr<HttpOutputStream> out = outputStream;
            out->close();
        } catch (java::lang::Throwable*) {}
        outputStream = nullptr;
    }
    HAL_closeHTTPConnection(handle);
    state = CLOSED;
    handle = nullptr;
}

void Protocol::checkClosed() {
    if (state == CLOSED) throwIOException("HttpConnection error: the connection is closed");
}

void Protocol::startResponse() {
    checkClosed();
    if (state == SETUP) state = CONNECTED;
}

bool Protocol::responseStatus(int status) {
    if (status == HAL_IO_ERROR) _VM_throwHTTPError(status);
    return status == HAL_OK;
}

VMPtr<String> Protocol::responseString(int status, NativeString* native) {
    VMPtr<String> result = takeString(status, native);
    responseStatus(status);
    return result;
}

// --- streams --------------------------------------------------------------------

VMPtr<java::io::InputStream> Protocol::openInputStream() {
    checkClosed();
    if (state == SETUP) state = CONNECTED;
    VMPtr<HttpInputStream> in = HttpInputStream::_VM_make(handle, this);
    inputStream = in;
    return in;
}

VMPtr<java::io::DataInputStream> Protocol::openDataInputStream() {
    checkClosed();
    return java::io::DataInputStream::create()->construct(openInputStream());
}

VMPtr<java::io::OutputStream> Protocol::openOutputStream() {
    checkClosed();
    VMPtr<HttpOutputStream> out = HttpOutputStream::create()->construct(handle, this);
    outputStream = out;
    return out;
}

VMPtr<java::io::DataOutputStream> Protocol::openDataOutputStream() {
    return java::io::DataOutputStream::create()->construct(openOutputStream());
}

// --- the URL and the request -------------------------------------------------------

VMPtr<String> Protocol::getURL() {
    checkClosed();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPURL(handle, &s);
    return takeString(status, s);
}

VMPtr<String> Protocol::getProtocol() {
    checkClosed();
    _VM_ensureInitialized(_VM_classRecord);
    return protocolName;
}

VMPtr<String> Protocol::getHost() {
    checkClosed();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPHost(handle, &s);
    return takeString(status, s);
}

VMPtr<String> Protocol::getFile() {
    checkClosed();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPFile(handle, &s);
    return takeString(status, s);
}

VMPtr<String> Protocol::getRef() {
    checkClosed();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPRef(handle, &s);
    return takeString(status, s);
}

VMPtr<String> Protocol::getQuery() {
    checkClosed();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPQuery(handle, &s);
    return takeString(status, s);
}

jint Protocol::getPort() {
    checkClosed();
    int32_t port = 0;
    if (HAL_getHTTPPort(handle, &port) != HAL_OK) return 80;
    return port;
}

VMPtr<String> Protocol::getRequestMethod() {
    checkClosed();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPRequestMethod(handle, &s);
    return takeString(status, s);
}

void Protocol::setRequestMethod(VMPtr<String> method) {
    checkClosed();
    if (state == CONNECTED) throwIOException("HttpConnection error: HTTP method cannot be reset");
    _VM_ensureInitialized(java::lang::System::_VM_classRecord);
    VMPtr<java::io::PrintStream> out = java::lang::System::out;
    out->println(method);
    _VM_ensureInitialized(javax::microedition::io::HttpConnection::_VM_classRecord);
    VMPtr<String> head = HEAD, get = GET, post = POST;
    if (!head->equalsIgnoreCase(method) && !get->equalsIgnoreCase(method) && !post->equalsIgnoreCase(method))
        throwIOException("HttpConnection error: Invalid HTTP method");
    HAL_setHTTPRequestMethod(handle, charsOf(method), lengthOf(method));
}

VMPtr<String> Protocol::getRequestProperty(VMPtr<String> key) {
    checkClosed();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPRequestProperty(handle, charsOf(key), lengthOf(key), &s);
    return takeString(status, s);
}

void Protocol::setRequestProperty(VMPtr<String> key, VMPtr<String> value) {
    checkClosed();
    if (state == CONNECTED)
        throwIOException(
            "HttpConnection error: HTTP request property cannot be set because the connection is in the Connected "
            "state");
    // A header the platform refuses (a name that is no token, a value that
    // would break the request) must not go unnoticed.
    const int status = HAL_setHTTPRequestProperty(handle, charsOf(key), lengthOf(key), charsOf(value), lengthOf(value));
    if (status == HAL_IO_ERROR) _VM_throwHTTPError(status);
}

// --- the response -------------------------------------------------------------------

jint Protocol::getResponseCode() {
    startResponse();
    int32_t code = -1;
    if (!responseStatus(HAL_getHTTPResponseCode(handle, &code))) return -1;
    return code;
}

VMPtr<String> Protocol::getResponseMessage() {
    startResponse();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPResponseMessage(handle, &s);
    return responseString(status, s);
}

VMPtr<String> Protocol::getHeaderField(jint n) {
    startResponse();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPHeaderFieldAt(handle, n, &s);
    return responseString(status, s);
}

VMPtr<String> Protocol::getHeaderField(VMPtr<String> name) {
    startResponse();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPHeaderField(handle, charsOf(name), lengthOf(name), &s);
    return responseString(status, s);
}

VMPtr<String> Protocol::getHeaderFieldKey(jint n) {
    startResponse();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPHeaderFieldKey(handle, n, &s);
    return responseString(status, s);
}

VMPtr<String> Protocol::getType() {
    startResponse();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPType(handle, &s);
    return responseString(status, s);
}

VMPtr<String> Protocol::getEncoding() {
    startResponse();
    NativeString* s = nullptr;
    const int status = HAL_getHTTPEncoding(handle, &s);
    return responseString(status, s);
}

jlong Protocol::getLength() {
    startResponse();
    int64_t length = -1;
    if (!responseStatus(HAL_getHTTPLength(handle, &length))) return -1;
    return length;
}

jint Protocol::getHeaderFieldInt(VMPtr<String> name, jint def) {
    startResponse();
    VMPtr<String> value = Protocol::getHeaderField(name);
    if (value == nullptr) return def;
    try {
        return java::lang::Integer::parseInt(value);
    } catch (java::lang::NumberFormatException*) {
        return def;
    }
}

jlong Protocol::dateHeader(VMPtr<String> name, jlong def) {
    startResponse();
    VMPtr<String> value = Protocol::getHeaderField(name);
    if (value == nullptr) return def;
    try {
        return parseDate(value);
    } catch (java::lang::IllegalArgumentException*) {
        return def;
    }
}

jlong Protocol::getHeaderFieldDate(VMPtr<String> name, jlong def) { return dateHeader(name, def); }

jlong Protocol::getExpiration() { return dateHeader(VM_STR("expires"), 0); }

jlong Protocol::getDate() { return dateHeader(VM_STR("date"), 0); }

jlong Protocol::getLastModified() { return dateHeader(VM_STR("last-modified"), 0); }

// --- dates ----------------------------------------------------------------------------

namespace {

// What a date word does (dateWordActions): pm and am move the hour, the
// months set the month (January first), a zone sets its offset above the
// zone base; the weekdays do nothing.
constexpr jint kWordPm = 1;
constexpr jint kWordJanuary = 2;
constexpr jint kWordDecember = 13;
constexpr jint kWordAm = 14;
constexpr jint kWordZoneBase = 10000;

constexpr jint kUnsetField = -1;

// A date's fields as the text gives them: unset ones are kUnsetField (the
// year INT_MIN); the zone offset in minutes west of UTC.
struct DateFields {
    jint year = INT_MIN;
    jint mon = kUnsetField, mday = kUnsetField, hour = kUnsetField, min = kUnsetField, sec = kUnsetField;
    jint tzoffset = kUnsetField;
};

// A date's text as it is read: its characters and the next one's index.
struct DateText {
    const jchar* chars;
    jint limit;
    jint i;
    bool atEnd() const { return i >= limit; }
};

// The start of the century that two-digit years fall into, fixed by the
// first parse.
void fixCenturyStart() {
    if (Protocol::centuryStartKnown) return;
    Protocol::defaultCenturyStart = java::util::Calendar::getInstance()->get(java::util::Calendar::YEAR) - 80;
    Protocol::centuryStartKnown = true;
}

// After a '(': past the comment, with the comments nested in it.
void skipComment(DateText& t) {
    jint depth = 1;
    while (t.i < t.limit) {
        const jchar c = t.chars[t.i++];
        if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth <= 0) {
            break;
        }
    }
}

// The number whose first digit was just read. next is the character after
// it, left unread (at the end of the text: the last digit).
jint readNumber(DateText& t, jchar first, jchar& next) {
    jint n = first - '0';
    jint digits = 1;
    jchar c = first;
    while (t.i < t.limit && (c = t.chars[t.i]) >= '0' && c <= '9') {
        // No field has more than nine digits; more would overflow.
        if (++digits > 9) throwBadDate();
        n = n * 10 + (c - '0');
        ++t.i;
    }
    next = c;
    return n;
}

// A zone offset in hours, or hhmm; east of UTC after a '+'.
void placeZoneOffset(DateFields& f, jint n, bool east) {
    n = n < 24 ? n * 60 : n % 100 + n / 100 * 60;
    if (east) n = -n;
    if (f.tzoffset != 0 && f.tzoffset != kUnsetField) throwBadDate();
    f.tzoffset = n;
}

// A number with nothing after it that says what it is: the minute or the
// second after an hour, the day, or a two-digit year below 70.
void placeLoneNumber(DateFields& f, jint n) {
    if (f.hour >= 0 && f.min < 0) {
        f.min = n;
    } else if (f.min >= 0 && f.sec < 0) {
        f.sec = n;
    } else if (f.mday < 0) {
        f.mday = n;
    } else if (f.year == INT_MIN && f.mon >= 0 && f.mday >= 0) {
        f.year = n;
    } else {
        throwBadDate();
    }
}

// A number before a ':': the hour, then the minute.
void placeBeforeColon(DateFields& f, jint n) {
    if (f.hour < 0) {
        f.hour = n;
    } else if (f.min < 0) {
        f.min = n;
    } else {
        throwBadDate();
    }
}

// A number before a '/': the month (from 1), then the day.
void placeBeforeSlash(DateFields& f, jint n) {
    if (f.mon < 0) {
        f.mon = n - 1;
    } else if (f.mday < 0) {
        f.mday = n;
    } else {
        throwBadDate();
    }
}

// A number, by the separator before it (prev), its size, the character
// after it and the fields known so far.
void placeNumber(DateFields& f, jint n, jchar prev, jchar next, bool atEnd) {
    if (prev == '+' || (prev == '-' && f.year != INT_MIN)) {
        placeZoneOffset(f, n, prev == '+');
    } else if (n >= 70) {
        if (f.year != INT_MIN) throwBadDate();
        if (!(next <= ' ' || next == ',' || next == '/' || atEnd)) throwBadDate();
        f.year = n;
    } else if (next == ':') {
        placeBeforeColon(f, n);
    } else if (next == '/') {
        placeBeforeSlash(f, n);
    } else if (!atEnd && next != ',' && next > ' ' && next != '-') {
        throwBadDate();
    } else {
        placeLoneNumber(f, n);
    }
}

// The word that starts with the character just read, as its action.
jint readWord(DateText& t, const VMPtr<String>& s) {
    const jint start = t.i - 1;
    while (t.i < t.limit && isAsciiLetter(t.chars[t.i])) ++t.i;
    const jint length = t.i - start;
    if (length <= 1) throwBadDate();
    VMPtr<VMArray<String, 1>> words = Protocol::dateWords;
    for (jint k = 31; k >= 0; --k) {
        VMPtr<String> word = words->get(k);
        if (word->regionMatches(true, 0, s, start, length)) return Protocol::dateWordActions[k];
    }
    throwBadDate();
}

// A word's action on the fields: am or pm on a 12-hour clock's hour, the
// month (once), or the zone.
void applyWord(DateFields& f, jint action) {
    if (action == kWordPm || action == kWordAm) {
        if (f.hour > 12 || f.hour < 1) throwBadDate();
        if (action == kWordPm && f.hour < 12) f.hour += 12;
        if (action == kWordAm && f.hour == 12) f.hour = 0;
    } else if (action >= kWordJanuary && action <= kWordDecember) {
        if (f.mon >= 0) throwBadDate();
        f.mon = action - kWordJanuary;
    } else if (action >= kWordZoneBase) {
        f.tzoffset = action - kWordZoneBase;
    }
}

// The text's fields: numbers, words and comments, with the separators
// '/', ':', '+' and '-' telling what the number after them is.
DateFields scanDate(const VMPtr<String>& s) {
    DateFields f;
    DateText t{s->_VM_chars(), s->length(), 0};
    jchar prev = 0;
    while (!t.atEnd()) {
        const jchar c = t.chars[t.i++];
        if (c <= ' ' || c == ',') continue;
        if (c == '(') {
            skipComment(t);
        } else if (c >= '0' && c <= '9') {
            jchar next = 0;
            const jint n = readNumber(t, c, next);
            placeNumber(f, n, prev, next, t.atEnd());
            prev = 0;
        } else if (c == '/' || c == ':' || c == '+' || c == '-') {
            prev = c;
        } else {
            applyWord(f, readWord(t, s));
            prev = 0;
        }
    }
    return f;
}

// A date needs a year, a month and a day; a two-digit year falls into the
// century from defaultCenturyStart on, and the time of day defaults to 0.
void completeDate(DateFields& f) {
    if (f.year == INT_MIN || f.mon < 0 || f.mday < 0) throwBadDate();
    if (f.year < 100) {
        f.year += (Protocol::defaultCenturyStart / 100) * 100;
        if (f.year < Protocol::defaultCenturyStart) f.year += 100;
    }
    if (f.sec < 0) f.sec = 0;
    if (f.min < 0) f.min = 0;
    if (f.hour < 0) f.hour = 0;
}

// The fixed zone tzoffset minutes west of UTC; no zone lies a day or more
// away from it.
VMPtr<java::util::TimeZone> fixedZone(jint tzoffset) {
    const jint minutes = tzoffset < 0 ? -tzoffset : tzoffset;
    if (minutes >= 24 * 60) throwBadDate();
    char id[] = "UTC+00:00";
    id[3] = tzoffset > 0 ? '-' : '+';
    id[4] = char('0' + minutes / 60 / 10);
    id[5] = char('0' + minutes / 60 % 10);
    id[7] = char('0' + minutes % 60 / 10);
    id[8] = char('0' + minutes % 60 % 10);
    return java::util::TimeZone::getTimeZone(String::_VM_fromUTF8(id));
}

// The complete fields as milliseconds since 1970 UTC, in their zone or the
// default one.
jlong dateMillis(const DateFields& f) {
    VMPtr<java::util::Calendar> calendar = java::util::Calendar::getInstance();
    if (f.tzoffset != kUnsetField) calendar->setTimeZone(fixedZone(f.tzoffset));
    calendar->set(java::util::Calendar::YEAR, f.year);
    calendar->set(java::util::Calendar::MONTH, f.mon);
    calendar->set(java::util::Calendar::DATE, f.mday);
    calendar->set(java::util::Calendar::HOUR_OF_DAY, f.hour);
    calendar->set(java::util::Calendar::MINUTE, f.min);
    calendar->set(java::util::Calendar::SECOND, f.sec);
    calendar->set(java::util::Calendar::MILLISECOND, 0);
    return calendar->getTime()->getTime();
}

}  // namespace

jlong Protocol::parseDate(VMPtr<String> s) {
    _VM_ensureInitialized(_VM_classRecord);
    if (s == nullptr) throwBadDate();
    fixCenturyStart();
    DateFields fields = scanDate(s);
    completeDate(fields);
    return dateMillis(fields);
}

}  // namespace com::tarsel::sorrel::midp::io::protocol::http

VM_REGISTER_CLASS(com::tarsel::sorrel::midp::io::protocol::http::Protocol,
                  .name = "com.tarsel.sorrel.midp.io.protocol.http.Protocol",
                  .staticInit = com::tarsel::sorrel::midp::io::protocol::http::Protocol::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<com::tarsel::sorrel::midp::io::protocol::http::Protocol>,
                  // Every interface by name: the interface search does not follow
                  // the interface an interface extends first.
                  .interfaces = {"com.tarsel.sorrel.cldc.io.ConnectionBaseInterface",
                                 "javax.microedition.io.HttpConnection", "javax.microedition.io.ContentConnection",
                                 "javax.microedition.io.StreamConnection", "javax.microedition.io.InputConnection",
                                 "javax.microedition.io.OutputConnection", "javax.microedition.io.Connection"})
