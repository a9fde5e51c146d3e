// javax.microedition.rms.RecordEnumerationImpl: the enumeration that RecordStore.enumerateRecords hands out.
#include "javax_microedition_rms_RecordEnumerationImpl.h"

#include "java_lang_IllegalStateException.h"
#include "java_lang_System.h"
#include "javax_microedition_rms_InvalidRecordIDException.h"
#include "javax_microedition_rms_RecordStoreException.h"

namespace javax::microedition::rms {

namespace {

[[noreturn]] void throwNoRecord() { _VM_throw(InvalidRecordIDException::create()->construct()); }

}  // namespace

VMPtr<RecordEnumerationImpl> RecordEnumerationImpl::construct(VMPtr<RecordStore> store,
                                                              VMPtr<RecordFilter> recordFilter,
                                                              VMPtr<RecordComparator> recordComparator,
                                                              jboolean keepUpdated) {
    Super::construct();
    recordStore = store;
    filter = recordFilter;
    comparator = recordComparator;
    keepUpdatedFlag = keepUpdated;
    index = 0;
    if (keepUpdated) store->addRecordListener(this);
    try {
        rebuild();
    } catch (java::lang::Throwable* thrown) {
        // A filter or comparator that throws leaves no half-built listener
        // behind to fail every later change of the store.
        VMPtr<java::lang::Throwable> keep(thrown);
        if (keepUpdated) store->removeRecordListener(this);
        _VM_throw(keep);
    }
    return this;
}

void RecordEnumerationImpl::checkLive() {
    if (recordStore == nullptr) _VM_throw(java::lang::IllegalStateException::create()->construct());
}

jint RecordEnumerationImpl::numRecords() {
    VMSynchronized lock(this);
    checkLive();
    return records->length;
}

jint RecordEnumerationImpl::nextRecordId() {
    VMSynchronized lock(this);
    checkLive();
    if (index == records->length - 1) throwNoRecord();
    ++index;
    return (*records)[index];
}

jint RecordEnumerationImpl::previousRecordId() {
    VMSynchronized lock(this);
    checkLive();
    const jint length = records->length;
    if (index == 0 || length == 0) throwNoRecord();
    index = index == -1 ? length - 1 : index - 1;
    return (*records)[index];
}

VMPtr<VMBytes> RecordEnumerationImpl::nextRecord() {
    VMSynchronized lock(this);
    checkLive();
    const jint id = nextRecordId();
    return VMPtr<RecordStore>(recordStore)->getRecord(id);
}

VMPtr<VMBytes> RecordEnumerationImpl::previousRecord() {
    VMSynchronized lock(this);
    checkLive();
    const jint id = previousRecordId();
    return VMPtr<RecordStore>(recordStore)->getRecord(id);
}

jboolean RecordEnumerationImpl::hasNextElement() {
    checkLive();
    const jint length = records->length;
    if (length == 0 || index == length - 1) return false;
    return recordStore->isOpen();
}

jboolean RecordEnumerationImpl::hasPreviousElement() {
    checkLive();
    if (records->length == 0 || index == 0) return false;
    return recordStore->isOpen();
}

void RecordEnumerationImpl::reset() {
    checkLive();
    index = -1;
}

void RecordEnumerationImpl::rebuild() {
    checkLive();
    reFilterSort(VMPtr<RecordStore>(recordStore)->getRecordIDs());
}

void RecordEnumerationImpl::keepUpdated(jboolean keepUpdated) {
    checkLive();
    if (keepUpdated == keepUpdatedFlag) return;
    keepUpdatedFlag = keepUpdated;
    VMPtr<RecordStore> store = recordStore;
    if (keepUpdated) {
        store->addRecordListener(this);
        rebuild();
    } else {
        store->removeRecordListener(this);
    }
}

jboolean RecordEnumerationImpl::isKeptUpdated() {
    checkLive();
    return keepUpdatedFlag;
}

void RecordEnumerationImpl::destroy() {
    VMSynchronized lock(this);
    checkLive();
    if (keepUpdatedFlag) VMPtr<RecordStore>(recordStore)->removeRecordListener(this);
    recordStore = nullptr;
    filter = nullptr;
    comparator = nullptr;
    records = nullptr;
}

void RecordEnumerationImpl::recordAdded(VMPtr<RecordStore>, jint recordId) {
    VMSynchronized lock(this);
    checkLive();
    filterAdd(recordId);
}

void RecordEnumerationImpl::recordChanged(VMPtr<RecordStore>, jint recordId) {
    VMSynchronized lock(this);
    checkLive();
    const jint position = findRecordIndex(recordId);
    if (position >= 0) removeRecordAt(position);
    filterAdd(recordId);
}

void RecordEnumerationImpl::recordDeleted(VMPtr<RecordStore>, jint recordId) {
    VMSynchronized lock(this);
    checkLive();
    const jint position = findRecordIndex(recordId);
    if (position >= 0) removeRecordAt(position);
}

void RecordEnumerationImpl::reFilterSort(VMPtr<VMInts> ids) {
    VMPtr<RecordStore> store = recordStore;
    VMPtr<RecordFilter> recordFilter = filter;
    if (recordFilter == nullptr) {
        records = ids;
    } else {
        jint kept = 0;
        for (jint i = 0; i < ids->length; ++i) {
            const jint id = (*ids)[i];
            VMPtr<VMBytes> data;
            try {
                data = store->getRecord(id);
            } catch (RecordStoreException*) {
                continue;  // unreadable: left out
            }
            if (recordFilter->matches(data)) {
                if (kept != i) (*ids)[kept] = id;
                ++kept;
            }
        }
        VMPtr<VMInts> matching = VMInts::create(kept);
        java::lang::System::arraycopy(ids, 0, matching, 0, kept);
        records = matching;
    }
    if (comparator != nullptr) {
        VMPtr<VMInts> sorted = records;
        try {
            quickSort(sorted, 0, sorted->length - 1);
        } catch (RecordStoreException*) {
            // the order stays as far as the sort got
        }
    }
    reset();
}

void RecordEnumerationImpl::quickSort(VMPtr<VMInts> a, jint left, jint right) {
    if (right <= left) return;
    VMPtr<RecordStore> store = recordStore;
    VMPtr<RecordComparator> order = comparator;
    VMPtr<VMBytes> pivot = store->getRecord((*a)[(left + right) / 2]);
    jint i = left;
    jint j = right;
    do {
        while (i < right && order->compare(store->getRecord((*a)[i]), pivot) == RecordComparator::PRECEDES) ++i;
        while (j > left && order->compare(store->getRecord((*a)[j]), pivot) == RecordComparator::FOLLOWS) --j;
        if (i > j) break;
        const jint swapped = (*a)[i];
        (*a)[i] = (*a)[j];
        (*a)[j] = swapped;
        ++i;
        --j;
    } while (i <= j);
    if (left < j) quickSort(a, left, j);
    if (i < right) quickSort(a, i, right);
}

void RecordEnumerationImpl::filterAdd(jint recordId) {
    jint position = -1;
    VMPtr<RecordFilter> recordFilter = filter;
    if (recordFilter != nullptr) {
        VMPtr<VMBytes> data;
        try {
            data = VMPtr<RecordStore>(recordStore)->getRecord(recordId);
        } catch (RecordStoreException*) {
            return;  // unreadable: not added
        }
        if (!recordFilter->matches(data)) return;
    }
    VMPtr<VMInts> old = records;
    VMPtr<VMInts> grown = VMInts::create(old->length + 1);
    (*grown)[0] = recordId;
    java::lang::System::arraycopy(old, 0, grown, 1, old->length);
    records = grown;
    if (comparator != nullptr) {
        try {
            position = sinkFirstRecord();
        } catch (RecordStoreException*) {
            position = -1;
        }
    }
    if (index != -1 && position <= index) ++index;
}

jint RecordEnumerationImpl::sinkFirstRecord() {
    VMPtr<RecordStore> store = recordStore;
    VMPtr<RecordComparator> order = comparator;
    VMPtr<VMInts> ids = records;
    jint i = 0;
    const jint last = ids->length - 1;
    while (i < last) {
        VMPtr<VMBytes> first = store->getRecord((*ids)[i]);
        VMPtr<VMBytes> second = store->getRecord((*ids)[i + 1]);
        if (order->compare(first, second) != RecordComparator::FOLLOWS) break;
        const jint swapped = (*ids)[i];
        (*ids)[i] = (*ids)[i + 1];
        (*ids)[i + 1] = swapped;
        ++i;
    }
    return i;
}

jint RecordEnumerationImpl::findRecordIndex(jint recordId) {
    VMPtr<VMInts> ids = records;
    for (jint i = ids->length - 1; i >= 0; --i)
        if ((*ids)[i] == recordId) return i;
    return -1;
}

void RecordEnumerationImpl::removeRecordAt(jint position) {
    VMPtr<VMInts> old = records;
    VMPtr<VMInts> shrunk = VMInts::create(old->length - 1);
    java::lang::System::arraycopy(old, 0, shrunk, 0, position);
    java::lang::System::arraycopy(old, position + 1, shrunk, position, old->length - position - 1);
    records = shrunk;
    if (index != -1 && position <= index) --index;
}

}  // namespace javax::microedition::rms

VM_REGISTER_CLASS(javax::microedition::rms::RecordEnumerationImpl,
                  .name = "javax.microedition.rms.RecordEnumerationImpl",
                  .interfaces = {"javax.microedition.rms.RecordEnumeration", "javax.microedition.rms.RecordListener"})
