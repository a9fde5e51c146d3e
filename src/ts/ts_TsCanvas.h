// ts.TsCanvas: the framework's game canvas. It runs the game on a thread of
// its own (the frame loop): it waits until the canvas is shown, delivers the
// start event, then every frame delivers pending pause and resume events,
// latches the input, calls the tick and, while shown, paints a frame. Keys and
// touches become the 63 framework key actions; saved data goes through two
// byte buffers and record stores; levels are read from bit streams.
//
// Life-cycle codes handed to onEvent: 0 start, 1 pause, 2 resume, 3 exit,
// 5 right after a resume. Pause and resume reach onEvent on the canvas
// thread, a resume only once the canvas has been shown for 750 ms; posted
// events reach it at once on the posting thread.
//
// The canvas's monitor guards the life-cycle flags and the input key buffer;
// the frame loop waits on it, and every input entry notifies it. The game's
// tick and paint run without it.
#pragma once

#include <vector>

#include "VM.h"
#include "java_io_DataInputStream.h"
#include "java_lang_Runnable.h"
#include "java_lang_String.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_Thread.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_Image.h"
#include "javax_microedition_lcdui_game_GameCanvas.h"
#include "javax_microedition_midlet_MIDlet.h"
#include "ts_AnimSet.h"
#include "ts_Gob.h"
#include "ts_util_text_RichFont.h"

namespace ts {

class TsCanvas : public javax::microedition::lcdui::game::GameCanvas, public virtual java::lang::Runnable {
    VM_DECLARE_ABSTRACT_CLASS(TsCanvas, javax::microedition::lcdui::game::GameCanvas)

public:
    static constexpr jint EVENT_START = 0;
    static constexpr jint EVENT_PAUSE = 1;
    static constexpr jint EVENT_RESUME = 2;
    static constexpr jint EVENT_EXIT = 3;
    static constexpr jint EVENT_AFTER_RESUME = 5;

    static constexpr jint MAX_FRAME_TIME = 1000;  // ms
    static constexpr jint RESUME_DELAY = 750;     // ms shown before a resume
    static constexpr jint MAX_TIME_DEBT = 500;    // ms, either way

    // Key states: one byte per key action (1 to 63; the buffers have 128).
    static constexpr jint KEY_STATE_COUNT = 128;
    static constexpr jint KEY_PRESS_COUNT = 0x3F;  // presses since the last latch, up to 63
    static constexpr jint KEY_HELD = 0x40;
    static constexpr jint KEY_RELEASED = 0x80;

    static constexpr jint RECORD_SIZE = 4096;  // bytes of one saved record at most

    // The canvas made last: the framework classes reach the game through it.
    static VMStatic<TsCanvas> instance;
    // The save and load buffers and their cursors; a caller may point them at
    // arrays of its own.
    static VMStatic<VMBytes> saveBuffer;
    static jint savePosition;
    static VMStatic<VMBytes> loadBuffer;
    static jint loadPosition;

    VMField<javax::microedition::midlet::MIDlet> midlet;
    VMField<java::lang::Thread> thread;  // the frame loop's
    jint frameTime = 40;                 // the frame period in force, ms
    jint screenOffsetX = 0;
    jint screenOffsetY = 0;
    jboolean vibrationEnabled = false;

    // Life cycle, under the monitor.
    jboolean shown = false;         // between showNotify and hideNotify
    jlong shownAt = 0;              // tick count of the last show
    jboolean pauseWanted = false;   // hidden since the last show
    jboolean paused = false;        // the game has been told 1 and not 2 since
    jboolean loopStopped = false;   // the exit event came, or the loop ended
    jboolean frameLatched = false;  // the loop latched this frame's input (during the tick)
    // While set, a show makes no resume: the canvas is shown and its frames
    // run, but no resume event (2, then 5) comes of it, and a pause not yet
    // delivered is dropped.
    jboolean suppressResume = false;
    // The step gate (for tests; off unless turned on): while it is on, the
    // loop runs one frame per step (its pending event, latch, tick and
    // paint), sleeps never, and its clock advances by the frame period per
    // step instead of following the wall clock.
    jboolean stepGated = false;
    jint stepsGranted = 0;      // frames allowed and not yet begun
    jlong stepsRun = 0;         // frames (loop passes) finished under the gate
    jlong gateClock = 0;        // the loop's clock while gated, ms
    jboolean stepping = false;  // the frame running was granted by a step
    jlong inputEntries = 0;     // key and touch entries so far (tests wait on it)

