// javax.microedition.lcdui.Font: a face, a style and a size bound to a
// native font of the platform, which measures and draws the text. Fonts come
// only from getFont and getDefaultFont; equal requests give the same object.
#pragma once

#include "VM.h"
#include "java_lang_String.h"
#include "java_util_Hashtable.h"

struct HAL_Font;  // the platform's (hal_font.h), opaque here

namespace javax::microedition::lcdui {

class Font : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Font, java::lang::Object)

public:
    static constexpr jint FACE_SYSTEM = 0;
    static constexpr jint FACE_MONOSPACE = 32;
    static constexpr jint FACE_PROPORTIONAL = 64;
    static constexpr jint STYLE_PLAIN = 0;
    static constexpr jint STYLE_BOLD = 1;
    static constexpr jint STYLE_ITALIC = 2;
    static constexpr jint STYLE_UNDERLINED = 4;
    static constexpr jint SIZE_MEDIUM = 0;
    static constexpr jint SIZE_SMALL = 8;
    static constexpr jint SIZE_LARGE = 16;

    jint face = 0;
    jint style = 0;
    jint size = 0;
    jint height = 0;
    jint baselinePosition = 0;
    HAL_Font* nativeFont = nullptr;  // owned by the platform's font cache

    // Integer(face | style | size) -> Font; every font made stays here.
    static VMStatic<java::util::Hashtable> table;
    static VMStatic<Font> defaultFont;
    static void _VM_clinit();

    // IllegalArgumentException "Unsupported face", "Unsupported style" or
    // "Unsupported size", checked in that order.
    static VMPtr<Font> getFont(jint face, jint style, jint size);
    // System, plain, medium; made on first use and not entered in the table.
    static VMPtr<Font> getDefaultFont();

    // Binds the native font; a platform that cannot make it is a fatal stop.
    VMPtr<Font> construct(jint face, jint style, jint size);

    virtual jint getStyle();
    virtual jint getSize();
    virtual jint getFace();
    virtual jboolean isPlain();
    virtual jboolean isBold();
    virtual jboolean isItalic();
    virtual jboolean isUnderlined();
    virtual jint getHeight();
    virtual jint getBaselinePosition();
    virtual jint charWidth(jchar ch);
    // NullPointerException for null; ArrayIndexOutOfBoundsException for a
    // range outside the array.
    virtual jint charsWidth(VMPtr<VMArray<jchar, 1>> ch, jint offset, jint length);
    // NullPointerException for null; ArrayIndexOutOfBoundsException for a
    // range outside the string.
    virtual jint substringWidth(VMPtr<java::lang::String> str, jint offset, jint len);
    virtual jint stringWidth(VMPtr<java::lang::String> str);
};

}  // namespace javax::microedition::lcdui
