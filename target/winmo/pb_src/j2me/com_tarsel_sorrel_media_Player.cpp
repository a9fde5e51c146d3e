// com.tarsel.sorrel.media.Player: the one player class.
#include "com_tarsel_sorrel_media_Player.h"

#include <algorithm>
#include <cstdio>

#include "hal_audio.h"
#include "hal_system.h"
#include "java_io_IOException.h"
#include "java_io_InputStream.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_IllegalStateException.h"
#include "javax_microedition_media_Manager.h"
#include "javax_microedition_media_MediaException.h"

namespace com::tarsel::sorrel::media {

using java::lang::String;
using javax::microedition::media::Control;
using javax::microedition::media::MediaException;
using javax::microedition::media::PlayerListener;

namespace {

[[noreturn]] void throwMedia(const char* what, int status) {
    char text[80];
    std::snprintf(text, sizeof text, "%s (status %d)", what, status);
    _VM_throw(MediaException::create()->construct(String::_VM_fromUTF8(text)));
}

// A native player could not be made.
[[noreturn]] void throwCreateFailure(int status) {
    if (status == HAL_NOT_FOUND || status == HAL_IO_ERROR) {
        char text[80];
        std::snprintf(text, sizeof text, "Cannot read the sound (status %d)", status);
        _VM_throw(java::io::IOException::create()->construct(String::_VM_fromUTF8(text)));
    }
    if (status == HAL_OUT_OF_MEMORY) _VM_throwOutOfMemoryError();
    throwMedia("Cannot create the player", status);
}

}  // namespace

VMPtr<Player> Player::construct(VMPtr<String> locator) {
    Super::construct();
    if (locator == nullptr) _VM_throwNullPointer();
    using javax::microedition::media::Manager;
    jint protocol = Manager::locatorProtocol(locator);
    if (!HAL_isPlayerProtocolSupported(protocol))
        _VM_throw(MediaException::create()->construct(VM_STR("Unsupported protocol")));
    VMPtr<String> path = Manager::locatorPath(locator);
    HAL_Player* made = nullptr;
    int status = HAL_createPlayerWithLocator(&made, protocol, reinterpret_cast<const char16_t*>(path->_VM_chars()),
                                             path->length(), HAL_CONTENT_NONE, 0);
    if (status != HAL_OK) throwCreateFailure(status);
    native = made;
    return this;
}

VMPtr<Player> Player::construct(VMPtr<VMArray<jbyte, 1>> data, jint offset, jint length, VMPtr<String> contentType) {
    Super::construct();
    if (data == nullptr) _VM_throwNullPointer();
    java::io::_VM_checkStreamRange(data->length, offset, length);
    jint code = javax::microedition::media::Manager::contentTypeCode(contentType);
    HAL_Player* made = nullptr;
    int status =
        HAL_createPlayerWithData(&made, reinterpret_cast<const uint8_t*>(data->elements() + offset), length, code, 0);
    if (status != HAL_OK) throwCreateFailure(status);
    native = made;
    return this;
}

Player::~Player() {
    if (native != nullptr) HAL_closePlayer(native);
    native = nullptr;
}

void Player::checkOpen() {
    if (native == nullptr)
        _VM_throw(java::lang::IllegalStateException::create()->construct(VM_STR("Player is closed")));
}

void Player::realize() {
    checkOpen();
    realized = true;
}

void Player::prefetch() {
    checkOpen();
    realized = true;
    jint state = getState();
    if (state == PREFETCHED || state == STARTED) return;
    int status = HAL_prefetchPlayer(native);
    if (status != HAL_OK) throwMedia("Cannot prefetch", status);
}

void Player::start() {
    checkOpen();
    realized = true;
    if (getState() == STARTED) return;
    int status = HAL_startPlayer(native);
    if (status != HAL_OK) throwMedia("Cannot start", status);
}

void Player::stop() {
    checkOpen();
    if (getState() != STARTED) return;
    int status = HAL_stopPlayer(native);
    if (status != HAL_OK) throwMedia("Cannot stop", status);
}

void Player::deallocate() {
    checkOpen();
    int32_t state = 0;
    if (HAL_getPlayerState(&state, native) == HAL_OK && state == HAL_PLAYER_NEW) return;
    HAL_deallocatePlayer(native);  // MIDP's deallocate reports nothing
}

void Player::close() {
    if (native == nullptr) return;
    HAL_closePlayer(native);
    native = nullptr;
}

jlong Player::setMediaTime(jlong now) {
    checkOpen();
    if (now < 0) now = 0;
    int32_t code = 0;
    HAL_getPlayerContentType(&code, native);
    if (code == HAL_CONTENT_WAV) {
        jlong duration = getDuration();
        if (duration >= 0 && now > duration) now = duration;
    }
    int status = HAL_setPlayerMediaTime(native, now);
    if (status != HAL_OK) throwMedia("Cannot set the media time", status);
    return now;
}

jlong Player::getMediaTime() {
    checkOpen();
    int64_t time = 0;
    if (HAL_getPlayerMediaTime(&time, native) != HAL_OK) return TIME_UNKNOWN;
    return time;
}

jint Player::getState() {
    if (native == nullptr) return CLOSED;
    int32_t state = 0;
    if (HAL_getPlayerState(&state, native) != HAL_OK) return CLOSED;
    switch (state) {
        case 0: return realized ? REALIZED : UNREALIZED;
        case 2: return STARTED;
        default: return PREFETCHED;
    }
}

jlong Player::getDuration() {
    checkOpen();
    int32_t code = 0;
    HAL_getPlayerContentType(&code, native);
    if (code != HAL_CONTENT_WAV) return TIME_UNKNOWN;  // a MIDI player does not know its length
    int64_t milliseconds = 0;
    if (HAL_getPlayerDuration(&milliseconds, native) != HAL_OK) return TIME_UNKNOWN;
    return milliseconds * 1000;
}

VMPtr<String> Player::getContentType() {
    checkOpen();
    int32_t code = 0;
    HAL_getPlayerContentType(&code, native);
    return javax::microedition::media::Manager::contentTypeName(code);
}

void Player::setLoopCount(jint count) {
    checkOpen();
    if (getState() == STARTED)
        _VM_throw(java::lang::IllegalStateException::create()->construct(VM_STR("Player is started")));
    if (count == 0 || count < -1) _VM_throwIllegalArgumentException();
    HAL_setPlayerLoopCount(native, count);
}

void Player::addPlayerListener(VMPtr<PlayerListener>) { checkOpen(); }

void Player::removePlayerListener(VMPtr<PlayerListener>) { checkOpen(); }

VMPtr<VMArray<Control, 1>> Player::getControls() {
    checkOpen();
    VMPtr<VMArray<Control, 1>> controls = VMArray<Control, 1>::create(1);
    controls->set(0, VMPtr<Control>(this));
    return controls;
}

VMPtr<Control> Player::getControl(VMPtr<String> controlType) {
    checkOpen();
    if (controlType == nullptr) _VM_throwIllegalArgumentException();
    if (controlType->_VM_equalsLiteral("VolumeControl") ||
        controlType->_VM_equalsLiteral("javax.microedition.media.control.VolumeControl"))
        return VMPtr<Control>(this);
    return nullptr;
}

void Player::setDeviceLevel(jint deviceLevel) { HAL_setPlayerVolume(native, deviceLevel); }

void Player::setMute(jboolean mute) {
    checkOpen();
    if (mute == muted) return;
    muted = mute;
    setDeviceLevel(mute ? 0 : level);
}

jboolean Player::isMuted() {
    checkOpen();
    return muted;
}

jint Player::setLevel(jint newLevel) {
    checkOpen();
    newLevel = std::clamp(newLevel, 0, 100);
    if (!muted) {
        setDeviceLevel(newLevel);
        int32_t set = 0;
        if (HAL_getPlayerVolume(&set, native) == HAL_OK) newLevel = set;
    }
    level = newLevel;
    return level;
}

jint Player::getLevel() {
    checkOpen();
    return level;
}

}  // namespace com::tarsel::sorrel::media

VM_REGISTER_CLASS(com::tarsel::sorrel::media::Player, .name = "com.tarsel.sorrel.media.Player",
                  .interfaces = {"javax.microedition.media.Player", "javax.microedition.media.control.VolumeControl"})
