// com.tarsel.sorrel.AMS: the application manager.
#include "com_tarsel_sorrel_AMS.h"

#include <cstdio>
#include <string>

#include "VMRuntime.h"
#include "VMThrow.h"
#include "hal_events.h"
#include "hal_property.h"
#include "hal_system.h"
#include "java_lang_InstantiationException.h"
#include "java_lang_Integer.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_Throwable.h"
#include "javax_microedition_midlet_MIDletStateChangeException.h"

namespace com::tarsel::sorrel {

using javax::microedition::midlet::MIDlet;

VMStatic<MIDlet> AMS::currentMIDlet;

namespace {

// Where the application properties come from, for the messages below.
std::string appPropertyFile() { return std::string(HAL_programDirectory()) + "properties/app.prop"; }

}  // namespace

void AMS::_VM_clinit() {
    currentMIDlet = nullptr;
    _VM_addEventListener(onResume, _VM_eventBit(HAL_EVENT_RESUME), 0);
    _VM_addEventListener(onPauseOrDestroy, _VM_eventBit(HAL_EVENT_PAUSE) | _VM_eventBit(HAL_EVENT_DESTROY), 2);
}

void AMS::entry(jint argument) {
    (void)argument;
    main();
}

void AMS::main() {
    _VM_ensureInitialized(_VM_classRecord);
    jboolean started;
    try {
        started = startMIDlet(1);
    } catch (java::lang::Throwable* thrown) {
        // The boot fails with it; say first which class could not be started.
        VMPtr<java::lang::Throwable> keep(thrown);
        VMPtr<java::lang::String> value = getAppProperty(VM_STR("MIDlet-1"));
        std::string text = keep->toString()->_VM_toStdString();
        std::fprintf(stderr, "vessilo: cannot start the application named by \"MIDlet-1\" (\"%s\") in %s: %s\n",
                     value == nullptr ? "" : value->_VM_toStdString().c_str(), appPropertyFile().c_str(), text.c_str());
        std::fflush(stderr);
        _VM_throw(keep);  // rooted anew: the work above may have thrown and caught
    }
    if (!started) {
        std::fprintf(stderr, "vessilo: no application: the key \"MIDlet-1\" is missing from %s\n",
                     appPropertyFile().c_str());
        std::fflush(stderr);
        HAL_fatalError("Failed to load MIDlet!");
    }
}

VMPtr<java::lang::String> AMS::getAppProperty(VMPtr<java::lang::String> key) {
    if (key == nullptr) _VM_throwNullPointer();
    const jint n = HAL_getApplicationPropertyLength(key->_VM_chars(), key->length());
    if (n < 0) return nullptr;
    VMPtr<VMArray<jchar, 1>> characters = VMArray<jchar, 1>::create(n);
    int32_t length = n;
    int status = HAL_getApplicationProperty(key->_VM_chars(), key->length(), characters->elements(), &length);
    if (status == HAL_NOT_FOUND) return nullptr;
    if (status != HAL_OK) HAL_fatalError("HAL_getApplicationProperty() failed!");
    return java::lang::String::create()->construct(characters, 0, length);
}

jboolean AMS::startMIDlet(jint n) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<java::lang::StringBuffer> key = java::lang::StringBuffer::create()->construct(VM_STR("MIDlet-"));
    key->append(n);
    VMPtr<java::lang::String> value = getAppProperty(key->toString());
    if (value == nullptr) return false;
    // The third comma-separated field; with fewer than two commas the whole
    // value.
    const jint first = value->indexOf(',');
    const jint second = first < 0 ? -1 : value->indexOf(',', first + 1);
    VMPtr<java::lang::String> className = value->substring(second + 1)->trim();
    VMPtr<MIDlet> midlet = loadMIDlet(className);
    currentMIDlet = midlet;
    if (midlet->setState(MIDlet::STARTING)) {
        midlet->startApp();
        midlet->setState(MIDlet::ACTIVE);
    }
    return true;
}

VMPtr<MIDlet> AMS::loadMIDlet(VMPtr<java::lang::String> className) {
    java::lang::Class* record = java::lang::Class::forName(className);
    VMPtr<java::lang::Object> object = record->newInstance();
    if (!_VM_isInstance<MIDlet>(object.target))
        _VM_throw(java::lang::InstantiationException::create()->construct(VM_STR("Class not a MIDlet")));
    return VMPtr<MIDlet>(dynamic_cast<MIDlet*>(object.target));
}

void AMS::onResume(jint type, jint count, const intptr_t* args) {
    (void)count;
    (void)args;
    VMPtr<MIDlet> midlet = currentMIDlet;
    if (midlet == nullptr || type != HAL_EVENT_RESUME) return;
    if (midlet->setState(MIDlet::STARTING)) {
        midlet->startApp();
        midlet->setState(MIDlet::ACTIVE);
    }
}

void AMS::onPauseOrDestroy(jint type, jint count, const intptr_t* args) {
    (void)count;
    (void)args;
    VMPtr<MIDlet> midlet = currentMIDlet;
    if (midlet == nullptr) return;
    if (type == HAL_EVENT_PAUSE) {
        if (midlet->setState(MIDlet::PAUSING)) {
            midlet->pauseApp();
            midlet->setState(MIDlet::PAUSED);
        }
    } else if (type == HAL_EVENT_DESTROY) {
        if (midlet->setState(MIDlet::DESTROYING)) {
            try {
                midlet->destroyApp(true);
            } catch (javax::microedition::midlet::MIDletStateChangeException* refused) {
                // The application may not refuse an unconditional destroy.
                (void)refused;
            }
            midlet->setState(MIDlet::DESTROYED);
        }
    }
}

}  // namespace com::tarsel::sorrel

VM_REGISTER_CLASS(com::tarsel::sorrel::AMS, .name = "com.tarsel.sorrel.AMS",
                  .staticInit = com::tarsel::sorrel::AMS::_VM_clinit, .entryPoint = com::tarsel::sorrel::AMS::entry)
