// java.lang.String: an immutable sequence of 16-bit characters.
#pragma once

#include <string>

#include "VMArray.h"
#include "VMStringMap.h"

namespace java::lang {

class String final : public virtual Object {
    VM_DECLARE_CLASS(String)

public:
    VMField<VMArray<jchar, 1>> value;
    jint offset = 0;
    jint count = 0;

    VMPtr<String> construct();
    // From NUL-terminated UTF-8 (modified UTF-8 accepted).
    VMPtr<String> construct(const char* utf8);
    // Library-internal: takes the array unchanged, no checks, no copy.
    VMPtr<String> construct(jint offset, jint count, VMPtr<VMArray<jchar, 1>> value);
    // From a buffer of 16-bit characters (copied).
    VMPtr<String> _VM_initLength(const jchar* chars, jint length);

    static VMPtr<String> _VM_fromUTF8(const char* utf8);
    static VMPtr<String> _VM_intern(const char* literal);

    jint length() const { return count; }
    jchar charAt(jint index);
    jint hashCode() override;
    jboolean equals(VMPtr<Object> anObject) override;
    VMPtr<String> toString() override { return VMPtr<String>(this); }
    void markReferences(uint32_t bits) override { _VM_markRef(value, bits); }
    VMPtr<String> concat(VMPtr<String> str);

    const jchar* _VM_chars() const { return value.target->elements() + offset; }
    // Appends the characters as NUL-terminated modified UTF-8.
    VMCString* _VM_appendToCString(VMCString* holder);
    VMCString* _VM_toCString(VMCString* holder);
    // The characters as UTF-8 (diagnostics and tests).
    std::string _VM_toStdString();
};

}  // namespace java::lang

// The intern table: literal bytes -> String (held through the native scope).
VMStringMap* _VM_internTable();

// A string literal, interned.
#define VM_STR(literal) java::lang::String::_VM_intern(literal)
