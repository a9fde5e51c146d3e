// The HTTP and HTTPS connections opened through Connector against a loopback
// server the test starts: the life cycle and its messages, requests and
// responses, streams, dates and numbers in headers, refused headers, and a
// server that stops answering.
#include <atomic>
#include <string>

#include "com_tarsel_sorrel_midp_io_HttpInputStream.h"
#include "com_tarsel_sorrel_midp_io_protocol_http_Protocol.h"
#include "com_tarsel_sorrel_midp_io_protocol_https_Protocol.h"
#include "hal_http.h"
#include "hal_thread.h"
#include "http_server.h"
#include "java_io_DataInputStream.h"
#include "java_io_DataOutputStream.h"
#include "java_lang_Thread.h"
#include "javax_microedition_io_Connector.h"
#include "javax_microedition_io_HttpConnection.h"
#include "javax_microedition_io_HttpsConnection.h"
#include "vm_boot.h"
#include "vm_test.h"

using java::lang::String;
using javax::microedition::io::Connector;
using javax::microedition::io::HttpConnection;
using javax::microedition::io::HttpsConnection;

namespace {

constexpr const char* kClosed = "java.io.IOException: HttpConnection error: the connection is closed";
constexpr const char* kConnectedProperty =
    "java.io.IOException: HttpConnection error: HTTP request property cannot be set because the connection is in the "
    "Connected state";
constexpr const char* kConnectedMethod = "java.io.IOException: HttpConnection error: HTTP method cannot be reset";

class HttpProtocolTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        setTimeouts(2000);
    }
    void TearDown() override { HAL_setHTTPSettings(nullptr); }
    static void setTimeouts(int32_t stallMs) {
        HAL_HTTPSettings s;
        s.connectTimeoutMs = 2000;
        s.stallTimeoutMs = stallMs;
        s.caFile = HttpTestServer::certificateFile().c_str();
        HAL_setHTTPSettings(&s);
    }
    static VMPtr<String> s(const std::string& t) { return String::_VM_fromUTF8(t.c_str()); }
    static VMPtr<HttpConnection> open(const std::string& url) {
        VMPtr<javax::microedition::io::Connection> c = Connector::open(s(url));
        auto* http = dynamic_cast<HttpConnection*>(c.get());
        EXPECT_NE(http, nullptr);
        return VMPtr<HttpConnection>(http);
    }
    static std::string readAll(const VMPtr<java::io::InputStream>& in) {
        std::string out;
        VMPtr<VMBytes> buffer = VMBytes::create(1000);
        for (jint n; (n = in->read(buffer, 0, buffer->length)) >= 0;)
            out.append(reinterpret_cast<const char*>(buffer->elements()), size_t(n));
        return out;
    }
    static std::string state(const VMPtr<HttpConnection>& c) {
        auto* p = dynamic_cast<com::tarsel::sorrel::midp::io::protocol::http::Protocol*>(c.get());
        return p->state == 0 ? "Setup" : p->state == 1 ? "Connected" : "Closed";
    }
};

// Answers every request with what it saw, and a few headers to read.
void echo(const HttpTestRequest& request, HttpTestReply& reply) {
    if (request.target == "/missing") {
        reply.respond(404, "Not Found", "no such page");
        return;
    }
    std::string seen =
        request.method + " " + request.target + " " + request.header("X-Mode") + " [" + request.body + "]";
    reply.respond(200, "OK", seen,
                  {{"Content-Type", "text/plain; charset=utf-8"},
                   {"Date", "Sun, 06 Nov 1994 08:49:37 GMT"},
                   {"Last-Modified", "no date at all"},
                   {"X-Number", "1234"},
                   {"X-Not-Number", "12a"}});
}

