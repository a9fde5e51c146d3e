// ts.TsCanvas
#include "ts_TsCanvas.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "VMThrow.h"
#include "java_lang_IllegalStateException.h"
#include "java_lang_Integer.h"
#include "java_lang_InterruptedException.h"
#include "java_lang_System.h"
#include "javax_microedition_lcdui_Display.h"
#include "javax_microedition_rms_RecordStore.h"
#include "javax_microedition_rms_RecordStoreException.h"
#include "javax_microedition_rms_RecordStoreNotFoundException.h"
#include "ts_KeyMapping.h"
#include "ts_Resources.h"
#include "ts_input_PointerInputEventManager.h"
#include "ts_input_PointerInputKeyManager.h"

namespace ts {

using java::lang::String;
using java::lang::StringBuffer;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::rms::RecordStore;
using javax::microedition::rms::RecordStoreException;

VMStatic<TsCanvas> TsCanvas::instance;
VMStatic<TsCanvas::Bytes> TsCanvas::saveBuffer;
jint TsCanvas::savePosition = 0;
VMStatic<TsCanvas::Bytes> TsCanvas::loadBuffer;
jint TsCanvas::loadPosition = 0;

namespace {

jlong now() { return java::lang::System::_VM_tickMillis(); }

// A key action indexes the key state buffers.
void checkAction(jint action) {
    if (action < 0 || action >= TsCanvas::KEY_STATE_COUNT) _VM_throwArrayIndexOutOfBoundsException(action);
}

}  // namespace

void TsCanvas::_VM_clinit() {
    instance = nullptr;
    saveBuffer = nullptr;
    loadBuffer = nullptr;
    savePosition = loadPosition = 0;
}

VMPtr<TsCanvas> TsCanvas::construct(VMPtr<javax::microedition::midlet::MIDlet> application) {
    Super::construct(false);
    midlet = application;
    instance = this;
    VMPtr<java::lang::Thread> loop = java::lang::Thread::create()->construct(VMPtr<java::lang::Runnable>(this));
    thread = loop;
    loop->start();
    return this;
}

VMPtr<TsCanvas> TsCanvas::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    return instance;
}

// --- life cycle ------------------------------------------------------------------

void TsCanvas::onEvent(jint event) {
    if (event != EVENT_EXIT) return;
    {
        VMSynchronized lock(this);
        if (loopStopped) return;
        loopStopped = true;
        notifyAll();
    }
    ts::Resources::unloadPack();
    VMPtr<javax::microedition::midlet::MIDlet> application = midlet;
    if (application != nullptr) application->notifyDestroyed();
}

void TsCanvas::postEvent(jint event) {
    if (loopStopped) return;
    onEvent(event);
}

void TsCanvas::showNotify() {
    VMSynchronized lock(this);
    if (!shown) {
        shown = true;
        shownAt = now();
    }
    pauseWanted = false;
    notifyAll();
}

void TsCanvas::hideNotify() {
    VMSynchronized lock(this);
    shown = false;
    pauseWanted = true;
    notifyAll();
}

void TsCanvas::wake() {
    VMSynchronized lock(this);
    notifyAll();
}

// --- frame loop --------------------------------------------------------------------

void TsCanvas::run() {
    try {
        frameLoop();
    } catch (java::lang::InterruptedException* interrupted) {
        // Interrupted in a wait (the runtime is shutting down): the loop ends.
        (void)interrupted;
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        endLoop();
        _VM_throw(keep);
    }
    endLoop();
}

void TsCanvas::endLoop() {
    VMSynchronized lock(this);
    loopStopped = true;
    frameLatched = false;
}

