// com.ventrix.common.Game: the base of the game's saved data. It keeps one
// byte buffer per record kind and stores each kind in a record store of its
// own, named by the kind's number in decimal. The subclass writes and reads
// a kind's fields, in order, through the canvas's save and load buffers.
#pragma once

#include "VM.h"
#include "ts_TsCanvas.h"

namespace com::ventrix::common {

class Game : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(Game, java::lang::Object)

public:
    static jint recordCount;
    static VMStatic<VMArray<jbyte, 2>> records;  // per kind, null until created or loaded
    // Per kind, true when its store was there but could not be read: the run
    // plays on the defaults and never writes over that store.
    static VMStatic<VMArray<jboolean, 1>> keptAsFound;

    VMField<ts::TsCanvas> canvas;  // Main's canvas

    VMPtr<Game> construct();

    // recordCount := n; records := n empty rows.
    static void allocateRecords(jint n);

    // Writes the kind's fields into the save buffer (the base passes flag 0).
    virtual void writeFields(jint kind, jint flag) = 0;
    // loadRecord of every kind, 0 first.
    virtual void loadAll();
    // Writes the kind's fields into its buffer and the buffer into the
    // kind's store; nothing for a kind without a buffer or before
    // allocateRecords, and nothing to the store of a kind kept as found.
    virtual void saveRecord(jint kind);
    // Reads the kind's store into its buffer and its fields. A missing
    // store, or one whose fields cannot be read from it (a record too short
    // for them), gets the defaults, which are saved at once. A store that is
    // there but cannot be read (no permission, say) gets the defaults in
    // memory only: the kind is kept as found, and one console line says so.
    virtual void loadRecord(jint kind);
    // Reads the kind's fields from the load buffer (the base passes flag 0).
    virtual void readFields(jint kind, jint flag) = 0;
    // Puts a new buffer of the kind's size, with the default values, into
    // records[kind].
    virtual void createRecord(jint kind) = 0;

    void markReferences(uint32_t bits) override { _VM_markRef(canvas, bits); }
};

}  // namespace com::ventrix::common