TEST_F(HttpProtocolTest, UrlGettersAndTheLifeCycle) {
    HttpTestServer server(echo);
    VMPtr<HttpConnection> c = open(server.url("/dir/file.txt?a=b#part"));
    EXPECT_EQ(state(c), "Setup");
    EXPECT_EQ(text(c->getURL()), server.url("/dir/file.txt?a=b#part"));
    EXPECT_EQ(text(c->getProtocol()), "http");
    EXPECT_EQ(text(c->getHost()), "127.0.0.1");
    EXPECT_EQ(c->getPort(), server.port());
    EXPECT_EQ(text(c->getFile()), "/dir/file.txt");
    EXPECT_EQ(text(c->getQuery()), "a=b");
    EXPECT_EQ(text(c->getRef()), "part");
    EXPECT_EQ(text(c->getRequestMethod()), "GET");

    c->setRequestProperty(VM_STR("X-Mode"), VM_STR("first"));
    EXPECT_EQ(text(c->getRequestProperty(VM_STR("x-mode"))), "first");  // answered before sending
    EXPECT_EQ(c->getRequestProperty(VM_STR("X-Other")), nullptr);
    EXPECT_EQ(state(c), "Setup");

    EXPECT_EQ(c->getResponseCode(), 200);
    EXPECT_EQ(state(c), "Connected");
    EXPECT_EQ(VM_THROWN_TEXT(c->setRequestProperty(VM_STR("X-Mode"), VM_STR("late"))), kConnectedProperty);
    EXPECT_EQ(VM_THROWN_TEXT(c->setRequestMethod(VM_STR("POST"))), kConnectedMethod);
    EXPECT_EQ(text(c->getRequestProperty(VM_STR("X-Mode"))), "first");
    EXPECT_EQ(text(c->getResponseMessage()), "OK");
    EXPECT_EQ(text(c->getType()), "text/plain; charset=utf-8");
    EXPECT_EQ(c->getEncoding(), nullptr);
    EXPECT_EQ(c->getLength(), jlong(std::string("GET /dir/file.txt?a=b first []").size()));
    EXPECT_EQ(text(c->getHeaderField(0)), "HTTP/1.1 200 OK");
    EXPECT_EQ(c->getHeaderFieldKey(0), nullptr);
    EXPECT_EQ(text(c->getHeaderFieldKey(1)), "Content-Type");
    EXPECT_EQ(text(c->getHeaderField(4)), "1234");
    EXPECT_EQ(c->getHeaderField(99), nullptr);
    EXPECT_EQ(text(c->getHeaderField(VM_STR("x-number"))), "1234");
    EXPECT_EQ(c->getHeaderField(VM_STR("X-Absent")), nullptr);
    EXPECT_EQ(readAll(c->openInputStream()), "GET /dir/file.txt?a=b first []");

    c->close();
    EXPECT_EQ(state(c), "Closed");
    EXPECT_EQ(VM_THROWN_TEXT(c->getURL()), kClosed);
    EXPECT_EQ(VM_THROWN_TEXT(c->openInputStream()), kClosed);
    EXPECT_EQ(VM_THROWN_TEXT(c->openOutputStream()), kClosed);
    EXPECT_EQ(VM_THROWN_TEXT(c->openDataOutputStream()), kClosed);
    EXPECT_EQ(VM_THROWN_TEXT(c->getResponseCode()), kClosed);
    EXPECT_EQ(VM_THROWN_TEXT(c->getRequestProperty(VM_STR("X-Mode"))), kClosed);
    EXPECT_EQ(VM_THROWN_TEXT(c->getHeaderFieldInt(VM_STR("X-Number"), 0)), kClosed);
    EXPECT_EQ(VM_THROWN_TEXT(c->getPort()), kClosed);
    EXPECT_EQ(VM_THROWN_TEXT(c->close()), "");  // closing again is fine
}

