// HTTP and HTTPS connections of the platform layer against a loopback server
// the test starts: URL parts, requests with their methods, headers and
// bodies, responses read in pieces, redirects, refusals, caps and time-outs.
#include "hal_http.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hal_string.h"
#include "hal_system.h"
#include "hal_thread.h"
#include "hal_property.h"
#include "http_server.h"
#include "program_dir.h"

namespace {

using Headers = std::vector<std::pair<std::string, std::string>>;

std::u16string wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// The text of a native string (ASCII), released; "<null>" for none.
std::string take(NativeString* s) {
    if (s == nullptr) return "<null>";
    int32_t length = 0;
    HAL_getStringLength(s, &length);
    std::u16string chars(size_t(length), u'\0');
    if (length > 0) HAL_getStringCharacters(s, chars.data());
    HAL_freeString(s);
    return std::string(chars.begin(), chars.end());
}

class HalHttpTest : public ::testing::Test {
protected:
    void SetUp() override { settings({}); }
    void TearDown() override {
        for (HAL_HTTPConnection* c : open_) HAL_closeHTTPConnection(c);
        HAL_setHTTPSettings(nullptr);
    }
    // Short time-outs for every test; the caller changes what it needs.
    void settings(HAL_HTTPSettings s) {
        s.connectTimeoutMs = 2000;
        if (s.stallTimeoutMs == HAL_HTTPSettings{}.stallTimeoutMs) s.stallTimeoutMs = 2000;
        s.caFile = HttpTestServer::certificateFile().c_str();
        HAL_setHTTPSettings(&s);
    }
    HAL_HTTPConnection* open(const std::string& url) {
        std::u16string u = wide(url);
        HAL_HTTPConnection* c = nullptr;
        EXPECT_EQ(HAL_createHTTPConnection(&c, u.data(), int32_t(u.size())), HAL_OK) << url;
        if (c != nullptr) open_.push_back(c);
        return c;
    }
    void close(HAL_HTTPConnection* c) {
        std::erase(open_, c);
        EXPECT_EQ(HAL_closeHTTPConnection(c), HAL_OK);
    }
    static int setHeader(HAL_HTTPConnection* c, const std::u16string& key, const std::u16string& value) {
        return HAL_setHTTPRequestProperty(c, key.data(), int32_t(key.size()), value.data(), int32_t(value.size()));
    }
    static std::string header(HAL_HTTPConnection* c, const std::u16string& name, int* status = nullptr) {
        NativeString* s = nullptr;
        int st = HAL_getHTTPHeaderField(c, name.data(), int32_t(name.size()), &s);
        if (status) *status = st;
        return take(s);
    }
    // The whole body; the status that ended it goes into *end.
    static std::string body(HAL_HTTPConnection* c, int* end = nullptr, int32_t* largestPiece = nullptr) {
        std::string out;
        for (;;) {
            const uint8_t* data = nullptr;
            int32_t n = 0;
            int status = HAL_readHTTPConnection(c, &data, &n);
            if (status != HAL_OK) {
                if (end) *end = status;
                return out;
            }
            EXPECT_GT(n, 0);
            if (largestPiece && n > *largestPiece) *largestPiece = n;
            out.append(reinterpret_cast<const char*>(data), size_t(n));
        }
    }
    static int32_t code(HAL_HTTPConnection* c) {
        int32_t value = -2;
        EXPECT_EQ(HAL_getHTTPResponseCode(c, &value), HAL_OK);
        return value;
    }

