// generated.Build: how this build of the game was configured (platform,
// device, screen, language, sound format, versions, dates). Constants only;
// nothing reads them at run time. The initialiser stores the shared string
// of each literal: 57 that carry a value and 315 that are empty.
#pragma once

#include "VM.h"
#include "java_lang_String.h"

namespace generated {

class Build : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Build)

public:
    static constexpr jint VALUE_COUNT = 57;
    static constexpr jint EMPTY_COUNT = 315;
    static constexpr jint COUNT = VALUE_COUNT + EMPTY_COUNT;

    static VMStatic<java::lang::String> PLATFORM;
    static VMStatic<java::lang::String> PLATFORM_NAME;
    static VMStatic<java::lang::String> DEVICE_PLATFORM_NAME;
    static VMStatic<java::lang::String> PLATFORM_FAMILY;
    static VMStatic<java::lang::String> GRAPHICS_API;
    static VMStatic<java::lang::String> DEVICE_BUILD;
    static VMStatic<java::lang::String> DEVICE_NAMES;
    static VMStatic<java::lang::String> DEVICE_NAME_EXTRA;
    static VMStatic<java::lang::String> MAKER;
    static VMStatic<java::lang::String> MAKER_UPPER;
    static VMStatic<java::lang::String> PROCESSOR;
    static VMStatic<java::lang::String> ORIENTATION;
    static VMStatic<java::lang::String> INPUT;
    static VMStatic<java::lang::String> SCREEN_SHAPE;
    static VMStatic<java::lang::String> SCREEN_SHAPE_GROUP;
    static VMStatic<java::lang::String> CHOICE_BOTH;
    static VMStatic<java::lang::String> CHOICE_NORMAL;
    static VMStatic<java::lang::String> LANGUAGE;
    static VMStatic<java::lang::String> LANGUAGE_CODE;
    static VMStatic<java::lang::String> SOUND_FORMAT;
    static VMStatic<java::lang::String> MUSIC_FORMAT;
    static VMStatic<java::lang::String> EFFECT_FORMAT;
    static VMStatic<java::lang::String> VOICE_FORMAT;
    static VMStatic<java::lang::String> FONT_FACE;
    static VMStatic<java::lang::String> ICON_SIZES;
    static VMStatic<java::lang::String> CAPTURE_LOCATOR;
    static VMStatic<java::lang::String> BACKGROUND_COLOR;
    static VMStatic<java::lang::String> CHOICE_NONE;
    static VMStatic<java::lang::String> CHOICE_NONE_SECOND;
    static VMStatic<java::lang::String> PLATFORM_EDITION;
    static VMStatic<java::lang::String> TOOL;
    static VMStatic<java::lang::String> MIDLET_CLASS;
    static VMStatic<java::lang::String> VERSION;
    static VMStatic<java::lang::String> TOOL_VERSION;
    static VMStatic<java::lang::String> MAX_VERSION;
    static VMStatic<java::lang::String> BUILD_NUMBER;
    static VMStatic<java::lang::String> CE_VERSION;
    static VMStatic<java::lang::String> OS_VERSION;
    static VMStatic<java::lang::String> OS_VERSION_SECOND;
    static VMStatic<java::lang::String> SDK_VERSION;
    static VMStatic<java::lang::String> MIDP_VERSION;
    static VMStatic<java::lang::String> CLDC_VERSION;
    static VMStatic<java::lang::String> API_LEVEL;
    static VMStatic<java::lang::String> SERVICE_PACK;
    static VMStatic<java::lang::String> ANDROID_TARGET;
    static VMStatic<java::lang::String> DATE_FIRST;
    static VMStatic<java::lang::String> DATE_SECOND;
    static VMStatic<java::lang::String> DATE_THIRD;
    static VMStatic<java::lang::String> BUILD_DATE;
    static VMStatic<java::lang::String> BUILD_TIME;
    static VMStatic<java::lang::String> TITLE;
    static VMStatic<java::lang::String> TITLE_SECOND;
    static VMStatic<java::lang::String> TITLE_SHORT;
    static VMStatic<java::lang::String> DEVELOPER;
    static VMStatic<java::lang::String> PUBLISHER;
    static VMStatic<java::lang::String> SCORE_SERVICE;
    static VMStatic<java::lang::String> ARCHIVE;
    // The empty ones, which name no setting of this build.
    static VMStatic<java::lang::String> unset[EMPTY_COUNT];

    static void _VM_clinit();
    // Constant i (0 to COUNT - 1): the named ones in declared order, then
    // the empty ones.
    static VMPtr<java::lang::String> constant(jint i);
};

}  // namespace generated
