#include "http_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

namespace {

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

struct Credentials {
    std::string certificateFile;
    std::string keyFile;
};

// The credentials' folder goes with the process: runs would otherwise pile
// them up in the temporary folder.
struct CredentialsFolder {
    std::string path;
    ~CredentialsFolder() {
        if (path.empty()) return;
        std::remove((path + "/cert.pem").c_str());
        std::remove((path + "/key.pem").c_str());
        ::rmdir(path.c_str());
    }
} credentialsFolder;

// A key and a self-signed certificate for 127.0.0.1 and localhost, written
// into a temporary folder once per process.
const Credentials& credentials() {
    static const Credentials made = [] {
        Credentials c;
        std::string folder = ::testing::TempDir() + "vessilo_tls_XXXXXX";
        if (::mkdtemp(folder.data()) == nullptr) return c;
        credentialsFolder.path = folder;
        EVP_PKEY* key = EVP_EC_gen("P-256");
        X509* cert = X509_new();
        if (key == nullptr || cert == nullptr) return c;
        X509_set_version(cert, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
        X509_gmtime_adj(X509_getm_notAfter(cert), 7 * 24 * 3600);
        X509_set_pubkey(cert, key);
        X509_NAME* name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("localhost"), -1,
                                   -1, 0);
        X509_set_issuer_name(cert, name);
        X509V3_CTX v3;
        X509V3_set_ctx_nodb(&v3);
        X509V3_set_ctx(&v3, cert, cert, nullptr, nullptr, 0);
        const char* extensions[][2] = {{"basicConstraints", "critical,CA:TRUE"},
                                       {"subjectAltName", "IP:127.0.0.1,DNS:localhost"},
                                       {"subjectKeyIdentifier", "hash"}};
        for (auto& e : extensions) {
            X509_EXTENSION* ext = X509V3_EXT_conf(nullptr, &v3, e[0], e[1]);
            if (ext == nullptr) continue;
            X509_add_ext(cert, ext, -1);
            X509_EXTENSION_free(ext);
        }
        X509_sign(cert, key, EVP_sha256());
        c.certificateFile = folder + "/cert.pem";
        c.keyFile = folder + "/key.pem";
        if (FILE* f = std::fopen(c.certificateFile.c_str(), "w")) {
            PEM_write_X509(f, cert);
            std::fclose(f);
        }
        if (FILE* f = std::fopen(c.keyFile.c_str(), "w")) {
            PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr);
            std::fclose(f);
        }
        X509_free(cert);
        EVP_PKEY_free(key);
        return c;
    }();
    return made;
}

// Reads into buffer; 0 at the end or on a failure.
int receive(int fd, SSL* ssl, char* buffer, int size) {
    if (ssl != nullptr) {
        int n = SSL_read(ssl, buffer, size);
        return n > 0 ? n : 0;
    }
    ssize_t n = ::recv(fd, buffer, size_t(size), 0);
    return n > 0 ? int(n) : 0;
}

bool readRequest(int fd, SSL* ssl, HttpTestRequest& request) {
    std::string data;
    char buffer[4096];
    size_t end;
    while ((end = data.find("\r\n\r\n")) == std::string::npos) {
        int n = receive(fd, ssl, buffer, sizeof buffer);
        if (n <= 0 || data.size() > (1 << 20)) return false;
        data.append(buffer, size_t(n));
    }
    std::string head = data.substr(0, end);
    std::string rest = data.substr(end + 4);
    size_t lineEnd = head.find("\r\n");
    std::string requestLine = head.substr(0, lineEnd);
    size_t a = requestLine.find(' ');
    size_t b = requestLine.rfind(' ');
    if (a == std::string::npos || b == a) return false;
    request.method = requestLine.substr(0, a);
    request.target = requestLine.substr(a + 1, b - a - 1);
    request.version = requestLine.substr(b + 1);
    size_t pos = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
    while (pos < head.size()) {
        size_t next = head.find("\r\n", pos);
        if (next == std::string::npos) next = head.size();
        std::string line = head.substr(pos, next - pos);
        size_t colon = line.find(':');
        if (colon != std::string::npos) {
            size_t v = colon + 1;
            while (v < line.size() && line[v] == ' ') ++v;
            request.headers.emplace_back(line.substr(0, colon), line.substr(v));
        }
        pos = next + 2;
    }
    size_t length = 0;
    if (request.hasHeader("Content-Length")) length = std::stoul(request.header("Content-Length"));
    while (rest.size() < length) {
        int n = receive(fd, ssl, buffer, sizeof buffer);
        if (n <= 0) return false;
        rest.append(buffer, size_t(n));
    }
    request.body = rest.substr(0, length);
    return true;
}

}  // namespace