    std::vector<HAL_HTTPConnection*> open_;
};

TEST_F(HalHttpTest, UrlPartsAndRefusedUrls) {
    struct Case {
        const char* url;
        const char* host;
        const char* file;
        const char* query;
        const char* ref;
        int32_t port;
    };
    const Case cases[] = {
        {"http://example.test/a/b.txt?x=1&y=2#top", "example.test", "/a/b.txt", "x=1&y=2", "top", 80},
        {"http://example.test", "example.test", "/", "<null>", "<null>", 80},
        {"https://example.test:8443/p", "example.test", "/p", "<null>", "<null>", 8443},
        {"https://example.test/", "example.test", "/", "<null>", "<null>", 80},  // https maps 80 itself
        {"http://127.0.0.1:81/?", "127.0.0.1", "/", "", "<null>", 81},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        HAL_HTTPConnection* h = open(c.url);
        ASSERT_NE(h, nullptr);
        NativeString* s = nullptr;
        EXPECT_EQ(HAL_getHTTPURL(h, &s), HAL_OK);
        EXPECT_EQ(take(s), c.url);
        s = nullptr;
        HAL_getHTTPHost(h, &s);
        EXPECT_EQ(take(s), c.host);
        s = nullptr;
        HAL_getHTTPFile(h, &s);
        EXPECT_EQ(take(s), c.file);
        s = nullptr;
        HAL_getHTTPQuery(h, &s);
        EXPECT_EQ(take(s), c.query);
        s = nullptr;
        HAL_getHTTPRef(h, &s);
        EXPECT_EQ(take(s), c.ref);
        int32_t port = 0;
        EXPECT_EQ(HAL_getHTTPPort(h, &port), HAL_OK);
        EXPECT_EQ(port, c.port);
        s = nullptr;
        HAL_getHTTPRequestMethod(h, &s);
        EXPECT_EQ(take(s), "GET");
    }

    for (const char* bad : {"ftp://example.test/", "http://", "example.test/x", "http://exa mple.test/",
                            "http://example.test/\r\nX: y", "http://example.test:99999/", "file:///etc/passwd"}) {
        SCOPED_TRACE(bad);
        std::u16string u = wide(bad);
        HAL_HTTPConnection* h = reinterpret_cast<HAL_HTTPConnection*>(1);
        EXPECT_EQ(HAL_createHTTPConnection(&h, u.data(), int32_t(u.size())), HAL_BAD_ARGUMENT);
        EXPECT_EQ(h, nullptr);
    }
    EXPECT_EQ(HAL_createHTTPConnection(nullptr, u"http://a/", 9), HAL_BAD_ARGUMENT);
    const char16_t lone[] = {u'h', u't', u't', u'p', u':', u'/', u'/', u'a', 0xD800};
    HAL_HTTPConnection* h = nullptr;
    EXPECT_EQ(HAL_createHTTPConnection(&h, lone, 9), HAL_BAD_ARGUMENT);
}

TEST_F(HalHttpTest, GetSendsHeadersAndReadsTheResponse) {
    HttpTestServer server([](const HttpTestRequest&, HttpTestReply& reply) {
        reply.respond(
            200, "OK", "hello",
            {{"Content-Type", "text/plain"}, {"X-Caf\xe9", "cr\xe8me"}, {"X-Twice", "one"}, {"X-Twice", "two"}});
    });
    HAL_HTTPConnection* c = open(server.url("/path?q=1#frag"));
    EXPECT_EQ(setHeader(c, u"X-Token", u"abc"), HAL_OK);
    EXPECT_EQ(setHeader(c, u"x-token", u"def"), HAL_OK);  // the same header, replaced
    EXPECT_EQ(setHeader(c, u"X-Empty", u""), HAL_OK);
    NativeString* s = nullptr;
    EXPECT_EQ(HAL_getHTTPRequestProperty(c, u"X-TOKEN", 7, &s), HAL_OK);
    EXPECT_EQ(take(s), "def");  // what was set, before anything was sent
    s = nullptr;
    EXPECT_EQ(HAL_getHTTPRequestProperty(c, u"X-Other", 7, &s), HAL_OK);
    EXPECT_EQ(s, nullptr);

    EXPECT_EQ(code(c), 200);
    s = nullptr;
    EXPECT_EQ(HAL_getHTTPResponseMessage(c, &s), HAL_OK);
    EXPECT_EQ(take(s), "OK");
    EXPECT_EQ(header(c, u"content-type"), "text/plain");
    EXPECT_EQ(header(c, u"X-Twice"), "one");
    int status = 0;
    EXPECT_EQ(header(c, u"X-Missing", &status), "<null>");
    EXPECT_EQ(status, HAL_NOT_FOUND);

    // By index: 0 is the status line, without a name.
    std::vector<std::string> keys, values;
    for (int32_t i = 0;; ++i) {
        NativeString* k = nullptr;
        NativeString* v = nullptr;
        int vs = HAL_getHTTPHeaderFieldAt(c, i, &v);
        int ks = HAL_getHTTPHeaderFieldKey(c, i, &k);
        if (vs == HAL_NOT_FOUND) {
            EXPECT_EQ(ks, HAL_NOT_FOUND);
            break;
        }
        EXPECT_EQ(ks, i == 0 ? HAL_NOT_FOUND : HAL_OK);
        keys.push_back(take(k));
        values.push_back(take(v));
    }
    ASSERT_EQ(values.size(), 7u);
    EXPECT_EQ(values[0], "HTTP/1.1 200 OK");
    EXPECT_EQ(keys[0], "<null>");
    EXPECT_EQ(keys[1], "Content-Type");
    EXPECT_EQ(keys[2], "X-Caf\xe9");  // header bytes are ISO-8859-1 characters
    EXPECT_EQ(values[2], "cr\xe8me");
    EXPECT_EQ(keys[5], "Content-Length");
    NativeString* none = nullptr;
    EXPECT_EQ(HAL_getHTTPHeaderFieldAt(c, -1, &none), HAL_NOT_FOUND);

    int64_t length = 0;
    EXPECT_EQ(HAL_getHTTPLength(c, &length), HAL_OK);
    EXPECT_EQ(length, 5);
    s = nullptr;
    EXPECT_EQ(HAL_getHTTPEncoding(c, &s), HAL_NOT_FOUND);
    int end = 0;
    EXPECT_EQ(body(c, &end), "hello");
    EXPECT_EQ(end, HAL_END_OF_DATA);
    const uint8_t* data = nullptr;
    int32_t n = 0;
    EXPECT_EQ(HAL_readHTTPConnection(c, &data, &n), HAL_END_OF_DATA);

    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/path?q=1");  // the fragment stays with the client
    EXPECT_EQ(requests[0].header("X-Token"), "def");
    EXPECT_TRUE(requests[0].hasHeader("X-Empty"));
    EXPECT_EQ(requests[0].header("X-Empty"), "");
    EXPECT_FALSE(requests[0].hasHeader("Content-Type"));
    EXPECT_EQ(requests[0].body, "");

    // Once sent, nothing of the request changes any more.
    EXPECT_EQ(setHeader(c, u"X-Late", u"1"), HAL_IO_ERROR);
    EXPECT_EQ(HAL_setHTTPRequestMethod(c, u"POST", 4), HAL_IO_ERROR);
    EXPECT_EQ(HAL_writeHTTPConnection(c, reinterpret_cast<const uint8_t*>("x"), 1), HAL_IO_ERROR);
}

TEST_F(HalHttpTest, TheUserAgentIsTheApplicationsName) {
    TempProgramDir dir("hal_http_agent");
    dir.put("properties/app.prop", "MIDlet-Name: Vessilo Test\n");
    HAL_loadProperties();
    HttpTestServer server([](const HttpTestRequest&, HttpTestReply& reply) { reply.respond(200, "OK", ""); });
    EXPECT_EQ(code(open(server.url("/"))), 200);
    HAL_releaseProperties();
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].header("User-Agent"), "Vessilo Test");
}

