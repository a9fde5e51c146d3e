// generated.Build: how this build of the game was configured (platform, screen, language, versions).
#include "generated_Build.h"

namespace generated {

VMStatic<java::lang::String> Build::PLATFORM;
VMStatic<java::lang::String> Build::PLATFORM_NAME;
VMStatic<java::lang::String> Build::DEVICE_PLATFORM_NAME;
VMStatic<java::lang::String> Build::PLATFORM_FAMILY;
VMStatic<java::lang::String> Build::GRAPHICS_API;
VMStatic<java::lang::String> Build::DEVICE_BUILD;
VMStatic<java::lang::String> Build::DEVICE_NAMES;
VMStatic<java::lang::String> Build::DEVICE_NAME_EXTRA;
VMStatic<java::lang::String> Build::MAKER;
VMStatic<java::lang::String> Build::MAKER_UPPER;
VMStatic<java::lang::String> Build::PROCESSOR;
VMStatic<java::lang::String> Build::ORIENTATION;
VMStatic<java::lang::String> Build::INPUT;
VMStatic<java::lang::String> Build::SCREEN_SHAPE;
VMStatic<java::lang::String> Build::SCREEN_SHAPE_GROUP;
VMStatic<java::lang::String> Build::CHOICE_BOTH;
VMStatic<java::lang::String> Build::CHOICE_NORMAL;
VMStatic<java::lang::String> Build::LANGUAGE;
VMStatic<java::lang::String> Build::LANGUAGE_CODE;
VMStatic<java::lang::String> Build::SOUND_FORMAT;
VMStatic<java::lang::String> Build::MUSIC_FORMAT;
VMStatic<java::lang::String> Build::EFFECT_FORMAT;
VMStatic<java::lang::String> Build::VOICE_FORMAT;
VMStatic<java::lang::String> Build::FONT_FACE;
VMStatic<java::lang::String> Build::ICON_SIZES;
VMStatic<java::lang::String> Build::CAPTURE_LOCATOR;
VMStatic<java::lang::String> Build::BACKGROUND_COLOR;
VMStatic<java::lang::String> Build::CHOICE_NONE;
VMStatic<java::lang::String> Build::CHOICE_NONE_SECOND;
VMStatic<java::lang::String> Build::PLATFORM_EDITION;
VMStatic<java::lang::String> Build::TOOL;
VMStatic<java::lang::String> Build::MIDLET_CLASS;
VMStatic<java::lang::String> Build::VERSION;
VMStatic<java::lang::String> Build::TOOL_VERSION;
VMStatic<java::lang::String> Build::MAX_VERSION;
VMStatic<java::lang::String> Build::BUILD_NUMBER;
VMStatic<java::lang::String> Build::CE_VERSION;
VMStatic<java::lang::String> Build::OS_VERSION;
VMStatic<java::lang::String> Build::OS_VERSION_SECOND;
VMStatic<java::lang::String> Build::SDK_VERSION;
VMStatic<java::lang::String> Build::MIDP_VERSION;
VMStatic<java::lang::String> Build::CLDC_VERSION;
VMStatic<java::lang::String> Build::API_LEVEL;
VMStatic<java::lang::String> Build::SERVICE_PACK;
VMStatic<java::lang::String> Build::ANDROID_TARGET;
VMStatic<java::lang::String> Build::DATE_FIRST;
VMStatic<java::lang::String> Build::DATE_SECOND;
VMStatic<java::lang::String> Build::DATE_THIRD;
VMStatic<java::lang::String> Build::BUILD_DATE;
VMStatic<java::lang::String> Build::BUILD_TIME;
VMStatic<java::lang::String> Build::TITLE;
VMStatic<java::lang::String> Build::TITLE_SECOND;
VMStatic<java::lang::String> Build::TITLE_SHORT;
VMStatic<java::lang::String> Build::DEVELOPER;
VMStatic<java::lang::String> Build::PUBLISHER;
VMStatic<java::lang::String> Build::SCORE_SERVICE;
VMStatic<java::lang::String> Build::ARCHIVE;
VMStatic<java::lang::String> Build::unset[Build::EMPTY_COUNT];

namespace {

VMStatic<java::lang::String>* const kNamed[] = {
    &Build::PLATFORM,
    &Build::PLATFORM_NAME,
    &Build::DEVICE_PLATFORM_NAME,
    &Build::PLATFORM_FAMILY,
    &Build::GRAPHICS_API,
    &Build::DEVICE_BUILD,
    &Build::DEVICE_NAMES,
    &Build::DEVICE_NAME_EXTRA,
    &Build::MAKER,
    &Build::MAKER_UPPER,
    &Build::PROCESSOR,
    &Build::ORIENTATION,
    &Build::INPUT,
    &Build::SCREEN_SHAPE,
    &Build::SCREEN_SHAPE_GROUP,
    &Build::CHOICE_BOTH,
    &Build::CHOICE_NORMAL,
    &Build::LANGUAGE,
    &Build::LANGUAGE_CODE,
    &Build::SOUND_FORMAT,
    &Build::MUSIC_FORMAT,
    &Build::EFFECT_FORMAT,
    &Build::VOICE_FORMAT,
    &Build::FONT_FACE,
    &Build::ICON_SIZES,
    &Build::CAPTURE_LOCATOR,
    &Build::BACKGROUND_COLOR,
    &Build::CHOICE_NONE,
    &Build::CHOICE_NONE_SECOND,
    &Build::PLATFORM_EDITION,
    &Build::TOOL,
    &Build::MIDLET_CLASS,
    &Build::VERSION,
    &Build::TOOL_VERSION,
    &Build::MAX_VERSION,
    &Build::BUILD_NUMBER,
    &Build::CE_VERSION,
    &Build::OS_VERSION,
    &Build::OS_VERSION_SECOND,
    &Build::SDK_VERSION,
    &Build::MIDP_VERSION,
    &Build::CLDC_VERSION,
    &Build::API_LEVEL,
    &Build::SERVICE_PACK,
    &Build::ANDROID_TARGET,
    &Build::DATE_FIRST,
    &Build::DATE_SECOND,
    &Build::DATE_THIRD,
    &Build::BUILD_DATE,
    &Build::BUILD_TIME,
    &Build::TITLE,
    &Build::TITLE_SECOND,
    &Build::TITLE_SHORT,
    &Build::DEVELOPER,
    &Build::PUBLISHER,
    &Build::SCORE_SERVICE,
    &Build::ARCHIVE,
};
static_assert(sizeof(kNamed) / sizeof(kNamed[0]) == Build::VALUE_COUNT);

}  // namespace

void Build::_VM_clinit() {
    PLATFORM = VM_STR("WINMO");
    PLATFORM_NAME = VM_STR("Windows Mobile");
    DEVICE_PLATFORM_NAME = VM_STR("Windows Mobile");
    PLATFORM_FAMILY = VM_STR("GENERIC_WINDOWS_MOBILE");
    GRAPHICS_API = VM_STR("WINCE_API_GDI");
    DEVICE_BUILD = VM_STR("GTB7610WINMO");
    DEVICE_NAMES = VM_STR("B7610 WinMo, GT-B7610, B7610, B7610 OmniaPro");
    DEVICE_NAME_EXTRA = VM_STR("i910 Omnia WinMo");
    MAKER = VM_STR("Samsung");
    MAKER_UPPER = VM_STR("SAMSUNG");
    PROCESSOR = VM_STR("Marvell PXA312");
    ORIENTATION = VM_STR("PORTRAIT");
    INPUT = VM_STR("touch");
    SCREEN_SHAPE = VM_STR("tall");
    SCREEN_SHAPE_GROUP = VM_STR("tall");
    CHOICE_BOTH = VM_STR("both");
    CHOICE_NORMAL = VM_STR("normal");
    LANGUAGE = VM_STR("english");
    LANGUAGE_CODE = VM_STR("EN");
    SOUND_FORMAT = VM_STR("WAV");
    MUSIC_FORMAT = VM_STR("WAV");
    EFFECT_FORMAT = VM_STR("WAV");
    VOICE_FORMAT = VM_STR("WAV");
    FONT_FACE = VM_STR("SansSerif");
    ICON_SIZES = VM_STR("s:32x32,l:64x64");
    CAPTURE_LOCATOR = VM_STR("capture://");
    BACKGROUND_COLOR = VM_STR("ffffff");
    CHOICE_NONE = VM_STR("None");
    CHOICE_NONE_SECOND = VM_STR("None");
    PLATFORM_EDITION = VM_STR("Professional");
    TOOL = VM_STR("ECLIPSE");
    MIDLET_CLASS = VM_STR("ZedIRIvoz");
    VERSION = VM_STR("1.98.36");
    TOOL_VERSION = VM_STR("4.4.0");
    MAX_VERSION = VM_STR("999.999.999");
    BUILD_NUMBER = VM_STR("7045");
    CE_VERSION = VM_STR("5.2");
    OS_VERSION = VM_STR("6.1");
    OS_VERSION_SECOND = VM_STR("6.1");
    SDK_VERSION = VM_STR("3.5");
    MIDP_VERSION = VM_STR("2.0");
    CLDC_VERSION = VM_STR("1.1");
    API_LEVEL = VM_STR("2");
    SERVICE_PACK = VM_STR("SP2");
    ANDROID_TARGET = VM_STR("android-1.5");
    DATE_FIRST = VM_STR("2009-06-01");
    DATE_SECOND = VM_STR("2009-09-01");
    DATE_THIRD = VM_STR("2010-02-11");
    BUILD_DATE = VM_STR("2013-01-23");
    BUILD_TIME = VM_STR("12:38:48");
    TITLE = VM_STR("Vessilo");
    TITLE_SECOND = VM_STR("Vessilo");
    TITLE_SHORT = VM_STR("VESSILO");
    DEVELOPER = VM_STR("Vessilo developers");
    PUBLISHER = VM_STR("Vessilo developers");
    SCORE_SERVICE = VM_STR("http://scores.invalid/");
    ARCHIVE = VM_STR("Vessilo.jar");
    for (auto& s : unset) s = VM_STR("");
}

VMPtr<java::lang::String> Build::constant(jint i) {
    _VM_ensureInitialized(_VM_classRecord);
    if (i < 0 || i >= COUNT) _VM_throwArrayIndexOutOfBoundsException(i);
    if (i < VALUE_COUNT) return *kNamed[i];
    return unset[i - VALUE_COUNT];
}

}  // namespace generated

VM_REGISTER_CLASS(generated::Build, .name = "generated.Build", .staticInit = generated::Build::_VM_clinit,
                  .isInterface = true, .isAbstract = true)
