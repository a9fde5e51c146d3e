// com.ventrix.ui.Screen: sequences and the per-frame update
#include "com_ventrix_ui_Screen.h"

#include <algorithm>

#include "java_lang_System.h"
#include "ts_AnimSet.h"

namespace com::ventrix::ui {

using ts::AnimPlayer;
using ts::Paintable;

void Screen::setSequence(jint slot, jint index, jint duration) {
    VMPtr<VMInts> indices = VMInts::create(1);
    VMPtr<VMInts> durations = VMInts::create(1);
    (*indices)[0] = index;
    (*durations)[0] = duration;
    setSequence(slot, indices, durations);
}

void Screen::setSequence(jint slot, VMPtr<VMInts> indices, VMPtr<VMInts> durations) {
    if (slotAt(slot) == nullptr) return;
    if (indices == nullptr || durations == nullptr) _VM_throwNullPointer();
    // Both copies are made before either is stored: a durations array
    // shorter than the indices leaves the slot as it was.
    VMPtr<VMInts> indexCopy = VMInts::create(indices->length);
    java::lang::System::arraycopy(indices, 0, indexCopy, 0, indices->length);
    VMPtr<VMInts> durationCopy = VMInts::create(durations->length);
    java::lang::System::arraycopy(durations, 0, durationCopy, 0, indices->length);
    VMPtr<VMIntRows> rows = sequenceIndices;
    rows->set(slot, indexCopy);
    rows = sequenceDurations;
    rows->set(slot, durationCopy);
    VMPtr<VMInts> cursors = sequenceCursors;
    (*cursors)[slot] = 0;
}

void Screen::stopSequence(jint slot) {
    VMPtr<VMInts> cursors = sequenceCursors;
    if (cursors != nullptr && slot < cursors->length) (*cursors)[slot] = -1;
}

void Screen::stopAllSequences() {
    VMPtr<VMInts> cursors = sequenceCursors;
    if (cursors == nullptr) return;
    for (jint i = 0; i < cursors->length; ++i) (*cursors)[i] = -1;
}

void Screen::update(jint, jint) {
    if (isSuspended()) return;
    VMPtr<VMArray<Paintable, 1>> table = paintables;
    if (table == nullptr) return;
    const jint step = frameTime;
    const jint n = std::min(slotCount, table->length);
    for (jint i = 0; i < n; ++i) {
        VMPtr<Paintable> p = table->get(i);
        if (p == nullptr) continue;
        const bool animation = p->getType() == Paintable::TYPE_PLAYER;
        VMPtr<VMIntRows> sequences = sequenceIndices;
        VMPtr<VMInts> row = sequences->get(i);
        VMPtr<VMInts> cursors = sequenceCursors;
        jint c = (*cursors)[i];
        if (row != nullptr && c >= 0 && c < row->length) {
            VMPtr<VMInts> indices = slotIndices;
            const jint wanted = (*row)[c];
            if ((*indices)[i] != wanted) {
                // Shown first; the step's time counts from the next frame.
                setSlotIndex(i, wanted);
                table = paintables;
                continue;
            }
            VMPtr<VMIntRows> durationRows = sequenceDurations;
            VMPtr<VMInts> durations = durationRows->get(i);
            if (durations == nullptr) _VM_throwNullPointer();
            if (animation) {
                AnimPlayer* player = playerOf(i);
                player->update(step);
                if (player->getPlayCount() == 0) {
                    c += 1;
                } else {
                    (*durations)[c] -= step;
                }
            } else {
                (*durations)[c] -= step;
            }
            if (c < row->length && (*durations)[c] < 0) c += 1;
            (*cursors)[i] = c;
        } else if (animation) {
            AnimPlayer* player = playerOf(i);
            player->update(step);
            if (player->getPlayCount() != 0) continue;
            // The animations of a set play one after the other; the last one
            // holds its last step.
            VMPtr<ts::AnimSet> set = player->getAnimSet();
            VMPtr<VMInts> indices = slotIndices;
            const jint next = (*indices)[i] + 1;
            if (set == nullptr || set->animations == nullptr || next >= set->getAnimationCount()) continue;
            (*indices)[i] = next;
            player->setAnimation(next);
        }
    }
}

}  // namespace com::ventrix::ui