TEST_F(HttpProtocolTest, TheLengthAndTheBodyReadOneContentLengthAndAMalformedOneIsAnIOException) {
    HttpTestServer server([](const HttpTestRequest& request, HttpTestReply& reply) {
        const std::string length = request.target == "/plus"   ? "+5"
                                   : request.target == "/long" ? "1234567890123456789"
                                                               : "5";
        reply.send("HTTP/1.1 200 OK\r\nContent-Length: " + length + "\r\nConnection: close\r\n\r\nhello world");
    });
    VMPtr<HttpConnection> plain = open(server.url("/plain"));
    EXPECT_EQ(plain->getLength(), 5);
    EXPECT_EQ(readAll(plain->openInputStream()), "hello");
    VMPtr<HttpConnection> plus = open(server.url("/plus"));
    EXPECT_EQ(VM_THROWN_CLASS(plus->getLength()), "java.io.IOException");
    EXPECT_EQ(VM_THROWN_CLASS(readAll(plus->openInputStream())), "java.io.IOException");
    VMPtr<HttpConnection> longer = open(server.url("/long"));
    EXPECT_EQ(longer->getLength(), 1234567890123456789LL);
    longer->close();
}

TEST_F(HttpProtocolTest, HeaderNumbersAndDates) {
    HttpTestServer server(echo);
    VMPtr<HttpConnection> c = open(server.url("/"));
    EXPECT_EQ(c->getHeaderFieldInt(VM_STR("X-Number"), -1), 1234);
    EXPECT_EQ(state(c), "Connected");
    EXPECT_EQ(c->getHeaderFieldInt(VM_STR("X-Not-Number"), -1), -1);
    EXPECT_EQ(c->getHeaderFieldInt(VM_STR("X-Absent"), -1), -1);
    EXPECT_EQ(c->getDate(), 784111777000LL);
    EXPECT_EQ(c->getHeaderFieldDate(VM_STR("date"), -5), 784111777000LL);
    EXPECT_EQ(c->getHeaderFieldDate(VM_STR("X-Number"), -5), -5);
    EXPECT_EQ(c->getLastModified(), 0);  // not a date
    EXPECT_EQ(c->getExpiration(), 0);    // absent

    // A date query alone ends the Setup state too.
    VMPtr<HttpConnection> d = open(server.url("/"));
    EXPECT_EQ(d->getExpiration(), 0);
    EXPECT_EQ(state(d), "Connected");
    c->close();
    d->close();
}

TEST_F(HttpProtocolTest, MethodsBodiesAndTheOrderOfTheirSetting) {
    HttpTestServer server(echo);
    VMPtr<HttpConnection> c = open(server.url("/post"));
    testing::internal::CaptureStdout();
    c->setRequestMethod(VM_STR("post"));
    EXPECT_EQ(VM_THROWN_TEXT(c->setRequestMethod(VM_STR("PUT"))),
              "java.io.IOException: HttpConnection error: Invalid HTTP method");
    EXPECT_EQ(VM_THROWN_TEXT(c->setRequestMethod(nullptr)),
              "java.io.IOException: HttpConnection error: Invalid HTTP method");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "post\nPUT\nnull\n");
    EXPECT_EQ(text(c->getRequestMethod()), "POST");

    VMPtr<java::io::DataOutputStream> out = c->openDataOutputStream();
    out->writeInt(0x41424344);
    out->write(VMPtr<VMBytes>(VMBytes::create(0)));
    // The body has been written, and the headers can still be set.
    c->setRequestProperty(VM_STR("X-Mode"), VM_STR("after body"));
    EXPECT_EQ(state(c), "Setup");
    VMPtr<java::io::DataInputStream> in = c->openDataInputStream();
    EXPECT_EQ(state(c), "Connected");
    EXPECT_EQ(VM_THROWN_TEXT(c->setRequestProperty(VM_STR("X-Mode"), VM_STR("x"))), kConnectedProperty);
    EXPECT_EQ(readAll(in), "POST /post after body [ABCD]");
    // The body went out with the request: nothing more can be added.
    EXPECT_EQ(VM_THROWN_TEXT(out->writeInt(1)), "java.io.IOException: HttpConnection error: 7");
    c->close();
    EXPECT_EQ(VM_THROWN_TEXT(out->write(1)), "java.io.IOException: The input stream has been closed");

    VMPtr<HttpConnection> head = open(server.url("/head"));
    testing::internal::CaptureStdout();
    head->setRequestMethod(HttpConnection::HEAD);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(head->getResponseCode(), 200);
    EXPECT_EQ(readAll(head->openInputStream()), "");
    head->close();

    VMPtr<HttpConnection> missing = open(server.url("/missing"));
    EXPECT_EQ(missing->getResponseCode(), HttpConnection::HTTP_NOT_FOUND);
    EXPECT_EQ(text(missing->getResponseMessage()), "Not Found");
    EXPECT_EQ(readAll(missing->openInputStream()), "no such page");
    missing->close();

    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[1].method, "HEAD");
}

