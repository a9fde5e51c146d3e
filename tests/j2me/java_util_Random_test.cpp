// java.util.Random: the generator's sequences against a reference computed
// here, the published first values, the argument check of nextInt(n), and
// the calls a subclass can intercept (setSeed during construction, next).
#include <cstring>
#include <string>
#include <vector>

#include "java_util_Random.h"
#include "vm_test.h"

namespace randomtest {

// Counts setSeed calls and records the widths next is asked for;
// optionally replaces next by a constant cut to the asked width.
class Spy : public java::util::Random {
    VM_DECLARE_CLASS(Spy, java::util::Random)

public:
    jint seedCalls = 0;
    jlong lastSeed = 0;
    std::string widths;
    bool constant = false;
    jint constantValue = 0;

    void setSeed(jlong s) override {
        ++seedCalls;
        lastSeed = s;
        Random::setSeed(s);
    }
    jint next(jint bits) override {
        widths += (widths.empty() ? "" : ",") + std::to_string(bits);
        if (!constant) return Random::next(bits);
        return bits >= 32 ? constantValue : jint(uint32_t(constantValue) & ((uint32_t(1) << bits) - 1));
    }
};

}  // namespace randomtest

VM_REGISTER_CLASS(randomtest::Spy, .name = "randomtest.Spy")

using java::util::Random;
using randomtest::Spy;

namespace {

// The reference generator: the state advanced modulo 2^48 in 128-bit
// arithmetic, results derived with plain integer division.
class Reference {
public:
    explicit Reference(int64_t seed) { state = ((unsigned __int128)(uint64_t)seed ^ 25214903917u) % kModulus; }