    // The key entries write inputKeys; the latch publishes it to frameKeys,
    // which the game reads.
    jbyte inputKeys[KEY_STATE_COUNT] = {};
    jbyte frameKeys[KEY_STATE_COUNT] = {};

    // The level stream being read.
    VMField<VMBytes> levelData;
    jlong levelPosition = 0;  // bits read (may run past the end)
    jlong levelLength = 0;    // bits in the stream
    jboolean levelOverrun = false;
    // Why the last level read stopped on a stream that holds what it
    // announces but says something impossible (a map cell naming a tile
    // entry there is none of, a group of objects without a span, a position
    // beyond 32 bits); null when it was read whole, missing or cut short.
    VMField<java::lang::String> levelDamage;

    static void _VM_clinit();

    // Starts the frame loop's thread and makes this the canvas instance.
    VMPtr<TsCanvas> construct(VMPtr<javax::microedition::midlet::MIDlet> application);

    static VMPtr<TsCanvas> getInstance();

    // --- the game's hooks ----------------------------------------------------------
    // One frame's update, on the canvas thread.
    virtual void tick() = 0;
    // The game's paint, after the clip reset (not Canvas.paint: a repaint of
    // the window only draws the screen buffer).
    virtual void paintGame(VMPtr<javax::microedition::lcdui::Graphics> g) = 0;
    // The life-cycle events: a subclass does its own handling first, then
    // calls this one with the same code. Exit (3) ends the frame loop and
    // tells the application manager that the MIDlet is destroyed, unless the
    // loop has already stopped.
    virtual void onEvent(jint event);
    // Hands the event to onEvent at once, on the calling thread; ignored once
    // the frame loop has stopped.
    virtual void postEvent(jint event);

    // --- frame loop ------------------------------------------------------------------
    void run() override;
    // Turns the step gate on (the clock continuing from now) or off.
    virtual void setStepGate(jboolean on);
    // With the gate on: lets the loop run one frame and waits until it has
    // run; false when the loop has stopped or did not finish the frame
    // within 30 s.
    virtual jboolean step();
    // Clamped to 0 to 1000 ms.
    virtual void setFrameTime(jint ms);
    virtual jint getFrameTime();
    // getGraphics, resetClip, the game's paint, flushGraphics.
    virtual void paintFrame();
    virtual void resetClip(VMPtr<javax::microedition::lcdui::Graphics> g);
    // Publishes the keys pressed and released since the last latch and
    // updates the keys of the touch regions. Within the frame loop's tick it
    // does nothing: the loop has latched the frame already.
    virtual void latchInput();

    void showNotify() override;
    void hideNotify() override;

    // --- keys and touch -----------------------------------------------------------
    void keyPressed(jint keyCode) override;
    void keyReleased(jint keyCode) override;
    void pointerPressed(jint x, jint y) override;
    void pointerReleased(jint x, jint y) override;
    void pointerDragged(jint x, jint y) override;
    // A key action goes down (one more press when it was not held) or up.
    // ArrayIndexOutOfBoundsException outside 0 to 127.
    virtual void pressKey(jint action);
    virtual void releaseKey(jint action);
    // The latched states; ArrayIndexOutOfBoundsException outside 0 to 127.
    virtual jboolean wasKeyPressed(jint action);
    virtual jboolean isKeyHeld(jint action);
    virtual jboolean wasKeyReleased(jint action);
    // Where the game area lies in the canvas; touches are reported relative
    // to it.
    virtual void setScreenOffset(jint x, jint y);

    // --- drawing ------------------------------------------------------------------------
    // A left-to-right gradient from color1 to color2.
    virtual void fillGradientRect(VMPtr<javax::microedition::lcdui::Graphics> g, jint x, jint y, jint width,
                                  jint height, jint color1, jint color2);
    // A mutable image filled with the colour (ARGB with alpha, else its RGB
    // part).
    virtual VMPtr<javax::microedition::lcdui::Image> createImage(jint width, jint height, jboolean withAlpha,
                                                                 jint fillColor);
    virtual void setVibrationEnabled(jboolean enabled);
    // Vibrates for the duration when vibration is enabled.
    virtual void vibrate(jint ms);

