// FastRandom: the xorshift sequence, the ranges of its values, and the
// arguments it refuses.
#include "java_lang_Integer.h"
#include "ts_util_FastRandom.h"
#include "vm_test.h"

using ts::util::FastRandom;

TEST(FastRandomTest, TheSequenceFollowsTheSeedAndZeroStaysZero) {
    vmTestBoot();
    VMPtr<FastRandom> r = FastRandom::create()->construct(1);
    EXPECT_EQ(r->nextLong(), 35651601);
    VMPtr<FastRandom> a = FastRandom::create()->construct(-987654321012345LL);
    VMPtr<FastRandom> b = FastRandom::create()->construct();  // from the clock
    b->setSeed(-987654321012345LL);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(b->next(32), jint(a->nextLong()));  // the low word
    r->setSeed(0);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(r->nextLong() == 0 && r->nextInt(5) == 0 && r->nextFloat() == 0 && r->nextDouble() == 0);
}

TEST(FastRandomTest, ValuesStayInTheirRangesAndBadArgumentsThrow) {
    vmTestBoot();
    VMPtr<FastRandom> r = FastRandom::create()->construct(20240601);
    int sixes = 0, ones = 0;
    for (int i = 0; i < 20000; ++i) {
        const jint below7 = r->nextInt(-7);
        EXPECT_TRUE(below7 >= 0 && below7 <= 6) << below7;
        sixes += below7 == 6;
        EXPECT_TRUE(unsigned(r->next(8)) <= 255u);
        const jint bit = r->next(1);
        EXPECT_TRUE(bit == 0 || bit == 1);
        ones += bit;
        const jfloat f = r->nextFloat();
        EXPECT_TRUE(f >= 0.0f && f < 1.0f) << f;
        const jdouble d = r->nextDouble();
        EXPECT_TRUE(d >= 0.0 && d < 1.0) << d;
        EXPECT_EQ(r->nextInt(-1), 0);  // no trap on MIN_VALUE rem -1
        EXPECT_GE(r->nextInt(java::lang::Integer::MIN_VALUE), 0);
    }
    EXPECT_GT(sixes, 0);
    EXPECT_TRUE(ones > 0 && ones < 20000);
    for (jint bits : {0, -1})
        EXPECT_EQ(VM_THROWN_TEXT(r->next(bits)),
                  "java.lang.IllegalArgumentException: FastRandom.nextInt() numberOfBits must be positive");
    EXPECT_EQ(VM_THROWN_CLASS(r->nextInt(0)), "java.lang.IllegalArgumentException");
}
