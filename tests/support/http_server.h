// A small HTTP/1.1 server on 127.0.0.1 (an ephemeral port) for the tests of
// the HTTP connections: plain, or TLS with a self-signed certificate made
// for the run. One request per connection; the test's handler answers it.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct HttpTestRequest {
    std::string method, target, version;
    std::vector<std::pair<std::string, std::string>> headers;  // in the order received
    std::string body;
    // The first header of that name (without regard to case), or "".
    std::string header(const std::string& name) const;
    bool hasHeader(const std::string& name) const;
};

class HttpTestServer;

// What the handler writes back on its connection.
class HttpTestReply {
public:
    // Sends bytes as they are; false when the peer is gone.
    bool send(const std::string& bytes);
    // A whole response: status line, the headers given, Content-Length
    // (unless the headers name a Transfer-Encoding) and "Connection: close".
    bool respond(int code, const std::string& reason, const std::string& body,
                 const std::vector<std::pair<std::string, std::string>>& headers = {});
    // Waits (without answering) until the server stops or the time runs out.
    void stall(int maxMilliseconds);

private:
    friend class HttpTestServer;
    HttpTestServer* server_ = nullptr;
    int fd_ = -1;
    void* ssl_ = nullptr;
};

class HttpTestServer {
public:
    using Handler = std::function<void(const HttpTestRequest&, HttpTestReply&)>;

    // Starts listening at once; tls makes it an HTTPS server.
    explicit HttpTestServer(Handler handler, bool tls = false);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port><path>" ("https://..." for a TLS server).
    std::string url(const std::string& path) const;
    // The PEM file of the certificate the TLS servers present (made once per
    // test program).
    static const std::string& certificateFile();
    // The requests answered so far.
    std::vector<HttpTestRequest> requests() const;

private:
    friend class HttpTestReply;
    void serve();
    void handle(int fd);

    Handler handler_;
    bool tls_;
    int listener_ = -1;
    int port_ = 0;
    void* context_ = nullptr;
    bool stopping_ = false;
    mutable std::mutex mutex_;
    std::vector<HttpTestRequest> requests_;
    std::thread thread_;
};
