// Platform layer: HTTP and HTTPS connections over libcurl.
//
// Each connection owns one easy handle driven by a multi handle of its own,
// so that a call can wait for exactly as much of the response as it needs
// (the headers, or the next piece of the body) with the runtime lock given
// up, and give up waiting when the connection is closed or stalls.
//
// Redirects are followed here, not by libcurl, so that each hop can be
// checked: the caller's headers go only to the origin (scheme, host, port)
// they were set for, and once a hop is https no later one may be http.
#include "hal_http.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cctype>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "VMUtf8.h"
#include "ce_library.h"
#include "hal_property.h"
#include "hal_string.h"
#include "hal_system.h"
#include "hal_thread.h"

namespace {

constexpr int32_t kReadChunk = 4096;
constexpr size_t kMaxHeaderBytes = 256 * 1024;  // one response's header block
constexpr size_t kMaxHeaderCount = 500;
constexpr long kMaxRedirects = 5;
constexpr uint64_t kPollStepMs = 200;

struct RequestHeader {
    std::u16string name;
    std::u16string value;
};

struct ResponseHeader {
    std::string name;
    std::string value;
};

// A connection's use of libcurl's global state: made ready (libcurl set up
// on first use) unless the layer has been released; while any use is alive
// the release leaves that state alone, since a runtime thread may still be
// inside libcurl.
struct CurlUse {
    bool ready = false;
    CurlUse();
    ~CurlUse();
    CurlUse(const CurlUse&) = delete;
    CurlUse& operator=(const CurlUse&) = delete;
};

}  // namespace

struct HAL_HTTPConnection {
    CurlUse curl;  // first: released last

    // What the caller gave and what the URL holds.
    std::u16string url;
    CURLU* parsed = nullptr;
    std::string host, file, query, ref;
    bool hasQuery = false, hasRef = false;
    int32_t port = 80;

    // The request.
    std::string method = "GET";
    std::vector<RequestHeader> requestHeaders;
    std::vector<uint8_t> body;

    // The transfer.
    CURLU* target = nullptr;    // where the request now goes after redirects (null: parsed)
    CURLU* redirect = nullptr;  // the next hop, decided when a redirect's headers ended
    int redirects = 0;
    int32_t lastRedirectCode = 0;  // the status of the redirect being followed
    bool secure = false;           // a hop so far was https
    HAL_HTTPSettings settings;
    std::string caFile;
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* sendHeaders = nullptr;   // the caller's headers and the defaults
    curl_slist* otherHeaders = nullptr;  // the defaults alone, for another origin
    bool started = false;                // the request has been handed to libcurl
    bool attached = false;               // the easy handle is in the multi handle
    bool headersFinal = false;           // the status line and headers below are the final response's
    bool done = false;                   // nothing more will arrive
    bool failed = false;                 // the transfer ended in a failure
    bool inputClosed = false;
    bool overCap = false;
    char errorText[CURL_ERROR_SIZE] = {};

    // The response being received (after redirects: the last one).
    std::string statusLine;
    int32_t responseCode = -1;
    std::vector<ResponseHeader> responseHeaders;
    size_t headerBytes = 0;
    int64_t bodyBytes = 0;
    std::vector<uint8_t> pending;  // body bytes received and not yet read
    size_t pendingStart = 0;
    uint8_t readBuffer[kReadChunk] = {};

    // Waiting.
    bool busy = false;            // a thread waits on the network for this connection
    bool closeRequested = false;  // close() came while busy: the waiter frees it
    std::atomic<bool> abortRequested{false};
    uint64_t progress = 0;   // bumped by every callback that saw the transfer move
    uint64_t bytesSeen = 0;  // bytes moved either way, as the progress callback saw them
};

namespace {

// libcurl, loaded when the first connection is made rather than linked: with
// the TLS, Kerberos, LDAP, SSH and RTMP libraries it brings, linking it cost
// every start of the program some 8 ms of processor time before the first
// frame, for a network most runs never use.
struct CurlApi {
    decltype(&::curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&::curl_easy_init) easy_init = nullptr;
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...) = nullptr;
    decltype(&::curl_free) free = nullptr;
    decltype(&::curl_global_cleanup) global_cleanup = nullptr;
    decltype(&::curl_global_init) global_init = nullptr;
    decltype(&::curl_multi_add_handle) multi_add_handle = nullptr;
    decltype(&::curl_multi_cleanup) multi_cleanup = nullptr;
    decltype(&::curl_multi_info_read) multi_info_read = nullptr;
    decltype(&::curl_multi_init) multi_init = nullptr;
    decltype(&::curl_multi_perform) multi_perform = nullptr;
    decltype(&::curl_multi_poll) multi_poll = nullptr;
    decltype(&::curl_multi_remove_handle) multi_remove_handle = nullptr;
    decltype(&::curl_multi_wakeup) multi_wakeup = nullptr;
    decltype(&::curl_slist_append) slist_append = nullptr;
    decltype(&::curl_slist_free_all) slist_free_all = nullptr;
    decltype(&::curl_url) url = nullptr;
    decltype(&::curl_url_cleanup) url_cleanup = nullptr;
    decltype(&::curl_url_dup) url_dup = nullptr;
    decltype(&::curl_url_get) url_get = nullptr;
    decltype(&::curl_url_set) url_set = nullptr;
};
const CurlApi* g_curl = nullptr;  // set once, under g_globalMutex, before the first connection

