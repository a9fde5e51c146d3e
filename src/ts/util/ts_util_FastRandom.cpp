// ts.util.FastRandom: java.util.Random with a 64-bit xorshift generator.
#include "ts_util_FastRandom.h"

#include "java_lang_IllegalArgumentException.h"
#include "java_lang_System.h"

namespace ts::util {

namespace {

[[noreturn]] void throwIllegalArgument(const char* message) {
    _VM_throw(java::lang::IllegalArgumentException::create()->construct(java::lang::String::_VM_fromUTF8(message)));
}

}  // namespace

VMPtr<FastRandom> FastRandom::construct() {
    Super::construct();
    setSeed(java::lang::System::currentTimeMillis());
    return this;
}

VMPtr<FastRandom> FastRandom::construct(jlong seed) {
    Super::construct();
    setSeed(seed);
    return this;
}

void FastRandom::setSeed(jlong seed) { state = uint64_t(seed); }

jlong FastRandom::nextLong() {
    uint64_t x = state;
    x ^= x << 21;
    x ^= x >> 35;
    x ^= x << 4;
    state = x;
    return jlong(x);
}

jint FastRandom::nextInt() { return jint(uint32_t(uint64_t(nextLong()))); }

jint FastRandom::nextInt(jint n) {
    if (n == 0) throwIllegalArgument("FastRandom.nextInt() n must not be 0");
    // In 64 bits: MIN_VALUE rem -1 does not trap, and the magnitude of the
    // remainder (below |n| <= 2^31) always fits an int.
    const jlong remainder = jlong(nextInt()) % jlong(n);
    return jint(remainder < 0 ? -remainder : remainder);
}

jint FastRandom::next(jint bits) {
    if (bits < 1) throwIllegalArgument("FastRandom.nextInt() numberOfBits must be positive");
    const uint64_t mask = (uint64_t(1) << (bits % 64)) - 1;
    return jint(uint32_t(uint64_t(nextLong()) & mask));
}

jfloat FastRandom::nextFloat() { return jfloat(next(24)) * 0x1p-24f; }

jdouble FastRandom::nextDouble() {
    const jlong high = next(26);
    const jlong low = next(27);
    return jdouble((high << 27) + low) * 0x1p-53;
}

}  // namespace ts::util

VM_REGISTER_CLASS(ts::util::FastRandom, .name = "ts.util.FastRandom",
                  .newInstance = _VM_newInstanceOf<ts::util::FastRandom>)