void TsCanvas::frameLoop() {
    {
        VMSynchronized lock(this);
        while (!shown && !loopStopped) wait();
        if (loopStopped) return;
    }
    onEvent(EVENT_START);
    jlong debt = 0;  // ms the frames ran ahead of their period
    for (;;) {
        const jlong frameStart = now();
        jint event = -1;
        {
            VMSynchronized lock(this);
            if (loopStopped) return;
            if (pauseWanted && !paused) {
                paused = true;
                event = EVENT_PAUSE;
            } else if (!pauseWanted && paused && shown && frameStart - shownAt >= RESUME_DELAY) {
                paused = false;
                event = EVENT_RESUME;
            }
        }
        if (event == EVENT_PAUSE) {
            onEvent(EVENT_PAUSE);
        } else if (event == EVENT_RESUME) {
            onEvent(EVENT_RESUME);
            onEvent(EVENT_AFTER_RESUME);
        }
        {
            VMSynchronized lock(this);
            if (loopStopped) return;
            if (!shown) {
                // Hidden: no frames until the next show or input. A pause
                // that came meanwhile is delivered first.
                if (!pauseWanted || paused) wait();
                debt = 0;
                continue;
            }
        }
        latchInput();
        frameLatched = true;
        tick();
        frameLatched = false;
        if (loopStopped) return;
        if (shown) paintFrame();

        // Pacing: the time debt carries what one frame overran or waited too
        // long into the next, so the frames keep their period on average.
        debt += frameTime - (now() - frameStart);
        debt = std::clamp<jlong>(debt, -MAX_TIME_DEBT, MAX_TIME_DEBT);
        bool waited = false;
        {
            VMSynchronized lock(this);
            while (debt > 0 && shown && !loopStopped) {
                const jlong before = now();
                wait(debt);
                debt -= now() - before;
                waited = true;
            }
        }
        // Always give the other threads a turn between frames.
        if (!waited) java::lang::Thread::yield();
    }
}

void TsCanvas::setFrameTime(jint ms) { frameTime = std::clamp<jint>(ms, 0, MAX_FRAME_TIME); }

jint TsCanvas::getFrameTime() { return frameTime; }

void TsCanvas::paintFrame() {
    VMPtr<Graphics> g = getGraphics();
    resetClip(g);
    paintGame(g);
    flushGraphics();
}

void TsCanvas::resetClip(VMPtr<Graphics> g) {
    if (g == nullptr) _VM_throwNullPointer();
    g->setClip(0, 0, getWidth(), getHeight());
}

void TsCanvas::latchInput() {
    if (frameLatched) return;
    input::PointerInputKeyManager::update();
    VMSynchronized lock(this);
    std::memcpy(frameKeys, inputKeys, sizeof inputKeys);
    for (jbyte& state : inputKeys) state = jbyte(state & KEY_HELD);
}

// --- keys and touch ----------------------------------------------------------------

void TsCanvas::keyPressed(jint keyCode) { pressKeys(KeyMapping::getActions(keyCode, getGameAction(keyCode))); }

void TsCanvas::keyReleased(jint keyCode) { releaseKeys(KeyMapping::getActions(keyCode, getGameAction(keyCode))); }

void TsCanvas::pressKeys(jlong actions) {
    VMSynchronized lock(this);
    for (uint64_t bits = uint64_t(actions) & ~uint64_t(1); bits != 0; bits &= bits - 1)
        pressKey(jint(__builtin_ctzll(bits)));
    notifyAll();
}

void TsCanvas::releaseKeys(jlong actions) {
    VMSynchronized lock(this);
    for (uint64_t bits = uint64_t(actions) & ~uint64_t(1); bits != 0; bits &= bits - 1)
        releaseKey(jint(__builtin_ctzll(bits)));
    notifyAll();
}

void TsCanvas::pressKey(jint action) {
    checkAction(action);
    VMSynchronized lock(this);
    const jint state = inputKeys[action] & 0xFF;
    if (state & KEY_HELD) return;
    const jint presses = std::min(KEY_PRESS_COUNT, (state & KEY_PRESS_COUNT) + 1);
    inputKeys[action] = jbyte((state & ~KEY_PRESS_COUNT) | presses | KEY_HELD);
}

void TsCanvas::releaseKey(jint action) {
    checkAction(action);
    VMSynchronized lock(this);
    const jint state = inputKeys[action] & 0xFF;
    if (!(state & KEY_HELD)) return;
    inputKeys[action] = jbyte((state & ~KEY_HELD) | KEY_RELEASED);
}

jboolean TsCanvas::wasKeyPressed(jint action) {
    checkAction(action);
    return (frameKeys[action] & KEY_PRESS_COUNT) != 0;
}

