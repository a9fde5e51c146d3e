// ts.util.FastRandom: java.util.Random with a 64-bit xorshift generator
// (shifts 21, 35, 4) in place of the 48-bit linear congruential one. Every
// operation of Random is overridden, so code written against Random draws
// from this generator. The sequence depends only on the seed; a state of 0
// stays 0.
#pragma once

#include "VM.h"
#include "java_util_Random.h"

namespace ts::util {

class FastRandom : public java::util::Random {
    VM_DECLARE_CLASS(FastRandom, java::util::Random)

public:
    // The whole generator state (Random's 48-bit seed is never used).
    uint64_t state = 0;

    // Seeded from the clock.
    VMPtr<FastRandom> construct();
    VMPtr<FastRandom> construct(jlong seed);

    // state := seed, all 64 bits.
    void setSeed(jlong seed) override;
    // |nextInt() rem n|: 0 to |n| - 1. IllegalArgumentException for 0.
    jint nextInt(jint n) override;
    // The low 32 bits of nextLong.
    jint nextInt() override;
    // One generator step; the new state.
    jlong nextLong() override;
    // In [0, 1).
    jfloat nextFloat() override;
    jdouble nextDouble() override;
    // The low `bits` bits (taken modulo 64) of nextLong, cut to 32 bits.
    // IllegalArgumentException for bits < 1.
    jint next(jint bits) override;
};

}  // namespace ts::util
