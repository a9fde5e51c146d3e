// The canvas's network session against a loopback server: a body with and
// without a content length, a session stopped midway, and servers that stall.
#include <chrono>
#include <string>
#include <thread>

#include "hal_http.h"
#include "http_server.h"
#include "ts_TsCanvas_TSC_NetworkSession.h"
#include "vm_test.h"

using ts::TsCanvas_TSC_NetworkSession;
using Session = TsCanvas_TSC_NetworkSession;

namespace {

class NetworkSessionTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        setStallTimeout(5000);
    }
    void TearDown() override { HAL_setHTTPSettings(nullptr); }
    static void setStallTimeout(int32_t ms) {
        HAL_HTTPSettings s;
        s.connectTimeoutMs = 2000;
        s.stallTimeoutMs = ms;
        HAL_setHTTPSettings(&s);
    }
    static VMPtr<Session> started(const std::string& url) {
        VMPtr<Session> session = Session::create()->construct(java::lang::String::_VM_fromUTF8(url.c_str()));
        session->start();
        return session;
    }
    static std::string bodyOf(const VMPtr<Session>& session) {
        VMPtr<VMBytes> body = session->getBody();
        if (body == nullptr) return "(none)";
        return std::string(reinterpret_cast<const char*>(body->elements()), size_t(body->length));
    }
};

// n bytes that differ along the way.
std::string pattern(size_t n, char first) {
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i) s[i] = char(first + i % 23);
    return s;
}

}  // namespace

TEST_F(NetworkSessionTest, BodiesWithAndWithoutAContentLengthArriveWhole) {
    const std::string known = pattern(5000, 'a'), unknown = pattern(3000, 'A');
    HttpTestServer server([&](const HttpTestRequest& request, HttpTestReply& reply) {
        if (request.target == "/known") {
            reply.respond(200, "OK", known);
        } else if (request.target == "/empty") {
            reply.respond(204, "No Content", "");
        } else {
            // No length: the body ends when the server closes, and comes in
            // pieces that span the stream's blocks.
            reply.send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            for (size_t at = 0; at < unknown.size(); at += 700) {
                reply.send(unknown.substr(at, 700));
                std::this_thread::sleep_for(std::chrono::milliseconds(15));
            }
        }
    });
    struct Case {
        const char* path;
        int code;
        std::string body;
    };
    for (const Case& c : {Case{"/known", 200, known}, Case{"/unknown", 200, unknown}, Case{"/empty", 204, ""}}) {
        SCOPED_TRACE(c.path);
        VMPtr<Session> session = started(server.url(c.path));
        EXPECT_EQ(bodyOf(session), "(none)");  // not yet
        ASSERT_TRUE(vmWaitFor([&] { return session->isDone(); }));
        EXPECT_EQ(session->getResponseCode(), c.code);
        EXPECT_EQ(bodyOf(session), c.body);
        EXPECT_EQ(session->getReceived(), jint(c.body.size()));
        EXPECT_EQ(session->getFailure(), nullptr);
        session->thread->join();
    }
}

TEST_F(NetworkSessionTest, AStoppedSessionEndsAtOnceWithWhatHadArrived) {
    const std::string first = pattern(1500, '0');
    HttpTestServer server([&](const HttpTestRequest& request, HttpTestReply& reply) {
        if (request.target == "/half") {
            reply.send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + first);
        } else if (request.target == "/halfknown") {
            reply.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n" + first);
        }
        reply.stall(20000);  // then nothing more (also no answer at all for "/silent")
    });
    for (const char* path : {"/half", "/halfknown", "/silent"}) {
        SCOPED_TRACE(path);
        const bool answers = std::string(path) != "/silent";
        VMPtr<Session> session = started(server.url(path));
        if (answers) {
            ASSERT_TRUE(vmWaitFor([&] { return session->getReceived() == jint(first.size()); }));
        } else {
            ASSERT_TRUE(vmWaitFor([&] { return server.requests().size() == 3; }));
        }
        const uint64_t stoppedAt = HAL_getTickCount();
        session->stop();
        ASSERT_TRUE(vmWaitFor([&] { return session->isDone(); }));
        EXPECT_LT(HAL_getTickCount() - stoppedAt, 3000u) << "the stop waited for the server";
        EXPECT_EQ(bodyOf(session), answers ? first : "");
        EXPECT_EQ(session->getFailure(), nullptr);
        session->stop();  // again: nothing more
        session->thread->join();
    }
}

TEST_F(NetworkSessionTest, AServerThatStallsEndsTheSessionWithAFailureAndThePartReceived) {
    setStallTimeout(400);
    const std::string first = pattern(1200, 'k');
    HttpTestServer server([&](const HttpTestRequest& request, HttpTestReply& reply) {
        if (request.target == "/part") reply.send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + first);
        reply.stall(10000);
    });
    for (const char* path : {"/part", "/nothing"}) {
        SCOPED_TRACE(path);
        VMPtr<Session> session = started(server.url(path));
        ASSERT_TRUE(vmWaitFor([&] { return session->isDone(); }));
        ASSERT_NE(session->getFailure(), nullptr);
        EXPECT_EQ(text(session->getFailure()->toString()), "java.io.IOException: HttpConnection error: 7");
        EXPECT_EQ(bodyOf(session), std::string(path) == "/part" ? first : "");
        session->thread->join();
    }
}