    // --- saved data ---------------------------------------------------------------------
    // The records of the store named by the decimal id, joined in ascending
    // id order; null when there is no such store or it cannot be read.
    // lastStoreLoad tells which.
    virtual VMPtr<VMBytes> loadRecordStore(jint id);
    // What the last loadRecordStore found: the store read, no store, or a
    // store that is there but cannot be read now (its files are left as
    // they are: it may be read again once it can).
    static constexpr jint STORE_READ = 0;
    static constexpr jint STORE_MISSING = 1;
    static constexpr jint STORE_UNREADABLE = 2;
    static jint lastStoreLoad;
    // Keeps data in the store named by the decimal id as records of up to
    // 4096 bytes (ids from 1), replacing all its records in one step; null
    // data deletes the store. False when the store cannot be written (the old
    // data then stays).
    virtual jboolean saveRecordStore(jint id, VMPtr<VMBytes> data);
    // At the save buffer's cursor, which moves on past them;
    // NullPointerException without a buffer, ArrayIndexOutOfBoundsException
    // (nothing written) when they do not fit.
    static void writeByte(jint value);
    static void writeInt(jint value);  // high byte first
    static void writeBoolean(jboolean value);
    static void writeShortLE(jint value);  // low byte first
    static void writeIntLE(jint value);    // low byte first
    // At the load buffer's cursor, the same way.
    static jint readByte();  // signed
    static jint readInt();   // high byte first
    static jboolean readBoolean();

    // --- numbers, pixels and sorting ---------------------------------------------------
    static jint parseInt(VMPtr<java::lang::String> s);
    static void appendNumber(VMPtr<java::lang::StringBuffer> sb, jint n);
    // Inserts value at offset: '-' first when negative; from 65536 up plain
    // decimal, below it at least minDigits digits with leading zeros.
    static void insertNumber(VMPtr<java::lang::StringBuffer> sb, jint value, jint minDigits, jint offset);
    // 1 all opaque, 2 some fully transparent, 3 some partly transparent.
    static jint getAlphaKind(VMPtr<VMInts> argb, jint offset, jint scanLength, jint x, jint y, jint width, jint height);
    // Some pixel's alpha is below 0xF0.
    static jboolean hasTranslucentPixel(VMPtr<VMInts> argb);
    static VMPtr<javax::microedition::lcdui::Image> createRGBImage(VMPtr<VMInts> argb, jint width, jint height,
                                                                   jboolean processAlpha);
    static void getRGB(VMPtr<javax::microedition::lcdui::Image> image, VMPtr<VMInts> out, jint offset, jint scanLength,
                       jint x, jint y, jint width, jint height);
    static void drawRegion(VMPtr<javax::microedition::lcdui::Image> image, jint xSrc, jint ySrc, jint width,
                           jint height, VMPtr<javax::microedition::lcdui::Graphics> g, jint xDest, jint yDest);
    // Sorts a[0 .. n - 1] ascending (comb sort).
    static void sortInts(VMPtr<VMInts> a, jint n);
    // The index of key in the ascending a[0 .. last], else where it would go.
    static jint binarySearch(VMPtr<VMInts> a, jint last, jint key);
    // The image's pixels as palette indices, row by row; palette gets the
    // distinct colours in order of first appearance, a colour c with
    // (c & 0xF0F0F0) == 0xF000F0 (the transparent key) moved to entry 0.
    // IllegalArgumentException for more than 256 colours.
    static VMPtr<VMBytes> indexImage(VMPtr<javax::microedition::lcdui::Image> image, VMPtr<VMInts> palette);
    // Recomputes the CRC of a palette chunk's data (the data followed by its
    // 4 CRC bytes) into those 4 bytes, big-endian.
    static void updatePaletteCrc(VMPtr<VMBytes> palette);

    // --- levels ----------------------------------------------------------------------------
    // Reads the level resource and calls the level callbacks in stream
    // order; true when the whole stream was read, false when it is missing,
    // cut short or damaged (reading then stops; getLevelDamage tells which).
    virtual jboolean loadLevel(jint resourceId);
    virtual jboolean loadLevel(VMPtr<VMBytes> data);
    // The bytes of a level resource from the resource packs, null when no
    // pack holds it.
    virtual VMPtr<VMBytes> getLevelResource(jint resourceId);
    // The next n (0 to 32) bits of the level being read, most significant
    // first, past its end 0 bits. IllegalArgumentException for another n,
    // IllegalStateException outside loadLevel.
    virtual jint levelReadBits(jint n);
    virtual jboolean levelReadBoolean();
    // After a loadLevel that answered false: what is damaged in the level,
    // or null when it is missing or cut short.
    VMPtr<java::lang::String> getLevelDamage();
    // The level callbacks (empty here).
    virtual void levelHeader(jint value) { (void)value; }
    virtual void levelTileSet(jint value, jint columns, jint imageId, jint tileWidth, jint tileHeight, jint option,
                              jint tileCount) {
        (void)value, (void)columns, (void)imageId, (void)tileWidth, (void)tileHeight, (void)option, (void)tileCount;
    }
    virtual void levelTile(jint option, jint tile) { (void)option, (void)tile; }
    virtual void levelMapSize(jint width, jint height) { (void)width, (void)height; }
    virtual void levelMapCell(jint x, jint y, jint tile) { (void)x, (void)y, (void)tile; }
    virtual void levelObjectGroup(jint type, jint count) { (void)type, (void)count; }
    virtual void levelObject(jint type, jint x, jint y) { (void)type, (void)x, (void)y; }

