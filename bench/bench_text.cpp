// Text hot paths: string hashing, buffer appends, int parsing and printing.
// The allocating ones are read against a plain malloc/free pair measured in
// the same run.
#include <benchmark/benchmark.h>

#include "VM.h"
#include "bench_support.h"
#include "java_lang_Integer.h"
#include "java_lang_String.h"
#include "java_lang_StringBuffer.h"

namespace {

using java::lang::Integer;
using java::lang::String;
using java::lang::StringBuffer;

// hashCode of a 64-character string that has been hashed before: a string
// keeps its hash, so this is the read of the kept value.
void BM_StringHashCode64(benchmark::State& state) {
    benchBoot();
    VMPtr<String> s = String::_VM_fromUTF8("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_");
    for (auto _ : state) benchmark::DoNotOptimize(s->hashCode());
}
BENCHMARK(BM_StringHashCode64);

// hashCode of a 64-character string computed afresh on every call (the kept
// hash forgotten first), as for a string hashed for the first time.
void BM_StringHashCode64Afresh(benchmark::State& state) {
    benchBoot();
    VMPtr<String> s = String::_VM_fromUTF8("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_");
    for (auto _ : state) {
        s->_VM_hash = 0;
        benchmark::ClobberMemory();
        benchmark::DoNotOptimize(s->hashCode());
    }
}
BENCHMARK(BM_StringHashCode64Afresh);

// A default buffer filled with 1024 characters in 16-character appends
// (growth included), then turned into a string without a copy: 64
// append(String). Target: at most 3 us.
void BM_StringBufferAppend1K(benchmark::State& state) {
    benchBoot();
    VMPtr<String> piece = String::_VM_fromUTF8("sixteen chars ok");
    MallocYardstick yardstick;
    for (auto _ : state) {
        VMPtr<StringBuffer> buffer = StringBuffer::create()->construct();
        for (int i = 0; i < 64; ++i) buffer->append(piece);
        VMPtr<String> result = buffer->toString();
        benchmark::DoNotOptimize(result.get());
    }
    state.SetBytesProcessed(state.iterations() * 1024 * int64_t(sizeof(jchar)));
    yardstick.report(state);
}
BENCHMARK(BM_StringBufferAppend1K);

// The same 1024 characters one char at a time.
void BM_StringBufferAppendChar1K(benchmark::State& state) {
    benchBoot();
    for (auto _ : state) {
        VMPtr<StringBuffer> buffer = StringBuffer::create()->construct();
        for (int i = 0; i < 1024; ++i) buffer->append(jchar(u'a' + (i & 15)));
        benchmark::DoNotOptimize(buffer->count);
    }
}
BENCHMARK(BM_StringBufferAppendChar1K);

void BM_IntegerParseInt(benchmark::State& state) {
    benchBoot();
    VMPtr<String> s = String::_VM_fromUTF8("-1234567890");
    for (auto _ : state) benchmark::DoNotOptimize(Integer::parseInt(s));
}
BENCHMARK(BM_IntegerParseInt);

// Target: at most 200 ns.
void BM_IntegerToString(benchmark::State& state) {
    benchBoot();
    MallocYardstick yardstick;
    jint value = -1234567890;
    for (auto _ : state) {
        VMPtr<String> s = Integer::toString(value);
        benchmark::DoNotOptimize(s.get());
        value += 7919;
    }
    yardstick.report(state);
}
BENCHMARK(BM_IntegerToString);

// "key" + i as Java source compiles it (a buffer, two appends, toString),
// then its hashCode. Target: at most 500 ns.
void BM_ConcatenateKeyAndHash(benchmark::State& state) {
    benchBoot();
    VMPtr<String> key = VM_STR("key");
    MallocYardstick yardstick;
    jint i = 0;
    for (auto _ : state) {
        VMPtr<String> s = StringBuffer::create()->construct()->append(key)->append(i++)->toString();
        benchmark::DoNotOptimize(s->hashCode());
    }
    yardstick.report(state);
}
BENCHMARK(BM_ConcatenateKeyAndHash);

}  // namespace
