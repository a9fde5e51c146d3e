// The resource input stream and Class.getResourceAsStream: opening, reading
// at a position, skipping, marking, closing, failures of the platform.
#include <dirent.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "com_tarsel_sorrel_cldc_io_ResourceInputStream.h"
#include "hal_system.h"
#include "java_io_DataInputStream.h"
#include "java_lang_Class.h"
#include "program_dir.h"
#include "vm_test.h"

namespace ioresourcetest {

// A class outside any package.
class Unpackaged : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Unpackaged, java::lang::Object)
};

}  // namespace ioresourcetest

VM_REGISTER_CLASS(ioresourcetest::Unpackaged, .name = "Unpackaged")

using com::tarsel::sorrel::cldc::io::ResourceInputStream;
using java::io::InputStream;
using java::lang::String;

namespace {

int openDescriptors() {
    int n = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir) != nullptr) ++n;
        ::closedir(dir);
    }
    return n;
}

class ResourceStreamTest : public VMTest {
protected:
    TempProgramDir dir{"io_resource"};
    const std::string& root = dir.root();

    void SetUp() override {
        VMTest::SetUp();
        put("rsc/abc.bin", "abc");
        put("rsc/top.bin", "top");
        put("rsc/java/lang/inner.bin", "in java/lang");
        put("rsc/numbers.bin", std::string("\x01\x02\x03\x04\x00\x02hi", 8));
    }
    void put(const std::string& relative, const std::string& content) { dir.put(relative, content); }

    static VMPtr<ResourceInputStream> open(const char* name) {
        return ResourceInputStream::create()->construct(String::_VM_fromUTF8(name));
    }
    static std::string readAll(const VMPtr<InputStream>& in) {
        std::string out;
        for (jint c = in->read(); c >= 0; c = in->read()) out += char(c);
        return out;
    }
};

TEST_F(ResourceStreamTest, RefusalsCarryThePlatformStatus) {
    EXPECT_EQ(VM_THROWN_TEXT(open("missing.bin")), "java.io.IOException: Resource error: 4");
    EXPECT_EQ(VM_THROWN_TEXT(open("")), "java.io.IOException: Resource error: 2");
    EXPECT_EQ(VM_THROWN_TEXT(open("../rsc/abc.bin")), "java.io.IOException: Resource error: 2");
    EXPECT_EQ(VM_THROWN_TEXT(open(std::string(5000, 'x').c_str())), "java.io.IOException: Resource error: 5");
    EXPECT_EQ(VM_THROWN_CLASS(ResourceInputStream::create()->construct(VMPtr<String>())),
              "java.lang.NullPointerException");
    EXPECT_TRUE(_VM_isInstance<InputStream>(open("abc.bin").get()));
}

TEST_F(ResourceStreamTest, SingleByteReadsThenEnd) {
    VMPtr<ResourceInputStream> in = open("abc.bin");
    EXPECT_EQ(in->size, 3);
    EXPECT_EQ(in->available(), 3);
    EXPECT_EQ(in->read(), 'a');
    EXPECT_EQ(in->available(), 2);
    EXPECT_EQ(in->read(), 'b');
    EXPECT_EQ(in->available(), 1);
    EXPECT_EQ(in->read(), 'c');
    EXPECT_EQ(in->available(), 0);
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->position, 3);
}

TEST_F(ResourceStreamTest, ArrayReadsAreCutToTheFile) {
    VMPtr<ResourceInputStream> in = open("abc.bin");
    VMPtr<VMBytes> b = VMBytes::create(10);
    EXPECT_EQ(in->read(b, 0, 10), 3);
    EXPECT_EQ(b->get(2), 'c');
    EXPECT_EQ(in->read(b, 0, 10), -1);
    EXPECT_EQ(in->read(b, 0, 0), 0);  // 0 even at the end

    const char* ioobe = "java.lang.IndexOutOfBoundsException";
    EXPECT_EQ(VM_THROWN_TEXT(in->read(b, 2, 9)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, -1, 1)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, 11, 0)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, 0, -1)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(b, 1, INT_MAX)), ioobe);
    EXPECT_EQ(VM_THROWN_CLASS(in->read(VMPtr<VMBytes>(), 0, 1)), "java.lang.NullPointerException");

    VMPtr<ResourceInputStream> again = open("abc.bin");
    EXPECT_EQ(again->read(b, 5, 2), 2);
    EXPECT_EQ(again->read(b), 1);
    EXPECT_EQ(b->get(0), 'c');
}

