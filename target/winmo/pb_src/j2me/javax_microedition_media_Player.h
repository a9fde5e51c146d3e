// javax.microedition.media.Player: plays one sound. A player is made
// unrealized, becomes realized, prefetched (ready to play at once) and
// started; stop takes it back to prefetched, deallocate to realized; once
// closed it answers every call but close with IllegalStateException.
#pragma once

#include "VMArray.h"
#include "java_lang_String.h"
#include "javax_microedition_media_Control.h"
#include "javax_microedition_media_PlayerListener.h"

namespace javax::microedition::media {

class Player : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(Player)

public:
    static constexpr jint UNREALIZED = 100;
    static constexpr jint REALIZED = 200;
    static constexpr jint PREFETCHED = 300;
    static constexpr jint STARTED = 400;
    static constexpr jint CLOSED = 0;
    static constexpr jlong TIME_UNKNOWN = -1;

    virtual void realize() = 0;
    virtual void prefetch() = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void deallocate() = 0;
    virtual void close() = 0;
    // Microseconds; answers the media time set.
    virtual jlong setMediaTime(jlong now) = 0;
    virtual jlong getMediaTime() = 0;
    virtual jint getState() = 0;
    virtual jlong getDuration() = 0;
    virtual VMPtr<java::lang::String> getContentType() = 0;
    // Times to play (-1 without end); 0 is refused.
    virtual void setLoopCount(jint count) = 0;
    virtual void addPlayerListener(VMPtr<PlayerListener> listener) = 0;
    virtual void removePlayerListener(VMPtr<PlayerListener> listener) = 0;
    virtual VMPtr<VMArray<Control, 1>> getControls() = 0;
    virtual VMPtr<Control> getControl(VMPtr<java::lang::String> controlType) = 0;
};

}  // namespace javax::microedition::media
