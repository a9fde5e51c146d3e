// javax.microedition.lcdui.Font: a face, a style and a size bound to a native font.
#include "javax_microedition_lcdui_Font.h"

#include "hal_font.h"
#include "hal_system.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_Integer.h"
#include "javax_microedition_lcdui_Display.h"

namespace javax::microedition::lcdui {

using java::lang::IllegalArgumentException;
using java::lang::String;

VMStatic<java::util::Hashtable> Font::table;
VMStatic<Font> Font::defaultFont;

namespace {

[[noreturn]] void unsupported(const char* what) {
    _VM_throw(IllegalArgumentException::create()->construct(String::_VM_fromUTF8(what)));
}

// The six checks of a (offset, length) range against a length of n.
void checkRange(jint n, jint offset, jint length) {
    if (offset < 0 || offset > n || length < 0 || length > n || offset + length < 0 || offset + length > n) {
        _VM_throwArrayIndexOutOfBoundsException(offset < 0 || offset > n ? offset : offset + length);
    }
}

}  // namespace

void Font::_VM_clinit() {
    table = java::util::Hashtable::create()->construct(4);
    defaultFont = nullptr;
}

VMPtr<Font> Font::getFont(jint face, jint style, jint size) {
    _VM_ensureInitialized(_VM_classRecord);
    if (face != FACE_SYSTEM && face != FACE_MONOSPACE && face != FACE_PROPORTIONAL) unsupported("Unsupported face");
    if ((style & ~7) != 0) unsupported("Unsupported style");
    if (size != SIZE_SMALL && size != SIZE_MEDIUM && size != SIZE_LARGE) unsupported("Unsupported size");
    _VM_ensureInitialized(Display::_VM_classRecord);
    VMSynchronized lock(Display::displayLock);
    VMPtr<java::lang::Integer> key = java::lang::Integer::create()->construct(face | style | size);
    VMPtr<java::lang::Object> found = table->get(key);
    if (auto* font = dynamic_cast<Font*>(found.get())) return VMPtr<Font>(font);
    VMPtr<Font> font = Font::create()->construct(face, style, size);
    table->put(key, font);
    return font;
}

VMPtr<Font> Font::getDefaultFont() {
    _VM_ensureInitialized(_VM_classRecord);
    _VM_ensureInitialized(Display::_VM_classRecord);
    VMSynchronized lock(Display::displayLock);
    if (defaultFont == nullptr) defaultFont = Font::create()->construct(FACE_SYSTEM, STYLE_PLAIN, SIZE_MEDIUM);
    return defaultFont;
}

VMPtr<Font> Font::construct(jint faceValue, jint styleValue, jint sizeValue) {
    Super::construct();
    HAL_Font* made = nullptr;
    if (HAL_getFont(&made, faceValue, styleValue, sizeValue) != HAL_OK) HAL_fatalError("HAL_getFont() failed.");
    nativeFont = made;
    face = faceValue;
    style = styleValue;
    size = sizeValue;
    height = HAL_getFontHeight(made);
    baselinePosition = HAL_getFontBaseline(made);
    return this;
}

jint Font::getStyle() { return style; }
jint Font::getSize() { return size; }
jint Font::getFace() { return face; }
jboolean Font::isPlain() { return style == STYLE_PLAIN; }
jboolean Font::isBold() { return (style & STYLE_BOLD) != 0; }
jboolean Font::isItalic() { return (style & STYLE_ITALIC) != 0; }
jboolean Font::isUnderlined() { return (style & STYLE_UNDERLINED) != 0; }
jint Font::getHeight() { return height; }
jint Font::getBaselinePosition() { return baselinePosition; }

jint Font::charWidth(jchar ch) { return HAL_getCharsWidth(nativeFont, &ch, 1); }

jint Font::charsWidth(VMPtr<VMArray<jchar, 1>> ch, jint offset, jint length) {
    if (ch == nullptr) _VM_throwNullPointer();
    checkRange(ch->length, offset, length);
    if (length == 0) return 0;
    return HAL_getCharsWidth(nativeFont, ch->elements() + offset, length);
}

jint Font::substringWidth(VMPtr<String> str, jint offset, jint len) {
    if (str == nullptr) _VM_throwNullPointer();
    checkRange(str->length(), offset, len);
    if (len == 0) return 0;
    return HAL_getCharsWidth(nativeFont, str->_VM_chars() + offset, len);
}

jint Font::stringWidth(VMPtr<String> str) {
    if (str == nullptr) _VM_throwNullPointer();
    return HAL_getCharsWidth(nativeFont, str->_VM_chars(), str->length());
}

}  // namespace javax::microedition::lcdui

VM_REGISTER_CLASS(javax::microedition::lcdui::Font, .name = "javax.microedition.lcdui.Font",
                  .staticInit = javax::microedition::lcdui::Font::_VM_clinit)