TEST_F(HttpProtocolTest, RefusedHeadersThrowAndNeverReachTheServer) {
    HttpTestServer server(echo);
    VMPtr<HttpConnection> c = open(server.url("/"));
    EXPECT_EQ(VM_THROWN_TEXT(c->setRequestProperty(VM_STR("X-Mode"), s("a\r\nX-Injected: 1"))),
              "java.io.IOException: HttpConnection error: 7");
    EXPECT_EQ(VM_THROWN_TEXT(c->setRequestProperty(nullptr, VM_STR("1"))),
              "java.io.IOException: HttpConnection error: 7");
    EXPECT_EQ(c->getRequestProperty(VM_STR("X-Mode")), nullptr);
    c->setRequestProperty(VM_STR("X-Mode"), nullptr);  // an empty value
    EXPECT_EQ(c->getResponseCode(), 200);
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].hasHeader("X-Injected"));
    EXPECT_TRUE(requests[0].hasHeader("X-Mode"));
    c->close();
}

TEST_F(HttpProtocolTest, StreamsOpenedTwiceAndClosedWithTheConnection) {
    HttpTestServer server([](const HttpTestRequest&, HttpTestReply& reply) {
        reply.send(
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
            "3\r\nabc\r\n3\r\ndef\r\n0\r\n\r\n");
    });
    VMPtr<HttpConnection> c = open(server.url("/"));
    VMPtr<java::io::InputStream> first = c->openInputStream();
    VMPtr<java::io::InputStream> second = c->openInputStream();
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(text(c->getEncoding()), "chunked");
    EXPECT_EQ(c->getLength(), -1);
    // Both read the one response: what one has taken the other does not see.
    EXPECT_EQ(first->read(), 'a');
    EXPECT_LE(first->available(), 5);  // the rest of the piece read
    EXPECT_EQ(readAll(first), "bcdef");
    EXPECT_EQ(second->read(), -1);
    c->close();
    // The last one is closed by the connection; the older one finds its
    // connection gone.
    EXPECT_EQ(VM_THROWN_TEXT(second->read()), "java.io.IOException: The input stream has been closed");
    EXPECT_EQ(VM_THROWN_TEXT(first->read()), "java.io.IOException: The input stream has been closed");
    EXPECT_EQ(VM_THROWN_TEXT(first->available()), "java.io.IOException: The input stream has been closed");
    EXPECT_EQ(VM_THROWN_TEXT(first->close()), "");
}

TEST_F(HttpProtocolTest, HttpsReportsItsPortAndReadsThroughTls) {
    HttpTestServer server(echo, true);
    VMPtr<HttpConnection> c = open(server.url("/secure"));
    auto* https = dynamic_cast<HttpsConnection*>(c.get());
    ASSERT_NE(https, nullptr);
    EXPECT_EQ(text(c->getProtocol()), "https");
    EXPECT_EQ(c->getPort(), server.port());
    EXPECT_EQ(https->getSecurityInfo(), nullptr);
    EXPECT_EQ(c->getResponseCode(), 200);
    EXPECT_EQ(readAll(c->openInputStream()), "GET /secure  []");
    c->close();

    struct Case {
        const char* url;
        jint port;
    };
    for (const Case& p : {Case{"https://example.test/", 443}, Case{"https://example.test:80/", 443},
                          Case{"https://example.test:8443/", 8443}, Case{"http://example.test/", 80}}) {
        VMPtr<HttpConnection> u = open(p.url);
        EXPECT_EQ(u->getPort(), p.port) << p.url;
        u->close();
    }
}