TEST_F(ResourceStreamTest, SkipMarkAndReset) {
    VMPtr<ResourceInputStream> in = open("abc.bin");
    EXPECT_TRUE(in->markSupported());
    EXPECT_EQ(in->read(), 'a');
    in->mark(0);
    EXPECT_EQ(in->skip(-5), 0);
    EXPECT_EQ(in->skip(100), 2);
    EXPECT_EQ(in->read(), -1);
    in->reset();
    EXPECT_EQ(in->read(), 'b');
    EXPECT_EQ(in->read(), 'c');
    in->reset();
    EXPECT_EQ(in->read(), 'b');
}

TEST_F(ResourceStreamTest, ClosedStreamRefusesReadsButAnswersQueries) {
    VMPtr<ResourceInputStream> in = open("abc.bin");
    EXPECT_EQ(in->read(), 'a');
    in->close();
    EXPECT_EQ(in->handle, nullptr);
    EXPECT_EQ(in->available(), 2);
    EXPECT_EQ(VM_THROWN_TEXT(in->read()), "java.io.IOException");
    VMPtr<VMBytes> b = VMBytes::create(2);
    EXPECT_EQ(VM_THROWN_TEXT(in->read(b, 0, 2)), "java.io.IOException");
    EXPECT_EQ(VM_THROWN_TEXT(in->skip(1)), "java.io.IOException");
    EXPECT_EQ(VM_THROWN_TEXT(in->reset()), "java.io.IOException");
    in->mark(0);
    EXPECT_TRUE(in->markSupported());
    in->close();  // a second close does nothing
}

TEST_F(ResourceStreamTest, CollectedStreamsCloseTheirFiles) {
    _VM_collect(_VM_runtime);  // streams of earlier tests
    int before = openDescriptors();
    {
        VMPtr<ResourceInputStream> a = open("abc.bin");
        VMPtr<ResourceInputStream> b = open("top.bin");
        EXPECT_EQ(openDescriptors(), before + 2);
    }
    _VM_collect(_VM_runtime);
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(ResourceStreamTest, ShrunkFileEndsInsteadOfAnsweringZero) {
    put("rsc/shrinking.bin", "0123456789");
    VMPtr<ResourceInputStream> in = open("shrinking.bin");
    ASSERT_EQ(::truncate((root + "rsc/shrinking.bin").c_str(), 4), 0);
    VMPtr<VMBytes> b = VMBytes::create(10);
    EXPECT_EQ(in->read(b, 0, 10), 4);
    EXPECT_EQ(in->read(b, 0, 10), -1);
    EXPECT_EQ(in->read(), -1);

    // So reading it fully fails at the end instead of retrying for ever.
    VMPtr<java::io::DataInputStream> data = java::io::DataInputStream::create()->construct(open("shrinking.bin"));
    EXPECT_EQ(VM_THROWN_CLASS(data->readFully(b)), "java.io.EOFException");
}

TEST_F(ResourceStreamTest, DataStreamOverAResource) {
    VMPtr<java::io::DataInputStream> data = java::io::DataInputStream::create()->construct(open("numbers.bin"));
    EXPECT_EQ(data->readInt(), 0x01020304);
    EXPECT_EQ(text(data->readUTF()), "hi");
    EXPECT_EQ(data->read(), -1);
}

TEST_F(ResourceStreamTest, ClassResolvesNamesAgainstItsPackage) {
    java::lang::Class* stringClass = String::_VM_getClass();
    EXPECT_EQ(readAll(stringClass->getResourceAsStream(String::_VM_fromUTF8("inner.bin"))), "in java/lang");
    EXPECT_EQ(readAll(stringClass->getResourceAsStream(String::_VM_fromUTF8("/top.bin"))), "top");
    java::lang::Class* unpackaged = ioresourcetest::Unpackaged::_VM_getClass();
    EXPECT_EQ(readAll(unpackaged->getResourceAsStream(String::_VM_fromUTF8("abc.bin"))), "abc");

    EXPECT_EQ(VM_THROWN_TEXT(stringClass->getResourceAsStream(String::_VM_fromUTF8("top.bin"))),
              "java.io.IOException: Resource error: 4");
    EXPECT_EQ(VM_THROWN_TEXT(stringClass->getResourceAsStream(String::_VM_fromUTF8("../../top.bin"))),
              "java.io.IOException: Resource error: 2");
    EXPECT_EQ(VM_THROWN_TEXT(stringClass->getResourceAsStream(String::_VM_fromUTF8("//top.bin"))),
              "java.io.IOException: Resource error: 2");
    EXPECT_EQ(VM_THROWN_CLASS(stringClass->getResourceAsStream(VMPtr<String>())), "java.lang.NullPointerException");
}

}  // namespace
