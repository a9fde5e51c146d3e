// javax.microedition.lcdui.Ticker: a line of text that a displayable may show
// running across its screen. The displayable hands the text to its peer when
// the ticker is set.
#pragma once

#include "VMClass.h"
#include "java_lang_String.h"

namespace javax::microedition::lcdui {

class Ticker : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Ticker, java::lang::Object)

public:
    VMField<java::lang::String> text;  // never null

    // NullPointerException for a null string.
    VMPtr<Ticker> construct(VMPtr<java::lang::String> str);

    virtual VMPtr<java::lang::String> getString();
    // NullPointerException for a null string.
    virtual void setString(VMPtr<java::lang::String> str);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(text, bits);
    }
};

}  // namespace javax::microedition::lcdui