TEST_F(HalHttpTest, MethodsGoOutInUpperCaseWithTheirBodies) {
    HttpTestServer server([](const HttpTestRequest& request, HttpTestReply& reply) {
        reply.respond(201, "Created", request.method == "HEAD" ? "" : "echo:" + request.body,
                      {{"Content-Type", "application/x-test"}});
    });

    HAL_HTTPConnection* post = open(server.url("/post"));
    EXPECT_EQ(HAL_setHTTPRequestMethod(post, u"post", 4), HAL_OK);
    NativeString* s = nullptr;
    HAL_getHTTPRequestMethod(post, &s);
    EXPECT_EQ(take(s), "POST");
    EXPECT_EQ(setHeader(post, u"Content-Length", u"999"), HAL_OK);  // the body's own length goes out
    EXPECT_EQ(HAL_writeHTTPConnection(post, reinterpret_cast<const uint8_t*>("abc"), 3), HAL_OK);
    EXPECT_EQ(HAL_writeHTTPConnection(post, reinterpret_cast<const uint8_t*>("def"), 3), HAL_OK);
    EXPECT_EQ(HAL_writeHTTPConnection(post, nullptr, 0), HAL_OK);
    EXPECT_EQ(HAL_writeHTTPConnection(post, nullptr, 2), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_flushHTTPConnection(post), HAL_OK);
    EXPECT_EQ(code(post), 201);
    EXPECT_EQ(body(post), "echo:abcdef");

    HAL_HTTPConnection* empty = open(server.url("/empty"));
    EXPECT_EQ(HAL_setHTTPRequestMethod(empty, u"POST", 4), HAL_OK);
    EXPECT_EQ(setHeader(empty, u"Content-Type", u"text/plain"), HAL_OK);
    EXPECT_EQ(code(empty), 201);

    HAL_HTTPConnection* head = open(server.url("/head"));
    EXPECT_EQ(HAL_setHTTPRequestMethod(head, u"Head", 4), HAL_OK);
    EXPECT_EQ(code(head), 201);
    int end = 0;
    EXPECT_EQ(body(head, &end), "");
    EXPECT_EQ(end, HAL_END_OF_DATA);

    EXPECT_EQ(HAL_setHTTPRequestMethod(head, u"G T", 3), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_setHTTPRequestMethod(head, u"", 0), HAL_BAD_ARGUMENT);

    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, "abcdef");
    EXPECT_EQ(requests[0].header("Content-Length"), "6");
    EXPECT_FALSE(requests[0].hasHeader("Content-Type"));  // none unless the caller sets one
    EXPECT_FALSE(requests[0].hasHeader("Expect"));
    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[1].header("Content-Length"), "0");
    EXPECT_EQ(requests[1].header("Content-Type"), "text/plain");
    EXPECT_EQ(requests[2].method, "HEAD");
}

