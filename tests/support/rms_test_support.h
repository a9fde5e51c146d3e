// Helpers shared by the record-store class tests: a booted runtime with a
// program folder of its own, and byte records as text.
#pragma once

#include <cstdlib>
#include <string>

#include "javax_microedition_rms_RecordStore.h"
#include "program_dir.h"
#include "vm_test.h"

namespace rmstest {

using javax::microedition::rms::RecordStore;

inline VMPtr<VMBytes> bytes(const std::string& raw) {
    VMPtr<VMBytes> array = VMBytes::create(jint(raw.size()));
    for (size_t i = 0; i < raw.size(); ++i) (*array)[jint(i)] = jbyte(raw[i]);
    return array;
}

inline std::string text(const VMPtr<VMBytes>& array) {
    if (array == nullptr) return "<null>";
    return std::string(reinterpret_cast<const char*>(array->elements()), size_t(array->length));
}

// Booted, with its program folder in place, before the members of a derived
// fixture are made.
class RmsTest : public VMTest {
protected:
    TempProgramDir dir{"rms"};

    RmsTest() {
        vmTestBoot();
        ::unsetenv("VESSILO_DATABASE_DIR");
    }
    static VMPtr<RecordStore> open(const char* name, bool create = true) {
        return RecordStore::openRecordStore(java::lang::String::_VM_fromUTF8(name), create);
    }
    static jint add(const VMPtr<RecordStore>& store, const std::string& content) {
        return store->addRecord(bytes(content), 0, jint(content.size()));
    }
};

}  // namespace rmstest
