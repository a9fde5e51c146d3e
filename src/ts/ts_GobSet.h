// ts.GobSet: a plain record grouping an array of image parts with an
// animation set and three small values; made by name through the class
// registry.
#pragma once

#include "ts_AnimSet.h"
#include "ts_Gob.h"

namespace ts {

class GobSet : public virtual java::lang::Object {
    VM_DECLARE_CLASS(GobSet, java::lang::Object)

public:
    jshort first = 0;
    VMField<AnimSet> animSet;
    jshort second = 0;
    VMField<VMArray<Gob, 1>> gobs;
    jbyte flag = 0;

    VMPtr<GobSet> construct();

    virtual jshort getFirst();
    virtual void setFirst(jshort value);
    virtual VMPtr<VMArray<Gob, 1>> getGobs();
    virtual jbyte getFlag();
    virtual void setFlag(jbyte value);
    virtual void setSecond(jshort value);
    virtual jshort getSecond();
    virtual void setGobs(VMPtr<VMArray<Gob, 1>> value);
    virtual void setAnimSet(VMPtr<AnimSet> value);
    virtual VMPtr<AnimSet> getAnimSet();

    void markReferences(uint32_t bits) override {
        Object::markReferences(bits);
        _VM_markRef(animSet, bits);
        _VM_markRef(gobs, bits);
    }
};

}  // namespace ts
