// com.ventrix.utility.AudioAndVibration: the one object through which the game plays its music and vibrates.
#include "com_ventrix_utility_AudioAndVibration.h"

#include "com_ventrix_common_Main.h"
#include "ts_MediaManagerImpl.h"
#include "ts_Resources.h"

namespace com::ventrix::utility {

VMStatic<AudioAndVibration> AudioAndVibration::instance;
VMStatic<VMInts> AudioAndVibration::soundIds;
VMStatic<VMIntRows> AudioAndVibration::cueTable;

void AudioAndVibration::_VM_clinit() { instance = nullptr; }

void AudioAndVibration::markReferences(uint32_t bits) { _VM_markRef(mediaManager, bits); }

VMPtr<AudioAndVibration> AudioAndVibration::construct() {
    Super::construct();
    musicLoaded = false;
    effectsPlaying = false;
    vibrationOn = false;
    soundOn = true;
    enableDeviceVibration(true);
    return this;
}

VMPtr<AudioAndVibration> AudioAndVibration::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr) instance = create()->construct();
    return instance;
}

void AudioAndVibration::setVibrationOn(jboolean on) { vibrationOn = on; }
jboolean AudioAndVibration::isVibrationOn() { return vibrationOn; }
void AudioAndVibration::prepareSounds(VMPtr<VMInts>) {}
jboolean AudioAndVibration::isMuted() { return !soundOn; }
void AudioAndVibration::setMuted(jboolean muted) { soundOn = !muted; }

void AudioAndVibration::enableDeviceVibration(jboolean enabled) {
    _VM_ensureInitialized(common::Main::_VM_classRecord);
    VMPtr<ts::TsCanvas> canvas = common::Main::canvas;
    if (canvas != nullptr) canvas->setVibrationEnabled(enabled);
}

void AudioAndVibration::stopEffects(jint, jint) {
    if (!musicLoaded || !effectsPlaying) return;
    VMPtr<ts::MediaManager> manager = mediaManager;
    for (jint i = 0; i < manager->getChannelCount(); ++i) {
        if (i != 0) manager->stopChannel(i);
    }
    effectsPlaying = false;
}

void AudioAndVibration::switchMusic(jint cue, jint) {
    if (!musicLoaded || cue == currentCue) return;
    stopEffects(0, 0);
    playMusic(cue);
}

void AudioAndVibration::startMusic() {
    if (!musicLoaded) return;
    VMPtr<ts::MediaManager> manager = mediaManager;
    manager->playOnChannel(0, 0);
}

void AudioAndVibration::stopMusic() {
    if (mediaManager == nullptr) return;
    stopAllChannels();
    musicLoaded = false;
    currentCue = -1;
}

void AudioAndVibration::vibrateFor(jint ms) {
    if (!musicLoaded) return;
    _VM_ensureInitialized(common::Main::_VM_classRecord);
    VMPtr<ts::TsCanvas> canvas = common::Main::canvas;
    if (canvas != nullptr) canvas->vibrate(ms);
}

void AudioAndVibration::vibrate(jint, jint) { vibrateFor(VIBRATION_MS); }

void AudioAndVibration::vibrateIfEnabled(jint) {
    if (vibrationOn) vibrate(0, 0);
}

void AudioAndVibration::playMusic(jint cue) {
    VMPtr<ts::MediaManager> manager = mediaManager;
    if (manager != nullptr) {
        manager->stopSound(0);
    } else {
        _VM_ensureInitialized(common::Main::_VM_classRecord);
        VMPtr<ts::MediaManagerImpl> made = ts::MediaManagerImpl::create()->construct();
        made->init(common::Main::canvas, CHANNELS);
        manager = made;
        mediaManager = manager;
    }
    VMPtr<VMIntRows> cues = cueTable;
    VMPtr<VMInts> ids = soundIds;
    if (cues == nullptr || ids == nullptr || cue < 0 || cue >= cues->length) return;
    // A row that names no sound of the table plays nothing.
    VMPtr<VMInts> row = cues->get(cue);
    if (row == nullptr || row->length == 0) return;
    const jint sound = (*row)[0];
    if (sound < 0 || sound >= ids->length) return;
    manager->playSound(0, (*ids)[sound], -1, 0);
    ts::Resources::unloadPack();
    musicLoaded = true;
    effectsPlaying = false;
    currentCue = cue;
}

void AudioAndVibration::stopAllChannels() {
    if (!musicLoaded) return;
    VMPtr<ts::MediaManager> manager = mediaManager;
    manager->stopChannel(-1);
}

void AudioAndVibration::destroy(jint, jint) { close(); }

void AudioAndVibration::setCueTable(VMPtr<VMIntRows> table) {
    _VM_ensureInitialized(_VM_classRecord);
    if (table == nullptr) _VM_throwNullPointer();
    VMPtr<VMIntRows> copy = VMIntRows::create(table->length);
    for (jint c = 0; c < table->length; ++c) {
        VMPtr<VMInts> row = table->get(c);
        if (row == nullptr) _VM_throwNullPointer();
        VMPtr<VMInts> rowCopy = VMInts::create(row->length);
        for (jint i = 0; i < row->length; ++i) (*rowCopy)[i] = (*row)[i];
        copy->set(c, rowCopy);
    }
    cueTable = copy;
}

void AudioAndVibration::setSoundIds(VMPtr<VMInts> ids) {
    _VM_ensureInitialized(_VM_classRecord);
    if (ids == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> copy = VMInts::create(ids->length);
    for (jint i = 0; i < ids->length; ++i) (*copy)[i] = (*ids)[i];
    soundIds = copy;
}

void AudioAndVibration::close() {
    VMPtr<ts::MediaManager> manager = mediaManager;
    if (manager == nullptr) return;
    manager->close();
    mediaManager = nullptr;
    currentCue = -1;
    musicLoaded = false;
}

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::AudioAndVibration, .name = "com.ventrix.utility.AudioAndVibration",
                  .staticInit = com::ventrix::utility::AudioAndVibration::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<com::ventrix::utility::AudioAndVibration>)
