// java.util.Random: the 48-bit linear congruential generator and the values cut from it.
#include "java_util_Random.h"

#include "java_lang_IllegalArgumentException.h"
#include "java_lang_String.h"
#include "java_lang_System.h"

namespace {

constexpr uint64_t kMultiplier = 0x5DEECE66DULL;
constexpr uint64_t kAddend = 0xBULL;
constexpr uint64_t kMask = (uint64_t(1) << 48) - 1;

}  // namespace

namespace java::util {

VMPtr<Random> Random::construct() { return construct(java::lang::System::currentTimeMillis()); }

VMPtr<Random> Random::construct(jlong initialSeed) {
    Super::construct();
    setSeed(initialSeed);
    return this;
}

void Random::setSeed(jlong newSeed) { seed = (uint64_t(newSeed) ^ kMultiplier) & kMask; }

jint Random::next(jint bits) {
    seed = (seed * kMultiplier + kAddend) & kMask;
    // A Java long shift: the count is taken modulo 64.
    return jint(uint32_t(seed >> ((48 - bits) & 63)));
}

jint Random::nextInt(jint n) {
    if (n <= 0) _VM_throw(java::lang::IllegalArgumentException::create()->construct(VM_STR("n must be positive")));
    if ((n & -n) == n) return jint((jlong(n) * jlong(next(31))) >> 31);
    jint bits;
    jint val;
    do {
        bits = next(31);
        val = bits % n;
        // bits - val + (n - 1) overflows (turns negative) only in the last,
        // incomplete block of values, which is drawn again.
    } while (jint(uint32_t(bits) - uint32_t(val) + uint32_t(n - 1)) < 0);
    return val;
}

jint Random::nextInt() { return next(32); }

jlong Random::nextLong() {
    const jint high = next(32);
    const jint low = next(32);
    return jlong((uint64_t(jlong(high)) << 32) + uint64_t(jlong(low)));
}

jfloat Random::nextFloat() { return jfloat(next(24)) * 0x1p-24f; }

jdouble Random::nextDouble() {
    const jint high = next(26);
    const jint low = next(27);
    return jdouble((jlong(high) << 27) + jlong(low)) * 0x1p-53;
}

}  // namespace java::util

VM_REGISTER_CLASS(java::util::Random, .name = "java.util.Random", .newInstance = _VM_newInstanceOf<java::util::Random>)
