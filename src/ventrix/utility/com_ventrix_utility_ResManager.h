// com.ventrix.utility.ResManager: the resource cache that the objects of a
// scene share. An object loads a pair of resources (an image set, ts.Gob[],
// and optionally an animation set bound to it), keeps the two slot numbers
// and gives them back when it is done. Entries are counted and dropped with
// their last holder; the scene manager empties the cache on every scene
// change. All state is static; the tables are read directly by slot.
#pragma once

#include "VM.h"
#include "ts_AnimSet.h"
#include "ts_Gob.h"

namespace com::ventrix::utility {

class ResManager : public virtual java::lang::Object {
    VM_DECLARE_CLASS(ResManager, java::lang::Object)

public:
    using Gobs = VMArray<ts::Gob, 1>;

    static constexpr jint START_CAPACITY = 5;
    // Rows of slotKeys.
    static constexpr jint KEY_GOBS = 0;       // image resource id per slot
    static constexpr jint KEY_ANIM = 1;       // animation resource id per slot
    static constexpr jint KEY_ANIM_GOBS = 2;  // image id the animation set was bound to
    static constexpr jint FREE = -1;          // key of an emptied entry

    static jint capacity;                  // slots in each table
    static jint growStep;                  // slots added by the last growth
    static jint usedSlots;                 // slots handed out since the last clear; new entries go here
    static jint firstIndex;                // image slot settled by the last load, -1 for none
    static jint secondIndex;               // animation slot settled by the last load, -1 for none
    static VMStatic<ResManager> instance;  // made by the first load
    static VMStatic<VMArray<ts::Gob, 2>> gobCache;
    static VMStatic<VMArray<ts::AnimSet, 1>> animCache;
    static VMStatic<VMArray<jint, 2>> slotKeys;  // [3][capacity]
    static VMStatic<VMInts> animRefs;
    static VMStatic<VMInts> gobRefs;

    static void _VM_clinit();
    // Starts the cache afresh: 5 empty slots, no slot handed out.
    VMPtr<ResManager> construct();

    // Makes sure the image set gobId and (unless -1) the animation set
    // animId, bound to it, are cached; one more holder for each; their slots
    // in firstIndex and secondIndex. An animation set loaded without an image
    // id is bound to no images.
    static void load(jint gobId, jint animId);
    static jint getFirstIndex();
    static jint getSecondIndex();
    // One holder less for each slot that is not -1; an entry left without
    // holders is emptied (its slot is not handed out again before clear). A
    // slot not handed out since the last clear, or one without holders, is
    // left alone.
    static void release(jint gobSlot, jint animSlot);
    // Empties every entry and hands slots out from 0 again; the tables keep
    // their size. The decoded images the resource reader keeps for reuse go
    // too (clear and destroy).
    static void clear();
    // Drops the image and animation tables and returns to the start values;
    // release and clear then do nothing, and the next load makes the cache
    // anew.
    static void destroy();
    // Adds room to every table (a load calls it when the last entry fills).
    static void grow();

private:
    static bool isHeld(jint slot, VMPtr<VMInts> refs);
    // Every entry empty, every count 0, every key FREE.
    static void emptyTables();
    static jint findSlot(jint kind, jint id);
};

}  // namespace com::ventrix::utility
