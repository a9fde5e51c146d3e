// java.lang.String
#include "java_lang_String.h"

#include <cstring>

#include "VMStringMap.h"
#include "VMThrow.h"

namespace {

// Characters of a NUL-terminated UTF-8 text; counting stops before the first
// bad lead byte (0x80-0xBF, 0xF0-0xFF) or a truncated sequence.
jint utf8CountChars(const unsigned char* s, size_t n) {
    jint chars = 0;
    size_t i = 0;
    while (i < n) {
        unsigned char b = s[i];
        size_t need;
        if (b < 0x80)
            need = 1;
        else if (b >= 0xC0 && b < 0xE0)
            need = 2;
        else if (b >= 0xE0 && b < 0xF0)
            need = 3;
        else
            break;
        if (i + need > n) break;
        i += need;
        ++chars;
    }
    return chars;
}

void utf8Decode(const unsigned char* s, jchar* out, jint chars) {
    size_t i = 0;
    for (jint c = 0; c < chars; ++c) {
        unsigned char b = s[i];
        if (b < 0x80) {
            out[c] = b;
            i += 1;
        } else if (b < 0xE0) {
            out[c] = jchar(((b & 0x1F) << 6) | (s[i + 1] & 0x3F));
            i += 2;
        } else {
            out[c] = jchar(((b & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
            i += 3;
        }
    }
}

}  // namespace

VMStringMap* _VM_internTable() {
    static VMStringMap* table = nullptr;
    if (table == nullptr) {
        table = new VMStringMap();
        _VM_mapInit(table);
    }
    return table;
}

namespace java::lang {

VMPtr<String> String::construct() {
    value = VMArray<jchar, 1>::create(0);
    return this;
}

VMPtr<String> String::construct(const char* utf8) {
    if (utf8 == nullptr) _VM_throwNullPointer();
    auto* bytes = reinterpret_cast<const unsigned char*>(utf8);
    size_t n = std::strlen(utf8);
    jint chars = utf8CountChars(bytes, n);
    value = VMArray<jchar, 1>::create(chars);
    utf8Decode(bytes, value->elements(), chars);
    offset = 0;
    count = chars;
    return this;
}

VMPtr<String> String::construct(jint off, jint cnt, VMPtr<VMArray<jchar, 1>> chars) {
    value = chars;
    offset = off;
    count = cnt;
    return this;
}

VMPtr<String> String::_VM_initLength(const jchar* chars, jint length) {
    if (length < 0) length = 0;
    value = VMArray<jchar, 1>::create(length);
    if (length > 0) std::memcpy(value->elements(), chars, size_t(length) * sizeof(jchar));
    offset = 0;
    count = length;
    return this;
}

VMPtr<String> String::_VM_fromUTF8(const char* utf8) { return create()->construct(utf8); }

VMPtr<String> String::_VM_intern(const char* literal) {
    if (literal == nullptr) return nullptr;
    VMStringMap* table = _VM_internTable();
    if (void* found = _VM_mapGet(table, literal)) return static_cast<VMNative<String>*>(found)->target;
    VMPtr<String> s = _VM_fromUTF8(literal);
    auto* root = new (_VM_alloc(sizeof(VMNative<String>), 1)) VMNative<String>();
    *root = s;
    _VM_mapPut(table, literal, root);
    return s;
}

jchar String::charAt(jint index) {
    if (index < 0 || index >= count) _VM_throwStringIndexOutOfBoundsException(index);
    return _VM_chars()[index];
}

jint String::hashCode() {
    jint h = 0;
    const jchar* chars = _VM_chars();
    for (jint i = 0; i < count; ++i) h = 31 * h + chars[i];
    return h;
}

jboolean String::equals(VMPtr<Object> anObject) {
    if (anObject.target == this) return true;
    auto* other = dynamic_cast<String*>(anObject.target);
    if (other == nullptr || other->count != count) return false;
    return std::memcmp(_VM_chars(), other->_VM_chars(), size_t(count) * sizeof(jchar)) == 0;
}

VMPtr<String> String::concat(VMPtr<String> str) {
    if (str == nullptr) _VM_throwNullPointer();
    if (str->count == 0) return this;
    int64_t total = int64_t(count) + str->count;
    if (total > INT32_MAX) _VM_throwOutOfMemoryError();
    VMPtr<VMArray<jchar, 1>> chars = VMArray<jchar, 1>::create(jint(total));
    std::memcpy(chars->elements(), _VM_chars(), size_t(count) * sizeof(jchar));
    std::memcpy(chars->elements() + count, str->_VM_chars(), size_t(str->count) * sizeof(jchar));
    return create()->construct(0, jint(total), chars);
}

VMCString* String::_VM_appendToCString(VMCString* holder) {
    std::string utf8;
    const jchar* chars = _VM_chars();
    for (jint i = 0; i < count; ++i) {
        jchar c = chars[i];
        if (c != 0 && c < 0x80) {
            utf8 += char(c);
        } else if (c < 0x800) {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        } else {
            utf8 += char(0xE0 | (c >> 12));
            utf8 += char(0x80 | ((c >> 6) & 0x3F));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    _VM_cstrAppendN(holder, utf8.c_str(), utf8.size());
    return holder;
}

VMCString* String::_VM_toCString(VMCString* holder) {
    _VM_cstrFree(holder);
    return _VM_appendToCString(holder);
}

std::string String::_VM_toStdString() {
    VMCString holder;
    _VM_appendToCString(&holder);
    std::string result = holder.c_str();
    _VM_cstrFree(&holder);
    return result;
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::String, .name = "java.lang.String", .sourceName = "target/winmo/pb_src/j2me/java_lang_String",
                  .newInstance = _VM_newInstanceOf<java::lang::String>)