TEST_F(HalHttpTest, InjectedHeadersAreRefusedAndNeverSent) {
    HttpTestServer server([](const HttpTestRequest&, HttpTestReply& reply) { reply.respond(200, "OK", ""); });
    HAL_HTTPConnection* c = open(server.url("/"));
    struct Case {
        std::u16string key, value;
    };
    const Case refused[] = {
        {u"X-A", u"v\r\nX-Injected: 1"},
        {u"X-A", u"v\nX-Injected: 1"},
        {u"X-A", u"v\rw"},
        {u"X-A", std::u16string(u"v\0w", 3)},
        {u"X-A\r\nX-Injected", u"1"},
        {u"X A", u"1"},
        {u"X:A", u"1"},
        {u"", u"1"},
        {u"X-\u00e9", u"1"},
        {u"X-A", std::u16string(1, char16_t(0xDC00))},
    };
    for (const Case& r : refused) EXPECT_EQ(setHeader(c, r.key, r.value), HAL_IO_ERROR);
    EXPECT_EQ(HAL_setHTTPRequestProperty(c, nullptr, 0, u"1", 1), HAL_IO_ERROR);
    EXPECT_EQ(setHeader(c, u"X-Fine", u"caf\u00e9 \u20ac"), HAL_OK);  // sent as UTF-8
    EXPECT_EQ(code(c), 200);
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].hasHeader("X-Injected"));
    EXPECT_FALSE(requests[0].hasHeader("X-A"));
    EXPECT_EQ(requests[0].header("X-Fine"), "caf\xc3\xa9 \xe2\x82\xac");
}