// The library's functions, or null when it cannot be loaded (no connection
// can then be made, as when libcurl cannot start).
const CurlApi* loadCurl() {
    ce::LibraryBinder bind({"libcurl.so.4", "libcurl-gnutls.so.4", "libcurl.so"});
    if (!bind.loaded()) return nullptr;
    auto* api = new CurlApi;
    bind(api->easy_cleanup, "curl_easy_cleanup");
    bind(api->easy_init, "curl_easy_init");
    bind(api->easy_setopt, "curl_easy_setopt");
    bind(api->free, "curl_free");
    bind(api->global_cleanup, "curl_global_cleanup");
    bind(api->global_init, "curl_global_init");
    bind(api->multi_add_handle, "curl_multi_add_handle");
    bind(api->multi_cleanup, "curl_multi_cleanup");
    bind(api->multi_info_read, "curl_multi_info_read");
    bind(api->multi_init, "curl_multi_init");
    bind(api->multi_perform, "curl_multi_perform");
    bind(api->multi_poll, "curl_multi_poll");
    bind(api->multi_remove_handle, "curl_multi_remove_handle");
    bind(api->multi_wakeup, "curl_multi_wakeup");
    bind(api->slist_append, "curl_slist_append");
    bind(api->slist_free_all, "curl_slist_free_all");
    bind(api->url, "curl_url");
    bind(api->url_cleanup, "curl_url_cleanup");
    bind(api->url_dup, "curl_url_dup");
    bind(api->url_get, "curl_url_get");
    bind(api->url_set, "curl_url_set");
    if (bind.complete()) return api;
    delete api;
    return nullptr;
}

// --- settings and libcurl's global state --------------------------------------

std::mutex g_settingsMutex;
HAL_HTTPSettings g_settings;
std::string g_caFile;

std::mutex g_globalMutex;
bool g_curlReady = false;
bool g_released = false;  // shutdown: no new connection
int g_curlUses = 0;

CurlUse::CurlUse() {
    std::lock_guard<std::mutex> guard(g_globalMutex);
    if (g_released) return;
    if (!g_curlReady) {
        static const CurlApi* const loaded = loadCurl();
        g_curl = loaded;
        g_curlReady = g_curl != nullptr && g_curl->global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    }
    if (!g_curlReady) return;
    ready = true;
    ++g_curlUses;
}

CurlUse::~CurlUse() {
    if (!ready) return;
    std::lock_guard<std::mutex> guard(g_globalMutex);
    --g_curlUses;
}

// --- text ----------------------------------------------------------------------

// UTF-16 to UTF-8 as the network reads it (a surrogate pair as its one
// four-byte form); false for an unpaired surrogate or a NUL, which the
// request has no room for.
bool toUtf8(const char16_t* text, int32_t length, std::string& out) {
    out.clear();
    for (int32_t i = 0; i < length; ++i) {
        const jchar c = text[i];
        if (c == 0) return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= length || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;  // no high half before it
        }
    }
    out = _VM_utf8ForHost(text, size_t(length));
    return true;
}

// Header bytes are ISO-8859-1: one character per byte.
NativeString* latin1String(const std::string& bytes) {
    const auto* first = reinterpret_cast<const unsigned char*>(bytes.data());
    std::u16string units(first, first + bytes.size());
    return HAL_createString(units.data(), int32_t(units.size()));
}

int giveString(NativeString* string, NativeString** out) {
    if (string == nullptr) return HAL_OUT_OF_MEMORY;
    *out = string;
    return HAL_OK;
}

int giveUtf8(const std::string& text, NativeString** out) {
    return giveString(HAL_createStringUTF8(text.c_str()), out);
}

char16_t asciiLower(char16_t c) { return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c; }

bool sameName(const std::u16string& a, const char16_t* b, int32_t length) {
    if (a.size() != size_t(length)) return false;
    for (int32_t i = 0; i < length; ++i)
        if (asciiLower(a[size_t(i)]) != asciiLower(b[i])) return false;
    return true;
}

bool sameName(const std::string& a, const char16_t* b, int32_t length) {
    if (a.size() != size_t(length)) return false;
    for (int32_t i = 0; i < length; ++i)
        if (asciiLower(char16_t(static_cast<unsigned char>(a[size_t(i)]))) != asciiLower(b[i])) return false;
    return true;
}

bool sameName(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (asciiLower(char16_t(static_cast<unsigned char>(a[i]))) != asciiLower(char16_t(b[i]))) return false;
    return true;
}

// An HTTP token: one or more of the visible ASCII characters that are not
// separators.
bool isToken(const char16_t* text, int32_t length) {
    if (text == nullptr || length <= 0) return false;
    for (int32_t i = 0; i < length; ++i) {
        char16_t c = text[i];
        bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                  (c < 0x80 && std::strchr("!#$%&'*+-.^_`|~", char(c)) != nullptr && c != 0);
        if (!ok) return false;
    }
    return true;
}

bool isSafeValue(const char16_t* text, int32_t length) {
    for (int32_t i = 0; i < length; ++i)
        if (text[i] == '\r' || text[i] == '\n' || text[i] == 0) return false;
    return true;
}

std::string trimmed(const char* begin, const char* end) {
    while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t')) --end;
    return std::string(begin, end);
}