jboolean TsCanvas::isKeyHeld(jint action) {
    checkAction(action);
    return (frameKeys[action] & KEY_HELD) != 0;
}

jboolean TsCanvas::wasKeyReleased(jint action) {
    checkAction(action);
    return (frameKeys[action] & KEY_RELEASED) != 0;
}

void TsCanvas::pointerPressed(jint x, jint y) {
    input::PointerInputEventManager::addEvent(input::PointerInputEventManager::PRESSED, x, y);
    input::PointerInputKeyManager::pointerEvent(input::PointerInputEventManager::PRESSED, x, y);
    wake();
}

void TsCanvas::pointerReleased(jint x, jint y) {
    input::PointerInputEventManager::addEvent(input::PointerInputEventManager::RELEASED, x, y);
    input::PointerInputKeyManager::pointerEvent(input::PointerInputEventManager::RELEASED, x, y);
    wake();
}

void TsCanvas::pointerDragged(jint x, jint y) {
    input::PointerInputEventManager::addEvent(input::PointerInputEventManager::DRAGGED, x, y);
    input::PointerInputKeyManager::pointerEvent(input::PointerInputEventManager::DRAGGED, x, y);
    wake();
}

void TsCanvas::setScreenOffset(jint x, jint y) {
    screenOffsetX = x;
    screenOffsetY = y;
    input::PointerInputEventManager::setScreenOffset(x, y);
    input::PointerInputKeyManager::setScreenOffset(x, y);
}

// --- drawing -------------------------------------------------------------------------

void TsCanvas::fillGradientRect(VMPtr<Graphics> g, jint x, jint y, jint width, jint height, jint color1,
                                jint color2) {
    if (g == nullptr) _VM_throwNullPointer();
    g->fillGradientRect(x, y, width, height, color1, color2, false);
}

VMPtr<Image> TsCanvas::createImage(jint width, jint height, jboolean withAlpha, jint fillColor) {
    return Image::createImage(width, height, withAlpha, fillColor);
}

void TsCanvas::setVibrationEnabled(jboolean enabled) { vibrationEnabled = enabled; }

void TsCanvas::vibrate(jint ms) {
    if (!vibrationEnabled) return;
    javax::microedition::lcdui::Display::getDisplay(midlet)->vibrate(ms);
}

// --- saved data ----------------------------------------------------------------------

VMPtr<TsCanvas::Bytes> TsCanvas::loadRecordStore(jint id) {
    VMPtr<RecordStore> store;
    try {
        store = RecordStore::openRecordStore(String::valueOf(id), false);
    } catch (RecordStoreException* missingOrBroken) {
        (void)missingOrBroken;  // RecordStoreNotFoundException among them
        return nullptr;
    }
    VMPtr<Bytes> joined;
    try {
        VMPtr<Ints> ids = store->getRecordIDs();
        VMPtr<VMArray<jbyte, 2>> records = VMArray<jbyte, 2>::create(ids->length);
        jlong total = 0;
        for (jint i = 0; i < ids->length; ++i) {
            VMPtr<Bytes> record = store->getRecord((*ids)[i]);
            if (record != nullptr) total += record->length;
            records->set(i, record);
        }
        if (total > 0x7FFFFFFF) _VM_throwOutOfMemoryError();
        joined = Bytes::create(jint(total));
        jint at = 0;
        for (jint i = 0; i < records->length; ++i) {
            Bytes* record = records->get(i);
            if (record == nullptr) continue;
            std::memcpy(joined->elements() + at, record->elements(), size_t(record->length));
            at += record->length;
        }
    } catch (RecordStoreException* unreadable) {
        (void)unreadable;
        joined = nullptr;
    }
    try {
        store->closeRecordStore();
    } catch (RecordStoreException* closing) {
        (void)closing;
    }
    return joined;
}