    // --- resources ---------------------------------------------------------------------------
    // The resource operations of ts.Resources offered again as the canvas's
    // own, each one call through to it (a game canvas may answer them
    // otherwise).
    virtual VMPtr<VMBytes> getResource(jint id);
    virtual VMPtr<java::io::DataInputStream> getResourceAsStream(jint id);
    virtual jint getResourceType(jint id);
    virtual jboolean loadPack(VMPtr<java::io::DataInputStream> in);
    virtual jboolean loadPackFromStore(jint id);
    virtual void unloadPack();
    virtual VMPtr<javax::microedition::lcdui::Image> getImage(jint id);
    virtual VMPtr<javax::microedition::lcdui::Image> getImage(jint id, VMPtr<VMBytes> palette);
    // An image decoded from the PNG bytes at data[offset ..], length long.
    virtual VMPtr<javax::microedition::lcdui::Image> createPngImage(VMPtr<VMBytes> data, jint offset, jint length);
    virtual VMPtr<VMBytes> getPalette(jint id);
    virtual jint getTransparentIndex(jint id);
    virtual VMPtr<VMArray<ts::Gob, 1>> getGobs(jint id);
    virtual VMPtr<VMArray<ts::Gob, 1>> getGobs(jint id, VMPtr<VMBytes> palette);
    virtual VMPtr<ts::AnimSet> getAnimSet(jint id);
    virtual VMPtr<VMBytes> getImageAsBmp(jint id);
    virtual VMPtr<VMBytes> buildPackBytes(VMPtr<VMArray<jbyte, 2>> resources, VMPtr<VMBytes> types);

    // --- text ------------------------------------------------------------------------------
    // The canvas's font over the system font, made on first use and kept.
    VMField<ts::util::text::RichFont> defaultFont;
    virtual VMPtr<ts::util::text::RichFont> getDefaultFont();

    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(midlet, bits);
        _VM_markRef(thread, bits);
        _VM_markRef(levelData, bits);
        _VM_markRef(levelDamage, bits);
        _VM_markRef(defaultFont, bits);
    }

private:
    void frameLoop();
    void endLoop();
    // After a throwable escaped the loop: the program ends in order, with
    // status 1.
    void endAfterFailure();
    // The loop's clock: the tick count, or the gate's clock while gated.
    jlong clock();
    // Gated: waits for a step (false once the loop has stopped); not gated:
    // true at once.
    bool awaitStep();
    // Gated: counts the finished pass and wakes the stepping thread.
    void finishStep();
    void wake();
    void pressKeys(jlong actions);
    void releaseKeys(jlong actions);
    // Bits of the level stream (n 0 to 32), unchecked n.
    uint32_t readLevel(jint n);
    // The stream's sections in order (header, tile set, map, object
    // groups), each there when its bit is set. Each reader answers false
    // once a read has run past the end or its section cannot be whole.
    // filler: 6 bits follow the header, the tile set and each group.
    bool readLevelStream();
    bool readLevelHeader(bool filler);
    // Into tiles: each tile-set entry's packed tile.
    bool readLevelTileSet(bool filler, std::vector<jint>& tiles);
    bool readLevelMap(const std::vector<jint>& tiles);
    bool readLevelObjects(bool filler);
    // positions: room for the group's object positions, reused group to group.
    bool readLevelObjectGroup(jint group, std::vector<jlong>& positions);
    // Notes what is damaged and gives false (reading stops).
    bool levelDamaged(const std::string& what);
    void skipLevelFiller(bool filler);
    // A 10-bit field behind a presence bit; -1 when absent.
    jint readLevelOptional10();
    static jbyte* saveSpace(jint n);
    static const jbyte* loadSpace(jint n);
};

}  // namespace ts
