// javax.microedition.lcdui.Graphics: the MIDP drawing context. It keeps the
// drawing state (translation, colour, alpha, font, stroke, clip, blending
// mode), checks every call, translates coordinates into those of the target
// surface and hands each primitive to a native graphics context. Made by
// GameCanvas.getGraphics (over the screen buffer), Image.getGraphics (over a
// mutable image) and the display's paint path; never by application code.
#pragma once

#include "VM.h"
#include "java_lang_String.h"
#include "javax_microedition_lcdui_Font.h"
#include "javax_microedition_lcdui_Image.h"

// The platform's (hal_graphics.h and hal_screen.h), opaque here.
struct HAL_Graphics;
struct HAL_ScreenBuffer;

namespace javax::microedition::lcdui {

class Graphics : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Graphics, java::lang::Object)

public:
    static constexpr jint HCENTER = 1;
    static constexpr jint VCENTER = 2;
    static constexpr jint LEFT = 4;
    static constexpr jint RIGHT = 8;
    static constexpr jint TOP = 16;
    static constexpr jint BOTTOM = 32;
    static constexpr jint BASELINE = 64;
    static constexpr jint SOLID = 0;
    static constexpr jint DOTTED = 1;

    // The clip in surface coordinates: x1, y1 inclusive, x2, y2 exclusive;
    // empty is 0, 0, 0, 0.
    jshort clipX1 = 0, clipY1 = 0, clipX2 = 0, clipY2 = 0;
    jshort surfaceWidth = 0, surfaceHeight = 0;  // masked to 15 bits
    jint translateX = 0, translateY = 0;
    jint color = 0;  // 0x00RRGGBB
    jint alpha = 0;  // 255 opaque
    jint grayLevel = 0;
    jboolean grayValid = false;
    jint strokeStyle = 0;
    VMField<Font> font;
    jint blendingMode = 0;
    HAL_Graphics* nativeContext = nullptr;  // owned
    VMField<Image> targetImage;             // null for a screen buffer or a displayable

    ~Graphics() override;

    // Binding (not virtual). A failing platform call is a fatal stop.
    static VMPtr<Graphics> forScreenBuffer(HAL_ScreenBuffer* screenBuffer);
    // A Graphics that owns context; the context is deleted when the object
    // cannot be made.
    static VMPtr<Graphics> forContext(HAL_Graphics* context, jint width, jint height);
    static VMPtr<Graphics> forImage(VMPtr<Image> image);
    void initWithContext(HAL_Graphics* context, jint width, jint height);
    void initWithImage(VMPtr<Image> image);
    // Size masked to 15 bits, translation 0, clip the whole surface.
    void setDimensions(jint width, jint height);
    // Default font, opaque black, solid, blending mode 0; told to the native
    // context too when push.
    void resetState(bool push);
    void drawScreenBuffer(HAL_ScreenBuffer* screenBuffer);
    // Deletes the native context; later drawing does nothing.
    void releaseNative();

    virtual void translate(jint x, jint y);
    virtual jint getTranslateX();
    virtual jint getTranslateY();
    virtual jint getColor();
    virtual jint getRedComponent();
    virtual jint getGreenComponent();
    virtual jint getBlueComponent();
    virtual jint getGrayScale();
    virtual void setColor(jint rgb);
    virtual void setColor(jint red, jint green, jint blue);
    virtual void setGrayScale(jint value);
    virtual VMPtr<Font> getFont();
    virtual void setFont(VMPtr<Font> font);
    virtual jint getStrokeStyle();
    virtual void setStrokeStyle(jint style);
    virtual jint getClipX();
    virtual jint getClipY();
    virtual jint getClipWidth();
    virtual jint getClipHeight();
    virtual void clipRect(jint x, jint y, jint width, jint height);
    virtual void setClip(jint x, jint y, jint width, jint height);
    virtual void drawLine(jint x1, jint y1, jint x2, jint y2);
    virtual void fillRect(jint x, jint y, jint width, jint height);
    virtual void drawRect(jint x, jint y, jint width, jint height);
    virtual void drawRoundRect(jint x, jint y, jint width, jint height, jint arcWidth, jint arcHeight);
    virtual void fillRoundRect(jint x, jint y, jint width, jint height, jint arcWidth, jint arcHeight);
    virtual void fillArc(jint x, jint y, jint width, jint height, jint startAngle, jint arcAngle);
    virtual void drawArc(jint x, jint y, jint width, jint height, jint startAngle, jint arcAngle);
    virtual void drawString(VMPtr<java::lang::String> str, jint x, jint y, jint anchor);
    virtual void drawSubstring(VMPtr<java::lang::String> str, jint offset, jint len, jint x, jint y, jint anchor);
    virtual void drawChar(jchar character, jint x, jint y, jint anchor);
    virtual void drawChars(VMPtr<VMArray<jchar, 1>> data, jint offset, jint length, jint x, jint y, jint anchor);
    virtual void drawImage(VMPtr<Image> img, jint x, jint y, jint anchor);
    virtual void drawRegion(VMPtr<Image> src, jint xSrc, jint ySrc, jint width, jint height, jint transform, jint xDest,
                            jint yDest, jint anchor);
    virtual void copyArea(jint xSrc, jint ySrc, jint width, jint height, jint xDest, jint yDest, jint anchor);
    virtual void fillTriangle(jint x1, jint y1, jint x2, jint y2, jint x3, jint y3);
    virtual void drawRGB(VMPtr<VMArray<jint, 1>> rgbData, jint offset, jint scanlength, jint x, jint y, jint width,
                         jint height, jboolean processAlpha);
    virtual jint getDisplayColor(jint color);
    virtual jint getAlphaColor();
    virtual void setAlphaColor(jint alpha, jint red, jint green, jint blue);
    virtual void setAlphaColor(jint argb);
    virtual jint getAlpha();
    virtual void setAlpha(jint alpha);
    virtual jint getBlendingMode();
    // 0 always; 1 only on an image with alpha; else IllegalArgumentException.
    virtual void setBlendingMode(jint mode);
    virtual void fillGradientRect(jint x, jint y, jint width, jint height, jint colorA, jint colorB,
                                  jboolean horizontal);

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(font, bits);
        _VM_markRef(targetImage, bits);
    }

    // The anchor rules shared by the drawing operations (exposed for tests).
    static bool isValidAnchor(jint anchor, jint illegalBits);
    static bool applyAnchor(jint& x, jint& y, jint width, jint height, jint anchor, jint transform);

private:
    void emptyClip();
    void pushColor();
    void drawText(const jchar* chars, jint length, jint x, jint y, jint anchor);
};

}  // namespace javax::microedition::lcdui
