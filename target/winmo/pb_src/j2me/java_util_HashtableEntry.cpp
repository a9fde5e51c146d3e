// java.util.HashtableEntry: one key-value pair of a Hashtable bucket chain.
#include "java_util_HashtableEntry.h"

namespace java::util {

VMPtr<HashtableEntry> HashtableEntry::construct() {
    Super::construct();
    return this;
}

}  // namespace java::util

// Registered under the table's source name: entries exist only inside tables.
VM_REGISTER_CLASS(java::util::HashtableEntry, .name = "java.util.HashtableEntry",
                  .sourceName = "target/winmo/pb_src/j2me/java_util_Hashtable",
                  .newInstance = _VM_newInstanceOf<java::util::HashtableEntry>)
