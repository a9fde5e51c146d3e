// ts.GobSet: a record grouping image parts with an animation set; made by name.
#include "ts_GobSet.h"

namespace ts {

VMPtr<GobSet> GobSet::construct() {
    Super::construct();
    return this;
}

jshort GobSet::getFirst() { return first; }
void GobSet::setFirst(jshort value) { first = value; }
VMPtr<VMArray<Gob, 1>> GobSet::getGobs() { return gobs; }
jbyte GobSet::getFlag() { return flag; }
void GobSet::setFlag(jbyte value) { flag = value; }
void GobSet::setSecond(jshort value) { second = value; }
jshort GobSet::getSecond() { return second; }
void GobSet::setGobs(VMPtr<VMArray<Gob, 1>> value) { gobs = value; }
void GobSet::setAnimSet(VMPtr<AnimSet> value) { animSet = value; }
VMPtr<AnimSet> GobSet::getAnimSet() { return animSet; }

}  // namespace ts

VM_REGISTER_CLASS(ts::GobSet, .name = "ts.GobSet", .newInstance = _VM_newInstanceOf<ts::GobSet>)