jboolean TsCanvas::saveRecordStore(jint id, VMPtr<Bytes> data) {
    VMPtr<String> name = String::valueOf(id);
    if (data == nullptr) {
        try {
            RecordStore::deleteRecordStore(name);
        } catch (javax::microedition::rms::RecordStoreNotFoundException* missing) {
            (void)missing;  // nothing to delete
        } catch (RecordStoreException* failed) {
            (void)failed;
            return false;
        }
        return true;
    }
    VMPtr<RecordStore> store;
    try {
        store = RecordStore::openRecordStore(name, true);
    } catch (RecordStoreException* failed) {
        (void)failed;
        return false;
    }
    // The records are replaced in place, never deleted before the new data
    // stands: a save cut short leaves each record old or new.
    bool saved = true;
    try {
        VMPtr<Ints> ids = store->getRecordIDs();
        const jint length = data->length;
        const jint records = (length + RECORD_SIZE - 1) / RECORD_SIZE;
        for (jint i = 0; i < records; ++i) {
            const jint offset = i * RECORD_SIZE;
            const jint size = std::min(RECORD_SIZE, length - offset);
            if (i < ids->length) store->setRecord((*ids)[i], data, offset, size);
            else store->addRecord(data, offset, size);
        }
        for (jint i = records; i < ids->length; ++i) store->deleteRecord((*ids)[i]);
    } catch (RecordStoreException* failed) {
        (void)failed;
        saved = false;
    }
    try {
        store->closeRecordStore();
    } catch (RecordStoreException* closing) {
        (void)closing;
    }
    return saved;
}

namespace {

// n bytes at a buffer's cursor, which moves on past them.
jbyte* bufferSpace(VMPtr<TsCanvas::Bytes> buffer, jint& position, jint n) {
    if (buffer == nullptr) _VM_throwNullPointer();
    const jint at = position;
    if (at < 0) _VM_throwArrayIndexOutOfBoundsException(at);
    if (at > buffer->length - n) _VM_throwArrayIndexOutOfBoundsException(std::max(at, buffer->length));
    position = at + n;
    return buffer->elements() + at;
}

}  // namespace

jbyte* TsCanvas::saveSpace(jint n) {
    _VM_ensureInitialized(_VM_classRecord);
    return bufferSpace(saveBuffer, savePosition, n);
}

const jbyte* TsCanvas::loadSpace(jint n) {
    _VM_ensureInitialized(_VM_classRecord);
    return bufferSpace(loadBuffer, loadPosition, n);
}

void TsCanvas::writeByte(jint value) { saveSpace(1)[0] = jbyte(value); }

void TsCanvas::writeInt(jint value) {
    jbyte* out = saveSpace(4);
    for (int i = 0; i < 4; ++i) out[i] = jbyte(uint32_t(value) >> (24 - 8 * i));
}

void TsCanvas::writeBoolean(jboolean value) { saveSpace(1)[0] = value ? 1 : 0; }

void TsCanvas::writeShortLE(jint value) {
    jbyte* out = saveSpace(2);
    out[0] = jbyte(value);
    out[1] = jbyte(uint32_t(value) >> 8);
}

void TsCanvas::writeIntLE(jint value) {
    jbyte* out = saveSpace(4);
    for (int i = 0; i < 4; ++i) out[i] = jbyte(uint32_t(value) >> (8 * i));
}

jint TsCanvas::readByte() { return loadSpace(1)[0]; }

jint TsCanvas::readInt() {
    const jbyte* in = loadSpace(4);
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | uint8_t(in[i]);
    return jint(value);
}

jboolean TsCanvas::readBoolean() { return loadSpace(1)[0] != 0; }

// --- numbers, pixels and sorting ---------------------------------------------------

jint TsCanvas::parseInt(VMPtr<String> s) { return java::lang::Integer::parseInt(s); }

void TsCanvas::appendNumber(VMPtr<StringBuffer> sb, jint n) {
    if (sb == nullptr) _VM_throwNullPointer();
    sb->append(n);
}

void TsCanvas::insertNumber(VMPtr<StringBuffer> sb, jint value, jint minDigits, jint offset) {
    if (sb == nullptr) _VM_throwNullPointer();
    // The magnitude in 64 bits: -2147483648 has none in 32.
    jlong magnitude = value;
    if (magnitude < 0) {
        sb->insert(offset, jchar('-'));
        ++offset;
        magnitude = -magnitude;
    }
    if (magnitude >= 65536) {
        sb->insert(offset, magnitude);
        return;
    }
    jint digits = 0;
    do {
        sb->insert(offset, jchar('0' + magnitude % 10));
        magnitude /= 10;
        ++digits;
    } while (magnitude > 0);
    for (; digits < minDigits; ++digits) sb->insert(offset, jchar('0'));
}