TEST_F(HttpProtocolTest, ASilentServerGivesAnIOExceptionAndOtherThreadsRunMeanwhile) {
    setTimeouts(500);
    HttpTestServer server([](const HttpTestRequest&, HttpTestReply& reply) { reply.stall(10000); });
    VMPtr<HttpConnection> c = open(server.url("/"));

    // A thread that counts while this one waits for the network.
    std::atomic<int> ticks{0};
    std::atomic<bool> stop{false};
    VMPtr<vmtest::Task> counting = vmtest::Task::create();
    counting->body = [&] {
        while (!stop.load()) {
            ++ticks;
            VMThread::sleep(VMThread::current(), 5);
        }
    };
    VMPtr<java::lang::Thread> counter = java::lang::Thread::create()->construct(VMPtr<java::lang::Runnable>(counting));
    counter->start();
    ASSERT_TRUE(vmWaitFor([&] { return ticks.load() > 0; }));

    const int before = ticks.load();
    const uint64_t start = HAL_getTickCount();
    EXPECT_EQ(VM_THROWN_TEXT(c->getResponseCode()), "java.io.IOException: HttpConnection error: 7");
    EXPECT_LT(HAL_getTickCount() - start, 5000u);
    EXPECT_GT(ticks.load(), before + 5);  // the runtime lock was free while it waited
    stop = true;
    counter->join();
    c->close();
}

TEST_F(HttpProtocolTest, ClosingFromAnotherThreadEndsAWait) {
    setTimeouts(20000);
    HttpTestServer server([](const HttpTestRequest&, HttpTestReply& reply) { reply.stall(10000); });
    VMPtr<HttpConnection> c = open(server.url("/"));
    std::string outcome;
    VMPtr<vmtest::Task> waiting = vmtest::Task::create();
    waiting->body = [&] { outcome = VM_THROWN_TEXT(c->getResponseCode()); };
    VMPtr<java::lang::Thread> waiter = java::lang::Thread::create()->construct(VMPtr<java::lang::Runnable>(waiting));
    waiter->start();
    ASSERT_TRUE(vmWaitFor([&] { return !server.requests().empty(); }));
    const uint64_t start = HAL_getTickCount();
    c->close();
    waiter->join();
    EXPECT_LT(HAL_getTickCount() - start, 5000u);
    EXPECT_EQ(outcome, "java.io.IOException: HttpConnection error: 7");
    EXPECT_EQ(VM_THROWN_TEXT(c->getResponseCode()), kClosed);
}

TEST_F(HttpProtocolTest, AnUnreachableServerFailsEveryResponseQuery) {
    int port;
    {
        HttpTestServer gone(echo);
        port = gone.port();
    }
    VMPtr<HttpConnection> c = open("http://127.0.0.1:" + std::to_string(port) + "/");
    EXPECT_EQ(VM_THROWN_TEXT(c->getResponseCode()), "java.io.IOException: HttpConnection error: 7");
    EXPECT_EQ(VM_THROWN_TEXT(c->getHeaderField(VM_STR("Date"))), "java.io.IOException: HttpConnection error: 7");
    EXPECT_EQ(VM_THROWN_TEXT(c->getDate()), "java.io.IOException: HttpConnection error: 7");
    EXPECT_EQ(VM_THROWN_TEXT(c->openInputStream()->read()), "java.io.IOException: HttpConnection error: 7");
    c->close();
}

}  // namespace