const ResponseHeader* findHeader(const HAL_HTTPConnection* c, const char* name) {
    for (const ResponseHeader& h : c->responseHeaders)
        if (sameName(h.name, name)) return &h;
    return nullptr;
}

// The body length the response's headers give, read the one way both the
// length asked for and the body go by: -1 when there is none or the body is
// framed by a Transfer-Encoding; false when a Content-Length is not a
// decimal number that fits 63 bits, or two of them disagree.
bool contentLength(const HAL_HTTPConnection* c, int64_t& length) {
    length = -1;
    if (findHeader(c, "Transfer-Encoding") != nullptr) return true;
    for (const ResponseHeader& h : c->responseHeaders) {
        if (!sameName(h.name, "Content-Length")) continue;
        if (h.value.empty()) return false;
        int64_t value = 0;
        for (char ch : h.value) {
            if (ch < '0' || ch > '9') return false;
            if (__builtin_mul_overflow(value, 10, &value) || __builtin_add_overflow(value, ch - '0', &value))
                return false;
        }
        if (length >= 0 && value != length) return false;
        length = value;
    }
    return true;
}

std::string urlPart(CURLU* url, CURLUPart part, unsigned flags = 0) {
    char* text = nullptr;
    std::string value;
    if (g_curl->url_get(url, part, &text, flags) == CURLUE_OK && text != nullptr) value = text;
    g_curl->free(text);
    return value;
}

// Scheme, host and port alike (host names compared without regard to case).
bool sameOrigin(CURLU* a, CURLU* b) {
    if (urlPart(a, CURLUPART_SCHEME) != urlPart(b, CURLUPART_SCHEME)) return false;
    if (urlPart(a, CURLUPART_PORT, CURLU_DEFAULT_PORT) != urlPart(b, CURLUPART_PORT, CURLU_DEFAULT_PORT)) return false;
    const std::string x = urlPart(a, CURLUPART_HOST), y = urlPart(b, CURLUPART_HOST);
    return x.size() == y.size() &&
           std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) { return asciiLower(p) == asciiLower(q); });
}

enum class Redirect { kNone, kFollow, kRefuse };

// At the end of a response's headers: whether it sends the request on, and
// where (kept in c->redirect). Refused: a sixth redirect, a target that is
// not an http or https URL, or plain http once a hop was https.
Redirect decideRedirect(HAL_HTTPConnection* c) {
    switch (c->responseCode) {
        case 300:
        case 301:
        case 302:
        case 303:
        case 307:
        case 308: break;
        default: return Redirect::kNone;
    }
    const ResponseHeader* location = findHeader(c, "Location");
    if (location == nullptr || location->value.empty()) return Redirect::kNone;
    if (c->redirects >= kMaxRedirects) return Redirect::kRefuse;
    CURLU* next = g_curl->url_dup(c->target != nullptr ? c->target : c->parsed);
    if (next == nullptr) return Redirect::kRefuse;
    if (g_curl->url_set(next, CURLUPART_URL, location->value.c_str(), CURLU_URLENCODE | CURLU_NON_SUPPORT_SCHEME) !=
        CURLUE_OK) {
        g_curl->url_cleanup(next);
        return Redirect::kRefuse;
    }
    const std::string scheme = urlPart(next, CURLUPART_SCHEME);
    if (!(scheme == "https" || (scheme == "http" && !c->secure))) {
        g_curl->url_cleanup(next);
        return Redirect::kRefuse;
    }
    g_curl->url_cleanup(c->redirect);
    c->redirect = next;
    return Redirect::kFollow;
}

// --- libcurl callbacks (run on the waiting thread, without the runtime lock) ---

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* c = static_cast<HAL_HTTPConnection*>(user);
    const size_t n = size * count;
    ++c->progress;
    const char* begin = data;
    const char* end = data + n;
    while (end > begin && (end[-1] == '\r' || end[-1] == '\n')) --end;
    const size_t lineLength = size_t(end - begin);

    if (lineLength >= 5 && std::memcmp(begin, "HTTP/", 5) == 0) {
        // The status line of a new response (after a redirect or an interim
        // response): forget the previous one's headers.
        c->headersFinal = false;
        c->statusLine.assign(begin, end);
        c->responseHeaders.clear();
        c->headerBytes = n;
        c->responseCode = -1;
        const char* space = static_cast<const char*>(std::memchr(begin, ' ', lineLength));
        if (space != nullptr && end - space >= 4 && std::isdigit(static_cast<unsigned char>(space[1])) &&
            std::isdigit(static_cast<unsigned char>(space[2])) && std::isdigit(static_cast<unsigned char>(space[3])) &&
            (end - space == 4 || space[4] == ' '))
            c->responseCode = (space[1] - '0') * 100 + (space[2] - '0') * 10 + (space[3] - '0');
        return n;
    }
    if (c->headersFinal) return n;  // trailers after the body
    if (lineLength == 0) {
        // The end of a header block: final unless another response follows
        // (an interim one, or a redirect this layer follows). A refused
        // redirect or a length that cannot be read fails the transfer.
        if (c->responseCode >= 100 && c->responseCode < 200) return n;
        switch (decideRedirect(c)) {
            case Redirect::kFollow: return n;
            case Redirect::kRefuse: return 0;
            case Redirect::kNone: break;
        }
        int64_t length;
        if (!contentLength(c, length)) return 0;
        c->headersFinal = true;
        return n;
    }
    c->headerBytes += n;
    if (c->headerBytes > kMaxHeaderBytes || c->responseHeaders.size() >= kMaxHeaderCount) return 0;
    if ((*begin == ' ' || *begin == '\t') && !c->responseHeaders.empty()) {
        // A folded line continues the previous header's value.
        std::string more = trimmed(begin, end);
        std::string& value = c->responseHeaders.back().value;
        if (!more.empty()) value += value.empty() ? more : " " + more;
        return n;
    }
    const char* colon = static_cast<const char*>(std::memchr(begin, ':', lineLength));
    if (colon == nullptr) return n;  // not a header: ignored
    c->responseHeaders.push_back({std::string(begin, colon), trimmed(colon + 1, end)});
    return n;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* c = static_cast<HAL_HTTPConnection*>(user);
    const size_t n = size * count;
    ++c->progress;
    if (c->redirect != nullptr) return n;  // a redirect's own body is dropped
    c->headersFinal = true;                // body bytes belong to the final response
    if (c->bodyBytes + int64_t(n) > c->settings.maxResponseBody) {
        c->overCap = true;
        return 0;  // aborts the transfer
    }
    c->bodyBytes += int64_t(n);
    try {
        if (c->pendingStart > 0 && c->pendingStart == c->pending.size()) {
            c->pending.clear();
            c->pendingStart = 0;
        }
        c->pending.insert(c->pending.end(), data, data + n);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return n;
}

int onProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
    auto* c = static_cast<HAL_HTTPConnection*>(user);
    // Any change of the byte counts is progress.
    const uint64_t seen = uint64_t(downloaded) + uint64_t(uploaded);
    if (seen != c->bytesSeen) {
        c->bytesSeen = seen;
        ++c->progress;
    }
    return c->abortRequested.load() ? 1 : 0;
}

// --- sending and waiting -------------------------------------------------------

void detach(HAL_HTTPConnection* c) {
    if (c->attached) {
        g_curl->multi_remove_handle(c->multi, c->easy);
        c->attached = false;
    }
}

void destroy(HAL_HTTPConnection* c) {
    detach(c);
    if (c->easy) g_curl->easy_cleanup(c->easy);
    if (c->multi) g_curl->multi_cleanup(c->multi);
    g_curl->slist_free_all(c->sendHeaders);
    g_curl->slist_free_all(c->otherHeaders);
    g_curl->url_cleanup(c->redirect);
    g_curl->url_cleanup(c->target);
    g_curl->url_cleanup(c->parsed);
    delete c;
}

bool addHeader(curl_slist*& list, const std::string& line) {
    curl_slist* grown = g_curl->slist_append(list, line.c_str());
    if (grown == nullptr) return false;
    list = grown;
    return true;
}

bool addSendHeader(HAL_HTTPConnection* c, const std::string& line) { return addHeader(c->sendHeaders, line); }

const RequestHeader* findRequestHeader(const HAL_HTTPConnection* c, const char16_t* name) {
    const int32_t length = int32_t(std::char_traits<char16_t>::length(name));
    for (const RequestHeader& h : c->requestHeaders)
        if (sameName(h.name, name, length)) return &h;
    return nullptr;
}

// The results of libcurl options set one after another: every option is
// set whatever the others gave; ok while each took.
struct OptionResults {
    bool ok = true;
    void operator()(CURLcode code) { ok = ok && code == CURLE_OK; }
};

// The settings in force when the request starts hold for its whole life.
void takeSettings(HAL_HTTPConnection* c) {
    std::lock_guard<std::mutex> guard(g_settingsMutex);
    c->settings = g_settings;
    c->caFile = g_caFile;
}

// One of the caller's headers as libcurl's line; false when it does not fit
// a request. libcurl reads "Name:" with nothing but blanks after it as
// "leave this header out"; "Name;" sends it empty.
bool callerHeaderLine(const RequestHeader& h, std::string& line) {
    std::string name, value;
    if (!toUtf8(h.name.data(), int32_t(h.name.size()), name) || !toUtf8(h.value.data(), int32_t(h.value.size()), value))
        return false;
    const bool blank = value.find_first_not_of(" \t") == std::string::npos;
    line = blank ? name + ";" : name + ": " + value;
    return true;
}

