// Fuzz target: the text table reader and the lookup of every text.
//
// Input layout: byte 0 chooses the size handed to the reader (bits 0-1: the
// stream's length, 2 more, 2 fewer, or 70000 so that 32-bit offsets are
// used) and whether every text is also decoded at once (bit 2); the rest is
// the resource.
//
// Allowed outcomes: the reader throws java.lang.Exception or gives a table
// whose texts decode the same through getString, getText and decodeAll, each
// at most as many characters as bytes. Anything else aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "VM.h"
#include "java_io_ByteArrayInputStream.h"
#include "java_lang_Exception.h"
#include "ts_util_text_Translation.h"
#include "vm_boot.h"

namespace {

using java::lang::String;
using java::lang::StringBuffer;
using ts::util::text::Translation;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_text_table: %s\n", what);
    std::abort();
}

std::vector<jchar> charsOf(const VMPtr<String>& s) {
    return std::vector<jchar>(s->_VM_chars(), s->_VM_chars() + s->length());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (size == 0) return 0;
    const uint8_t control = data[0];
    const jint length = jint(size - 1);
    VMPtr<VMBytes> bytes = VMBytes::create(length);
    if (length > 0) std::memcpy(bytes->elements(), data + 1, size_t(length));
    static const jint deltas[] = {0, 2, -2, 0};
    const jint tableSize = (control & 3) == 3 ? 70000 : length + deltas[control & 3];
    VMPtr<Translation> table;
    try {
        table = Translation::create()->construct(
            java::io::DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(bytes)),
            tableSize);
    } catch (java::lang::Exception*) {}
    if (table != nullptr) {
        std::vector<std::vector<jchar>> texts;
        VMPtr<StringBuffer> sb = StringBuffer::create()->construct("xy");
        for (jint id = 0; id < table->textCount; ++id) {
            VMPtr<String> s = table->getString(id);
            if (s->length() > table->getLength(id)) fail("more characters than bytes");
            texts.push_back(charsOf(s));
            table->insertText(id, sb, sb->length() > 0 ? 1 : 0);
            table->getText(id, sb);
            if (charsOf(sb->toString()) != texts.back()) fail("getText and getString differ");
        }
        if (control & 4) {
            table->decodeAll();
            for (jint id = 0; id < table->textCount; ++id) {
                if (charsOf(table->getString(id)) != texts[size_t(id)]) fail("decodeAll changed a text");
            }
        }
    }
    vmFuzzInputDone();
    return 0;
}
