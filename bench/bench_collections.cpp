// Collections: a vector filled with 100 000 references and read back by
// index, and a hash table given 100 000 keys and asked for each of them.
#include <benchmark/benchmark.h>

#include <string>

#include "VM.h"
#include "bench_support.h"
#include "java_lang_Integer.h"
#include "java_lang_String.h"
#include "java_util_Hashtable.h"
#include "java_util_Vector.h"

namespace {

using java::lang::Object;
using java::lang::String;
using java::util::Hashtable;
using java::util::Vector;
using KeyArray = VMArray<Object, 1>;

constexpr jint kElements = 100000;

// n distinct strings "key0", "key1", ..., made before any timing.
VMPtr<KeyArray> makeStringKeys(jint n) {
    VMPtr<KeyArray> keys = KeyArray::create(n);
    for (jint i = 0; i < n; ++i) keys->set(i, VMPtr<Object>(String::_VM_fromUTF8(("key" + std::to_string(i)).c_str())));
    return keys;
}

// A default vector takes every element with addElement, then elementAt
// reads each back.
void BM_VectorAddAndElementAt(benchmark::State& state) {
    benchBoot();
    VMPtr<KeyArray> elements = makeStringKeys(kElements);
    for (auto _ : state) {
        VMPtr<Vector> v = Vector::create()->construct();
        for (jint i = 0; i < kElements; ++i) v->addElement(elements->get(i));
        for (jint i = 0; i < kElements; ++i) benchmark::DoNotOptimize(v->elementAt(i).target);
    }
    state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_VectorAddAndElementAt)->Unit(benchmark::kMillisecond);

// A default table receives every key (growing as it goes), then get finds
// each one. The keys decide the cost of hashCode and equals.
void putAndGetAll(benchmark::State& state, const VMPtr<KeyArray>& keys) {
    const jint n = keys->length;
    MallocYardstick yardstick;
    for (auto _ : state) {
        VMPtr<Hashtable> table = Hashtable::create()->construct();
        for (jint i = 0; i < n; ++i) {
            VMPtr<Object> key = keys->get(i);
            table->put(key, key);
        }
        for (jint i = 0; i < n; ++i) benchmark::DoNotOptimize(table->get(keys->get(i)).target);
    }
    state.SetItemsProcessed(state.iterations() * n);
    // x_malloc: per key (one put and one get).
    yardstick.report(state, n);
}

void BM_HashtablePutGetStringKeys(benchmark::State& state) {
    benchBoot();
    VMPtr<KeyArray> keys = makeStringKeys(kElements);
    putAndGetAll(state, keys);
}
BENCHMARK(BM_HashtablePutGetStringKeys)->Unit(benchmark::kMillisecond);

// Target: at most 20 ms.
void BM_HashtablePutGetIntegerKeys(benchmark::State& state) {
    benchBoot();
    VMPtr<KeyArray> keys = KeyArray::create(kElements);
    for (jint i = 0; i < kElements; ++i)
        keys->set(i, VMPtr<Object>(java::lang::Integer::create()->construct(i * 7919)));
    putAndGetAll(state, keys);
}
BENCHMARK(BM_HashtablePutGetIntegerKeys)->Unit(benchmark::kMillisecond);

}  // namespace
