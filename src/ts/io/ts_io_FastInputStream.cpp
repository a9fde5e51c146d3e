// ts.io.FastInputStream: reads its source in blocks of 1024 bytes.
#include "ts_io_FastInputStream.h"

#include <algorithm>

#include "java_io_IOException.h"
#include "VMThread.h"
#include "java_lang_System.h"

namespace ts::io {

VMPtr<FastInputStream> FastInputStream::construct(VMPtr<java::io::InputStream> in) {
    Super::construct();
    source = in;
    buffer = VMBytes::create(BLOCK_SIZE);
    position = 0;
    buffered = 0;
    closed = false;
    endOfStream = false;
    return this;
}

void FastInputStream::fill() {
    if (closed) _VM_throw(java::io::IOException::create()->construct(VM_STR("InputStream closed")));
    if (endOfStream || buffered > 0) return;
    VMPtr<java::io::InputStream> in = source;
    VMPtr<VMBytes> block = buffer;
    // A source with nothing yet is asked again; the other threads get the
    // runtime between the attempts.
    jint r = in->read(block, 0, BLOCK_SIZE);
    while (r == 0) {
        VMThread::yield();
        r = in->read(block, 0, BLOCK_SIZE);
    }
    position = 0;
    if (r < 0) {
        endOfStream = true;
        buffered = 0;
    } else {
        // A source that claims more than it was asked for is held to the block.
        buffered = std::min(r, BLOCK_SIZE);
    }
}

jint FastInputStream::read() {
    fill();
    if (endOfStream) return -1;
    const jint b = buffer->elements()[position] & 0xFF;
    ++position;
    --buffered;
    return b;
}

jint FastInputStream::read(VMPtr<VMBytes> b, jint off, jint len) {
    if (len == 0) {
        // Asking for nothing reads nothing, also at the end of the data, as
        // with every InputStream; the range is still checked.
        if (closed) _VM_throw(java::io::IOException::create()->construct(VM_STR("InputStream closed")));
        java::lang::System::arraycopy(buffer, position, b, off, 0);
        return 0;
    }
    fill();
    if (endOfStream) return -1;
    const jint n = std::min(buffered, len);
    java::lang::System::arraycopy(buffer, position, b, off, n);
    position += n;
    buffered -= n;
    return n;
}

jlong FastInputStream::skip(jlong n) {
    jlong skipped = 0;
    while (skipped < n) {
        fill();
        if (endOfStream) break;
        const jint k = jint(std::min<jlong>(buffered, n - skipped));
        position += k;
        buffered -= k;
        skipped += k;
    }
    return skipped;
}

jint FastInputStream::available() { return buffered; }

void FastInputStream::close() {
    if (closed) return;
    if (source != nullptr) {
        VMPtr<java::io::InputStream> in = source;
        in->close();  // a failure leaves the stream as it was
        source = nullptr;
    }
    closed = true;
    buffer = nullptr;
}

void FastInputStream::mark(jint) { VMSynchronized lock(this); }

void FastInputStream::reset() { VMSynchronized lock(this); }

jboolean FastInputStream::markSupported() { return false; }

jint FastInputStream::drainTo(VMPtr<java::io::OutputStream> out) {
    fill();
    if (endOfStream) return -1;
    const jint n = buffered;
    if (n > 0) {
        out->write(buffer, position, n);
        buffered = 0;
        position = 0;
    }
    return n;
}

}  // namespace ts::io

VM_REGISTER_CLASS(ts::io::FastInputStream, .name = "ts.io.FastInputStream")
