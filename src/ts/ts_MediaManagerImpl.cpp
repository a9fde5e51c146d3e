// ts.MediaManagerImpl: the framework's media manager.
#include "ts_MediaManagerImpl.h"

#include "java_lang_Exception.h"
#include "javax_microedition_media_Manager.h"
#include "ts_Resources.h"

namespace ts {

using javax::microedition::media::Manager;
using javax::microedition::media::Player;

VMPtr<MediaManagerImpl> MediaManagerImpl::construct() {
    Super::construct();
    return this;
}

void MediaManagerImpl::init(VMPtr<TsCanvas> gameCanvas, jint capacity) {
    VMPtr<Players> sounds = Players::create(capacity);
    VMPtr<VMInts> levels = VMInts::create(capacity);
    VMPtr<VMInts> table = VMInts::create(capacity);
    for (jint i = 0; i < capacity; ++i) (*table)[i] = NONE;
    VMPtr<Players> old = players;
    if (old != nullptr) {
        for (jint i = 0; i < old->length; ++i) dropSound(i);
    }
    canvas = gameCanvas;
    players = sounds;
    priorities = levels;
    channels = table;
    closed = false;
}

void MediaManagerImpl::playSound(jint sound, jint resourceId, jint loopCount, jint priority) {
    VMPtr<Players> sounds = players;
    if (closed || sounds == nullptr) return;
    if (sound < 0 || sound >= sounds->length) _VM_throwArrayIndexOutOfBoundsException(sound);
    dropSound(sound);
    const char* contentType = nullptr;
    try {
        const jint type = Resources::getResourceType(resourceId);
        if (type == TYPE_MIDI) {
            contentType = "audio/midi";
        } else if (type == TYPE_WAV) {
            contentType = "audio/x-wav";
        } else {
            return;
        }
        VMPtr<VMArray<jbyte, 1>> data = Resources::getResourceData(resourceId);
        const jint offset = Resources::getResourceOffset(resourceId);
        const jint size = Resources::getResourceSize(resourceId);
        VMPtr<Player> player =
            Manager::createPlayerWithData(data, offset, size, java::lang::String::_VM_fromUTF8(contentType));
        player->realize();
        player->prefetch();
        // A loop count of 0 is no count a player takes: the sound plays once.
        if (loopCount != 0) player->setLoopCount(loopCount);
        sounds->set(sound, player);
        VMPtr<VMInts> levels = priorities;
        (*levels)[sound] = priority;
    } catch (java::lang::Exception* failed) {
        // A sound that cannot be made stays silent.
        VMPtr<java::lang::Exception> keep(failed);
        keep->printStackTrace();
    }
}

void MediaManagerImpl::playOnChannel(jint channel, jint sound) {
    VMPtr<Players> sounds = players;
    if (closed || sounds == nullptr) return;
    VMPtr<VMInts> table = channels;
    if (channel < 0 || channel >= table->length) _VM_throwArrayIndexOutOfBoundsException(channel);
    VMPtr<Player> player = sounds->get(sound);
    if (player == nullptr) return;
    VMPtr<VMInts> levels = priorities;
    const jint previous = (*table)[channel];
    if (previous != NONE) {
        VMPtr<Player> playing = sounds->get(previous);
        if (playing != nullptr) {
            if (previous != sound && playing->getState() == Player::STARTED && (*levels)[previous] > (*levels)[sound])
                return;
            playing->stop();
        }
    }
    clearChannels(sound, channel);
    (*table)[channel] = sound;
    player->stop();  // started elsewhere: it begins again here
    player->start();
}

void MediaManagerImpl::stopSound(jint sound) {
    VMPtr<Players> sounds = players;
    if (sounds == nullptr) return;
    if (sound == NONE) {
        for (jint i = 0; i < sounds->length; ++i) stopSound(i);
        return;
    }
    VMPtr<Player> player = sounds->get(sound);
    if (player != nullptr) player->stop();
    clearChannels(sound, NONE);
}

void MediaManagerImpl::stopChannel(jint channel) {
    VMPtr<VMInts> table = channels;
    if (table == nullptr) return;
    if (channel == NONE) {
        for (jint i = 0; i < table->length; ++i) stopChannel(i);
        return;
    }
    const jint sound = table->get(channel);
    (*table)[channel] = NONE;
    if (sound == NONE) return;
    VMPtr<Players> sounds = players;
    VMPtr<Player> player = sounds->get(sound);
    if (player != nullptr) player->stop();
}

jint MediaManagerImpl::getChannelCount() {
    VMPtr<VMInts> table = channels;
    return table == nullptr ? 0 : table->length;
}

void MediaManagerImpl::close() {
    closed = true;
    VMPtr<Players> sounds = players;
    if (sounds == nullptr) return;
    for (jint i = 0; i < sounds->length; ++i) dropSound(i);
}

void MediaManagerImpl::dropSound(jint sound) {
    VMPtr<Players> sounds = players;
    VMPtr<Player> player = sounds->get(sound);
    if (player == nullptr) return;
    clearChannels(sound, NONE);
    sounds->set(sound, nullptr);
    player->close();
}

void MediaManagerImpl::clearChannels(jint sound, jint keep) {
    VMPtr<VMInts> table = channels;
    for (jint i = 0; i < table->length; ++i) {
        if (i != keep && (*table)[i] == sound) (*table)[i] = NONE;
    }
}

}  // namespace ts

VM_REGISTER_CLASS(ts::MediaManagerImpl, .name = "ts.MediaManagerImpl",
                  .newInstance = _VM_newInstanceOf<ts::MediaManagerImpl>, .interfaces = {"ts.MediaManager"})
