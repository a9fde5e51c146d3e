// com.tarsel.sorrel.AMS: the application manager. The host boots the
// runtime with it as the boot class: it creates the application class named
// by the application property "MIDlet-1" and starts it, and turns the
// platform's pause, resume and destroy events into the application's
// life-cycle calls.
#pragma once

#include "VM.h"
#include "java_lang_String.h"
#include "javax_microedition_midlet_MIDlet.h"

namespace com::tarsel::sorrel {

class AMS : public virtual java::lang::Object {
    VM_DECLARE_CLASS(AMS, java::lang::Object)

public:
    // The application (null until one is loaded).
    static VMStatic<javax::microedition::midlet::MIDlet> currentMIDlet;

    // Registers the resume listener (priority 0) and the pause and destroy
    // listener (priority 2).
    static void _VM_clinit();

    // The boot entry: starts MIDlet 1; a missing "MIDlet-1" is a fatal stop.
    static void entry(jint argument);
    static void main();
    // The application property, or null when it is absent.
    static VMPtr<java::lang::String> getAppProperty(VMPtr<java::lang::String> key);
    // Loads and starts the class named by "MIDlet-<n>" (its third
    // comma-separated field, or the whole value, trimmed). False when the
    // property is absent.
    static jboolean startMIDlet(jint n);
    // Creates the class by name. ClassNotFoundException, or
    // InstantiationException "Class not a MIDlet".
    static VMPtr<javax::microedition::midlet::MIDlet> loadMIDlet(VMPtr<java::lang::String> className);

    static void onResume(jint type, jint count, const intptr_t* args);
    static void onPauseOrDestroy(jint type, jint count, const intptr_t* args);
};

}  // namespace com::tarsel::sorrel
