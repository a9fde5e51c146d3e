// javax.microedition.rms.RecordStore: a named, persistent store of byte
// records. Every operation goes to the platform's record stores
// (hal_recordstore.h); nothing is cached here. The object tells its record
// listeners of every change made through it.
#pragma once

#include "VMArray.h"
#include "VMClass.h"
#include "java_lang_String.h"
#include "java_util_Vector.h"
#include "javax_microedition_rms_RecordComparator.h"
#include "javax_microedition_rms_RecordEnumeration.h"
#include "javax_microedition_rms_RecordFilter.h"
#include "javax_microedition_rms_RecordListener.h"

struct NativeRecordStore;  // the platform's (hal_recordstore.h), opaque here

namespace javax::microedition::rms {

class RecordStore : public virtual java::lang::Object {
    VM_DECLARE_CLASS(RecordStore, java::lang::Object)

public:
    VMField<java::lang::String> name;          // the name it was opened with
    NativeRecordStore* nativeStore = nullptr;  // null once closed: open exactly while set
    VMField<java::util::Vector> listeners;     // record listeners, in the order added

    // Takes over the platform handle (also when the body throws).
    VMPtr<RecordStore> construct(VMPtr<java::lang::String> storeName, NativeRecordStore* handle);
    ~RecordStore() override;

    // NullPointerException for a null name; IllegalArgumentException for a
    // name of 0 or more than 32 characters; RecordStoreNotFoundException when
    // there is no such store and createIfNecessary is false;
    // RecordStoreException when the platform fails. Every call gives a new
    // object with a handle of its own.
    static VMPtr<RecordStore> openRecordStore(VMPtr<java::lang::String> recordStoreName, jboolean createIfNecessary);
    // NullPointerException for a null name; RecordStoreNotFoundException when
    // there is no database folder or the name cannot be a store's (0 or more
    // than 32 characters); RecordStoreException when the platform fails.
    // Objects open on the store are not closed (their writes fail).
    static void deleteRecordStore(VMPtr<java::lang::String> recordStoreName);
    // Replaces every record of the store (created when missing) with data
    // cut into records of recordSize bytes at most, ids from 1, in one step:
    // a crash leaves the old records or the new ones. No records for empty
    // data. NullPointerException for a null name or data;
    // IllegalArgumentException for a name of 0 or more than 32 characters or
    // a recordSize below 1; RecordStoreException when the platform fails (the
    // old records then stay).
    static void replaceRecordStore(VMPtr<java::lang::String> recordStoreName, VMPtr<VMArray<jbyte, 1>> data,
                                   jint recordSize);
    // The stores' names, or null when there is none.
    static VMPtr<VMArray<java::lang::String, 1>> listRecordStores();

    // Every operation but isOpen, addRecordListener and removeRecordListener
    // throws RecordStoreNotOpenException once the store is closed.
    virtual void closeRecordStore();
    virtual VMPtr<java::lang::String> getName();
    virtual jint getVersion();
    virtual jint getNumRecords();
    virtual jint getSize();
    virtual jint getSizeAvailable();
    virtual jlong getLastModified();
    virtual void addRecordListener(VMPtr<RecordListener> listener);
    virtual void removeRecordListener(VMPtr<RecordListener> listener);
    virtual jint getNextRecordID();
    // NullPointerException for null data with numBytes not 0 (before the open
    // check); ArrayIndexOutOfBoundsException for a range outside the data;
    // RecordStoreException when the platform fails (also for null data).
    virtual jint addRecord(VMPtr<VMArray<jbyte, 1>> data, jint offset, jint numBytes);
    // InvalidRecordIDException only for the platform's "not found"; a missing
    // record is the platform's I/O failure, a RecordStoreException.
    virtual void deleteRecord(jint recordId);
    virtual jint getRecordSize(jint recordId);
    virtual VMPtr<VMArray<jbyte, 1>> getRecord(jint recordId);
    // Reads the record into buffer from offset; returns its length.
    // NullPointerException for a null buffer; ArrayIndexOutOfBoundsException,
    // with nothing written, for an offset outside the buffer or a record
    // longer than the room after it.
    virtual jint getRecord(jint recordId, VMPtr<VMArray<jbyte, 1>> buffer, jint offset);
    // The checks of addRecord; RecordStoreException when the platform fails,
    // also for a record that does not exist.
    virtual void setRecord(jint recordId, VMPtr<VMArray<jbyte, 1>> newData, jint offset, jint numBytes);
    virtual VMPtr<RecordEnumeration> enumerateRecords(VMPtr<RecordFilter> filter, VMPtr<RecordComparator> comparator,
                                                      jboolean keepUpdated);
    virtual jboolean isOpen();
    // The ids of the records, ascending.
    virtual VMPtr<VMArray<jint, 1>> getRecordIDs();

    void markReferences(uint32_t bits) override {
        _VM_markRef(name, bits);
        _VM_markRef(listeners, bits);
    }

private:
    enum class Change { added, changed, deleted };
    // The handle; RecordStoreNotOpenException when closed.
    NativeRecordStore* openHandle();
    void tellListeners(Change change, jint recordId);
};

}  // namespace javax::microedition::rms
