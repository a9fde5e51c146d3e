// javax.microedition.rms.RecordStore: a named, persistent store of byte records.
#include "javax_microedition_rms_RecordStore.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "VMThrow.h"
#include "hal_recordstore.h"
#include "hal_system.h"
#include "java_lang_ArrayIndexOutOfBoundsException.h"
#include "java_lang_IllegalArgumentException.h"
#include "javax_microedition_rms_InvalidRecordIDException.h"
#include "javax_microedition_rms_RecordEnumerationImpl.h"
#include "javax_microedition_rms_RecordListener.h"
#include "javax_microedition_rms_RecordStoreException.h"
#include "javax_microedition_rms_RecordStoreNotFoundException.h"
#include "javax_microedition_rms_RecordStoreNotOpenException.h"

namespace {

using namespace javax::microedition::rms;

[[noreturn]] void throwStoreException() { _VM_throw(RecordStoreException::create()->construct()); }

[[noreturn]] void throwOutOfRange() { _VM_throw(java::lang::ArrayIndexOutOfBoundsException::create()->construct()); }

// The statuses of opening and deleting a store.
void checkStoreStatus(int status) {
    if (status == HAL_OK) return;
    if (status == HAL_NOT_FOUND) _VM_throw(RecordStoreNotFoundException::create()->construct());
    throwStoreException();
}

// The statuses of deleteRecord, getRecordSize and getRecord.
void checkRecordStatus(int status) {
    if (status == HAL_OK) return;
    if (status == HAL_NOT_FOUND) _VM_throw(InvalidRecordIDException::create()->construct());
    throwStoreException();
}

// The checks of addRecord and setRecord after the open check.
void checkDataRange(const VMPtr<VMBytes>& data, jint offset, jint numBytes) {
    if (offset < 0 || numBytes < 0 || (data != nullptr && int64_t(offset) + numBytes > data->length)) throwOutOfRange();
}

// The bytes from offset, never null for an array (an empty one may have no
// storage): the platform refuses null data.
const void* bytesAt(const VMPtr<VMBytes>& data, jint offset) {
    static const jbyte kNoBytes = 0;
    if (data == nullptr) return nullptr;
    const jbyte* elements = data->elements();
    return elements != nullptr ? elements + offset : &kNoBytes;
}

}  // namespace

