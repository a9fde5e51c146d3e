// com.ventrix.utility.MyFont
#include "com_ventrix_utility_MyFont.h"

#include "ts_Resources.h"

namespace com::ventrix::utility {

VMStatic<MyFont> MyFont::instance;
VMStatic<MyFont::Ints> MyFont::fontResourceIds;

void MyFont::_VM_clinit() { instance = nullptr; }

VMPtr<MyFont> MyFont::construct() {
    Super::construct();
    richFont = ts::util::text::RichFont::create()->construct();
    return this;
}

VMPtr<MyFont> MyFont::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr) instance = create()->construct();
    return instance;
}

void MyFont::selectFont(jint index) {
    VMPtr<VMArray<ts::Gob, 2>> gobs = fontGobs;
    if (gobs == nullptr || gobs->get(index) == nullptr) loadFont(index);
    VMPtr<Ints> loaded = loadedFontIds;
    if (loaded == nullptr) _VM_throwNullPointer();
    const jint id = loaded->get(index);
    if (currentFont == id) return;
    gobs = fontGobs;
    VMPtr<ts::util::text::RichFont> font = richFont;
    font->setGlyphs(gobs->get(index));
    currentFont = id;
}

void MyFont::setFontResourceIds(VMPtr<Ints> ids) {
    _VM_ensureInitialized(_VM_classRecord);
    if (ids == nullptr) _VM_throwNullPointer();
    VMPtr<Ints> copy = Ints::create(ids->length);
    for (jint i = 0; i < ids->length; ++i) (*copy)[i] = (*ids)[i];
    fontResourceIds = copy;
}

void MyFont::loadFont(jint index) {
    _VM_ensureInitialized(_VM_classRecord);
    VMPtr<Ints> ids = fontResourceIds;
    if (ids == nullptr) return;
    if (loadedFontIds == nullptr) loadedFontIds = Ints::create(ids->length);
    if (fontGobs == nullptr) fontGobs = VMArray<ts::Gob, 2>::create(ids->length);
    VMPtr<Ints> loaded = loadedFontIds;
    VMPtr<VMArray<ts::Gob, 2>> gobs = fontGobs;
    const jint id = ids->get(index);
    if (loaded->get(index) == id) return;
    gobs->set(index, nullptr);
    // Marked loaded only once read: a font that fails to load is tried again.
    gobs->set(index, ts::Resources::getGobs(id));
    (*loaded)[index] = id;
    ts::Resources::unloadPack();
}

void MyFont::loadTexts(jint resourceId) {
    textResourceId = resourceId;
    texts = ts::Resources::getTranslation(resourceId);
    ts::Resources::unloadPack();
}

}  // namespace com::ventrix::utility

VM_REGISTER_CLASS(com::ventrix::utility::MyFont, .name = "com.ventrix.utility.MyFont",
                  .staticInit = com::ventrix::utility::MyFont::_VM_clinit,
                  .newInstance = _VM_newInstanceOf<com::ventrix::utility::MyFont>)
