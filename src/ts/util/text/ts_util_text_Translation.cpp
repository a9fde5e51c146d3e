// ts.util.text.Translation: all texts of one language, read from one resource.
#include "ts_util_text_Translation.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "java_io_EOFException.h"
#include "java_io_IOException.h"
#include "java_lang_StringIndexOutOfBoundsException.h"

namespace ts::util::text {

using java::lang::String;
using java::lang::StringBuffer;

VMStatic<StringBuffer> Translation::sharedBuffer;

void Translation::_VM_clinit() { sharedBuffer = nullptr; }

VMPtr<Translation> Translation::construct(VMPtr<java::io::DataInputStream> in, jint size) {
    Super::construct();
    const jint n = in->readChar();
    const jint entries = n + 1;
    VMPtr<VMArray<jchar, 1>> chars;
    VMPtr<VMArray<jint, 1>> ints;
    if (size <= 0xFFFF) {
        chars = VMArray<jchar, 1>::create(entries);
    } else {
        ints = VMArray<jint, 1>::create(entries);
    }
    const jint dataLength = size - 2 * entries;
    if (dataLength < 0) _VM_throwNegativeArraySizeException();
    // The texts come from the stream: a length it cannot hold is not
    // allocated (a few bytes more than it holds are left as zeros).
    if (dataLength > 64 * 1024 && dataLength > in->available()) {
        _VM_throw(java::io::EOFException::create()->construct());
    }
    VMPtr<VMBytes> data = VMBytes::create(dataLength);
    jint pos = 0;
    for (jint i = 0; i < n; ++i) {
        if (chars != nullptr) {
            chars->elements()[i] = jchar(pos);
        } else {
            ints->elements()[i] = pos;
        }
        const jint length = in->readShort();
        if (length < 0) {
            VMPtr<StringBuffer> message = StringBuffer::create()->construct();
            message->append("Negative length of text ");
            message->append(i);
            _VM_throw(java::io::IOException::create()->construct(message->toString()));
        }
        if (length > 0) in->readFully(data, pos, length);
        pos += length;
    }
    if (chars != nullptr) {
        chars->elements()[n] = jchar(pos);
    } else {
        ints->elements()[n] = pos;
    }
    charOffsets = chars;
    intOffsets = ints;
    textData = data;
    textCount = n;
    return this;
}

jint Translation::getOffset(jint id) {
    if (charOffsets != nullptr) return charOffsets->get(id);
    return intOffsets->get(id);
}

jint Translation::getLength(jint id) { return getOffset(id + 1) - getOffset(id); }

void Translation::decodeText(VMPtr<VMBytes> data, jint start, jint length, VMPtr<StringBuffer> sb, jint position) {
    if (data == nullptr || sb == nullptr) _VM_throwNullPointer();
    if (length <= 0) return;
    const jint end = data->length;
    if (start < 0 || start >= end) _VM_throwArrayIndexOutOfBoundsException(start);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data->elements());
    auto at = [&](int64_t i) -> jint { return i < end ? bytes[i] : 0; };
    // Decoded first, then moved into the buffer in one step.
    jchar local[256];
    std::vector<jchar> large;
    // Every character takes at least one byte of the array.
    const jint most = std::min(length, end - start);
    jchar* out = local;
    if (most > jint(sizeof local / sizeof local[0])) {
        large.resize(size_t(most));
        out = large.data();
    }
    jint n = 0;
    for (jint i = 0; i < length;) {
        const int64_t p = int64_t(start) + i;
        if (p >= end) _VM_throwArrayIndexOutOfBoundsException(jint(p));
        const jint b = bytes[p];
        ++i;
        jchar c;
        switch (b >> 4) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
            case 5:
            case 6:
            case 7: c = jchar(b); break;
            case 12:
            case 13:
                c = jchar((b & 0x1F) << 6 | (at(p + 1) & 0x3F));
                i += 1;
                break;
            case 14:
                c = jchar((b & 0x0F) << 12 | (at(p + 1) & 0x3F) << 6 | (at(p + 2) & 0x3F));
                i += 2;
                break;
            default: c = 0; break;
        }
        out[n++] = c;
    }
    VMSynchronized lock(sb);
    StringBuffer* buffer = sb.get();
    if (position < 0 || position > buffer->count)
        _VM_throw(java::lang::StringIndexOutOfBoundsException::create()->construct(position));
    const int64_t newCount = int64_t(buffer->count) + n;
    if (newCount > INT32_MAX) _VM_throwOutOfMemoryError();
    const jint capacity = buffer->value.target != nullptr ? buffer->value->length : 0;
    if (newCount > capacity) {
        buffer->expandCapacity(jint(newCount));
    } else if (buffer->shared && position < buffer->count) {
        buffer->copy();
    }
    jchar* chars = buffer->value->elements();
    std::memmove(chars + position + n, chars + position, size_t(buffer->count - position) * sizeof(jchar));
    std::memcpy(chars + position, out, size_t(n) * sizeof(jchar));
    buffer->count = jint(newCount);
}

VMPtr<StringBuffer> Translation::insertText(jint id, VMPtr<StringBuffer> sb, jint position) {
    if (textCache != nullptr) {
        sb->insert(position, VMPtr<String>(textCache->get(id)));
        return sb;
    }
    decodeText(textData, getOffset(id), getLength(id), sb, position);
    return sb;
}

VMPtr<StringBuffer> Translation::appendText(jint id, VMPtr<StringBuffer> sb) {
    return insertText(id, sb, sb->length());
}

VMPtr<StringBuffer> Translation::getText(jint id, VMPtr<StringBuffer> sb) {
    sb->setLength(0);
    return insertText(id, sb, 0);
}

VMPtr<String> Translation::getString(jint id) {
    if (textCache != nullptr) return textCache->get(id);
    _VM_ensureInitialized(_VM_classRecord);
    const jint length = getLength(id);
    if (length > 128) {
        VMPtr<StringBuffer> buffer = StringBuffer::create()->construct(length);
        getText(id, buffer);
        return buffer->toString();
    }
    if (sharedBuffer == nullptr) sharedBuffer = StringBuffer::create()->construct();
    VMPtr<StringBuffer> buffer = sharedBuffer;
    getText(id, buffer);
    // A copy of the characters: the shared buffer keeps its array, so the
    // next text is decoded into it without a new one.
    return String::create()->_VM_initLength(buffer->value->elements(), buffer->length());
}

void Translation::decodeAll() {
    if (textCache != nullptr || textData == nullptr) return;
    VMPtr<VMArray<String, 1>> all = VMArray<String, 1>::create(textCount);
    for (jint i = textCount - 1; i >= 0; --i) {
        VMPtr<StringBuffer> buffer = StringBuffer::create()->construct(getLength(i));
        getText(i, buffer);
        all->set(i, buffer->toString());
    }
    textCache = all;
    textData = nullptr;
    charOffsets = nullptr;
    intOffsets = nullptr;
}

}  // namespace ts::util::text

VM_REGISTER_CLASS(ts::util::text::Translation, .name = "ts.util.text.Translation",
                  .staticInit = ts::util::text::Translation::_VM_clinit)
