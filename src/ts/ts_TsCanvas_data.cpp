// ts.TsCanvas: saved data, the save and load buffers and the record stores.
#include "ts_TsCanvas.h"

#include <algorithm>
#include <cstring>

#include "VMThrow.h"
#include "javax_microedition_rms_RecordStore.h"
#include "javax_microedition_rms_RecordStoreException.h"
#include "javax_microedition_rms_RecordStoreNotFoundException.h"

namespace ts {

using java::lang::String;
using javax::microedition::rms::RecordStore;
using javax::microedition::rms::RecordStoreException;

// --- saved data ----------------------------------------------------------------------

VMPtr<VMBytes> TsCanvas::loadRecordStore(jint id) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<RecordStore> store;
    try {
        store = RecordStore::openRecordStore(String::valueOf(id), false);
    } catch (javax::microedition::rms::RecordStoreNotFoundException* missing) {
        (void)missing;
        lastStoreLoad = STORE_MISSING;
        return nullptr;
    } catch (RecordStoreException* unreadable) {
        // There, but its folder cannot be read (no permission, say).
        (void)unreadable;
        lastStoreLoad = STORE_UNREADABLE;
        return nullptr;
    }
    VMPtr<VMBytes> joined;
    try {
        VMPtr<VMInts> ids = store->getRecordIDs();
        VMPtr<VMArray<jbyte, 2>> records = VMArray<jbyte, 2>::create(ids->length);
        jlong total = 0;
        for (jint i = 0; i < ids->length; ++i) {
            VMPtr<VMBytes> record = store->getRecord((*ids)[i]);
            if (record != nullptr) total += record->length;
            records->set(i, record);
        }
        if (total > 0x7FFFFFFF) _VM_throwOutOfMemoryError();
        joined = VMBytes::create(jint(total));
        jint at = 0;
        for (jint i = 0; i < records->length; ++i) {
            VMBytes* record = records->get(i);
            if (record == nullptr) continue;
            std::memcpy(joined->elements() + at, record->elements(), size_t(record->length));
            at += record->length;
        }
    } catch (RecordStoreException* unreadable) {
        // A record file that cannot be read: the store is not "none".
        (void)unreadable;
        joined = nullptr;
    }
    try {
        store->closeRecordStore();
    } catch (RecordStoreException* closing) {
        (void)closing;
    }
    lastStoreLoad = joined != nullptr ? STORE_READ : STORE_UNREADABLE;
    return joined;
}

jboolean TsCanvas::saveRecordStore(jint id, VMPtr<VMBytes> data) {
    VMPtr<String> name = String::valueOf(id);
    if (data == nullptr) {
        try {
            RecordStore::deleteRecordStore(name);
        } catch (javax::microedition::rms::RecordStoreNotFoundException* missing) {
            (void)missing;  // nothing to delete
        } catch (RecordStoreException* failed) {
            (void)failed;
            return false;
        }
        return true;
    }
    // All records replaced in one step of the record-store layer: a save cut
    // short leaves the old data or the new, never a mixture.
    try {
        RecordStore::replaceRecordStore(name, data, RECORD_SIZE);
    } catch (RecordStoreException* failed) {
        (void)failed;
        return false;
    }
    return true;
}

namespace {

// n bytes at a buffer's cursor, which moves on past them.
jbyte* bufferSpace(VMPtr<VMBytes> buffer, jint& position, jint n) {
    if (buffer == nullptr) _VM_throwNullPointer();
    const jint at = position;
    if (at < 0) _VM_throwArrayIndexOutOfBoundsException(at);
    if (at > buffer->length - n) _VM_throwArrayIndexOutOfBoundsException(std::max(at, buffer->length));
    position = at + n;
    return buffer->elements() + at;
}

}  // namespace

jbyte* TsCanvas::saveSpace(jint n) {
    _VM_ensureInitialized(_VM_classRecord);
    return bufferSpace(saveBuffer, savePosition, n);
}

const jbyte* TsCanvas::loadSpace(jint n) {
    _VM_ensureInitialized(_VM_classRecord);
    return bufferSpace(loadBuffer, loadPosition, n);
}

void TsCanvas::writeByte(jint value) { saveSpace(1)[0] = jbyte(value); }

void TsCanvas::writeInt(jint value) {
    jbyte* out = saveSpace(4);
    for (int i = 0; i < 4; ++i) out[i] = jbyte(uint32_t(value) >> (24 - 8 * i));
}

void TsCanvas::writeBoolean(jboolean value) { saveSpace(1)[0] = value ? 1 : 0; }

void TsCanvas::writeShortLE(jint value) {
    jbyte* out = saveSpace(2);
    out[0] = jbyte(value);
    out[1] = jbyte(uint32_t(value) >> 8);
}

void TsCanvas::writeIntLE(jint value) {
    jbyte* out = saveSpace(4);
    for (int i = 0; i < 4; ++i) out[i] = jbyte(uint32_t(value) >> (8 * i));
}

jint TsCanvas::readByte() { return loadSpace(1)[0]; }

jint TsCanvas::readInt() {
    const jbyte* in = loadSpace(4);
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | uint8_t(in[i]);
    return jint(value);
}

jboolean TsCanvas::readBoolean() { return loadSpace(1)[0] != 0; }

}  // namespace ts
