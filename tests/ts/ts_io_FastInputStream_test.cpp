// ts.io.FastInputStream over a scripted source: blocks, retries on empty
// answers, the end of the stream, skipping, draining and closing.
#include <deque>
#include <vector>

#include "java_io_ByteArrayOutputStream.h"
#include "java_io_IOException.h"
#include "ts_io_FastInputStream.h"
#include "ts_test_support.h"

using ts::io::FastInputStream;
using Bytes = VMArray<jbyte, 1>;

namespace fisttest {

// Answers each read with the next scripted count (0, -1, or that many bytes,
// at most as many as asked); past the script, -1. Byte n of the stream is
// (n * 7 + 3) & 0xFF.
class ScriptedSource : public java::io::InputStream {
    VM_DECLARE_CLASS(ScriptedSource, java::io::InputStream)

public:
    std::deque<jint> script;
    int reads = 0;
    int closes = 0;
    bool failClose = false;
    jint produced = 0;

    VMPtr<ScriptedSource> construct(std::vector<jint> answers) {
        Super::construct();
        script.assign(answers.begin(), answers.end());
        return this;
    }
    using java::io::InputStream::read;
    jint read() override { return -1; }
    jint read(VMPtr<Bytes> b, jint off, jint len) override {
        ++reads;
        if (script.empty()) return -1;
        jint n = script.front();
        script.pop_front();
        if (n > len) n = len;
        for (jint i = 0; i < n; ++i) (*b)[off + i] = jbyte((produced + i) * 7 + 3);
        if (n > 0) produced += n;
        return n;
    }
    void close() override {
        ++closes;
        if (failClose) _VM_throw(java::io::IOException::create()->construct(VM_STR("close failed")));
    }
};

}  // namespace fisttest

VM_REGISTER_CLASS(fisttest::ScriptedSource, .name = "fisttest.ScriptedSource",
                  .sourceName = "tests/ts/ts_io_FastInputStream_test")

namespace {

using fisttest::ScriptedSource;

jint byteAt(jint n) { return (n * 7 + 3) & 0xFF; }

class FastInputStreamTest : public VMTest {
protected:
    tstest::Booted booted;
    VMPtr<ScriptedSource> source;
    VMPtr<FastInputStream> stream;

    void open(std::vector<jint> script) {
        source = ScriptedSource::create()->construct(std::move(script));
        stream = FastInputStream::create()->construct(source);
    }
};

TEST_F(FastInputStreamTest, EmptyAnswersAreAskedAgainAndTheBlockIsServedAsIs) {
    open({0, 0, 5});
    EXPECT_EQ(stream->available(), 0);
    EXPECT_EQ(source->reads, 0);  // nothing is read before the first read
    EXPECT_EQ(stream->read(), byteAt(0));
    EXPECT_EQ(source->reads, 3);
    EXPECT_EQ(stream->available(), 4);
    // 100 asked, 4 held: 4 handed out without asking the source.
    VMPtr<Bytes> b = Bytes::create(100);
    EXPECT_EQ(stream->read(b, 10, 100 - 10), 4);
    EXPECT_EQ((*b)[10] & 0xFF, byteAt(1));
    EXPECT_EQ((*b)[13] & 0xFF, byteAt(4));
    EXPECT_EQ(source->reads, 3);
}

TEST_F(FastInputStreamTest, BytesAreUnsignedAndTheEndIsFinal) {
    open({1024, 30});
    for (jint n = 0; n < 1054; ++n) ASSERT_EQ(stream->read(), byteAt(n)) << n;
    EXPECT_EQ(stream->read(), -1);
    const int reads = source->reads;
    EXPECT_EQ(stream->read(), -1);
    VMPtr<Bytes> b = Bytes::create(4);
    EXPECT_EQ(stream->read(b, 0, 4), -1);
    EXPECT_EQ(stream->read(b, 4, 0), 0);  // nothing asked, nothing read, also at the end
    EXPECT_EQ(stream->drainTo(java::io::ByteArrayOutputStream::create()->construct()), -1);
    EXPECT_EQ(stream->skip(5), 0);
    EXPECT_EQ(stream->available(), 0);
    EXPECT_EQ(source->reads, reads);
}

TEST_F(FastInputStreamTest, DrainWritesEachBlockAsItCame) {
    open({1024, 1024, 452});
    VMPtr<java::io::ByteArrayOutputStream> out = java::io::ByteArrayOutputStream::create()->construct();
    std::vector<jint> blocks;
    for (jint n; (n = stream->drainTo(out)) != -1;) blocks.push_back(n);
    EXPECT_EQ(blocks, (std::vector<jint>{1024, 1024, 452}));
    VMPtr<Bytes> all = out->toByteArray();
    ASSERT_EQ(all->length, 2500);
    for (jint n = 0; n < 2500; ++n) ASSERT_EQ((*all)[n] & 0xFF, byteAt(n));
}

TEST_F(FastInputStreamTest, SkipCrossesBlocksAndStopsAtTheEnd) {
    struct Case {
        std::vector<jint> script;
        jlong skip, skipped;
        jint next;
    };
    for (const Case& c : {Case{{4}, 10, 4, -1}, Case{{3, 0, 5}, 6, 6, byteAt(6)}, Case{{8}, 0, 0, byteAt(0)},
                          Case{{8}, -3, 0, byteAt(0)}, Case{{1024, 1024}, 1500, 1500, byteAt(1500)}}) {
        open(c.script);
        EXPECT_EQ(stream->skip(c.skip), c.skipped) << c.skip;
        EXPECT_EQ(stream->read(), c.next) << c.skip;
    }
}

TEST_F(FastInputStreamTest, ClosedStreamRefusesReadsButAnswersTheRest) {
    open({10});
    stream->read();
    stream->close();
    EXPECT_EQ(source->closes, 1);
    EXPECT_EQ(stream->source, nullptr);
    EXPECT_EQ(stream->buffer, nullptr);
    stream->close();
    EXPECT_EQ(source->closes, 1);
    VMPtr<Bytes> b = Bytes::create(4);
    for (auto op : std::vector<std::function<void()>>{
             [&] { stream->read(); }, [&] { stream->read(b, 0, 4); }, [&] { stream->read(b, 0, 0); },
             [&] { stream->skip(1); },
             [&] { stream->drainTo(java::io::ByteArrayOutputStream::create()->construct()); }}) {
        EXPECT_EQ(VM_THROWN_TEXT(op()), "java.io.IOException: InputStream closed");
    }
    stream->available();
    stream->mark(10);
    EXPECT_EQ(VM_THROWN_CLASS(stream->reset()), "");
    EXPECT_FALSE(stream->markSupported());
}

TEST_F(FastInputStreamTest, AFailingCloseOfTheSourceLeavesTheStreamOpen) {
    open({10});
    source->failClose = true;
    EXPECT_EQ(VM_THROWN_TEXT(stream->close()), "java.io.IOException: close failed");
    EXPECT_EQ(stream->read(), byteAt(0));
}

TEST_F(FastInputStreamTest, AReadOutsideTheArrayFailsAfterTheFill) {
    open({10});
    VMPtr<Bytes> b = Bytes::create(4);
    EXPECT_EQ(VM_THROWN_CLASS(stream->read(b, 2, 5)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(VM_THROWN_CLASS(stream->read(b, 5, 0)), "java.lang.ArrayIndexOutOfBoundsException");
    EXPECT_EQ(stream->read(b, 1, 0), 0);
    EXPECT_EQ(stream->available(), 10);
    EXPECT_EQ(stream->read(b, 0, 4), 4);
}

}  // namespace