// Request headers: the caller's, then the ones that keep libcurl from adding
// its own unasked; false when they cannot be made.
bool addRequestHeaders(HAL_HTTPConnection* c) {
    try {
        for (const RequestHeader& h : c->requestHeaders) {
            if (sameName(h.name, u"Content-Length", 14)) continue;  // the body's own length is sent
            std::string line;
            if (!callerHeaderLine(h, line) || !addSendHeader(c, line)) return false;
        }
        if (findRequestHeader(c, u"Content-Type") == nullptr && !addSendHeader(c, "Content-Type:")) return false;
        if (findRequestHeader(c, u"Expect") == nullptr && !addSendHeader(c, "Expect:")) return false;
        if (!addHeader(c->otherHeaders, "Content-Type:") || !addHeader(c->otherHeaders, "Expect:")) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// The user agent: the application's name (empty when it has none that a
// header can hold).
std::string userAgent() {
    std::string agent;
    const char16_t key[] = u"MIDlet-Name";
    const int32_t keyLength = int32_t(std::char_traits<char16_t>::length(key));
    int32_t length = HAL_getApplicationPropertyLength(key, keyLength);
    if (length > 0 && length <= 1024) {
        std::u16string name(size_t(length), u'\0');
        if (HAL_getApplicationProperty(key, keyLength, name.data(), &length) == HAL_OK &&
            isSafeValue(name.data(), length))
            toUtf8(name.data(), length, agent);
    }
    return agent;
}

// What every hop of the transfer goes by: the URL, the protocols, the
// timeouts and certificates, the headers and the callbacks.
bool setTransferOptions(HAL_HTTPConnection* c, const std::string& agent) {
    CURL* e = c->easy;
    OptionResults set;
    set(g_curl->easy_setopt(e, CURLOPT_CURLU, c->parsed));
    set(g_curl->easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https"));
    set(g_curl->easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L));  // followed here, hop by hop
    set(g_curl->easy_setopt(e, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1)));
    set(g_curl->easy_setopt(e, CURLOPT_NOSIGNAL, 1L));
    set(g_curl->easy_setopt(e, CURLOPT_PROXY, ""));  // straight to the server
    set(g_curl->easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(std::max(1, c->settings.connectTimeoutMs))));
    set(g_curl->easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L));
    set(g_curl->easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L));
    if (!c->caFile.empty()) set(g_curl->easy_setopt(e, CURLOPT_CAINFO, c->caFile.c_str()));
    if (!agent.empty()) set(g_curl->easy_setopt(e, CURLOPT_USERAGENT, agent.c_str()));
    set(g_curl->easy_setopt(e, CURLOPT_HTTPHEADER, c->sendHeaders));
    set(g_curl->easy_setopt(e, CURLOPT_HEADERFUNCTION, onHeader));
    set(g_curl->easy_setopt(e, CURLOPT_HEADERDATA, c));
    set(g_curl->easy_setopt(e, CURLOPT_WRITEFUNCTION, onBody));
    set(g_curl->easy_setopt(e, CURLOPT_WRITEDATA, c));
    set(g_curl->easy_setopt(e, CURLOPT_XFERINFOFUNCTION, onProgress));
    set(g_curl->easy_setopt(e, CURLOPT_XFERINFODATA, c));
    set(g_curl->easy_setopt(e, CURLOPT_NOPROGRESS, 0L));
    set(g_curl->easy_setopt(e, CURLOPT_ERRORBUFFER, c->errorText));
    return set.ok;
}

// The method. The body goes out with any method but HEAD.
bool setMethodOptions(HAL_HTTPConnection* c) {
    CURL* e = c->easy;
    OptionResults set;
    const bool withBody = c->method == "POST" || !c->body.empty();
    if (c->method == "HEAD") {
        set(g_curl->easy_setopt(e, CURLOPT_NOBODY, 1L));
    } else if (withBody) {
        set(g_curl->easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(c->body.size())));
        set(g_curl->easy_setopt(e, CURLOPT_POSTFIELDS, c->body.empty() ? "" : reinterpret_cast<char*>(c->body.data())));
        if (c->method != "POST") set(g_curl->easy_setopt(e, CURLOPT_CUSTOMREQUEST, c->method.c_str()));
    } else if (c->method == "GET") {
        set(g_curl->easy_setopt(e, CURLOPT_HTTPGET, 1L));
    } else {
        set(g_curl->easy_setopt(e, CURLOPT_CUSTOMREQUEST, c->method.c_str()));
    }
    return set.ok;
}

// Hands the request to libcurl; false when it cannot be set up.
bool startRequest(HAL_HTTPConnection* c) {
    c->started = true;
    takeSettings(c);
    c->easy = g_curl->easy_init();
    c->multi = g_curl->multi_init();
    if (c->easy == nullptr || c->multi == nullptr) return false;
    if (!addRequestHeaders(c)) return false;
    const std::string agent = userAgent();
    c->secure = urlPart(c->parsed, CURLUPART_SCHEME) == "https";
    const bool transferSet = setTransferOptions(c, agent);
    if (!setMethodOptions(c) || !transferSet) return false;
    if (g_curl->multi_add_handle(c->multi, c->easy) != CURLM_OK) return false;
    c->attached = true;
    return true;
}

void endTransfer(HAL_HTTPConnection* c, bool failure) {
    detach(c);
    c->done = true;
    if (failure) c->failed = true;
}

// Sends the request on to the redirect's target (c->redirect): a 303 turns
// any method but HEAD into a GET without a body, a 301 or 302 a POST; the
// caller's headers go only to the origin they were set for. False when the
// transfer cannot go on.
bool followRedirect(HAL_HTTPConnection* c) {
    detach(c);
    CURLU* next = c->redirect;
    c->redirect = nullptr;
    g_curl->url_cleanup(c->target);
    c->target = next;
    ++c->redirects;
    if (urlPart(next, CURLUPART_SCHEME) == "https") c->secure = true;
    c->statusLine.clear();
    c->responseHeaders.clear();
    c->headerBytes = 0;
    c->responseCode = -1;
    c->headersFinal = false;

    CURL* e = c->easy;
    OptionResults set;
    const int32_t code = c->lastRedirectCode;
    if ((code == 303 && c->method != "HEAD") || ((code == 301 || code == 302) && c->method == "POST")) {
        set(g_curl->easy_setopt(e, CURLOPT_CUSTOMREQUEST, static_cast<char*>(nullptr)));
        set(g_curl->easy_setopt(e, CURLOPT_HTTPGET, 1L));
    }
    set(g_curl->easy_setopt(e, CURLOPT_CURLU, next));
    set(g_curl->easy_setopt(e, CURLOPT_HTTPHEADER, sameOrigin(next, c->parsed) ? c->sendHeaders : c->otherHeaders));
    if (!set.ok || g_curl->multi_add_handle(c->multi, e) != CURLM_OK) return false;
    c->attached = true;
    return true;
}