TEST_F(HalHttpTest, BodiesChunkedUnsizedLargeAnd404) {
    std::string big(100000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7 + i / 251);
    HttpTestServer server([&big](const HttpTestRequest& request, HttpTestReply& reply) {
        if (request.target == "/chunked") {
            reply.send(
                "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                "5\r\nhello\r\n7\r\n, world\r\n0\r\nX-Trailer: t\r\n\r\n");
        } else if (request.target == "/unsized") {
            reply.send("HTTP/1.0 200 OK\r\n\r\nuntil the end");
        } else if (request.target == "/big") {
            reply.respond(200, "OK", big);
        } else {
            reply.respond(404, "Not Found", "nothing here");
        }
    });

    HAL_HTTPConnection* chunked = open(server.url("/chunked"));
    NativeString* s = nullptr;
    EXPECT_EQ(HAL_getHTTPEncoding(chunked, &s), HAL_OK);
    EXPECT_EQ(take(s), "chunked");
    int64_t length = 0;
    EXPECT_EQ(HAL_getHTTPLength(chunked, &length), HAL_OK);
    EXPECT_EQ(length, -1);
    EXPECT_EQ(body(chunked), "hello, world");
    EXPECT_EQ(header(chunked, u"X-Trailer"), "<null>");  // trailers are not headers

    HAL_HTTPConnection* unsized = open(server.url("/unsized"));
    EXPECT_EQ(body(unsized), "until the end");
    EXPECT_EQ(HAL_getHTTPLength(unsized, &length), HAL_OK);
    EXPECT_EQ(length, -1);
    s = nullptr;
    EXPECT_EQ(HAL_getHTTPType(unsized, &s), HAL_NOT_FOUND);

    HAL_HTTPConnection* large = open(server.url("/big"));
    int32_t largest = 0;
    int end = 0;
    EXPECT_EQ(body(large, &end, &largest), big);
    EXPECT_EQ(end, HAL_END_OF_DATA);
    EXPECT_LE(largest, 4096);

    HAL_HTTPConnection* missing = open(server.url("/missing"));
    EXPECT_EQ(code(missing), 404);
    s = nullptr;
    EXPECT_EQ(HAL_getHTTPResponseMessage(missing, &s), HAL_OK);
    EXPECT_EQ(take(s), "Not Found");
    EXPECT_EQ(body(missing), "nothing here");

    // Closing the input drops the rest; the headers stay.
    HAL_HTTPConnection* dropped = open(server.url("/big"));
    const uint8_t* data = nullptr;
    int32_t n = 0;
    EXPECT_EQ(HAL_readHTTPConnection(dropped, &data, &n), HAL_OK);
    EXPECT_EQ(HAL_closeHTTPInput(dropped), HAL_OK);
    EXPECT_EQ(HAL_readHTTPConnection(dropped, &data, &n), HAL_END_OF_DATA);
    EXPECT_EQ(code(dropped), 200);
}

TEST_F(HalHttpTest, RedirectsAreFollowedFiveTimesAtMost) {
    HttpTestServer server([](const HttpTestRequest& request, HttpTestReply& reply) {
        const std::string& t = request.target;
        if (t.rfind("/hop/", 0) == 0) {
            int left = std::stoi(t.substr(5));
            std::string next = left > 0 ? "/hop/" + std::to_string(left - 1) : "/done";
            reply.respond(302, "Found", "moved", {{"Location", next}, {"X-Hop", t}});
        } else if (t == "/ftp") {
            reply.respond(301, "Moved", "", {{"Location", "ftp://127.0.0.1/x"}});
        } else if (t == "/see-other") {
            reply.respond(303, "See Other", "", {{"Location", "/done"}});
        } else if (t == "/no-location") {
            reply.respond(302, "Found", "stay");
        } else {
            reply.respond(200, "OK", "arrived by " + request.method, {{"X-Final", "yes"}});
        }
    });

    HAL_HTTPConnection* four = open(server.url("/hop/4"));  // five redirects in all
    EXPECT_EQ(code(four), 200);
    EXPECT_EQ(header(four, u"X-Final"), "yes");
    EXPECT_EQ(header(four, u"X-Hop"), "<null>");  // only the last response's headers
    EXPECT_EQ(body(four), "arrived by GET");

    HAL_HTTPConnection* five = open(server.url("/hop/5"));  // a sixth is one too many
    int32_t value = 0;
    EXPECT_EQ(HAL_getHTTPResponseCode(five, &value), HAL_IO_ERROR);

    HAL_HTTPConnection* ftp = open(server.url("/ftp"));
    EXPECT_EQ(HAL_getHTTPResponseCode(ftp, &value), HAL_IO_ERROR);

    HAL_HTTPConnection* post = open(server.url("/see-other"));
    HAL_setHTTPRequestMethod(post, u"POST", 4);
    EXPECT_EQ(code(post), 200);
    EXPECT_EQ(body(post), "arrived by GET");

    HAL_HTTPConnection* stay = open(server.url("/no-location"));
    EXPECT_EQ(code(stay), 302);
    EXPECT_EQ(body(stay), "stay");
}

TEST_F(HalHttpTest, RedirectsKeepTheCallersHeadersAtHomeAndNeverFallBackToPlainHttp) {
    HttpTestServer other([](const HttpTestRequest& request, HttpTestReply& reply) {
        reply.respond(200, "OK", "other saw [" + request.header("X-Secret") + "]");
    });
    HttpTestServer home([&](const HttpTestRequest& request, HttpTestReply& reply) {
        const std::string& t = request.target;
        if (t == "/away") {
            reply.respond(302, "Found", "moved", {{"Location", other.url("/there")}});
        } else if (t == "/near") {
            reply.respond(302, "Found", "moved", {{"Location", "/there"}});
        } else if (t == "/keep") {
            reply.respond(307, "Temporary Redirect", "", {{"Location", "/there"}});
        } else if (t == "/post-found") {
            reply.respond(302, "Found", "", {{"Location", "/there"}});
        } else {
            reply.respond(
                200, "OK",
                "home saw [" + request.header("X-Secret") + "] " + request.method + " [" + request.body + "]");
        }
    });
    HttpTestServer secure(
        [&](const HttpTestRequest& request, HttpTestReply& reply) {
            if (request.target == "/down")
                reply.respond(302, "Found", "", {{"Location", other.url("/there")}});
            else if (request.target == "/stay")
                reply.respond(301, "Moved", "", {{"Location", "/there"}});
            else
                reply.respond(200, "OK", "secure saw [" + request.header("X-Secret") + "]");
        },
        true);
    auto withSecret = [&](const std::string& url) {
        HAL_HTTPConnection* c = open(url);
        EXPECT_EQ(setHeader(c, u"X-Secret", u"s3"), HAL_OK);
        return c;
    };

    HAL_HTTPConnection* away = withSecret(home.url("/away"));  // another port is another origin
    EXPECT_EQ(code(away), 200);
    EXPECT_EQ(body(away), "other saw []");
    HAL_HTTPConnection* near = withSecret(home.url("/near"));
    EXPECT_EQ(code(near), 200);
    EXPECT_EQ(body(near), "home saw [s3] GET []");

    // 307 keeps the method and the body; 302 turns a POST into a GET.
    HAL_HTTPConnection* keep = withSecret(home.url("/keep"));
    HAL_setHTTPRequestMethod(keep, u"POST", 4);
    EXPECT_EQ(HAL_writeHTTPConnection(keep, reinterpret_cast<const uint8_t*>("data"), 4), HAL_OK);
    EXPECT_EQ(code(keep), 200);
    EXPECT_EQ(body(keep), "home saw [s3] POST [data]");
    HAL_HTTPConnection* found = withSecret(home.url("/post-found"));
    HAL_setHTTPRequestMethod(found, u"POST", 4);
    EXPECT_EQ(HAL_writeHTTPConnection(found, reinterpret_cast<const uint8_t*>("data"), 4), HAL_OK);
    EXPECT_EQ(code(found), 200);
    EXPECT_EQ(body(found), "home saw [s3] GET []");

    // From https on, a redirect to plain http is refused before anything is sent there.
    const size_t seenBefore = other.requests().size();
    HAL_HTTPConnection* down = withSecret(secure.url("/down"));
    int32_t value = 0;
    EXPECT_EQ(HAL_getHTTPResponseCode(down, &value), HAL_IO_ERROR);
    EXPECT_EQ(other.requests().size(), seenBefore);
    HAL_HTTPConnection* stay = withSecret(secure.url("/stay"));
    EXPECT_EQ(code(stay), 200);
    EXPECT_EQ(body(stay), "secure saw [s3]");
}

TEST_F(HalHttpTest, BlankValuesAndCharactersBeyondTheBasicPlaneGoOutAsWritten) {
    HttpTestServer server([](const HttpTestRequest&, HttpTestReply& reply) { reply.respond(200, "OK", "ok"); });
    HAL_HTTPConnection* c = open(server.url("/h"));
    EXPECT_EQ(setHeader(c, u"X-Blank", u"   "), HAL_OK);
    EXPECT_EQ(setHeader(c, u"X-Tab", u"\t"), HAL_OK);
    EXPECT_EQ(setHeader(c, u"Content-Type", u" "), HAL_OK);  // also one libcurl would add itself
    EXPECT_EQ(setHeader(c, u"X-Wide", u"a\xD83D\xDE00z\x00E9"), HAL_OK);
    EXPECT_EQ(setHeader(c, u"X-Lone", u"\xD83D"), HAL_IO_ERROR);
    EXPECT_EQ(setHeader(c, u"X-Lone", u"a\xDE00"), HAL_IO_ERROR);
    HAL_setHTTPRequestMethod(c, u"POST", 4);
    EXPECT_EQ(HAL_writeHTTPConnection(c, reinterpret_cast<const uint8_t*>("x"), 1), HAL_OK);
    EXPECT_EQ(code(c), 200);
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const HttpTestRequest& r = requests[0];
    for (const char* name : {"X-Blank", "X-Tab", "Content-Type"}) {
        EXPECT_TRUE(r.hasHeader(name)) << name;
        EXPECT_EQ(r.header(name), "") << name;
    }
    EXPECT_EQ(r.header("X-Wide"), "a\xF0\x9F\x98\x80z\xC3\xA9");
    EXPECT_FALSE(r.hasHeader("X-Lone"));
}

TEST_F(HalHttpTest, AContentLengthIsReadOneWayByTheLengthAndTheBodyOrRefused) {
    HttpTestServer server([](const HttpTestRequest& request, HttpTestReply& reply) {
        // "/<header lines, '|' between them>": raw headers, then "hello world"
        // (or "hello" in one chunk).
        std::string lines = request.target.substr(1), head;
        for (size_t at = 0; at <= lines.size();) {
            size_t bar = lines.find('|', at);
            if (bar == std::string::npos) bar = lines.size();
            if (bar > at) head += lines.substr(at, bar - at) + "\r\n";
            at = bar + 1;
        }
        const bool chunked = lines.find("chunked") != std::string::npos;
        reply.send("HTTP/1.1 200 OK\r\n" + head + "Connection: close\r\n\r\n" +
                   (chunked ? "5\r\nhello\r\n0\r\n\r\n" : "hello world"));
    });
    struct Case {
        const char* headers;
        int status;      // of the response's headers
        int64_t length;  // when they are read
        const char* body;
    };
    const Case cases[] = {
        {"Content-Length:5", HAL_OK, 5, "hello"},
        {"Content-Length:5|Content-Length:5", HAL_OK, 5, "hello"},
        {"Content-Length:0000000000000000005", HAL_OK, 5, "hello"},
        {"", HAL_OK, -1, "hello world"},
        {"Transfer-Encoding:chunked|Content-Length:3", HAL_OK, -1, "hello"},
        {"Content-Length:+5", HAL_IO_ERROR, 0, ""},
        {"Content-Length:-5", HAL_IO_ERROR, 0, ""},
        {"Content-Length:5x", HAL_IO_ERROR, 0, ""},
        {"Content-Length:0x5", HAL_IO_ERROR, 0, ""},
        {"Content-Length:", HAL_IO_ERROR, 0, ""},
        {"Content-Length:5|Content-Length:6", HAL_IO_ERROR, 0, ""},
        {"Content-Length:9223372036854775808", HAL_IO_ERROR, 0, ""},
        {"Content-Length:99999999999999999999", HAL_IO_ERROR, 0, ""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.headers);
        HAL_HTTPConnection* c = open(server.url(std::string("/") + test.headers));
        int32_t value = 0;
        EXPECT_EQ(HAL_getHTTPResponseCode(c, &value), test.status);
        int64_t length = 0;
        EXPECT_EQ(HAL_getHTTPLength(c, &length), test.status);
        if (test.status != HAL_OK) continue;
        EXPECT_EQ(length, test.length);
        EXPECT_EQ(body(c), test.body);
    }
    // A length of 19 digits is a length: the body stops short of it, which is a failure.
    HAL_HTTPConnection* huge = open(server.url("/Content-Length:1234567890123456789"));
    int64_t length = 0;
    EXPECT_EQ(HAL_getHTTPLength(huge, &length), HAL_OK);
    EXPECT_EQ(length, 1234567890123456789LL);
    int end = 0;
    EXPECT_EQ(body(huge, &end), "hello world");
    EXPECT_EQ(end, HAL_IO_ERROR);
}

TEST_F(HalHttpTest, ResponseBodyOverTheCapFailsAfterWhatFitted) {
    HAL_HTTPSettings s;
    s.maxResponseBody = 10000;
    s.maxRequestBody = 8;
    settings(s);
    HttpTestServer server(
        [](const HttpTestRequest&, HttpTestReply& reply) { reply.respond(200, "OK", std::string(50000, 'x')); });
    HAL_HTTPConnection* c = open(server.url("/"));
    int end = 0;
    std::string got = body(c, &end);
    EXPECT_EQ(end, HAL_IO_ERROR);
    EXPECT_LE(got.size(), 10000u);
    EXPECT_EQ(got, std::string(got.size(), 'x'));

    HAL_HTTPConnection* post = open(server.url("/"));
    EXPECT_EQ(HAL_writeHTTPConnection(post, reinterpret_cast<const uint8_t*>("12345678"), 8), HAL_OK);
    EXPECT_EQ(HAL_writeHTTPConnection(post, reinterpret_cast<const uint8_t*>("9"), 1), HAL_IO_ERROR);
}

TEST_F(HalHttpTest, SilentServersAndRefusedConnectionsEndInFailure) {
    HAL_HTTPSettings s;
    s.stallTimeoutMs = 300;
    settings(s);
    HttpTestServer server([](const HttpTestRequest& request, HttpTestReply& reply) {
        if (request.target == "/mid-body") {
            reply.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart");
        }
        reply.stall(5000);
    });
    HAL_HTTPConnection* silent = open(server.url("/silent"));
    const uint64_t start = HAL_getTickCount();
    int32_t value = 0;
    EXPECT_EQ(HAL_getHTTPResponseCode(silent, &value), HAL_IO_ERROR);
    EXPECT_LT(HAL_getTickCount() - start, 4000u);  // bounded by the stall time-out, not the server
    close(silent);                                 // the server goes on to the next connection once this one is gone

    HAL_HTTPConnection* midBody = open(server.url("/mid-body"));
    EXPECT_EQ(code(midBody), 200);
    int end = 0;
    EXPECT_EQ(body(midBody, &end), "part");
    EXPECT_EQ(end, HAL_IO_ERROR);
    EXPECT_EQ(code(midBody), 200);  // the headers that did arrive stay readable

    // A port nobody listens on.
    int port;
    {
        HttpTestServer gone([](const HttpTestRequest&, HttpTestReply&) {});
        port = gone.port();
    }
    HAL_HTTPConnection* refused = open("http://127.0.0.1:" + std::to_string(port) + "/");
    EXPECT_EQ(HAL_getHTTPResponseCode(refused, &value), HAL_IO_ERROR);
    NativeString* str = nullptr;
    EXPECT_EQ(HAL_getHTTPHeaderField(refused, u"Date", 4, &str), HAL_IO_ERROR);
}

TEST_F(HalHttpTest, HttpsVerifiesTheServerCertificate) {
    HttpTestServer server([](const HttpTestRequest& request,
                             HttpTestReply& reply) { reply.respond(200, "OK", "secret " + request.target); },
                          true);
    HAL_HTTPConnection* trusted = open(server.url("/s"));
    EXPECT_EQ(code(trusted), 200);
    EXPECT_EQ(body(trusted), "secret /s");

    // Without the test's certificate among the trusted ones, nothing is read.
    HAL_HTTPSettings s;
    s.connectTimeoutMs = 2000;
    s.stallTimeoutMs = 2000;
    HAL_setHTTPSettings(&s);
    HAL_HTTPConnection* untrusted = open(server.url("/s"));
    int32_t value = 0;
    EXPECT_EQ(HAL_getHTTPResponseCode(untrusted, &value), HAL_IO_ERROR);
    const uint8_t* data = nullptr;
    int32_t n = 0;
    EXPECT_EQ(HAL_readHTTPConnection(untrusted, &data, &n), HAL_IO_ERROR);

    // Plain HTTP to the TLS server is no response either.
    settings({});
    std::string plain = server.url("/s");
    plain.replace(0, 5, "http");
    HAL_HTTPConnection* mismatched = open(plain);
    EXPECT_EQ(HAL_getHTTPResponseCode(mismatched, &value), HAL_IO_ERROR);
}

}  // namespace
