// The class registry, class initialisation, type tests, and the
// registration boilerplate every class uses (see docs/runtime.md).
#pragma once

#include <cstddef>
#include <new>
#include <string_view>
#include <type_traits>

#include "VMStringMap.h"
#include "java_lang_Class.h"

struct VMClassRegistry {
    VMStringMap map;
    java::lang::Class* objectClass = nullptr;
    bool sealed = false;
};

VMClassRegistry* _VM_classRegistry();

java::lang::Class* _VM_defineClass(java::lang::Class* record, const char* name, const char* superName,
                                   const char* sourceName, intptr_t reserved, java::lang::VMStaticInit staticInit,
                                   java::lang::VMNewInstance instanceCreation, bool flagC, bool isInterface,
                                   bool isAbstract, jint dimensions, jint elementType, java::lang::Class* elementClass,
                                   bool mostDerived);
void _VM_registerClass(VMClassRegistry* registry, const char* name, java::lang::Class* record);
java::lang::Class* _VM_findClass(VMClassRegistry* registry, const char* name);
java::lang::Class* _VM_findClass(const char* name);

// Enrolment (static-initialisation time; allocates nothing).
using VMRegistrationRoutine = void (*)(void* node);
struct VMClassNode {
    VMClassNode* next = nullptr;
    VMRegistrationRoutine routine = nullptr;
    // Runs after every registration routine (links a class to its super-class).
    VMRegistrationRoutine link = nullptr;
};
struct VMInterfaceNode {
    VMInterfaceNode* next = nullptr;
    java::lang::Class** classWord = nullptr;
    const char* interfaceName = nullptr;
};
struct VMEntryPointNode {
    VMEntryPointNode* next = nullptr;
    java::lang::Class** classWord = nullptr;
    java::lang::VMEntryPoint entry = nullptr;
};
void _VM_enrolClass(VMClassNode* node, VMRegistrationRoutine routine);
void _VM_enrolInterface(VMInterfaceNode* node, java::lang::Class** classWord, const char* interfaceName);
void _VM_enrolEntryPoint(VMEntryPointNode* node, java::lang::Class** classWord, java::lang::VMEntryPoint entry);
void _VM_runClassRegistrations();
void _VM_resolveInterfaces();
void _VM_resolveEntryPoints();
void _VM_sealRegistry();
void _VM_registerInterface(java::lang::Class* record, const char* interfaceName);

java::lang::Class* _VM_objectClass(VMClassRegistry* registry);
java::lang::Class* _VM_superClass(VMClassRegistry* registry, java::lang::Class* record);
void _VM_initializeClass(VMClassRegistry* registry, java::lang::Class* record);
bool _VM_isAssignable(VMClassRegistry* registry, java::lang::Class* from, java::lang::Class* to);
bool _VM_implements(VMClassRegistry* registry, java::lang::Class* from, java::lang::Class* to);
bool _VM_instanceOf(VMClassRegistry* registry, java::lang::Object* object, java::lang::Class* to);
VMCString* _VM_appendTypeDescriptor(VMClassRegistry* registry, VMCString* holder, java::lang::Class* record,
                                    jint dimensions);

[[noreturn]] void _VM_throwNoClassDefFoundError(java::lang::Class* record);

// The check before every use of a class's statics: no lock on the fast path.
inline void _VM_ensureInitialized(java::lang::Class* record) {
    if (record->initState == java::lang::VM_CLASS_FAILED) _VM_throwNoClassDefFoundError(nullptr);
    if (record->initState == java::lang::VM_CLASS_INITIALIZED) return;
    _VM_initializeClass(_VM_classRegistry(), record);
}
inline void _VM_ensureInitialized(VMClassRegistry* registry, java::lang::Class* record) {
    if (record->initState == java::lang::VM_CLASS_FAILED) _VM_throwNoClassDefFoundError(nullptr);
    if (record->initState == java::lang::VM_CLASS_INITIALIZED) return;
    _VM_initializeClass(registry, record);
}