    int64_t draw(int bits) {  // the top `bits` bits of the 48-bit state
        state = (state * 25214903917u + 11u) % kModulus;
        return int64_t(state / ((unsigned __int128)1 << (48 - bits)));
    }
    static int32_t asInt(int64_t value) {  // low 32 bits, two's complement
        uint64_t low = uint64_t(value) % 4294967296u;
        return low >= 2147483648u ? int32_t(int64_t(low) - 4294967296) : int32_t(low);
    }
    int32_t nextInt() { return asInt(draw(32)); }
    int32_t nextInt(int32_t n) {
        if ((n & (n - 1)) == 0) return int32_t(int64_t(n) * draw(31) / 2147483648);
        for (;;) {
            int64_t r = draw(31);
            int64_t val = r % n;
            if (r - val + (n - 1) <= 2147483647) return int32_t(val);  // a complete block
        }
    }
    int64_t nextLong() {
        int64_t high = asInt(draw(32));
        int64_t low = asInt(draw(32));
        return int64_t(uint64_t(high) * 4294967296u + uint64_t(low));
    }
    float nextFloat() { return float(draw(24)) / 16777216.0f; }
    double nextDouble() {
        int64_t high = draw(26);
        int64_t low = draw(27);
        return double(high * 134217728 + low) / 9007199254740992.0;
    }

private:
    static constexpr unsigned __int128 kModulus = (unsigned __int128)1 << 48;
    unsigned __int128 state;
};

uint32_t bitsOf(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}
uint64_t bitsOf(double d) {
    uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

class RandomTest : public VMTest {
protected:
    static VMPtr<Random> make(jlong seed) { return Random::create()->construct(seed); }
};

TEST_F(RandomTest, PublishedFirstValues) {
    EXPECT_EQ(make(0)->nextInt(), -1155484576);
    EXPECT_EQ(make(0)->nextLong(), -4962768465676381896LL);
    EXPECT_EQ(make(0)->nextFloat(), 0.73096776f);
    EXPECT_EQ(make(0)->nextInt(16), 11);
    VMPtr<Random> r = make(42);
    EXPECT_EQ(r->nextInt(10), 0);
    EXPECT_EQ(r->nextInt(10), 3);
    EXPECT_EQ(r->nextInt(10), 8);
}

TEST_F(RandomTest, SequencesMatchTheReference) {
    const int64_t seeds[] = {0, 1, 42, -1, 0x123456789ABCDEFLL, INT64_MIN, INT64_MAX, 0x5DEECE66DLL};
    for (int64_t seed : seeds) {
        SCOPED_TRACE(seed);
        VMPtr<Random> r = make(seed);
        Reference ref(seed);
        for (int i = 0; i < 40; ++i) {
            ASSERT_EQ(r->nextInt(), ref.nextInt()) << i;
            ASSERT_EQ(r->nextLong(), ref.nextLong()) << i;
            ASSERT_EQ(bitsOf(r->nextFloat()), bitsOf(ref.nextFloat())) << i;
            ASSERT_EQ(bitsOf(r->nextDouble()), bitsOf(ref.nextDouble())) << i;
        }
    }
}

TEST_F(RandomTest, BoundedIntsMatchTheReferenceOnBothPaths) {
    // Powers of two take the multiply path; the others draw again in the
    // last, incomplete block (about half the draws for 2^30 + 1).
    const int32_t bounds[] = {1, 2, 16, 1 << 30, 3, 10, 1000, (1 << 30) + 1, 1500000000, INT32_MAX};
    for (int32_t n : bounds) {
        SCOPED_TRACE(n);
        VMPtr<Random> r = make(n);
        Reference ref(n);
        for (int i = 0; i < 200; ++i) {
            jint value = r->nextInt(n);
            ASSERT_EQ(value, ref.nextInt(n)) << i;
            ASSERT_TRUE(value >= 0 && value < n);
        }
        EXPECT_EQ(r->nextInt(), ref.nextInt());  // both consumed the same draws
    }
}

TEST_F(RandomTest, NonPositiveBoundsAreRejected) {
    VMPtr<Random> r = make(7);
    for (jint n : {0, -5, INT32_MIN}) {
        SCOPED_TRACE(n);
        std::string message;
        try {
            r->nextInt(n);
        } catch (java::lang::Throwable* thrown) {
            VMPtr<java::lang::Throwable> keep(thrown);
            message = std::string(keep->getClass()->name.c_str()) + ": " + text(keep->getMessage());
        }
        EXPECT_EQ(message, "java.lang.IllegalArgumentException: n must be positive");
    }
    EXPECT_EQ(r->nextInt(), make(7)->nextInt());  // nothing was drawn
}

TEST_F(RandomTest, SeedingReproducesSequences) {
    VMPtr<Random> a = make(123456789);
    VMPtr<Random> b = make(123456789);
    std::vector<jint> first;
    for (int i = 0; i < 20; ++i) {
        first.push_back(a->nextInt());
        EXPECT_EQ(b->nextInt(), first.back());
    }
    a->setSeed(123456789);
    a->setSeed(123456789);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(a->nextInt(), first[i]);
    // Only the low 48 bits of a seed count.
    EXPECT_EQ(make(5)->nextLong(), make(5 + (jlong(1) << 48))->nextLong());
    EXPECT_NE(make(5)->nextLong(), make(6)->nextLong());
    EXPECT_EQ(make(0)->seed, 0x5DEECE66DULL);
}

TEST_F(RandomTest, SubclassSeesSetSeedAndNext) {
    VMPtr<Spy> spy = Spy::create();
    spy->construct(99);
    EXPECT_EQ(spy->seedCalls, 1);  // the constructor seeds through the override
    EXPECT_EQ(spy->lastSeed, 99);
    VMPtr<Spy> clocked = Spy::create();
    clocked->construct();
    EXPECT_EQ(clocked->seedCalls, 1);

    spy->nextInt();
    spy->nextInt(1);
    spy->nextInt(10);
    spy->nextLong();
    spy->nextFloat();
    spy->nextDouble();
    EXPECT_EQ(spy->widths, "32,31,31,32,32,24,26,27");

    spy->constant = true;
    spy->constantValue = 5;
    EXPECT_EQ(spy->nextInt(), 5);
    EXPECT_EQ(spy->nextLong(), (jlong(5) << 32) + 5);
    spy->constantValue = -1;
    EXPECT_EQ(spy->nextLong(), (jlong(-1) << 32) - 1);  // a negative low half lowers the high one
    EXPECT_EQ(spy->nextInt(4), 3);                      // (4 * (2^31 - 1)) >> 31
    EXPECT_EQ(spy->nextFloat(), 1.0f - 0x1p-24f);       // every bit set: still below 1
    EXPECT_EQ(spy->nextDouble(), 1.0 - 0x1p-53);
    spy->constantValue = 1 << 23;
    EXPECT_EQ(spy->nextFloat(), 0.5f);
    EXPECT_EQ(spy->nextInt(4), 0);  // (4 * 2^23) >> 31
}

TEST_F(RandomTest, ClassIsRegistered) {
    java::lang::Class* record = _VM_findClass("java.util.Random");
    ASSERT_EQ(record, Random::_VM_getClass());
    VMPtr<java::lang::Object> made = record->newInstance();
    auto* r = dynamic_cast<Random*>(made.get());
    ASSERT_NE(r, nullptr);
    EXPECT_LT(r->seed, uint64_t(1) << 48);
}

}  // namespace
