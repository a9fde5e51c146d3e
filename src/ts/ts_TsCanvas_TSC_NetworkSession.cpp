// ts.TsCanvas$NetworkSession: fetches one URL through the connector on a thread of its own.
#include "ts_TsCanvas_TSC_NetworkSession.h"

#include <algorithm>

#include "java_io_EOFException.h"
#include "java_io_IOException.h"
#include "javax_microedition_io_Connector.h"
#include "ts_io_FastInputStream.h"

namespace ts {

using javax::microedition::io::HttpConnection;

VMPtr<TsCanvas_TSC_NetworkSession> TsCanvas_TSC_NetworkSession::construct(VMPtr<java::lang::String> address) {
    Super::construct();
    url = address;
    return this;
}

void TsCanvas_TSC_NetworkSession::start() {
    VMPtr<java::lang::Thread> worker;
    {
        VMSynchronized lock(this);
        if (thread != nullptr) return;
        worker = java::lang::Thread::create()->construct(VMPtr<java::lang::Runnable>(this));
        thread = worker;
    }
    worker->start();
}

void TsCanvas_TSC_NetworkSession::stop() {
    {
        VMSynchronized lock(this);
        stopped = true;
    }
    // Outside the monitor: the session's thread, woken by the close, takes
    // it to finish.
    closeConnection();
}

jboolean TsCanvas_TSC_NetworkSession::isDone() {
    VMSynchronized lock(this);
    return done;
}

VMPtr<VMBytes> TsCanvas_TSC_NetworkSession::getBody() {
    VMSynchronized lock(this);
    return done ? VMPtr<VMBytes>(body) : VMPtr<VMBytes>();
}

jint TsCanvas_TSC_NetworkSession::getReceived() { return received; }

jint TsCanvas_TSC_NetworkSession::getResponseCode() { return responseCode; }

VMPtr<java::lang::Throwable> TsCanvas_TSC_NetworkSession::getFailure() {
    VMSynchronized lock(this);
    return failure;
}

void TsCanvas_TSC_NetworkSession::closeConnection() {
    VMPtr<HttpConnection> open;
    {
        VMSynchronized lock(this);
        open = connection;
        connection = nullptr;
    }
    if (open == nullptr) return;
    try {
        open->close();
    } catch (java::io::IOException* ignored) {
        VMPtr<java::io::IOException> keep(ignored);
    }
}

void TsCanvas_TSC_NetworkSession::run() {
    VMPtr<java::lang::Throwable> failed;
    try {
        fetch();
    } catch (java::lang::Throwable* thrown) {
        failed = thrown;
    }
    closeConnection();
    VMPtr<java::io::ByteArrayOutputStream> out = output;
    VMPtr<VMBytes> bytes = out != nullptr ? out->toByteArray() : VMBytes::create(0);
    VMSynchronized lock(this);
    // A failure that the stop itself caused (the closed connection) is no
    // failure: the body is what came before it.
    if (failed != nullptr && !stopped) failure = failed;
    body = bytes;
    done = true;
    notifyAll();
}

void TsCanvas_TSC_NetworkSession::fetch() {
    VMPtr<javax::microedition::io::Connection> opened = javax::microedition::io::Connector::open(url);
    VMPtr<HttpConnection> http(dynamic_cast<HttpConnection*>(opened.get()));
    if (http == nullptr) {
        opened->close();
        _VM_throw(java::io::IOException::create()->construct(VM_STR("not an HTTP connection")));
    }
    {
        VMSynchronized lock(this);
        if (stopped) {
            http->close();
            return;
        }
        connection = http;
    }
    responseCode = http->getResponseCode();
    length = http->getLength();
    VMPtr<java::io::InputStream> in = http->openInputStream();
    if (length > 0) {
        // The length is the server's word only: the buffer grows with what
        // really arrives.
        VMPtr<java::io::ByteArrayOutputStream> out =
            java::io::ByteArrayOutputStream::create()->construct(jint(std::min<jlong>(length, 65536)));
        output = out;
        VMPtr<VMBytes> block = VMBytes::create(4096);
        while (received < length && !stopped) {
            const jint n = in->read(block, 0, jint(std::min<jlong>(block->length, length - received)));
            if (n < 0) _VM_throw(java::io::EOFException::create()->construct());
            out->write(block, 0, n);
            received += n;
        }
        return;
    }
    VMPtr<ts::io::FastInputStream> fast = ts::io::FastInputStream::create()->construct(in);
    VMPtr<java::io::ByteArrayOutputStream> out = java::io::ByteArrayOutputStream::create()->construct(BUFFER_SIZE);
    output = out;
    while (!stopped) {
        const jint n = fast->drainTo(out);
        if (n == -1) break;
        received += n;
        java::lang::Thread::sleep(DRAIN_PAUSE);
    }
}

}  // namespace ts

VM_REGISTER_CLASS(ts::TsCanvas_TSC_NetworkSession, .name = "ts.TsCanvas$NetworkSession",
                  .interfaces = {"java.lang.Runnable"})
