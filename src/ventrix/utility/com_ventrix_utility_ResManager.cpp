// com.ventrix.utility.ResManager: the resource cache that the objects of a scene share.
#include "com_ventrix_utility_ResManager.h"

#include <algorithm>

#include "java_lang_System.h"
#include "ts_Resources.h"

namespace com::ventrix::utility {

jint ResManager::capacity = START_CAPACITY;
jint ResManager::growStep = START_CAPACITY;
jint ResManager::usedSlots = 0;
jint ResManager::firstIndex = -1;
jint ResManager::secondIndex = -1;
VMStatic<ResManager> ResManager::instance;
VMStatic<VMArray<ts::Gob, 2>> ResManager::gobCache;
VMStatic<VMArray<ts::AnimSet, 1>> ResManager::animCache;
VMStatic<VMArray<jint, 2>> ResManager::slotKeys;
VMStatic<VMInts> ResManager::animRefs;
VMStatic<VMInts> ResManager::gobRefs;

void ResManager::_VM_clinit() { instance = nullptr; }

VMPtr<ResManager> ResManager::construct() {
    Super::construct();
    capacity = growStep = START_CAPACITY;
    gobCache = VMArray<ts::Gob, 2>::create(capacity);
    gobRefs = VMInts::create(capacity);
    animCache = VMArray<ts::AnimSet, 1>::create(capacity);
    animRefs = VMInts::create(capacity);
    slotKeys = VMArray<jint, 2>::create(3, capacity);
    firstIndex = secondIndex = -1;
    usedSlots = 0;
    return this;
}

jint ResManager::findSlot(jint kind, jint id) {
    VMPtr<VMArray<jint, 2>> keys = slotKeys;
    VMPtr<VMInts> ids = keys->get(kind);
    VMPtr<VMInts> boundTo = keys->get(KEY_ANIM_GOBS);
    // An animation set counts only when it was bound to the image entry just
    // settled; one loaded without images is bound to none (-1).
    const jint bound = kind == KEY_ANIM && firstIndex != -1 ? (*boundTo)[firstIndex] : FREE;
    jint found = usedSlots;
    for (jint i = 0; i < usedSlots; ++i) {
        if ((*ids)[i] != id) continue;
        if (kind == KEY_ANIM && (*boundTo)[i] != bound) continue;
        found = i;
    }
    return found;
}

void ResManager::load(jint gobId, jint animId) {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr || gobCache == nullptr) instance = create()->construct();
    bool fresh = false;
    VMPtr<VMArray<jint, 2>> keys = slotKeys;
    if (gobId == -1) {
        firstIndex = -1;
    } else {
        firstIndex = findSlot(KEY_GOBS, gobId);
        if (firstIndex == usedSlots) {
            fresh = true;
            VMPtr<Gobs> gobs = ts::Resources::getGobs(gobId);
            VMPtr<VMArray<ts::Gob, 2>> cache = gobCache;
            cache->set(firstIndex, gobs);
            (*keys->get(KEY_GOBS))[firstIndex] = gobId;
            ts::Resources::unloadPack();
        }
        VMPtr<VMInts> refs = gobRefs;
        (*refs)[firstIndex] += 1;
    }
    if (animId == -1) {
        secondIndex = -1;
    } else {
        secondIndex = findSlot(KEY_ANIM, animId);
        if (secondIndex == usedSlots) {
            fresh = true;
            VMPtr<ts::AnimSet> set = ts::Resources::getAnimSet(animId);
            VMPtr<VMArray<ts::AnimSet, 1>> cache = animCache;
            cache->set(secondIndex, set);
            VMPtr<VMArray<ts::Gob, 2>> gobTable = gobCache;
            if (firstIndex != -1) set->setGobs(VMPtr<Gobs>(gobTable->get(firstIndex)));
            (*keys->get(KEY_ANIM))[secondIndex] = animId;
            (*keys->get(KEY_ANIM_GOBS))[secondIndex] = gobId;
            ts::Resources::unloadPack();
        }
        VMPtr<VMInts> refs = animRefs;
        (*refs)[secondIndex] += 1;
    }
    if (fresh) ++usedSlots;
    if (usedSlots == capacity) grow();
}

