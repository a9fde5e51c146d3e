// javax.microedition.rms.RecordEnumerationImpl: the enumeration that
// RecordStore.enumerateRecords hands out. A snapshot of record ids, filtered
// and sorted by the application's filter and comparator; when kept updated it
// listens to its store object and folds every change into the snapshot.
//
// Record contents are never cached: every filter test and comparison reads
// the record again. Store failures while filtering or sorting leave the
// record out (or the order as far as the sort got); those of nextRecord,
// previousRecord and rebuild reach the caller. After destroy every operation
// throws IllegalStateException.
//
// Lock order: a store tells its listeners holding its listener vector's
// monitor; the listener operations here then take the enumeration's own.
#pragma once

#include "javax_microedition_rms_RecordComparator.h"
#include "javax_microedition_rms_RecordEnumeration.h"
#include "javax_microedition_rms_RecordFilter.h"
#include "javax_microedition_rms_RecordListener.h"
#include "javax_microedition_rms_RecordStore.h"

namespace javax::microedition::rms {

class RecordEnumerationImpl : public virtual java::lang::Object,
                              public virtual RecordEnumeration,
                              public virtual RecordListener {
    VM_DECLARE_CLASS(RecordEnumerationImpl, java::lang::Object)

public:
    VMField<RecordStore> recordStore;      // null once destroyed
    VMField<RecordComparator> comparator;  // may be null
    VMField<RecordFilter> filter;          // may be null
    VMField<VMArray<jint, 1>> records;     // the snapshot's ids in enumeration order
    jboolean keepUpdatedFlag = false;      // listening to the store object
    jint index = 0;                        // the current position; -1 before the first

    VMPtr<RecordEnumerationImpl> construct(VMPtr<RecordStore> store, VMPtr<RecordFilter> recordFilter,
                                           VMPtr<RecordComparator> recordComparator, jboolean keepUpdated);

    jint numRecords() override;
    VMPtr<VMArray<jbyte, 1>> nextRecord() override;
    // InvalidRecordIDException past the last record (index unchanged).
    jint nextRecordId() override;
    VMPtr<VMArray<jbyte, 1>> previousRecord() override;
    // InvalidRecordIDException before the first record; from before the first
    // it starts at the last.
    jint previousRecordId() override;
    jboolean hasNextElement() override;
    jboolean hasPreviousElement() override;
    void reset() override;
    void rebuild() override;
    void keepUpdated(jboolean keepUpdated) override;
    jboolean isKeptUpdated() override;
    void destroy() override;

    void recordAdded(VMPtr<RecordStore> store, jint recordId) override;
    void recordChanged(VMPtr<RecordStore> store, jint recordId) override;
    void recordDeleted(VMPtr<RecordStore> store, jint recordId) override;

    void markReferences(uint32_t bits) override {
        _VM_markRef(recordStore, bits);
        _VM_markRef(comparator, bits);
        _VM_markRef(filter, bits);
        _VM_markRef(records, bits);
    }

private:
    // IllegalStateException once destroyed.
    void checkLive();
    void reFilterSort(VMPtr<VMArray<jint, 1>> ids);
    void quickSort(VMPtr<VMArray<jint, 1>> a, jint left, jint right);
    void filterAdd(jint recordId);
    jint sinkFirstRecord();
    jint findRecordIndex(jint recordId);
    void removeRecordAt(jint position);
};

}  // namespace javax::microedition::rms
