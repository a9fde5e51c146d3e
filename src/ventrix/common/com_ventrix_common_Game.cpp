// com.ventrix.common.Game: the base of the game's saved data.
#include "com_ventrix_common_Game.h"

#include "com_ventrix_common_Main.h"
#include "java_io_PrintStream.h"
#include "java_lang_Exception.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_System.h"

namespace com::ventrix::common {

using ts::TsCanvas;

jint Game::recordCount = 0;
VMStatic<VMArray<jbyte, 2>> Game::records;
VMStatic<VMArray<jboolean, 1>> Game::keptAsFound;

VMPtr<Game> Game::construct() {
    Super::construct();
    _VM_ensureInitialized(Main::_VM_classRecord);
    canvas = Main::canvas;
    return this;
}

void Game::allocateRecords(jint n) {
    _VM_ensureInitialized(_VM_classRecord);
    records = VMArray<jbyte, 2>::create(n);
    keptAsFound = VMArray<jboolean, 1>::create(n);
    recordCount = n;
}

void Game::loadAll() {
    for (jint kind = 0; kind < recordCount; ++kind) loadRecord(kind);
}

void Game::loadRecord(jint kind) {
    VMPtr<VMArray<jbyte, 2>> table = records;
    if (table == nullptr) return;
    VMPtr<TsCanvas> gameCanvas = canvas;
    VMPtr<VMBytes> data = gameCanvas->loadRecordStore(kind);
    const jboolean unreadable = data == nullptr && TsCanvas::lastStoreLoad == TsCanvas::STORE_UNREADABLE;
    table->set(kind, data);
    VMPtr<VMArray<jboolean, 1>> kept = keptAsFound;
    if (kept != nullptr && kind >= 0 && kind < kept->length) kept->set(kind, unreadable);
    if (data != nullptr) {
        _VM_ensureInitialized(TsCanvas::_VM_classRecord);
        TsCanvas::loadBuffer = data;
        TsCanvas::loadPosition = 0;
        try {
            readFields(kind, 0);
            return;
        } catch (java::lang::Exception* failed) {
            // A record that does not hold the kind's fields (cut short, or
            // written by another version) counts as missing.
            VMPtr<java::lang::Exception> keep(failed);
            table->set(kind, nullptr);
        }
    }
    createRecord(kind);
    if (unreadable) {
        // Saved data that cannot be read now is not lost: it stays as it is
        // for a later run, and this one plays on the defaults.
        _VM_ensureInitialized(java::lang::System::_VM_classRecord);
        VMPtr<java::lang::StringBuffer> line =
            java::lang::StringBuffer::create()->construct(VM_STR("saved data in record store \""));
        line->append(kind)->append(VM_STR("\" cannot be read: playing on the defaults, and not saving over it"));
        VMPtr<java::io::PrintStream> err = java::lang::System::err;
        err->println(line->toString());
        return;
    }
    saveRecord(kind);
}

void Game::saveRecord(jint kind) {
    VMPtr<VMArray<jbyte, 2>> table = records;
    if (table == nullptr) return;
    VMPtr<VMBytes> data = table->get(kind);
    if (data == nullptr) return;
    VMPtr<VMArray<jboolean, 1>> kept = keptAsFound;
    if (kept != nullptr && kind >= 0 && kind < kept->length && kept->get(kind)) return;
    _VM_ensureInitialized(TsCanvas::_VM_classRecord);
    TsCanvas::saveBuffer = data;
    TsCanvas::savePosition = 0;
    writeFields(kind, 0);
    VMPtr<TsCanvas> gameCanvas = canvas;
    gameCanvas->saveRecordStore(kind, data);
}

}  // namespace com::ventrix::common

VM_REGISTER_CLASS(com::ventrix::common::Game, .name = "com.ventrix.common.Game", .isAbstract = true)