void ResManager::grow() {
    growStep = std::max(std::min(capacity / 2, 15), START_CAPACITY);
    const jint size = capacity + growStep;
    VMPtr<VMArray<ts::Gob, 2>> gobs = VMArray<ts::Gob, 2>::create(size);
    VMPtr<VMArray<ts::AnimSet, 1>> anims = VMArray<ts::AnimSet, 1>::create(size);
    VMPtr<VMInts> gobCounts = VMInts::create(size);
    VMPtr<VMInts> animCounts = VMInts::create(size);
    VMPtr<VMArray<jint, 2>> keys = VMArray<jint, 2>::create(3, size);
    using java::lang::System;
    System::arraycopy(gobCache, 0, gobs, 0, capacity);
    System::arraycopy(animCache, 0, anims, 0, capacity);
    System::arraycopy(gobRefs, 0, gobCounts, 0, capacity);
    System::arraycopy(animRefs, 0, animCounts, 0, capacity);
    VMPtr<VMArray<jint, 2>> oldKeys = slotKeys;
    for (jint row = 0; row < 3; ++row)
        System::arraycopy(VMPtr<VMInts>(oldKeys->get(row)), 0, VMPtr<VMInts>(keys->get(row)), 0, capacity);
    gobCache = gobs;
    animCache = anims;
    gobRefs = gobCounts;
    animRefs = animCounts;
    slotKeys = keys;
    capacity = size;
}

jint ResManager::getFirstIndex() {
    _VM_ensureInitialized(_VM_classRecord);
    return firstIndex;
}

jint ResManager::getSecondIndex() {
    _VM_ensureInitialized(_VM_classRecord);
    return secondIndex;
}

bool ResManager::isHeld(jint slot, VMPtr<VMInts> refs) {
    return slot >= 0 && slot < usedSlots && refs != nullptr && slot < refs->length && (*refs)[slot] > 0;
}

void ResManager::release(jint gobSlot, jint animSlot) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<VMArray<jint, 2>> keys = slotKeys;
    if (gobCache == nullptr || keys == nullptr) return;  // destroyed or never made
    // A slot not handed out, or one without holders, is left alone.
    VMPtr<VMInts> refs = gobRefs;
    if (isHeld(gobSlot, refs) && (*refs)[gobSlot]-- == 1) {
        VMPtr<VMArray<ts::Gob, 2>> cache = gobCache;
        cache->set(gobSlot, nullptr);
        (*keys->get(KEY_GOBS))[gobSlot] = FREE;
    }
    refs = animRefs;
    if (isHeld(animSlot, refs) && (*refs)[animSlot]-- == 1) {
        VMPtr<VMArray<ts::AnimSet, 1>> cache = animCache;
        cache->set(animSlot, nullptr);
        (*keys->get(KEY_ANIM))[animSlot] = FREE;
        (*keys->get(KEY_ANIM_GOBS))[animSlot] = FREE;
    }
}

void ResManager::emptyTables() {
    VMPtr<VMArray<ts::Gob, 2>> gobs = gobCache;
    VMPtr<VMArray<ts::AnimSet, 1>> anims = animCache;
    VMPtr<VMInts> gobCounts = gobRefs;
    VMPtr<VMInts> animCounts = animRefs;
    for (jint i = 0; i < capacity; ++i) {
        gobs->set(i, nullptr);
        anims->set(i, nullptr);
        (*gobCounts)[i] = 0;
        (*animCounts)[i] = 0;
    }
    VMPtr<VMArray<jint, 2>> keys = slotKeys;
    for (jint row = 0; row < 3; ++row) {
        VMPtr<VMInts> ids = keys->get(row);
        std::fill_n(ids->elements(), ids->length, FREE);
    }
}

void ResManager::clear() {
    _VM_ensureInitialized(_VM_classRecord);
    ts::Resources::forgetDecodedImages();
    firstIndex = secondIndex = -1;
    usedSlots = 0;
    if (gobCache == nullptr) return;  // no cache made yet, or destroyed
    emptyTables();
}

void ResManager::destroy() {
    _VM_ensureInitialized(_VM_classRecord);
    ts::Resources::forgetDecodedImages();
    if (gobCache != nullptr) emptyTables();
    gobCache = nullptr;
    animCache = nullptr;
    capacity = growStep = START_CAPACITY;
    firstIndex = secondIndex = -1;
    usedSlots = 0;
    // The next load starts the cache afresh.
    instance = nullptr;
}

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::ResManager, .name = "com.ventrix.utility.ResManager",
                  .staticInit = com::ventrix::utility::ResManager::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<com::ventrix::utility::ResManager>)
