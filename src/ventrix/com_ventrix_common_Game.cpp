// com.ventrix.common.Game
#include "com_ventrix_common_Game.h"

#include "com_ventrix_common_Main.h"
#include "java_lang_Exception.h"

namespace com::ventrix::common {

using ts::TsCanvas;

jint Game::recordCount = 0;
VMStatic<VMArray<jbyte, 2>> Game::records;

VMPtr<Game> Game::construct() {
    Super::construct();
    _VM_ensureInitialized(Main::_VM_classRecord);
    canvas = Main::canvas;
    return this;
}

void Game::allocateRecords(jint n) {
    _VM_ensureInitialized(_VM_classRecord);
    records = VMArray<jbyte, 2>::create(n);
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
    table->set(kind, data);
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
    saveRecord(kind);
}

void Game::saveRecord(jint kind) {
    VMPtr<VMArray<jbyte, 2>> table = records;
    if (table == nullptr) return;
    VMPtr<VMBytes> data = table->get(kind);
    if (data == nullptr) return;
    _VM_ensureInitialized(TsCanvas::_VM_classRecord);
    TsCanvas::saveBuffer = data;
    TsCanvas::savePosition = 0;
    writeFields(kind, 0);
    VMPtr<TsCanvas> gameCanvas = canvas;
    gameCanvas->saveRecordStore(kind, data);
}

}  // namespace com::ventrix::common

VM_REGISTER_CLASS(com::ventrix::common::Game, .name = "com.ventrix.common.Game", .isAbstract = true)
