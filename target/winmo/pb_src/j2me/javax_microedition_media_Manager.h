// javax.microedition.media.Manager: makes players from a locator or from
// bytes, and keeps the codes of content types and locator protocols that the
// players and the platform layer share (hal_audio.h).
#pragma once

#include "VMArray.h"
#include "java_lang_String.h"
#include "javax_microedition_media_Player.h"

namespace javax::microedition::media {

class Manager : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Manager, java::lang::Object)

public:
    static VMStatic<java::lang::String> MIDI_DEVICE_LOCATOR;  // "device://midi"
    static VMStatic<java::lang::String> TONE_DEVICE_LOCATOR;  // "device://tone"
    static void _VM_clinit();

    // A player for "file://path" or "x-jar://name" (WAV). A null locator:
    // IllegalArgumentException "Manager.createPlayer passed null locator";
    // other failures as the player's construction.
    static VMPtr<Player> createPlayer(VMPtr<java::lang::String> locator);
    // A player for sound bytes held in memory: "audio/x-wav" (or no type:
    // WAV) or "audio/midi".
    static VMPtr<Player> createPlayerWithData(VMPtr<VMArray<jbyte, 1>> data, jint offset, jint length,
                                              VMPtr<java::lang::String> contentType);

    // The content-type code of a type (exact match; 1 for null, 0 unknown).
    static jint contentTypeCode(VMPtr<java::lang::String> type);
    // The content type of a code 2 to 8 or 11; null otherwise.
    static VMPtr<java::lang::String> contentTypeName(jint code);
    // The code of a protocol name (1 for null, 0 unknown).
    static jint protocolCode(VMPtr<java::lang::String> protocol);
    // The code of the text before the locator's first ':' (0 without one).
    static jint locatorProtocol(VMPtr<java::lang::String> locator);
    // The text after the locator's first ':' (null without one).
    static VMPtr<java::lang::String> locatorPath(VMPtr<java::lang::String> locator);
};

}  // namespace javax::microedition::media
