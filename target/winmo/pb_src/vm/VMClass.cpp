// The class registry, enrolment at start-up, class initialisation and the
// type tests.
#include "VMClass.h"

#include <cstring>

#include "VMThread.h"
#include "VMThrow.h"
#include "hal_system.h"
#include "java_lang_Throwable.h"

using java::lang::Class;

namespace {

VMClassRegistry* registry = nullptr;

// Enrolment lists, filled by static initialisers before the runtime starts.
template <class Node>
struct EnrolmentList {
    Node* head = nullptr;
    Node* tail = nullptr;
    void append(Node* node) {
        node->next = nullptr;
        if (tail != nullptr)
            tail->next = node;
        else
            head = node;
        tail = node;
    }
};
constinit EnrolmentList<VMClassNode> classNodes;
constinit EnrolmentList<VMInterfaceNode> interfaceNodes;
constinit EnrolmentList<VMEntryPointNode> entryPointNodes;

}  // namespace

void _VM_emptyStaticInit() {}

VMClassRegistry* _VM_classRegistry() {
    if (registry == nullptr) {
        registry = static_cast<VMClassRegistry*>(_VM_alloc(sizeof(VMClassRegistry), 1));
        new (registry) VMClassRegistry();
        _VM_mapInit(&registry->map);
    }
    return registry;
}

Class* _VM_defineClass(Class* record, const char* name, const char* superName, const char* sourceName,
                       intptr_t reserved, java::lang::VMStaticInit staticInit,
                       java::lang::VMNewInstance instanceCreation, bool flagC, bool isInterface, bool isAbstract,
                       jint dimensions, jint elementType, Class* elementClass, bool mostDerived) {
    (void)mostDerived;  // the record's header is initialised by its constructor
    record->initState = staticInit != nullptr ? java::lang::VM_CLASS_UNINITIALIZED : java::lang::VM_CLASS_INITIALIZED;
    record->initThread = nullptr;
    _VM_listInit(&record->interfaces);
    record->superResolved = false;
    record->superClass = nullptr;
    _VM_cstrAssign(&record->name, name);
    _VM_cstrAssign(&record->superName, superName != nullptr ? superName : "");
    record->sourceName = sourceName != nullptr ? sourceName : "";
    record->reserved = reserved;
    record->staticInit = staticInit;
    record->newInstanceFunction = instanceCreation;
    record->entryPoint = nullptr;
    record->flagC = flagC;
    record->isInterfaceFlag = isInterface;
    record->isAbstractFlag = isAbstract;
    record->dimensions = dimensions;
    record->elementType = elementType;
    record->elementClass = elementClass;
    record->self = record;
    _VM_registerClass(_VM_classRegistry(), record->name.c_str(), record);
    _VM_endConstruction(record);
    return record;
}

void _VM_registerClass(VMClassRegistry* reg, const char* name, Class* record) {
    if (std::strcmp(name, "_VM_bad_array") == 0) HAL_fatalError("Attempt to use invalid type with a java array!");
    if (_VM_mapContains(&reg->map, name)) HAL_fatalError("Duplicate class detected!");
    _VM_mapPut(&reg->map, name, record);
}

Class* _VM_findClass(VMClassRegistry* reg, const char* name) {
    return static_cast<Class*>(_VM_mapGet(&reg->map, name));
}
Class* _VM_findClass(const char* name) { return _VM_findClass(_VM_classRegistry(), name); }

void _VM_enrolClass(VMClassNode* node, VMRegistrationRoutine routine) {
    node->routine = routine;
    classNodes.append(node);
}

void _VM_enrolInterface(VMInterfaceNode* node, Class** classWord, const char* interfaceName) {
    node->classWord = classWord;
    node->interfaceName = interfaceName;
    interfaceNodes.append(node);
}

void _VM_enrolEntryPoint(VMEntryPointNode* node, Class** classWord, java::lang::VMEntryPoint entry) {
    node->classWord = classWord;
    node->entry = entry;
    entryPointNodes.append(node);
}

void _VM_runClassRegistrations() {
    for (VMClassNode* n = classNodes.head; n != nullptr; n = n->next) n->routine(n);
    for (VMClassNode* n = classNodes.head; n != nullptr; n = n->next)
        if (n->link != nullptr) n->link(n);
}

void _VM_resolveInterfaces() {
    for (VMInterfaceNode* n = interfaceNodes.head; n != nullptr; n = n->next)
        if (*n->classWord != nullptr) _VM_registerInterface(*n->classWord, n->interfaceName);
}

void _VM_resolveEntryPoints() {
    for (VMEntryPointNode* n = entryPointNodes.head; n != nullptr; n = n->next)
        if (*n->classWord != nullptr) (*n->classWord)->entryPoint = n->entry;
}

void _VM_sealRegistry() { _VM_classRegistry()->sealed = true; }

void _VM_registerInterface(Class* record, const char* interfaceName) {
    if (interfaceName == nullptr) return;
    Class* iface = _VM_findClass(_VM_classRegistry(), interfaceName);
    if (iface == nullptr) HAL_fatalError("Class for interface not found in _VM_registerInterface()!");
    _VM_listPushBack(&record->interfaces, iface);
}

// --- enrolment object -----------------------------------------------------

VMClassEnrolment::VMClassEnrolment(Class** word, const VMClassInfo& classInfo) : classWord(word), info(&classInfo) {
    _VM_enrolClass(this, &VMClassEnrolment::registerRoutine);
    for (int i = 0; i < VM_MAX_INTERFACES && classInfo.interfaces[i] != nullptr; ++i)
        _VM_enrolInterface(&interfaceNodes[i], classWord, classInfo.interfaces[i]);
    if (classInfo.entryPoint != nullptr) _VM_enrolEntryPoint(&entryNode, classWord, classInfo.entryPoint);
    if (classInfo.superWord != nullptr) link = &VMClassEnrolment::linkRoutine;
}

