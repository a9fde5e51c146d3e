// Platform layer: HTTP and HTTPS connections (libcurl).
//
// A connection keeps its URL, the request method, the request headers and
// the request body until the first call that needs the response; that call
// sends the request. The response is then read as it arrives: its status
// line and headers first, its body in pieces through
// HAL_readHTTPConnection.
//
// Every call that waits for the network gives up the runtime lock while it
// waits and takes it back (running the enter callback) before it returns.
// Certificates of HTTPS servers are always verified; connecting and a
// stalled transfer are bounded by time-outs; at most 5 redirects are
// followed, to http and https URLs only, never back to http once a hop was
// https (a redirect refused fails the request); the caller's request
// headers go only to the URL's own scheme, host and port; the response body
// is capped. A response whose Content-Length is not a plain decimal number
// (or whose Content-Length headers disagree) fails as a whole.
//
// Statuses (HAL_Status): HAL_OK success, HAL_BAD_ARGUMENT a null handle or
// bad argument, HAL_END_OF_DATA no more response data, HAL_NOT_FOUND no such
// value, HAL_OUT_OF_MEMORY out of memory, HAL_IO_ERROR a network or protocol
// failure (also for a call made while another thread waits on the same
// connection).
#pragma once

#include <cstdint>

struct HAL_HTTPConnection;
struct NativeString;

// Makes a connection for the whole URL (scheme included). HAL_BAD_ARGUMENT
// for a null pointer or a URL that is not an absolute http or https URL (then
// *handle is null); HAL_OK otherwise, *handle null when memory ran out.
int HAL_createHTTPConnection(HAL_HTTPConnection** handle, const char16_t* url, int32_t length);
// Closes and frees the connection; a thread waiting on it is woken and gets
// HAL_IO_ERROR. HAL_BAD_ARGUMENT for a null handle, else HAL_OK.
int HAL_closeHTTPConnection(HAL_HTTPConnection* handle);

// Parts of the URL as new native strings (null when the URL has no such
// part); the caller frees them with HAL_freeString. HAL_BAD_ARGUMENT for a
// null argument.
int HAL_getHTTPURL(HAL_HTTPConnection* handle, NativeString** out);
int HAL_getHTTPHost(HAL_HTTPConnection* handle, NativeString** out);
int HAL_getHTTPFile(HAL_HTTPConnection* handle, NativeString** out);
int HAL_getHTTPQuery(HAL_HTTPConnection* handle, NativeString** out);
int HAL_getHTTPRef(HAL_HTTPConnection* handle, NativeString** out);
// The port written in the URL, or 80 when it names none.
int HAL_getHTTPPort(HAL_HTTPConnection* handle, int32_t* port);

// The method in upper case ("GET" until one is set).
int HAL_getHTTPRequestMethod(HAL_HTTPConnection* handle, NativeString** out);
// Keeps the method for the request, upper-cased; it is sent in upper case.
// HAL_BAD_ARGUMENT for a null handle or characters, or a method that is not
// an HTTP token; HAL_IO_ERROR once the request has been sent.
int HAL_setHTTPRequestMethod(HAL_HTTPConnection* handle, const char16_t* method, int32_t length);
// Keeps a request header, replacing one of the same name (names compare
// without regard to case). HAL_IO_ERROR, keeping nothing, for a name that is
// not an HTTP token, a value holding CR, LF, NUL or an unpaired surrogate, or
// once the request has been sent. Names and values go out as UTF-8; a value
// of nothing but blanks goes out as an empty header. A Content-Length of the
// caller's is kept but not sent: the length sent is that of the body.
int HAL_setHTTPRequestProperty(HAL_HTTPConnection* handle, const char16_t* key, int32_t keyLength,
                               const char16_t* value, int32_t valueLength);
// The value kept for that request header, or null; HAL_OK (HAL_BAD_ARGUMENT
// for a null handle).
int HAL_getHTTPRequestProperty(HAL_HTTPConnection* handle, const char16_t* key, int32_t keyLength, NativeString** out);

// The calls below send the request first when it has not been sent, and
// wait for the response's status line and headers. HAL_IO_ERROR when the request
// cannot be sent or the response does not arrive.
int HAL_getHTTPResponseCode(HAL_HTTPConnection* handle, int32_t* code);
// The reason phrase of the status line ("OK"); HAL_NOT_FOUND when there is
// none.
int HAL_getHTTPResponseMessage(HAL_HTTPConnection* handle, NativeString** out);
// The first response header of that name (compared without regard to
// case); HAL_NOT_FOUND when absent.
int HAL_getHTTPHeaderField(HAL_HTTPConnection* handle, const char16_t* name, int32_t length, NativeString** out);
// Index 0 is the status line: its value is the whole line, and it has no
// name (HAL_NOT_FOUND). Indexes from 1 on are the headers in the order
// received; HAL_NOT_FOUND past the last one or for a negative index.
int HAL_getHTTPHeaderFieldAt(HAL_HTTPConnection* handle, int32_t index, NativeString** out);
int HAL_getHTTPHeaderFieldKey(HAL_HTTPConnection* handle, int32_t index, NativeString** out);
// The "Content-Type" value; HAL_NOT_FOUND when absent.
int HAL_getHTTPType(HAL_HTTPConnection* handle, NativeString** out);
// The "Transfer-Encoding" value; HAL_NOT_FOUND when absent.
int HAL_getHTTPEncoding(HAL_HTTPConnection* handle, NativeString** out);
// The "Content-Length" value, the length the body is read by: -1 when the
// response gives none or frames its body with a Transfer-Encoding.
int HAL_getHTTPLength(HAL_HTTPConnection* handle, int64_t* length);

// Reads up to 4096 bytes of the response body (chunked transfer decoded)
// into the connection's own buffer, which stays valid until the next call on
// the connection. HAL_OK with *buffer and *count (at least 1);
// HAL_END_OF_DATA when nothing is left (also after HAL_closeHTTPInput);
// HAL_IO_ERROR on a read failure, a time-out or a
// body over the cap (the bytes that arrived before it are handed out
// first).
int HAL_readHTTPConnection(HAL_HTTPConnection* handle, const uint8_t** buffer, int32_t* count);
// Stops reading the response and drops what is left of it; HAL_OK.
int HAL_closeHTTPInput(HAL_HTTPConnection* handle);
// Appends bytes to the request body. HAL_BAD_ARGUMENT for null bytes with a
// positive count or a negative count; HAL_IO_ERROR once the request has been
// sent or when the body
// would grow over its cap.
int HAL_writeHTTPConnection(HAL_HTTPConnection* handle, const uint8_t* bytes, int32_t count);
// Nothing to do (the body goes out with the request); HAL_OK.
int HAL_flushHTTPConnection(HAL_HTTPConnection* handle);

// Releases the HTTP layer at shutdown: no connection can be made
// afterwards (HAL_createHTTPConnection leaves a 0 handle). libcurl's global
// state is released only when no connection is left open.
void HAL_releaseHTTP();

// --- settings (the defaults suit the phone; tests shorten them) --------------
struct HAL_HTTPSettings {
    int32_t connectTimeoutMs = 20000;    // to reach the server, TLS included
    int32_t stallTimeoutMs = 30000;      // longest wait without any progress
    int64_t maxResponseBody = 16 << 20;  // response body cap, bytes
    int64_t maxRequestBody = 4 << 20;    // request body cap, bytes
    const char* caFile = nullptr;        // certificate authorities (null: the system's)
};
// Replaces the settings for connections sent from now on (the text of
// caFile is copied). Null restores the defaults.
void HAL_setHTTPSettings(const HAL_HTTPSettings* settings);