jint TsCanvas::getAlphaKind(VMPtr<Ints> argb, jint offset, jint scanLength, jint x, jint y, jint width,
                            jint height) {
    if (argb == nullptr) _VM_throwNullPointer();
    jint kind = 1;
    for (jint row = 0; row < height; ++row) {
        for (jint column = 0; column < width; ++column) {
            const jlong index = jlong(offset) + jlong(y + row) * scanLength + x + column;
            if (index < 0 || index >= argb->length) _VM_throwArrayIndexOutOfBoundsException(jint(index));
            const uint32_t alpha = uint32_t(argb->elements()[index]) >> 24;
            if (alpha == 0) kind = 2;
            else if (alpha != 0xFF) return 3;
        }
    }
    return kind;
}

jboolean TsCanvas::hasTranslucentPixel(VMPtr<Ints> argb) {
    if (argb == nullptr) _VM_throwNullPointer();
    const jint* pixels = argb->elements();
    for (jint i = 0; i < argb->length; ++i) {
        if ((uint32_t(pixels[i]) >> 24) < 0xF0) return true;
    }
    return false;
}

VMPtr<Image> TsCanvas::createRGBImage(VMPtr<Ints> argb, jint width, jint height, jboolean processAlpha) {
    return Image::createRGBImage(argb, width, height, processAlpha);
}

void TsCanvas::getRGB(VMPtr<Image> image, VMPtr<Ints> out, jint offset, jint scanLength, jint x, jint y, jint width,
                      jint height) {
    if (image == nullptr) _VM_throwNullPointer();
    image->getRGB(out, offset, scanLength, x, y, width, height);
}

void TsCanvas::drawRegion(VMPtr<Image> image, jint xSrc, jint ySrc, jint width, jint height, VMPtr<Graphics> g,
                          jint xDest, jint yDest) {
    if (g == nullptr) _VM_throwNullPointer();
    g->drawRegion(image, xSrc, ySrc, width, height, 0, xDest, yDest, Graphics::TOP | Graphics::LEFT);
}

void TsCanvas::sortInts(VMPtr<Ints> a, jint n) {
    if (a == nullptr) _VM_throwNullPointer();
    if (n > a->length) _VM_throwArrayIndexOutOfBoundsException(a->length);
    jint* v = a->elements();
    // Comb sort. The gap shrinks by 197/256 but never below 1, and the sort
    // ends with a pass at gap 1 that swaps nothing.
    jint gap = n;
    for (bool swapped = true; gap > 1 || swapped;) {
        gap = std::max(1, jint(jlong(gap) * 197 / 256));
        swapped = false;
        for (jint i = 0; i + gap < n; ++i) {
            if (v[i] > v[i + gap]) {
                std::swap(v[i], v[i + gap]);
                swapped = true;
            }
        }
    }
}

jint TsCanvas::binarySearch(VMPtr<Ints> a, jint last, jint key) {
    if (a == nullptr) _VM_throwNullPointer();
    if (last >= a->length) _VM_throwArrayIndexOutOfBoundsException(last);
    const jint* v = a->elements();
    jint low = 0, high = last;
    while (low <= high) {
        const jint middle = jint((jlong(low) + high) / 2);
        if (v[middle] < key) low = middle + 1;
        else if (v[middle] > key) high = middle - 1;
        else return middle;
    }
    return low;
}