void VMClassEnrolment::registerRoutine(void* node) {
    auto* self = static_cast<VMClassEnrolment*>(static_cast<VMClassNode*>(node));
    const VMClassInfo* i = self->info;
    void* memory = _VM_alloc(sizeof(Class), 1);
    auto* record = new (memory) Class();
    const char* sourceName = i->sourceName != nullptr ? i->sourceName : i->fileSourceName;
    _VM_defineClass(record, i->name, i->superName, sourceName, 0, i->staticInit, i->newInstance, false, i->isInterface,
                    i->isAbstract, 0, 0, nullptr, true);
    record->cppInstanceOf = i->cppInstanceOf;
    *self->classWord = record;
}

// The super-class's name, once every class has its record.
void VMClassEnrolment::linkRoutine(void* node) {
    auto* self = static_cast<VMClassEnrolment*>(static_cast<VMClassNode*>(node));
    Class* super = *self->info->superWord;
    if (super == nullptr) HAL_fatalError("Super-class not registered in VMClassEnrolment::linkRoutine()!");
    _VM_cstrSet(&(*self->classWord)->superName, super->name.c_str());
}

// --- lookups and type tests -------------------------------------------------

Class* _VM_objectClass(VMClassRegistry* reg) {
    if (reg->objectClass == nullptr) reg->objectClass = _VM_findClass(reg, "java.lang.Object");
    return reg->objectClass;
}

Class* _VM_superClass(VMClassRegistry* reg, Class* record) {
    if (reg->sealed && record->superResolved) return record->superClass;
    Class* super = record->superName.text != nullptr && record->superName.text[0] != 0
                       ? _VM_findClass(reg, record->superName.text)
                       : nullptr;
    if (super != nullptr || reg->sealed) {
        record->superClass = super;
        record->superResolved = true;
    }
    return super;
}

bool _VM_implements(VMClassRegistry* reg, Class* from, Class* to) {
    if (from == to) return true;
    Class* objectClass = _VM_objectClass(reg);
    for (Class* c = from; c != nullptr && c != objectClass; c = _VM_superClass(reg, c)) {
        for (VMListNode* n = c->interfaces.first; n != nullptr; n = n->next)
            if (_VM_implements(reg, static_cast<Class*>(n->value), to)) return true;
    }
    return false;
}

bool _VM_isAssignable(VMClassRegistry* reg, Class* from, Class* to) {
    if (from == nullptr || to == nullptr) return false;
    if (from == to || to == _VM_objectClass(reg)) return true;
    if (to->dimensions > 0) {
        if (from->dimensions == 0) return false;
        if (from->elementClass == nullptr && to->elementClass == nullptr) return from->elementType == to->elementType;
        if (from->elementClass != nullptr && to->elementClass != nullptr)
            return _VM_isAssignable(reg, from->elementClass, to->elementClass);
        return false;
    }
    if (to->isInterfaceFlag) {
        if (from->dimensions > 0) return false;
        return _VM_implements(reg, from, to);
    }
    if (from->dimensions > 0 || from->isInterfaceFlag) return false;
    Class* objectClass = _VM_objectClass(reg);
    for (Class* c = from; c != nullptr; c = _VM_superClass(reg, c)) {
        if (c == to) return true;
        if (c == objectClass) return false;
    }
    return false;
}

bool _VM_instanceOf(VMClassRegistry* reg, java::lang::Object* object, Class* to) {
    if (object == nullptr) return false;
    return _VM_isAssignable(reg, object->getClass(), to);
}

VMCString* _VM_appendTypeDescriptor(VMClassRegistry*, VMCString* holder, Class* record, jint dimensions) {
    _VM_cstrInit(holder);
    for (jint d = record->dimensions; d < dimensions; ++d) _VM_cstrAppend(holder, "[");
    if (record->dimensions == 0) {
        _VM_cstrAppend(holder, "L");
        _VM_cstrAppend(holder, record->name.c_str());
        _VM_cstrAppend(holder, ";");
    } else {
        _VM_cstrAppend(holder, record->name.c_str());
    }
    return holder;
}

// --- initialisation --------------------------------------------------------

void _VM_initializeClass(VMClassRegistry* reg, Class* record) {
    VMThread* me = VMThread::current();
    {
        VMSynchronized lock(record);
        while (record->initState == java::lang::VM_CLASS_INITIALIZING && record->initThread != me) record->wait();
        if (record->initState == java::lang::VM_CLASS_INITIALIZING) return;  // our own recursive request
        if (record->initState == java::lang::VM_CLASS_INITIALIZED) return;
        if (record->initState == java::lang::VM_CLASS_FAILED) _VM_throwNoClassDefFoundError(record);
        record->initState = java::lang::VM_CLASS_INITIALIZING;
        record->initThread = me;
    }
    try {
        if (!record->isInterfaceFlag) {
            Class* super = _VM_superClass(reg, record);
            if (super != nullptr && super->initState != java::lang::VM_CLASS_INITIALIZED)
                _VM_ensureInitialized(reg, super);
        }
        if (record->staticInit != nullptr) record->staticInit();
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        {
            VMSynchronized lock(record);
            record->initState = java::lang::VM_CLASS_FAILED;
            record->initThread = nullptr;
            record->notifyAll();
        }
        _VM_throwInitializerFailure(keep.target);
    }
    VMSynchronized lock(record);
    record->initState = java::lang::VM_CLASS_INITIALIZED;
    record->initThread = nullptr;
    record->notifyAll();
}
