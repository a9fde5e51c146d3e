// java.lang.Class: the class record of every class, interface and array
// class.
#pragma once

#include "VMCString.h"
#include "VMList.h"
#include "VMObject.h"

namespace java::io {
class InputStream;
}

namespace java::lang {

using VMStaticInit = void (*)();
using VMNewInstance = VMPtr<Object> (*)();
using VMEntryPoint = void (*)(jint argument);
// Is the object an instance of the C++ class behind a record (a check on
// the declarations: the registry must agree with the C++ class tree)?
using VMCppInstanceTest = bool (*)(Object* object);

enum VMInitState : jint {
    VM_CLASS_INITIALIZED = 0,
    VM_CLASS_UNINITIALIZED = 1,
    VM_CLASS_INITIALIZING = 2,
    VM_CLASS_FAILED = 3,
};

class Class final : public virtual Object {
public:
    using Super = Object;
    static constexpr bool _VM_declaredAbstract = false;
    static constexpr bool _VM_declaredInterface = false;
    jint initState = VM_CLASS_INITIALIZED;
    VMThread* initThread = nullptr;
    VMList interfaces;
    bool superResolved = false;
    Class* superClass = nullptr;
    VMCString name;
    VMCString superName;
    const char* sourceName = "";
    intptr_t reserved = 0;
    VMStaticInit staticInit = nullptr;
    VMNewInstance newInstanceFunction = nullptr;
    VMEntryPoint entryPoint = nullptr;
    VMCppInstanceTest cppInstanceOf = nullptr;
    bool isInterfaceFlag = false;
    bool isAbstractFlag = false;
    bool flagC = false;
    jint dimensions = 0;
    jint elementType = 0;
    Class* elementClass = nullptr;
    VMNative<Class> self;

    Class* getClass() override;
    VMPtr<String> toString() override;

    VMPtr<String> getName();
    jboolean isInterface() const { return isInterfaceFlag; }
    jboolean isArray() const { return dimensions > 0; }
    jboolean isInstance(VMPtr<Object> obj);
    jboolean isAssignableFrom(Class* cls);
    static Class* forName(VMPtr<String> className);
    VMPtr<Object> newInstance();
    // The resource path of a name relative to this class's package.
    VMPtr<String> _VM_resolveName(VMPtr<String> name);
    // A stream over the application resource of that name (resolved as by
    // _VM_resolveName); IOException when it cannot be opened.
    VMPtr<java::io::InputStream> getResourceAsStream(VMPtr<String> name);

    static Class* _VM_classRecord;
    static Class* _VM_getClass() { return _VM_classRecord; }
};

}  // namespace java::lang