// Is the object an instance of class T (null is none)?
template <class T>
inline bool _VM_isInstance(java::lang::Object* object) {
    return object != nullptr && _VM_instanceOf(_VM_classRegistry(), object, T::_VM_getClass());
}

// --- registration boilerplate ---------------------------------------------

// The allocation step of every class: class-initialisation check, one
// allocation, the object constructor as most derived, a stack reference to
// the result, the end of construction.
template <class T>
VMPtr<T> _VM_create() {
    _VM_ensureInitialized(T::_VM_classRecord);
    void* memory = _VM_allocInline(sizeof(T));
    T* object = new (memory) T();
    VMPtr<T> result(object);
    _VM_endConstruction(object);
    return result;
}

// The instance factory used by Class.newInstance: create + no-argument body.
template <class T>
VMPtr<java::lang::Object> _VM_newInstanceOf() {
    VMPtr<T> object = T::create();
    object->construct();
    return VMPtr<java::lang::Object>(object);
}

void _VM_emptyStaticInit();

constexpr int VM_MAX_INTERFACES = 8;

// A class's source name is the path of the file that registers it, from the
// top of the source tree and without its extension
// ("target/winmo/pb_src/j2me/java_util_Vector"). VM_REGISTER_CLASS makes it
// from __FILE__; the top of the tree is where this header's own path, as the
// compiler spells it, leaves off "lib_src/vm/VMClass.h" (nothing when the
// compiler already gives paths from the top).
inline constexpr std::string_view _VM_sourceRoot = [] {
    constexpr std::string_view header = __FILE__, inTree = "lib_src/vm/VMClass.h";
    return header.ends_with(inTree) ? header.substr(0, header.size() - inTree.size()) : std::string_view();
}();

template <std::size_t N>
struct VMSourceName {
    char text[N] = {};
    consteval explicit VMSourceName(const char (&file)[N]) {
        std::string_view path(file, N - 1);
        if (path.starts_with(_VM_sourceRoot)) path.remove_prefix(_VM_sourceRoot.size());
        const std::size_t slash = path.rfind('/'), dot = path.rfind('.');
        if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
            path = path.substr(0, dot);
        for (std::size_t i = 0; i < path.size(); ++i) text[i] = path[i];
    }
};

// What a class tells the registry about itself. A class's super-class comes
// from its declaration (superWord, filled in by VM_REGISTER_CLASS); only an
// interface names what it extends here (superName: the first interface it
// extends, the others go on .interfaces).
struct VMClassInfo {
    const char* name = nullptr;
    const char* superName = "";
    const char* sourceName = nullptr;  // null: the registering file's (fileSourceName)
    java::lang::VMStaticInit staticInit = _VM_emptyStaticInit;
    java::lang::VMNewInstance newInstance = nullptr;
    bool isInterface = false;
    bool isAbstract = false;
    const char* interfaces[VM_MAX_INTERFACES] = {};
    java::lang::VMEntryPoint entryPoint = nullptr;
    java::lang::Class** superWord = nullptr;
    java::lang::VMCppInstanceTest cppInstanceOf = nullptr;
    const char* fileSourceName = "";  // filled in by VM_REGISTER_CLASS
};

template <class T>
bool _VM_cppInstanceOf(java::lang::Object* object) {
    return dynamic_cast<T*>(object) != nullptr;
}

// The record word of T's declared super-class; none for interfaces and Object.
template <class T>
constexpr java::lang::Class** _VM_superWordOf() {
    if constexpr (requires { typename T::Super; })
        return &T::Super::_VM_classRecord;
    else
        return nullptr;
}

// The compile-time checks on a class's declaration.
template <class T>
constexpr bool _VM_checkDeclaration(const VMClassInfo& info) {
    if constexpr (requires { typename T::Super; }) {
        static_assert(std::is_base_of_v<typename T::Super, T> && !std::is_same_v<typename T::Super, T>,
                      "a class must derive from the super-class its declaration names");
        static_assert(!std::is_abstract_v<T> || T::_VM_declaredAbstract || T::_VM_declaredInterface,
                      "an abstract C++ class is declared with VM_DECLARE_ABSTRACT_CLASS");
        return info.superName[0] == '\0';  // the super-class is named once, in the declaration
    } else {
        return true;
    }
}

