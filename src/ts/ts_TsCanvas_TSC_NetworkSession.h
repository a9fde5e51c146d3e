// ts.TsCanvas$NetworkSession: fetches one URL through the connector on a
// thread of its own. A response with a positive content length is read up to
// that length; one without is moved block by block through a
// ts.io.FastInputStream into a ByteArrayOutputStream (1024 bytes at first),
// with 25 ms of sleep between the blocks, until the end of the body or until
// the session is stopped. The body is then the bytes received.
//
// Stopping closes the connection, so a session waiting on a server that
// stalls ends at once. A failure (the connection, the server, the network)
// ends the session with the bytes received so far and the failure kept.
//
// The session's monitor guards stopped, connection and done; the waiters of
// done are notified on it.
#pragma once

#include "VM.h"
#include "java_io_ByteArrayOutputStream.h"
#include "java_lang_Runnable.h"
#include "java_lang_String.h"
#include "java_lang_Thread.h"
#include "java_lang_Throwable.h"
#include "javax_microedition_io_HttpConnection.h"

namespace ts {

class TsCanvas_TSC_NetworkSession : public virtual java::lang::Object, public virtual java::lang::Runnable {
    VM_DECLARE_CLASS(TsCanvas_TSC_NetworkSession, java::lang::Object)

public:
    static constexpr jint BUFFER_SIZE = 1024;  // the first capacity of a body of unknown length
    static constexpr jint DRAIN_PAUSE = 25;    // ms between two blocks of a body of unknown length

    VMField<java::lang::String> url;
    VMField<java::lang::Thread> thread;
    VMField<javax::microedition::io::HttpConnection> connection;  // while open
    VMField<java::io::ByteArrayOutputStream> output;              // the body as it arrives
    VMField<VMBytes> body;                                        // once done
    VMField<java::lang::Throwable> failure;                       // what ended it early, or null
    jint responseCode = -1;                                       // once the response has come
    jlong length = -1;                                            // the response's content length, -1 when it gave none
    jint received = 0;                                            // body bytes received so far
    jboolean stopped = false;
    jboolean done = false;

    VMPtr<TsCanvas_TSC_NetworkSession> construct(VMPtr<java::lang::String> address);

    // Starts the session's thread (once).
    virtual void start();
    // Ends the session as soon as it can: between two blocks, or at once by
    // closing the connection it waits on.
    virtual void stop();
    virtual jboolean isDone();
    // The body once the session is done (what arrived when it was stopped or
    // failed), else null.
    virtual VMPtr<VMBytes> getBody();
    virtual jint getReceived();
    virtual jint getResponseCode();
    virtual VMPtr<java::lang::Throwable> getFailure();

    void run() override;

    void markReferences(uint32_t bits) override {
        _VM_markRef(url, bits);
        _VM_markRef(thread, bits);
        _VM_markRef(connection, bits);
        _VM_markRef(output, bits);
        _VM_markRef(body, bits);
        _VM_markRef(failure, bits);
    }

private:
    void fetch();
    void closeConnection();
};

}  // namespace ts