std::string HttpTestRequest::header(const std::string& name) const {
    for (const auto& h : headers)
        if (sameName(h.first, name)) return h.second;
    return "";
}

bool HttpTestRequest::hasHeader(const std::string& name) const {
    for (const auto& h : headers)
        if (sameName(h.first, name)) return true;
    return false;
}

bool HttpTestReply::send(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        int n;
        if (ssl_ != nullptr) {
            n = SSL_write(static_cast<SSL*>(ssl_), bytes.data() + done, int(bytes.size() - done));
        } else {
            n = int(::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL));
        }
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

bool HttpTestReply::respond(int code, const std::string& reason, const std::string& body,
                            const std::vector<std::pair<std::string, std::string>>& headers) {
    std::string text = "HTTP/1.1 " + std::to_string(code) + " " + reason + "\r\n";
    bool chunked = false;
    for (const auto& h : headers) {
        text += h.first + ": " + h.second + "\r\n";
        if (sameName(h.first, "Transfer-Encoding")) chunked = true;
    }
    if (!chunked) text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    text += "Connection: close\r\n\r\n" + body;
    return send(text);
}

void HttpTestReply::stall(int maxMilliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMilliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        {
            std::lock_guard<std::mutex> guard(server_->mutex_);
            if (server_->stopping_) return;
        }
        // Until the client hangs up.
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 10) > 0) {
            char byte;
            if ((p.revents & (POLLHUP | POLLERR)) != 0 || ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

HttpTestServer::HttpTestServer(Handler handler, bool tls) : handler_(std::move(handler)), tls_(tls) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t size = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ADD_FAILURE() << "cannot listen on 127.0.0.1";
        return;
    }
    port_ = ntohs(address.sin_port);
    if (tls_) {
        SSL_CTX* context = SSL_CTX_new(TLS_server_method());
        const Credentials& c = credentials();
        if (context == nullptr ||
            SSL_CTX_use_certificate_file(context, c.certificateFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
            SSL_CTX_use_PrivateKey_file(context, c.keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
            ADD_FAILURE() << "cannot set up TLS";
        context_ = context;
    }
    thread_ = std::thread([this] { serve(); });
}

HttpTestServer::~HttpTestServer() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stopping_ = true;
    }
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
    SSL_CTX_free(static_cast<SSL_CTX*>(context_));
}

std::string HttpTestServer::url(const std::string& path) const {
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

const std::string& HttpTestServer::certificateFile() { return credentials().certificateFile; }

std::vector<HttpTestRequest> HttpTestServer::requests() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return requests_;
}

void HttpTestServer::serve() {
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            if (stopping_) return;
        }
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        timeval bound{5, 0};  // a client that says nothing does not hold the server for ever
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
        handle(fd);
        ::close(fd);
    }
}

void HttpTestServer::handle(int fd) {
    SSL* ssl = nullptr;
    if (tls_) {
        ssl = SSL_new(static_cast<SSL_CTX*>(context_));
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) != 1) {
            SSL_free(ssl);
            ERR_clear_error();
            return;
        }
    }
    HttpTestRequest request;
    if (readRequest(fd, ssl, request)) {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            requests_.push_back(request);
        }
        HttpTestReply reply;
        reply.server_ = this;
        reply.fd_ = fd;
        reply.ssl_ = ssl;
        handler_(request, reply);
    }
    if (ssl != nullptr) {
        SSL_shutdown(ssl);
        SSL_free(ssl);
        ERR_clear_error();
    }
}
