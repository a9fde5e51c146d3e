// java.util.Random: the 48-bit linear congruential generator
// (multiplier 0x5DEECE66D, addend 0xB) and the values cut from it.
#pragma once

#include "VMClass.h"

namespace java::util {

class Random : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Random, java::lang::Object)

public:
    // The 48-bit state.
    uint64_t seed = 0;

    // Seeded from the clock.
    VMPtr<Random> construct();
    // Seeds through setSeed, so a subclass's setSeed runs here.
    VMPtr<Random> construct(jlong seed);

    virtual void setSeed(jlong seed);
    // Uniform in [0, n); IllegalArgumentException "n must be positive" for
    // n <= 0.
    virtual jint nextInt(jint n);
    virtual jint nextInt();
    virtual jlong nextLong();
    // Uniform in [0, 1).
    virtual jfloat nextFloat();
    virtual jdouble nextDouble();

protected:
    // Advances the state; its top `bits` bits (1 to 32) as a signed value.
    virtual jint next(jint bits);
};

}  // namespace java::util
