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
// followed, to http and https URLs only; the response body is capped.
//
// Statuses: 0 success, 2 a null handle or bad argument, 3 no more response
// data, 4 no such value, 5 out of memory, 7 a network or protocol failure
// (also for a call made while another thread waits on the same connection).
#pragma once

#include <cstdint>

struct HAL_HTTPConnection;
struct NativeString;

// Makes a connection for the whole URL (scheme included). 2 for a null
// pointer or a URL that is not an absolute http or https URL (then *handle
// is null); 0 otherwise, *handle null when memory ran out.
int HAL_createHTTPConnection(HAL_HTTPConnection** handle, const char16_t* url, int32_t length);
// Closes and frees the connection; a thread waiting on it is woken and gets
// 7. 2 for a null handle, else 0.
int HAL_closeHTTPConnection(HAL_HTTPConnection* handle);

// Parts of the URL as new native strings (null when the URL has no such
// part); the caller frees them with HAL_freeString. 2 for a null argument.
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
// 2 for a null handle or characters, or a method that is not an HTTP token;
// 7 once the request has been sent.
int HAL_setHTTPRequestMethod(HAL_HTTPConnection* handle, const char16_t* method, int32_t length);
// Keeps a request header, replacing one of the same name (names compare
// without regard to case). 7, keeping nothing, for a name that is not an
// HTTP token, a value holding CR, LF or NUL, or once the request has been
// sent. A Content-Length of the caller's is kept but not sent: the length
// sent is that of the body.
int HAL_setHTTPRequestProperty(HAL_HTTPConnection* handle, const char16_t* key, int32_t keyLength,
                               const char16_t* value, int32_t valueLength);
// The value kept for that request header, or null; 0 (2 for a null handle).
int HAL_getHTTPRequestProperty(HAL_HTTPConnection* handle, const char16_t* key, int32_t keyLength,
                               NativeString** out);

// The calls below send the request first when it has not been sent, and
// wait for the response's status line and headers. 7 when the request
// cannot be sent or the response does not arrive.
int HAL_getHTTPResponseCode(HAL_HTTPConnection* handle, int32_t* code);
// The reason phrase of the status line ("OK"); 4 when there is none.
int HAL_getHTTPResponseMessage(HAL_HTTPConnection* handle, NativeString** out);
// The first response header of that name (compared without regard to
// case); 4 when absent.
int HAL_getHTTPHeaderField(HAL_HTTPConnection* handle, const char16_t* name, int32_t length, NativeString** out);
// Index 0 is the status line: its value is the whole line, and it has no
// name (4). Indexes from 1 on are the headers in the order received; 4 past
// the last one or for a negative index.
int HAL_getHTTPHeaderFieldAt(HAL_HTTPConnection* handle, int32_t index, NativeString** out);
int HAL_getHTTPHeaderFieldKey(HAL_HTTPConnection* handle, int32_t index, NativeString** out);
// The "Content-Type" value; 4 when absent.
int HAL_getHTTPType(HAL_HTTPConnection* handle, NativeString** out);
// The "Transfer-Encoding" value; 4 when absent.
int HAL_getHTTPEncoding(HAL_HTTPConnection* handle, NativeString** out);
// The "Content-Length" value, or -1 when the response gives none (or none
// that is a decimal number).
int HAL_getHTTPLength(HAL_HTTPConnection* handle, int64_t* length);

// Reads up to 4096 bytes of the response body (chunked transfer decoded)
// into the connection's own buffer, which stays valid until the next call on
// the connection. 0 with *buffer and *count (at least 1); 3 when nothing is
// left (also after HAL_closeHTTPInput); 7 on a read failure, a time-out or a
// body over the cap (the bytes that arrived before it are handed out
// first).
int HAL_readHTTPConnection(HAL_HTTPConnection* handle, const uint8_t** buffer, int32_t* count);
// Stops reading the response and drops what is left of it; 0.
int HAL_closeHTTPInput(HAL_HTTPConnection* handle);
// Appends bytes to the request body. 2 for null bytes with a positive count
// or a negative count; 7 once the request has been sent or when the body
// would grow over its cap.
int HAL_writeHTTPConnection(HAL_HTTPConnection* handle, const uint8_t* bytes, int32_t count);
// Nothing to do (the body goes out with the request); 0.
int HAL_flushHTTPConnection(HAL_HTTPConnection* handle);

// Releases the HTTP layer at shutdown: no connection can be made
// afterwards (HAL_createHTTPConnection leaves a 0 handle). libcurl's global
// state is released only when no connection is left open.
void HAL_releaseHTTP();

// --- settings (the defaults suit the phone; tests shorten them) --------------
struct HAL_HTTPSettings {
    int32_t connectTimeoutMs = 20000;       // to reach the server, TLS included
    int32_t stallTimeoutMs = 30000;         // longest wait without any progress
    int64_t maxResponseBody = 16 << 20;     // response body cap, bytes
    int64_t maxRequestBody = 4 << 20;       // request body cap, bytes
    const char* caFile = nullptr;           // certificate authorities (null: the system's)
};
// Replaces the settings for connections sent from now on (the text of
// caFile is copied). Null restores the defaults.
void HAL_setHTTPSettings(const HAL_HTTPSettings* settings);
