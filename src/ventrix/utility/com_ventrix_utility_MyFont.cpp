// com.ventrix.utility.MyFont: the game's text table, text renderer and bitmap fonts.
#include "com_ventrix_utility_MyFont.h"

#include "com_ventrix_common_Main.h"
#include "ts_Resources.h"

namespace com::ventrix::utility {

VMStatic<MyFont> MyFont::instance;
VMStatic<VMInts> MyFont::fontResourceIds;

void MyFont::_VM_clinit() { instance = nullptr; }

void MyFont::markReferences(uint32_t bits) {
    _VM_markRef(texts, bits);
    _VM_markRef(richFont, bits);
    _VM_markRef(fontGobs, bits);
    _VM_markRef(fontParameters, bits);
    _VM_markRef(loadedFontIds, bits);
}

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

void MyFont::setFontParameters(VMPtr<VMInts> values) {
    if (values == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> copy = VMInts::create(values->length);
    for (jint i = 0; i < values->length; ++i) (*copy)[i] = (*values)[i];
    fontParameters = copy;
}

jint MyFont::getFontParameter(jint index) {
    VMPtr<VMInts> values = fontParameters;
    return values == nullptr ? 0 : values->get(index);
}

jint MyFont::getTextResourceId() { return textResourceId; }

void MyFont::release() {
    VMPtr<VMInts> loaded = loadedFontIds;
    if (loaded != nullptr) {
        for (jint i = 0; i < loaded->length; ++i) (*loaded)[i] = -1;
    }
    currentFont = -1;
    textResourceId = -1;
    richFont = nullptr;
    texts = nullptr;
}

bool MyFont::isFont(jint font) {
    _VM_ensureInitialized(_VM_classRecord);
    VMInts* ids = fontResourceIds.get();
    return ids != nullptr && font >= 0 && font < ids->length && richFont != nullptr;
}

void MyFont::useFont(jint font) {
    if (!isFont(font)) return;
    // Plain pointers: nothing allocates between the reads and the hand-over
    // except loadFont, after which the tables are read again.
    VMArray<ts::Gob, 2>* gobs = fontGobs.get();
    if (gobs == nullptr || font >= gobs->length || gobs->get(font) == nullptr) {
        loadFont(font);
        gobs = fontGobs.get();
    }
    VMInts* loaded = loadedFontIds.get();
    // Tables made for fewer fonts than the ids now name hold no such font.
    if (loaded == nullptr || font >= loaded->length) return;
    const jint id = (*loaded)[font];
    if (currentFont == id) return;
    currentFont = id;
    richFont->setGlyphs(gobs->get(font));
}

void MyFont::setFontResourceIds(VMPtr<VMInts> ids) {
    _VM_ensureInitialized(_VM_classRecord);
    if (ids == nullptr) _VM_throwNullPointer();
    VMPtr<VMInts> copy = VMInts::create(ids->length);
    for (jint i = 0; i < ids->length; ++i) (*copy)[i] = (*ids)[i];
    fontResourceIds = copy;
}

void MyFont::loadFont(jint font) {
    if (!isFont(font)) return;
    VMPtr<VMInts> ids = fontResourceIds;
    if (loadedFontIds == nullptr) loadedFontIds = VMInts::create(ids->length);
    if (fontGobs == nullptr) fontGobs = VMArray<ts::Gob, 2>::create(ids->length);
    VMPtr<VMInts> loaded = loadedFontIds;
    VMPtr<VMArray<ts::Gob, 2>> gobs = fontGobs;
    if (font >= loaded->length || font >= gobs->length) return;
    const jint id = (*ids)[font];
    if ((*loaded)[font] == id) return;
    gobs->set(font, nullptr);
    // Marked loaded only once read: a font that fails to load is tried again.
    gobs->set(font, ts::Resources::getGobs(id));
    (*loaded)[font] = id;
    ts::Resources::unloadPack();
}

void MyFont::unloadFont(jint font) {
    VMPtr<VMInts> loaded = loadedFontIds;
    if (loaded == nullptr || font < 0 || font >= loaded->length) return;
    VMPtr<VMArray<ts::Gob, 2>> gobs = fontGobs;
    if (gobs != nullptr && font < gobs->length) gobs->set(font, nullptr);
    (*loaded)[font] = -1;
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
