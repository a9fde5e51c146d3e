// javax.microedition.media.Manager: makes players from a locator or from bytes.
#include "javax_microedition_media_Manager.h"

#include "com_tarsel_sorrel_media_Player.h"
#include "hal_audio.h"
#include "java_lang_IllegalArgumentException.h"

namespace javax::microedition::media {

using java::lang::String;

namespace {

struct CodeName {
    jint code;
    const char* name;
};

const CodeName kContentTypes[] = {
    {HAL_CONTENT_WAV, "audio/x-wav"},    {HAL_CONTENT_CAF, "audio/x-caf"},       {HAL_CONTENT_MPEG, "audio/mpeg"},
    {HAL_CONTENT_AAC, "audio/aac"},      {HAL_CONTENT_MIDI, "audio/midi"},       {HAL_CONTENT_MP4, "audio/mp4"},
    {HAL_CONTENT_WMA, "audio/x-ms-wma"}, {HAL_CONTENT_QCELP, "audio/vnd.qcelp"},
};

const CodeName kProtocols[] = {
    {HAL_PROTOCOL_DEVICE, "device"},
    {HAL_PROTOCOL_HTTP, "http"},
    {HAL_PROTOCOL_FILE, "file"},
    {HAL_PROTOCOL_JAR, "x-jar"},
};

template <size_t N>
jint codeOf(const CodeName (&table)[N], VMPtr<String> text) {
    if (text == nullptr) return 1;
    for (const CodeName& entry : table)
        if (text->_VM_equalsLiteral(entry.name)) return entry.code;
    return 0;
}

}  // namespace

VMStatic<String> Manager::MIDI_DEVICE_LOCATOR;
VMStatic<String> Manager::TONE_DEVICE_LOCATOR;

void Manager::_VM_clinit() {
    MIDI_DEVICE_LOCATOR = VM_STR("device://midi");
    TONE_DEVICE_LOCATOR = VM_STR("device://tone");
}

VMPtr<Player> Manager::createPlayer(VMPtr<String> locator) {
    _VM_ensureInitialized(_VM_classRecord);
    if (locator == nullptr)
        _VM_throw(java::lang::IllegalArgumentException::create()->construct(
            VM_STR("Manager.createPlayer passed null locator")));
    return com::tarsel::sorrel::media::Player::create()->construct(locator);
}

VMPtr<Player> Manager::createPlayerWithData(VMPtr<VMArray<jbyte, 1>> data, jint offset, jint length,
                                            VMPtr<String> contentType) {
    _VM_ensureInitialized(_VM_classRecord);
    return com::tarsel::sorrel::media::Player::create()->construct(data, offset, length, contentType);
}

jint Manager::contentTypeCode(VMPtr<String> type) { return codeOf(kContentTypes, type); }

VMPtr<String> Manager::contentTypeName(jint code) {
    for (const CodeName& entry : kContentTypes)
        if (entry.code == code) return VM_STR(entry.name);
    return nullptr;
}

jint Manager::protocolCode(VMPtr<String> protocol) { return codeOf(kProtocols, protocol); }

jint Manager::locatorProtocol(VMPtr<String> locator) {
    if (locator == nullptr) _VM_throwNullPointer();
    jint colon = locator->indexOf(u':');
    if (colon < 0) return 0;
    return protocolCode(locator->substring(0, colon));
}

VMPtr<String> Manager::locatorPath(VMPtr<String> locator) {
    if (locator == nullptr) _VM_throwNullPointer();
    jint colon = locator->indexOf(u':');
    if (colon < 0) return nullptr;
    return locator->substring(colon + 1);
}

}  // namespace javax::microedition::media

VM_REGISTER_CLASS(javax::microedition::media::Manager, .name = "javax.microedition.media.Manager",
                  .staticInit = javax::microedition::media::Manager::_VM_clinit)