// Drives the transfer, without the runtime lock, until `ready` holds or the
// transfer ends. False when the connection was closed meanwhile: it has been
// freed then and must not be touched.
template <class Ready>
bool pump(HAL_HTTPConnection* c, Ready ready) {
    if (c->done || ready()) return true;
    c->busy = true;
    const int depth = HAL_releaseVMLockFully();
    uint64_t lastProgress = c->progress;
    uint64_t lastMoved = HAL_getTickCount();
    const uint64_t stall = uint64_t(std::max(1, c->settings.stallTimeoutMs));
    for (;;) {
        if (c->abortRequested.load()) {
            endTransfer(c, true);
            break;
        }
        int running = 0;
        if (g_curl->multi_perform(c->multi, &running) != CURLM_OK) {
            endTransfer(c, true);
            break;
        }
        int queued = 0;
        while (CURLMsg* message = g_curl->multi_info_read(c->multi, &queued)) {
            if (message->msg != CURLMSG_DONE) continue;
            const bool failure = message->data.result != CURLE_OK;
            if (!failure && c->redirect != nullptr) {
                c->lastRedirectCode = c->responseCode;
                if (!followRedirect(c)) endTransfer(c, true);
                continue;
            }
            endTransfer(c, failure);
            if (!failure && c->responseCode >= 0) c->headersFinal = true;
        }
        if (c->done || ready()) break;
        const uint64_t now = HAL_getTickCount();
        if (c->progress != lastProgress) {
            lastProgress = c->progress;
            lastMoved = now;
        } else if (now - lastMoved >= stall) {
            endTransfer(c, true);  // the server stopped answering
            break;
        }
        const uint64_t left = stall - (now - lastMoved);
        g_curl->multi_poll(c->multi, nullptr, 0, int(std::min(kPollStepMs, left)), nullptr);
    }
    if (depth > 0) {
        HAL_reacquireVMLock(depth);
        HAL_hostEnter();
    }
    c->busy = false;
    if (c->closeRequested) {
        destroy(c);
        return false;
    }
    return true;
}

// Sends the request when needed and waits for the final response's headers.
int ensureResponse(HAL_HTTPConnection* c) {
    if (c->busy) return HAL_IO_ERROR;
    if (!c->started && !startRequest(c)) endTransfer(c, true);
    if (!pump(c, [c] { return c->headersFinal; })) return HAL_IO_ERROR;
    return c->headersFinal ? HAL_OK : HAL_IO_ERROR;
}

}  // namespace

// --- connections ---------------------------------------------------------------

