// The data streams over the byte-array streams: a round trip of about 1 MB of
// mixed primitives and modified UTF-8 strings, the way saved data and
// resource packs are written and read.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "java_io_ByteArrayInputStream.h"
#include "java_io_ByteArrayOutputStream.h"
#include "java_io_DataInputStream.h"
#include "java_io_DataOutputStream.h"

namespace {

using java::io::ByteArrayInputStream;
using java::io::ByteArrayOutputStream;
using java::io::DataInputStream;
using java::io::DataOutputStream;
using java::lang::String;

constexpr jint kTargetBytes = 1 << 20;

// One record: 1 + 2 + 4 + 8 + 4 + 8 bytes of primitives and two strings.
struct Strings {
    VMPtr<String> ascii = String::_VM_fromUTF8("level-07/room-12: the hotel lobby");
    VMPtr<String> wide = String::_VM_fromUTF8("caf\xC3\xA9 \xE2\x82\xAC 12,50 \xE2\x80\x94 \xC3\xBC\xC3\xB6\xC3\xA4");
};

jint writeRecords(ByteArrayOutputStream* sink, DataOutputStream* out, const Strings& s) {
    jint records = 0;
    for (jint i = 0; sink->size() < kTargetBytes; ++i) {
        out->writeBoolean((i & 1) != 0);
        out->writeShort(i);
        out->writeInt(i * 7919);
        out->writeLong(jlong(i) * 0x9E3779B97F4A7C15LL);
        out->writeFloat(jfloat(i) * 0.5f);
        out->writeDouble(jdouble(i) / 3.0);
        out->writeUTF(s.ascii);
        out->writeUTF(s.wide);
        ++records;
    }
    return records;
}

jlong readRecords(DataInputStream* in, jint records) {
    jlong sum = 0;
    for (jint i = 0; i < records; ++i) {
        sum += in->readBoolean();
        sum += in->readShort();
        sum += in->readInt();
        sum += in->readLong();
        sum += jlong(in->readFloat());
        sum += jlong(in->readDouble());
        sum += in->readUTF()->length();
        sum += in->readUTF()->length();
    }
    return sum;
}

// Writing 1 MB through a DataOutputStream into a growing byte array.
void BM_DataOutputStream1MB(benchmark::State& state) {
    benchBoot();
    Strings s;
    jint bytes = 0;
    for (auto _ : state) {
        VMPtr<ByteArrayOutputStream> sink = ByteArrayOutputStream::create()->construct();
        VMPtr<DataOutputStream> out = DataOutputStream::create()->construct(sink);
        benchmark::DoNotOptimize(writeRecords(sink.get(), out.get(), s));
        bytes = sink->size();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}
BENCHMARK(BM_DataOutputStream1MB)->Unit(benchmark::kMillisecond);

// Reading the same 1 MB back through a DataInputStream.
void BM_DataInputStream1MB(benchmark::State& state) {
    benchBoot();
    Strings s;
    VMPtr<ByteArrayOutputStream> sink = ByteArrayOutputStream::create()->construct();
    VMPtr<DataOutputStream> out = DataOutputStream::create()->construct(sink);
    jint records = writeRecords(sink.get(), out.get(), s);
    VMPtr<VMArray<jbyte, 1>> data = sink->toByteArray();
    for (auto _ : state) {
        VMPtr<DataInputStream> in =
            DataInputStream::create()->construct(ByteArrayInputStream::create()->construct(data));
        benchmark::DoNotOptimize(readRecords(in.get(), records));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * data->length);
}
BENCHMARK(BM_DataInputStream1MB)->Unit(benchmark::kMillisecond);

// The whole round trip, write then read. Target: at most 15 ms.
void BM_DataStreamRoundTrip1MB(benchmark::State& state) {
    benchBoot();
    Strings s;
    MallocYardstick yardstick;
    jint bytes = 0;
    for (auto _ : state) {
        VMPtr<ByteArrayOutputStream> sink = ByteArrayOutputStream::create()->construct();
        VMPtr<DataOutputStream> out = DataOutputStream::create()->construct(sink);
        jint records = writeRecords(sink.get(), out.get(), s);
        VMPtr<VMArray<jbyte, 1>> data = sink->toByteArray();
        VMPtr<DataInputStream> in =
            DataInputStream::create()->construct(ByteArrayInputStream::create()->construct(data));
        benchmark::DoNotOptimize(readRecords(in.get(), records));
        bytes = data->length;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
    yardstick.report(state);
}
BENCHMARK(BM_DataStreamRoundTrip1MB)->Unit(benchmark::kMillisecond);

}  // namespace