// A static object per class: enrols the registration, the interface links
// and the entry point at static-initialisation time.
class VMClassEnrolment : public VMClassNode {
public:
    VMClassEnrolment(java::lang::Class** classWord, const VMClassInfo& info);
    static void registerRoutine(void* node);
    static void linkRoutine(void* node);

    java::lang::Class** classWord;
    const VMClassInfo* info;
    VMInterfaceNode interfaceNodes[VM_MAX_INTERFACES];
    VMEntryPointNode entryNode;
};

// Inside the class body, first thing:
//   VM_DECLARE_CLASS(X, Super)            an instantiable class
//   VM_DECLARE_ABSTRACT_CLASS(X, Super)   an abstract class (no create of its own)
//   VM_DECLARE_INTERFACE(X)               an interface
// Super is the C++ class of the Java super-class; it gives the registration
// its super-class, the alias Super (construct starts with
// Super::construct(...)), and a compile-time check that X derives from it.
#define VM_DECLARE_CLASS_COMMON(X, S)                                    \
public:                                                                  \
    using Super = S;                                                     \
    static java::lang::Class* _VM_classRecord;                           \
    static java::lang::Class* _VM_getClass() { return _VM_classRecord; } \
    java::lang::Class* getClass() override { return _VM_classRecord; }

#define VM_DECLARE_CLASS(X, S)                           \
    VM_DECLARE_CLASS_COMMON(X, S)                        \
    static constexpr bool _VM_declaredAbstract = false;  \
    static constexpr bool _VM_declaredInterface = false; \
    static VMPtr<X> create() { return _VM_create<X>(); }

#define VM_DECLARE_ABSTRACT_CLASS(X, S)                \
    VM_DECLARE_CLASS_COMMON(X, S)                      \
    static constexpr bool _VM_declaredAbstract = true; \
    static constexpr bool _VM_declaredInterface = false;

#define VM_DECLARE_INTERFACE(X)                         \
public:                                                 \
    static constexpr bool _VM_declaredAbstract = true;  \
    static constexpr bool _VM_declaredInterface = true; \
    static java::lang::Class* _VM_classRecord;          \
    static java::lang::Class* _VM_getClass() { return _VM_classRecord; }

#define VM_CONCAT_INNER(a, b) a##b
#define VM_CONCAT(a, b) VM_CONCAT_INNER(a, b)

// In the class's source file, at namespace scope:
//   VM_REGISTER_CLASS(ts::Foo, .name = "ts.Foo", .newInstance = _VM_newInstanceOf<ts::Foo>)
// .sourceName is given only when it is not the file's own (a class kept in
// another class's file names that class's file).
#define VM_REGISTER_CLASS(X, ...)                                                                                    \
    java::lang::Class* X::_VM_classRecord = nullptr;                                                                 \
    namespace {                                                                                                      \
    constexpr VMSourceName VM_CONCAT(vmSourceName_, __LINE__){__FILE__};                                             \
    constexpr VMClassInfo VM_CONCAT(vmClassInfo_, __LINE__){                                                         \
        __VA_ARGS__, .superWord = _VM_superWordOf<X>(), .cppInstanceOf = _VM_cppInstanceOf<X>,                       \
        .fileSourceName = VM_CONCAT(vmSourceName_, __LINE__).text};                                                  \
    static_assert(_VM_checkDeclaration<X>(VM_CONCAT(vmClassInfo_, __LINE__)),                                        \
                  "a class names its super-class in its declaration, not with .superName");                          \
    VMClassEnrolment VM_CONCAT(vmClassEnrolment_, __LINE__)(&X::_VM_classRecord, VM_CONCAT(vmClassInfo_, __LINE__)); \
    }
