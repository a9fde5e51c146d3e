// com.ventrix.utility.AudioAndVibration
#include "com_ventrix_utility_AudioAndVibration.h"

namespace com::ventrix::utility {

VMStatic<AudioAndVibration> AudioAndVibration::instance;

void AudioAndVibration::_VM_clinit() { instance = nullptr; }

VMPtr<AudioAndVibration> AudioAndVibration::construct() {
    Super::construct();
    musicLoaded = false;
    soundOn = true;
    return this;
}

VMPtr<AudioAndVibration> AudioAndVibration::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr) instance = create()->construct();
    return instance;
}

jboolean AudioAndVibration::isSoundOff() { return !soundOn; }

void AudioAndVibration::restartSound() {
    if (!musicLoaded) return;
    VMPtr<ts::MediaManager> manager = mediaManager;
    manager->playOnChannel(0, 0);
}

void AudioAndVibration::releaseSound() {
    VMPtr<ts::MediaManager> manager = mediaManager;
    if (manager == nullptr) return;
    manager->close();
    mediaManager = nullptr;
    currentCue = -1;
    musicLoaded = false;
}

void AudioAndVibration::stopSound() { releaseSound(); }

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::AudioAndVibration, .name = "com.ventrix.utility.AudioAndVibration",
                  .staticInit = com::ventrix::utility::AudioAndVibration::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<com::ventrix::utility::AudioAndVibration>)
