// ts.util.IntHashtable$Entry: one key and value of an IntHashtable, linked into the chain of its bucket.
#include "ts_util_IntHashtable_TSC_Entry.h"

namespace ts::util {

VMPtr<IntHashtable_TSC_Entry> IntHashtable_TSC_Entry::construct() {
    Super::construct();
    return this;
}

VMPtr<java::lang::Object> IntHashtable_TSC_Entry::clone() {
    // Iterative, so that a long chain cannot exhaust the native stack: the
    // copies are made head first and each is linked behind the previous one.
    VMPtr<IntHashtable_TSC_Entry> head = create()->construct();
    head->key = key;
    head->value = value;
    VMPtr<IntHashtable_TSC_Entry> last = head;
    for (VMPtr<IntHashtable_TSC_Entry> from = next; from != nullptr; from = from->next) {
        VMPtr<IntHashtable_TSC_Entry> copy = create()->construct();
        copy->key = from->key;
        copy->value = from->value;
        last->next = copy;
        last = copy;
    }
    return head;
}

}  // namespace ts::util

VM_REGISTER_CLASS(ts::util::IntHashtable_TSC_Entry, .name = "ts.util.IntHashtable$Entry",
                  .newInstance = _VM_newInstanceOf<ts::util::IntHashtable_TSC_Entry>)
