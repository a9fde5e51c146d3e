// java.lang.Runtime: the memory figures, the collector and the exit request.
#include "java_lang_Runtime.h"

#include <cstdint>
#include <new>

#include "VMException.h"
#include "VMExitException.h"
#include "VMRuntime.h"
#include "hal_system.h"
#include "java_lang_SecurityException.h"

VMExitException* VMExitException::_VM_create(jint exitStatus) {
    void* memory = _VM_alloc(sizeof(VMExitException), 1);
    auto* request = new (memory) VMExitException();
    request->status = exitStatus;
    _VM_endConstruction(request);
    return request;
}

void VMExitException::_VM_throw(jint exitStatus) {
    VMExitException* request = _VM_create(exitStatus);
    _VM_setInFlight(request);
    throw request;
}

namespace {

jlong asLong(uint64_t bytes) { return bytes > uint64_t(INT64_MAX) ? INT64_MAX : jlong(bytes); }

}  // namespace

namespace java::lang {

VMStatic<Runtime> Runtime::instance;
jboolean Runtime::exitAllowed = false;

VMPtr<Runtime> Runtime::getRuntime() {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr) instance = create();
    return instance;
}

void Runtime::exit(jint status) {
    if (!exitAllowed)
        _VM_throw(SecurityException::create()->construct(VM_STR("MIDP lifecycle does not support system exit.")));
    VMExitException::_VM_throw(status);
}

jlong Runtime::freeMemory() { return asLong(_VM_freeMemory()); }

jlong Runtime::totalMemory() { return asLong(_VM_totalMemory()); }

void Runtime::gc() { _VM_collect(_VM_runtime); }

void Runtime::setExitAllowed(jboolean allowed) { exitAllowed = allowed; }

void Runtime::_VM_setExitStatus(jint status) { HAL_setExitStatus(status); }

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Runtime, .name = "java.lang.Runtime")