namespace javax::microedition::rms {

using java::lang::String;

VMPtr<RecordStore> RecordStore::construct(VMPtr<String> storeName, NativeRecordStore* handle) {
    nativeStore = handle;  // first, so that the destructor releases it whatever follows
    Super::construct();
    name = storeName;
    listeners = java::util::Vector::create()->construct(3);
    return this;
}

RecordStore::~RecordStore() {
    if (nativeStore != nullptr) HAL_closeRecordStore(nativeStore);
    nativeStore = nullptr;
}

VMPtr<RecordStore> RecordStore::openRecordStore(VMPtr<String> recordStoreName, jboolean createIfNecessary) {
    _VM_ensureInitialized(_VM_classRecord);
    if (recordStoreName == nullptr) _VM_throwNullPointer();
    const jint length = recordStoreName->length();
    if (length == 0 || length > hal_recordstore::kMaxNameLength)
        _VM_throw(java::lang::IllegalArgumentException::create()->construct());
    // The object first: once it holds the handle, nothing can lose it.
    VMPtr<RecordStore> store = RecordStore::create();
    NativeRecordStore* handle = nullptr;
    checkStoreStatus(HAL_openRecordStore(&handle, recordStoreName->_VM_chars(), length, createIfNecessary ? 1 : 0));
    return store->construct(recordStoreName, handle);
}

void RecordStore::deleteRecordStore(VMPtr<String> recordStoreName) {
    _VM_ensureInitialized(_VM_classRecord);
    if (recordStoreName == nullptr) _VM_throwNullPointer();
    checkStoreStatus(HAL_deleteRecordStore(recordStoreName->_VM_chars(), recordStoreName->length()));
}

void RecordStore::replaceRecordStore(VMPtr<String> recordStoreName, VMPtr<VMBytes> data, jint recordSize) {
    _VM_ensureInitialized(_VM_classRecord);
    if (recordStoreName == nullptr || data == nullptr) _VM_throwNullPointer();
    const jint length = recordStoreName->length();
    if (length == 0 || length > hal_recordstore::kMaxNameLength || recordSize < 1)
        _VM_throw(java::lang::IllegalArgumentException::create()->construct());
    const jint count = jint((jlong(data->length) + recordSize - 1) / recordSize);
    std::vector<const void*> records(static_cast<size_t>(count));
    std::vector<int32_t> lengths(static_cast<size_t>(count));
    for (jint k = 0; k < count; ++k) {
        const jint offset = jint(jlong(k) * recordSize);
        records[size_t(k)] = bytesAt(data, offset);
        lengths[size_t(k)] = std::min(recordSize, data->length - offset);
    }
    checkStoreStatus(HAL_replaceRecords(recordStoreName->_VM_chars(), length, records.data(), lengths.data(), count));
}

VMPtr<VMArray<String, 1>> RecordStore::listRecordStores() {
    _VM_ensureInitialized(_VM_classRecord);
    const int32_t count = HAL_getNumRecordStores();
    if (count <= 0) return nullptr;
    VMPtr<VMArray<String, 1>> names = VMArray<String, 1>::create(count);
    for (int32_t k = 1; k <= count; ++k) {
        char16_t characters[hal_recordstore::kMaxNameLength + 2];
        int32_t length = hal_recordstore::kMaxNameLength + 2;
        if (HAL_getNthRecordStoreName(k, characters, &length) != HAL_OK)
            HAL_fatalError("HAL_getNthRecordStoreName() failed in listRecordStores!");
        names->set(k - 1, String::create()->_VM_initLength(characters, length));
    }
    return names;
}

NativeRecordStore* RecordStore::openHandle() {
    if (nativeStore == nullptr) _VM_throw(RecordStoreNotOpenException::create()->construct());
    return nativeStore;
}

void RecordStore::closeRecordStore() {
    NativeRecordStore* handle = openHandle();
    nativeStore = nullptr;
    HAL_closeRecordStore(handle);
}

VMPtr<String> RecordStore::getName() {
    openHandle();
    return name;
}

jint RecordStore::getVersion() {
    NativeRecordStore* handle = openHandle();
    int32_t value = 0;
    if (HAL_getRecordStoreVersion(handle, &value) != HAL_OK)
        HAL_fatalError("HAL_getRecordStoreVersion() failed in getVersion!");
    return value;
}

jint RecordStore::getNumRecords() {
    NativeRecordStore* handle = openHandle();
    int32_t value = 0;
    if (HAL_getNumRecords(handle, &value) != HAL_OK) HAL_fatalError("HAL_getNumRecords() failed in getNumRecords!");
    return value;
}

jint RecordStore::getSize() {
    NativeRecordStore* handle = openHandle();
    int32_t value = 0;
    if (HAL_getRecordStoreSize(handle, &value) != HAL_OK) HAL_fatalError("HAL_getRecordStoreSize() failed in getSize!");
    return value;
}

jint RecordStore::getSizeAvailable() {
    NativeRecordStore* handle = openHandle();
    int32_t value = 0;
    if (HAL_getRecordStoreSizeAvailable(handle, &value) != HAL_OK)
        HAL_fatalError("HAL_getRecordStoreSizeAvailable() failed in getSizeAvailable!");
    return value;
}

jlong RecordStore::getLastModified() {
    NativeRecordStore* handle = openHandle();
    int64_t value = 0;
    if (HAL_getRecordStoreLastModified(handle, &value) != HAL_OK)
        HAL_fatalError("HAL_getRecordStoreLastModified() failed in getLastModified!");
    return value;
}

void RecordStore::addRecordListener(VMPtr<RecordListener> listener) {
    VMPtr<java::util::Vector> list = listeners;
    VMSynchronized lock(list);
    if (!list->contains(listener)) list->addElement(listener);
}

void RecordStore::removeRecordListener(VMPtr<RecordListener> listener) {
    VMPtr<java::util::Vector> list = listeners;
    VMSynchronized lock(list);
    list->removeElement(listener);
}

jint RecordStore::getNextRecordID() {
    NativeRecordStore* handle = openHandle();
    int32_t value = 0;
    if (HAL_getNextRecordID(handle, &value) != HAL_OK)
        HAL_fatalError("HAL_getNextRecordID() failed in getNextRecordID!");
    return value;
}

jint RecordStore::addRecord(VMPtr<VMBytes> data, jint offset, jint numBytes) {
    if (data == nullptr && numBytes != 0) _VM_throwNullPointer();
    NativeRecordStore* handle = openHandle();
    checkDataRange(data, offset, numBytes);
    int32_t id = 0;
    if (HAL_addRecord(handle, &id, bytesAt(data, offset), data != nullptr ? numBytes : 0) != HAL_OK)
        throwStoreException();
    tellListeners(Change::added, id);
    return id;
}

void RecordStore::setRecord(jint recordId, VMPtr<VMBytes> newData, jint offset, jint numBytes) {
    if (newData == nullptr && numBytes != 0) _VM_throwNullPointer();
    NativeRecordStore* handle = openHandle();
    checkDataRange(newData, offset, numBytes);
    if (HAL_setRecord(handle, recordId, bytesAt(newData, offset), newData != nullptr ? numBytes : 0) != HAL_OK)
        throwStoreException();
    tellListeners(Change::changed, recordId);
}

void RecordStore::deleteRecord(jint recordId) {
    NativeRecordStore* handle = openHandle();
    checkRecordStatus(HAL_deleteRecord(handle, recordId));
    tellListeners(Change::deleted, recordId);
}

jint RecordStore::getRecordSize(jint recordId) {
    NativeRecordStore* handle = openHandle();
    int32_t size = 0;
    checkRecordStatus(HAL_getRecordSize(handle, recordId, &size));
    return size;
}

VMPtr<VMBytes> RecordStore::getRecord(jint recordId) {
    NativeRecordStore* handle = openHandle();
    int32_t size = 0;
    checkRecordStatus(HAL_getRecordSize(handle, recordId, &size));
    // A record replaced between the two calls (by a writer outside the
    // runtime) may have another length: read again with room for it.
    for (int attempt = 0; attempt < 8; ++attempt) {
        VMPtr<VMBytes> record = VMBytes::create(size);
        int32_t length = size;
        checkRecordStatus(HAL_getRecord(handle, recordId, record->elements(), &length));
        if (length == size) return record;
        if (length < size) {
            VMPtr<VMBytes> shorter = VMBytes::create(length);
            if (length > 0) std::memcpy(shorter->elements(), record->elements(), size_t(length));
            return shorter;
        }
        size = length;
    }
    throwStoreException();
}

jint RecordStore::getRecord(jint recordId, VMPtr<VMBytes> buffer, jint offset) {
    NativeRecordStore* handle = openHandle();
    if (buffer == nullptr) _VM_throwNullPointer();
    if (offset < 0 || offset > buffer->length) throwOutOfRange();
    const int32_t room = buffer->length - offset;
    int32_t length = room;
    jbyte* elements = buffer->elements();
    checkRecordStatus(HAL_getRecord(handle, recordId, elements != nullptr ? elements + offset : nullptr, &length));
    if (length > room) throwOutOfRange();  // nothing was written
    return length;
}

VMPtr<RecordEnumeration> RecordStore::enumerateRecords(VMPtr<RecordFilter> filter, VMPtr<RecordComparator> comparator,
                                                       jboolean keepUpdated) {
    openHandle();
    return RecordEnumerationImpl::create()->construct(this, filter, comparator, keepUpdated);
}

jboolean RecordStore::isOpen() { return nativeStore != nullptr; }

VMPtr<VMArray<jint, 1>> RecordStore::getRecordIDs() {
    NativeRecordStore* handle = openHandle();
    int32_t count = 0;
    if (HAL_getNumRecords(handle, &count) != HAL_OK) throwStoreException();
    VMPtr<VMArray<jint, 1>> ids = VMArray<jint, 1>::create(count);
    for (int32_t k = 1; k <= count; ++k) {
        int32_t id = 0;
        if (HAL_getNthRecordID(handle, k, &id) != HAL_OK) throwStoreException();
        (*ids)[k - 1] = id;
    }
    return ids;
}

void RecordStore::tellListeners(Change change, jint recordId) {
    VMPtr<java::util::Vector> list = listeners;
    VMSynchronized lock(list);
    const jint count = list->size();
    // The listeners of this moment, in order: one that removes itself (or
    // another) while it is told does not make the walk skip or overrun.
    VMPtr<VMArray<java::lang::Object, 1>> told = VMArray<java::lang::Object, 1>::create(count);
    list->copyInto(told);
    for (jint i = 0; i < count; ++i) {
        VMPtr<RecordListener> listener(dynamic_cast<RecordListener*>(told->get(i)));
        if (listener == nullptr) continue;
        switch (change) {
            case Change::added: listener->recordAdded(this, recordId); break;
            case Change::changed: listener->recordChanged(this, recordId); break;
            case Change::deleted: listener->recordDeleted(this, recordId); break;
        }
    }
}

}  // namespace javax::microedition::rms

VM_REGISTER_CLASS(javax::microedition::rms::RecordStore, .name = "javax.microedition.rms.RecordStore")
