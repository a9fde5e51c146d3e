// Fuzz target: an animation set read from any bytes.
//
// The input is the whole resource: it becomes resource 0 of a pack image that
// the resource front end loads, and Resources::getAnimSet reads it through the
// pack (pack number 0, the pack loaded). Then every frame and animation is
// asked for its bounds, boxes, parts and duration and painted, directly and
// through a player that runs through it.
//
// Allowed outcomes: the loader never throws; queries on a set cut short, and
// indexes the data names outside the tables or the attached images, end in a
// java.lang.Exception. A crash, a sanitizer report, a hang or any other
// throwable is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "VM.h"
#include "java_io_ByteArrayInputStream.h"
#include "java_lang_Exception.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_AnimPlayer.h"
#include "ts_AnimSet.h"
#include "ts_Resources.h"
#include "ts_graphics_CollisionBox.h"
#include "vm_boot.h"

using javax::microedition::lcdui::Graphics;
using ts::AnimPlayer;
using ts::AnimSet;
using ts::Resources;
using ts::graphics::CollisionBox;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_animset: %s\n", what);
    std::abort();
}

VMStatic<VMArray<ts::Gob, 1>> gobs;
VMStatic<Graphics> graphics;

void setUp() {
    if (gobs != nullptr) return;
    // Four small images with boxes, one of them without size.
    VMPtr<VMArray<ts::Gob, 1>> made = VMArray<ts::Gob, 1>::create(4);
    for (jint i = 0; i < 4; ++i) {
        const jint w = 3 + 5 * i, h = 7 + 2 * i;
        VMPtr<VMArray<jint, 1>> pixels = VMArray<jint, 1>::create(w * h);
        for (jint k = 0; k < w * h; ++k) (*pixels)[k] = jint(0x40000000u * uint32_t(k % 4) + 0x102030u * uint32_t(i));
        VMPtr<ts::Gob> gob = ts::Gob::createFromRGB(pixels, w, h, i != 0);
        gob->offsetX = jshort(-w / 2);
        gob->offsetY = jshort(-h);
        gob->collisionWidth = jshort(w);
        gob->collisionHeight = jshort(h);
        gob->roundCollision = i == 2;
        made->set(i, gob);
    }
    made->get(3)->width = 0;
    gobs = made;
    graphics = javax::microedition::lcdui::Image::createImage(64, 64)->getGraphics();
}

template <class Work>
void attempt(Work&& work) {
    try {
        work();
    } catch (java::lang::Exception* e) {
        VMPtr<java::lang::Exception> keep(e);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vmBootOnce();
    if (size > (1u << 16)) return 0;
    setUp();
    VMPtr<VMArray<jbyte, 2>> resources = VMArray<jbyte, 2>::create(1);
    VMPtr<VMArray<jbyte, 1>> resource = VMArray<jbyte, 1>::create(jint(size));
    if (size > 0) std::memcpy(resource->elements(), data, size);
    resources->set(0, resource);
    VMPtr<VMArray<jbyte, 1>> types = VMArray<jbyte, 1>::create(1);
    VMPtr<VMArray<jbyte, 1>> pack = Resources::buildPackBytes(resources, types);
    VMPtr<java::io::DataInputStream> in =
        java::io::DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(pack));
    if (!Resources::loadPack(in)) fail("the pack image was not read");

    VMPtr<AnimSet> set;
    try {
        set = Resources::getAnimSet(0);
    } catch (java::lang::Throwable*) {
        fail("loading threw");
    }
    if (AnimSet::stream != nullptr) fail("the stream is still set");
    set->setGobs(gobs);
    VMPtr<Graphics> g = graphics;
    VMPtr<VMArray<CollisionBox, 1>> boxes = CollisionBox::ensureCapacity(nullptr, 8);
    VMPtr<VMArray<jint, 1>> out = VMArray<jint, 1>::create(40);
    const jint frames = set->frames != nullptr ? std::min(set->frames->length, jint(64)) : 1;
    const jint animations = set->animations != nullptr ? std::min(set->animations->length, jint(64)) : 1;
    for (jint f = 0; f < frames; ++f) {
        for (jint t : {0, 3, 6}) {
            attempt([&] { set->getFrameBounds(f, t, out); });
            attempt([&] { set->getCollisionBoxes(f, t, boxes, -1); });
            attempt([&] { set->getCollisionRects(f, t, out, 3); });
            attempt([&] { set->getFrameParts(f, t, out); });
        }
        attempt([&] { set->getFrame(f)->paint(g, 32, 32, 5); });
    }
    for (jint a = 0; a < animations; ++a) {
        attempt([&] { set->getAnimationDuration(a); });
        attempt([&] { set->getAnimationFrame(a)->paint(g, 32, 32, 2); });
        attempt([&] {
            VMPtr<AnimPlayer> player = AnimPlayer::create()->construct();
            player->setAnimSet(set);
            player->setAnimation(a);
            player->setTransform(a & 7);
            for (int i = 0; i < 8; ++i) {
                player->update(37 * i);
                player->paint(g);
                player->collidesWithPoint(i, -i);
            }
        });
    }
    vmFuzzInputDone();
    return 0;
}