int HAL_createHTTPConnection(HAL_HTTPConnection** handle, const char16_t* url, int32_t length) {
    if (handle == nullptr) return HAL_BAD_ARGUMENT;
    *handle = nullptr;
    if (url == nullptr || length <= 0) return HAL_BAD_ARGUMENT;
    // No blank or control character may stand in a URL: nothing the caller
    // writes may reach the request line unescaped.
    for (int32_t i = 0; i < length; ++i)
        if (url[i] <= 0x20 || url[i] == 0x7F) return HAL_BAD_ARGUMENT;
    auto* c = new (std::nothrow) HAL_HTTPConnection;
    if (c == nullptr) return HAL_OK;
    if (!c->curl.ready) {
        delete c;
        return HAL_OK;
    }
    try {
        std::string text;
        if (!toUtf8(url, length, text)) {
            delete c;
            return HAL_BAD_ARGUMENT;
        }
        c->url.assign(url, size_t(length));
        c->parsed = g_curl->url();
        if (c->parsed == nullptr) {
            delete c;
            return HAL_OK;
        }
        int status = HAL_BAD_ARGUMENT;
        char* part = nullptr;
        if (g_curl->url_set(c->parsed, CURLUPART_URL, text.c_str(), 0) == CURLUE_OK &&
            g_curl->url_get(c->parsed, CURLUPART_SCHEME, &part, 0) == CURLUE_OK &&
            (std::strcmp(part, "http") == 0 || std::strcmp(part, "https") == 0)) {
            g_curl->free(part);
            part = nullptr;
            if (g_curl->url_get(c->parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK && part[0] != 0) {
                c->host = part;
                status = HAL_OK;
            }
        }
        g_curl->free(part);
        if (status != HAL_OK) {
            destroy(c);
            return status;
        }
        if (g_curl->url_get(c->parsed, CURLUPART_PORT, &part, 0) == CURLUE_OK) {
            c->port = int32_t(std::strtol(part, nullptr, 10));
            g_curl->free(part);
        }
        if (g_curl->url_get(c->parsed, CURLUPART_PATH, &part, 0) == CURLUE_OK) {
            c->file = part;
            g_curl->free(part);
        }
        if (g_curl->url_get(c->parsed, CURLUPART_QUERY, &part, 0) == CURLUE_OK) {
            c->query = part;
            c->hasQuery = true;
            g_curl->free(part);
        }
        if (g_curl->url_get(c->parsed, CURLUPART_FRAGMENT, &part, 0) == CURLUE_OK) {
            c->ref = part;
            c->hasRef = true;
            g_curl->free(part);
        }
    } catch (const std::bad_alloc&) {
        destroy(c);
        return HAL_OK;
    }
    *handle = c;
    return HAL_OK;
}

int HAL_closeHTTPConnection(HAL_HTTPConnection* c) {
    if (c == nullptr) return HAL_BAD_ARGUMENT;
    if (c->busy) {
        // Another thread waits on the network for it: wake it; it frees the
        // connection when it comes back.
        c->closeRequested = true;
        c->abortRequested.store(true);
        if (c->multi) g_curl->multi_wakeup(c->multi);
        return HAL_OK;
    }
    destroy(c);
    return HAL_OK;
}

int HAL_getHTTPURL(HAL_HTTPConnection* c, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    return giveString(HAL_createString(c->url.data(), int32_t(c->url.size())), out);
}

int HAL_getHTTPHost(HAL_HTTPConnection* c, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    return giveUtf8(c->host, out);
}

int HAL_getHTTPFile(HAL_HTTPConnection* c, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    return giveUtf8(c->file, out);
}

int HAL_getHTTPQuery(HAL_HTTPConnection* c, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    if (!c->hasQuery) {
        *out = nullptr;
        return HAL_OK;
    }
    return giveUtf8(c->query, out);
}

int HAL_getHTTPRef(HAL_HTTPConnection* c, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    if (!c->hasRef) {
        *out = nullptr;
        return HAL_OK;
    }
    return giveUtf8(c->ref, out);
}

int HAL_getHTTPPort(HAL_HTTPConnection* c, int32_t* port) {
    if (c == nullptr || port == nullptr) return HAL_BAD_ARGUMENT;
    *port = c->port;
    return HAL_OK;
}

int HAL_getHTTPRequestMethod(HAL_HTTPConnection* c, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    return giveUtf8(c->method, out);
}

int HAL_setHTTPRequestMethod(HAL_HTTPConnection* c, const char16_t* method, int32_t length) {
    if (c == nullptr || method == nullptr || !isToken(method, length)) return HAL_BAD_ARGUMENT;
    if (c->started) return HAL_IO_ERROR;
    try {
        std::string upper;
        for (int32_t i = 0; i < length; ++i) {
            char ch = char(method[i]);
            upper += ch >= 'a' && ch <= 'z' ? char(ch - 32) : ch;
        }
        c->method = std::move(upper);
    } catch (const std::bad_alloc&) {
        return HAL_OUT_OF_MEMORY;
    }
    return HAL_OK;
}

int HAL_setHTTPRequestProperty(HAL_HTTPConnection* c, const char16_t* key, int32_t keyLength, const char16_t* value,
                               int32_t valueLength) {
    if (c == nullptr) return HAL_BAD_ARGUMENT;
    if (c->started || !isToken(key, keyLength)) return HAL_IO_ERROR;
    if (valueLength < 0 || (value == nullptr && valueLength > 0)) return HAL_IO_ERROR;
    if (value != nullptr && !isSafeValue(value, valueLength)) return HAL_IO_ERROR;
    std::string check;
    if (value != nullptr && !toUtf8(value, valueLength, check)) return HAL_IO_ERROR;
    try {
        std::u16string text = value != nullptr ? std::u16string(value, size_t(valueLength)) : std::u16string();
        for (RequestHeader& h : c->requestHeaders) {
            if (sameName(h.name, key, keyLength)) {
                h.value = std::move(text);
                return HAL_OK;
            }
        }
        c->requestHeaders.push_back({std::u16string(key, size_t(keyLength)), std::move(text)});
    } catch (const std::bad_alloc&) {
        return HAL_IO_ERROR;
    }
    return HAL_OK;
}

int HAL_getHTTPRequestProperty(HAL_HTTPConnection* c, const char16_t* key, int32_t keyLength, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    *out = nullptr;
    if (key == nullptr || keyLength <= 0) return HAL_OK;
    for (const RequestHeader& h : c->requestHeaders)
        if (sameName(h.name, key, keyLength))
            return giveString(HAL_createString(h.value.data(), int32_t(h.value.size())), out);
    return HAL_OK;
}

// --- the response ----------------------------------------------------------------

int HAL_getHTTPResponseCode(HAL_HTTPConnection* c, int32_t* code) {
    if (c == nullptr || code == nullptr) return HAL_BAD_ARGUMENT;
    if (int status = ensureResponse(c)) return status;
    *code = c->responseCode;
    return HAL_OK;
}

int HAL_getHTTPResponseMessage(HAL_HTTPConnection* c, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    if (int status = ensureResponse(c)) return status;
    // "HTTP/1.1 200 OK": the text after the code.
    const std::string& line = c->statusLine;
    size_t space = line.find(' ');
    if (space == std::string::npos || c->responseCode < 0 || line.size() <= space + 5) return HAL_NOT_FOUND;
    return giveString(latin1String(line.substr(space + 5)), out);
}

int HAL_getHTTPHeaderField(HAL_HTTPConnection* c, const char16_t* name, int32_t length, NativeString** out) {
    if (c == nullptr || out == nullptr || (name == nullptr && length > 0)) return HAL_BAD_ARGUMENT;
    if (int status = ensureResponse(c)) return status;
    for (const ResponseHeader& h : c->responseHeaders)
        if (sameName(h.name, name, length)) return giveString(latin1String(h.value), out);
    return HAL_NOT_FOUND;
}

int HAL_getHTTPHeaderFieldAt(HAL_HTTPConnection* c, int32_t index, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    if (int status = ensureResponse(c)) return status;
    if (index == 0) return giveString(latin1String(c->statusLine), out);
    if (index < 0 || size_t(index) > c->responseHeaders.size()) return HAL_NOT_FOUND;
    return giveString(latin1String(c->responseHeaders[size_t(index) - 1].value), out);
}

int HAL_getHTTPHeaderFieldKey(HAL_HTTPConnection* c, int32_t index, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    if (int status = ensureResponse(c)) return status;
    if (index <= 0 || size_t(index) > c->responseHeaders.size()) return HAL_NOT_FOUND;
    return giveString(latin1String(c->responseHeaders[size_t(index) - 1].name), out);
}

int HAL_getHTTPType(HAL_HTTPConnection* c, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    if (int status = ensureResponse(c)) return status;
    const ResponseHeader* h = findHeader(c, "Content-Type");
    return h ? giveString(latin1String(h->value), out) : HAL_NOT_FOUND;
}

int HAL_getHTTPEncoding(HAL_HTTPConnection* c, NativeString** out) {
    if (c == nullptr || out == nullptr) return HAL_BAD_ARGUMENT;
    if (int status = ensureResponse(c)) return status;
    const ResponseHeader* h = findHeader(c, "Transfer-Encoding");
    return h ? giveString(latin1String(h->value), out) : HAL_NOT_FOUND;
}

int HAL_getHTTPLength(HAL_HTTPConnection* c, int64_t* length) {
    if (c == nullptr || length == nullptr) return HAL_BAD_ARGUMENT;
    if (int status = ensureResponse(c)) return status;
    // The headers were refused already when the length cannot be read.
    int64_t value = -1;
    if (!contentLength(c, value)) return HAL_IO_ERROR;
    *length = value;
    return HAL_OK;
}

int HAL_readHTTPConnection(HAL_HTTPConnection* c, const uint8_t** buffer, int32_t* count) {
    if (c == nullptr || buffer == nullptr || count == nullptr) return HAL_BAD_ARGUMENT;
    *count = 0;
    if (int status = ensureResponse(c)) return status;
    if (c->inputClosed) return HAL_END_OF_DATA;
    if (!pump(c, [c] { return c->pending.size() > c->pendingStart; })) return HAL_IO_ERROR;
    const size_t available = c->pending.size() - c->pendingStart;
    if (available > 0) {
        const size_t n = std::min(available, size_t(kReadChunk));
        std::memcpy(c->readBuffer, c->pending.data() + c->pendingStart, n);
        c->pendingStart += n;
        if (c->pendingStart == c->pending.size()) {
            c->pending.clear();
            c->pendingStart = 0;
        }
        *buffer = c->readBuffer;
        *count = int32_t(n);
        return HAL_OK;
    }
    return c->failed ? HAL_IO_ERROR : HAL_END_OF_DATA;
}

int HAL_closeHTTPInput(HAL_HTTPConnection* c) {
    if (c == nullptr) return HAL_BAD_ARGUMENT;
    if (c->busy) return HAL_IO_ERROR;
    c->inputClosed = true;
    if (c->started && !c->done) endTransfer(c, false);
    std::vector<uint8_t>().swap(c->pending);
    c->pendingStart = 0;
    return HAL_OK;
}

int HAL_writeHTTPConnection(HAL_HTTPConnection* c, const uint8_t* bytes, int32_t count) {
    if (c == nullptr || count < 0 || (bytes == nullptr && count > 0)) return HAL_BAD_ARGUMENT;
    if (c->started) return HAL_IO_ERROR;
    int64_t cap;
    {
        std::lock_guard<std::mutex> guard(g_settingsMutex);
        cap = g_settings.maxRequestBody;
    }
    if (int64_t(c->body.size()) + count > cap) return HAL_IO_ERROR;
    try {
        c->body.insert(c->body.end(), bytes, bytes + count);
    } catch (const std::bad_alloc&) {
        return HAL_IO_ERROR;
    }
    return HAL_OK;
}

int HAL_flushHTTPConnection(HAL_HTTPConnection* c) { return c == nullptr ? HAL_BAD_ARGUMENT : HAL_OK; }

void HAL_releaseHTTP() {
    std::lock_guard<std::mutex> guard(g_globalMutex);
    g_released = true;
    // A connection still open (a thread the runtime could not stop may wait
    // in it) keeps libcurl's global state until the process ends.
    if (!g_curlReady || g_curlUses > 0) return;
    g_curl->global_cleanup();
    g_curlReady = false;
}

void HAL_setHTTPSettings(const HAL_HTTPSettings* settings) {
    std::lock_guard<std::mutex> guard(g_settingsMutex);
    g_settings = settings ? *settings : HAL_HTTPSettings{};
    g_caFile = g_settings.caFile ? g_settings.caFile : "";
    g_settings.caFile = nullptr;
}