VMPtr<TsCanvas::Bytes> TsCanvas::indexImage(VMPtr<Image> image, VMPtr<Ints> palette) {
    if (image == nullptr || palette == nullptr) _VM_throwNullPointer();
    const jint width = image->getWidth(), height = image->getHeight();
    VMPtr<Ints> pixels = Ints::create(width * height);
    image->getRGB(pixels, 0, width, 0, 0, width, height);
    // The colours in order of first appearance; more than 256 is refused
    // before anything is written.
    std::unordered_map<jint, jint> indexOf;
    std::vector<jint> colours;
    const jint* px = pixels->elements();
    for (jint i = 0; i < pixels->length; ++i) {
        if (indexOf.emplace(px[i], jint(colours.size())).second) {
            colours.push_back(px[i]);
            if (colours.size() > 256) _VM_throwIllegalArgumentException();
        }
    }
    if (jint(colours.size()) > palette->length) _VM_throwArrayIndexOutOfBoundsException(palette->length);
    // The transparent key colour goes to entry 0.
    for (size_t k = 0; k < colours.size(); ++k) {
        if ((uint32_t(colours[k]) & 0xF0F0F0u) != 0xF000F0u) continue;
        if (k != 0) {
            std::swap(colours[0], colours[k]);
            indexOf[colours[0]] = 0;
            indexOf[colours[k]] = jint(k);
        }
        break;
    }
    for (size_t k = 0; k < colours.size(); ++k) (*palette)[jint(k)] = colours[k];
    VMPtr<Bytes> indices = Bytes::create(pixels->length);
    jbyte* out = indices->elements();
    px = pixels->elements();
    for (jint i = 0; i < pixels->length; ++i) out[i] = jbyte(indexOf[px[i]]);
    return indices;
}

void TsCanvas::updatePaletteCrc(VMPtr<Bytes> palette) {
    if (palette == nullptr) _VM_throwNullPointer();
    if (palette->length < 4) _VM_throwIllegalArgumentException();
    // A chunk's CRC covers its type and its data.
    static const Bytef kType[] = {'P', 'L', 'T', 'E'};
    uLong crc = crc32(0L, kType, 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(palette->elements()), uInt(palette->length - 4));
    jbyte* out = palette->elements() + palette->length - 4;
    for (int i = 0; i < 4; ++i) out[i] = jbyte(uint32_t(crc) >> (24 - 8 * i));
}

// --- levels -----------------------------------------------------------------------------

VMPtr<TsCanvas::Bytes> TsCanvas::getLevelResource(jint resourceId) {
    // A level that no pack holds (no pack, or an index beyond its table) is
    // missing: the reader answers false for it.
    try {
        return Resources::getResource(resourceId);
    } catch (java::lang::Exception* e) {
        VMPtr<java::lang::Exception> keep(e);
        return nullptr;
    }
}

jboolean TsCanvas::loadLevel(jint resourceId) {
    VMPtr<Bytes> data = getLevelResource(resourceId);
    if (data == nullptr) return false;
    return loadLevel(data);
}

jboolean TsCanvas::loadLevel(VMPtr<Bytes> data) {
    if (data == nullptr) _VM_throwNullPointer();
    // A callback may read another level: the stream being read is put back.
    VMPtr<Bytes> outerData = levelData;
    const jlong outerPosition = levelPosition, outerLength = levelLength;
    const jboolean outerOverrun = levelOverrun;
    auto restore = [&] {
        levelData = outerData;
        levelPosition = outerPosition;
        levelLength = outerLength;
        levelOverrun = outerOverrun;
    };
    levelData = data;
    levelPosition = 0;
    levelLength = jlong(data->length) * 8;
    levelOverrun = false;
    bool whole = false;
    try {
        whole = readLevelStream();
    } catch (java::lang::Throwable* thrown) {
        VMPtr<java::lang::Throwable> keep(thrown);
        restore();
        _VM_throw(keep);
    }
    restore();
    return whole;
}

uint32_t TsCanvas::readLevel(jint n) {
    const jbyte* bytes = levelData->elements();
    uint64_t value = 0;
    while (n > 0) {
        if (levelPosition >= levelLength) {
            // Past the end: 0 bits.
            levelOverrun = true;
            value <<= n;
            levelPosition += n;
            break;
        }
        const jint bit = jint(levelPosition & 7);
        const jint take = std::min(8 - bit, n);
        const uint32_t byte = uint8_t(bytes[levelPosition >> 3]);
        value = value << take | ((byte >> (8 - bit - take)) & ((1u << take) - 1));
        levelPosition += take;
        n -= take;
    }
    return uint32_t(value);
}

jint TsCanvas::levelReadBits(jint n) {
    if (n < 0 || n > 32) _VM_throwIllegalArgumentException();
    if (levelData == nullptr) _VM_throw(java::lang::IllegalStateException::create()->construct());
    return jint(readLevel(n));
}

jboolean TsCanvas::levelReadBoolean() { return levelReadBits(1) == 1; }

bool TsCanvas::readLevelStream() {
    // A callback only ever sees fields read from inside the stream: once a
    // read has run past the end, reading stops.
    const bool filler = (readLevel(8) & 0x80) != 0;
    auto skipFiller = [&] {
        if (filler) readLevel(6);
    };
    auto optional10 = [&]() -> jint { return readLevel(1) ? jint(readLevel(10)) : -1; };

    if (readLevel(1)) {
        const jint header = jint(readLevel(10));
        if (levelOverrun) return false;
        levelHeader(header);
        skipFiller();
    }

    std::vector<jint> tiles;  // packed tile of each tile-set entry
    if (readLevel(1)) {
        const jint value = jint(readLevel(8));
        const jint columns = jint(readLevel(12));
        const jint imageId = jint(readLevel(17) << 15) >> 15;  // signed
        const jint tileWidth = jint(readLevel(10));
        const jint tileHeight = jint(readLevel(10));
        const jint option = optional10();
        const jint tileCount = jint(readLevel(12));
        if (levelOverrun) return false;
        levelTileSet(value, columns, imageId, tileWidth, tileHeight, option, tileCount);
        tiles.reserve(size_t(tileCount));
        for (jint i = 0; i < tileCount; ++i) {
            const jint tileOption = optional10();
            const jint column = jint(readLevel(12));
            const jint row = jint(readLevel(12));
            if (levelOverrun) return false;
            tiles.push_back(column | row << 12);
            levelTile(tileOption, tiles.back());
        }
        skipFiller();
    }

    if (readLevel(1)) {
        const jint width = jint(readLevel(12));
        const jint height = jint(readLevel(12));
        if (levelOverrun) return false;
        // A map larger than the rest of the stream is not a map.
        if (jlong(width) * height * 12 > levelLength - levelPosition) return false;
        levelMapSize(width, height);
        for (jint y = 0; y < height; ++y) {
            for (jint x = 0; x < width; ++x) {
                const jint entry = jint(readLevel(12));
                if (levelOverrun || entry > jint(tiles.size())) return false;
                levelMapCell(x, y, entry == 0 ? 0 : tiles[size_t(entry - 1)]);
            }
        }
    }

    if (readLevel(1)) {
        const jint groups = jint(readLevel(10));
        std::vector<jlong> positions;
        for (jint g = 0; g < groups; ++g) {
            const jint type = jint(readLevel(10));
            const jint count = jint(readLevel(12));
            jint x0 = 0, y0 = 0, span = 1;
            positions.clear();
            if (count > 0) {
                x0 = jint(readLevel(16));
                y0 = jint(readLevel(16));
                span = jint(readLevel(16));
                const jint deltaBits = jint(readLevel(5));
                if (levelOverrun || span == 0) return false;
                if (jlong(count) * deltaBits > levelLength - levelPosition) return false;
                jlong position = 0;
                for (jint i = 0; i < count; ++i) {
                    position += readLevel(deltaBits);
                    positions.push_back(position);
                }
            }
            if (levelOverrun) return false;
            levelObjectGroup(type, count);
            for (jlong p : positions) {
                if (levelOverrun) return false;
                levelObject(type, jint(x0 + p % span), jint(y0 + p / span));
            }
            skipFiller();
        }
    }
    return !levelOverrun;
}

// --- text ------------------------------------------------------------------------------

VMPtr<ts::util::text::RichFont> TsCanvas::getDefaultFont() {
    if (defaultFont == nullptr) defaultFont = ts::util::text::RichFont::create()->construct();
    return defaultFont;
}

}  // namespace ts

VM_REGISTER_CLASS(ts::TsCanvas, .name = "ts.TsCanvas", .staticInit = ts::TsCanvas::_VM_clinit, .isAbstract = true,
                  .interfaces = {"java.lang.Runnable"})
