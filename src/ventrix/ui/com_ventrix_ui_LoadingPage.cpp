// com.ventrix.ui.LoadingPage: the one loading screen.
#include "com_ventrix_ui_LoadingPage.h"

#include <algorithm>

#include "ts_AnimSet.h"
#include "ts_Resources.h"

namespace com::ventrix::ui {

VMStatic<LoadingPage> LoadingPage::instance;

VMPtr<LoadingPage> LoadingPage::construct() {
    Super::construct();
    picture = VMInts::create(2);
    barColours = VMInts::create(2);
    styles = VMBooleanRows::create(3, 5);
    VMPtr<VMInts> position = VMInts::create(2);
    barSize = 36;
    (*position)[0] = 42;
    (*position)[1] = PAGE_HEIGHT - 42 - barSize;
    barPosition = position;
    cellCount = 10;
    progress = 1;
    cellWidth = 36;
    total = 0;
    font = utility::MyFont::getInstance();
    continuous = false;
    return this;
}

VMPtr<LoadingPage> LoadingPage::getInstance() {
    _VM_ensureInitialized(_VM_classRecord);
    if (instance == nullptr) instance = create()->construct();
    return instance;
}

void LoadingPage::setStyle(jint s) { style = s; }
void LoadingPage::setBackgroundColour(jint rgb) { backgroundColour = rgb; }
void LoadingPage::setBackgroundImage(jint id) { backgroundImage = id; }
void LoadingPage::finish() { progress = total + 1; }
void LoadingPage::setStyleCount(jint n) { styles = VMBooleanRows::create(n, 5); }
void LoadingPage::step() { progress += 1; }

void LoadingPage::setText(jint fontIndex, jint text) {
    textFont = fontIndex;
    textId = text;
}

jint LoadingPage::getProgress() { return progress; }

void LoadingPage::begin(jint n) {
    progress = 0;
    total = n;
}

void LoadingPage::setStyleSwitches(jint s, jboolean image, jboolean fill, jboolean pictureOn, jboolean text,
                                   jboolean bar) {
    VMPtr<VMBooleanRows> table = styles;
    VMPtr<VMArray<jboolean, 1>> row = table->get(s);
    if (row == nullptr) _VM_throwNullPointer();
    row->set(SWITCH_IMAGE, image);
    row->set(SWITCH_FILL, fill);
    row->set(SWITCH_PICTURE, pictureOn);
    row->set(SWITCH_TEXT, text);
    row->set(SWITCH_BAR, bar);
}

void LoadingPage::setBarMode(jint cells) {
    continuous = cells == 0;
    cells = std::min(cells, 3);
    if (cells == 0) {
        cellCount = barSize * 10;
    } else {
        cellWidth = barSize / cells;
        cellCount = cells * 10;
    }
}

void LoadingPage::setPicture(jint gobSetId, jint animSetId) {
    VMPtr<VMInts> p = VMInts::create(2);
    (*p)[0] = gobSetId;
    (*p)[1] = animSetId;
    picture = p;
}

void LoadingPage::setBarColours(jint frameColour, jint cellColour) {
    VMPtr<VMInts> c = VMInts::create(2);
    (*c)[0] = frameColour;
    (*c)[1] = cellColour;
    barColours = c;
}

void LoadingPage::paint(VMPtr<Graphics> g) {
    if (progress > total) return;
    if (g == nullptr) _VM_throwNullPointer();
    VMPtr<VMBooleanRows> table = styles;
    VMPtr<VMArray<jboolean, 1>> switches = table->get(style);
    if (switches == nullptr) _VM_throwNullPointer();
    if (progress == 0) {
        paintPage(g, switches);
    } else if (switches->get(SWITCH_BAR)) {
        paintCells(g);
    }
}

void LoadingPage::paintPage(VMPtr<Graphics> g, VMPtr<VMArray<jboolean, 1>> switches) {
    g->setClip(0, 0, PAGE_WIDTH, PAGE_HEIGHT);
    if (switches->get(SWITCH_FILL)) {
        g->setColor(backgroundColour);
        g->fillRect(0, 0, PAGE_WIDTH, PAGE_HEIGHT);
    }
    if (switches->get(SWITCH_IMAGE)) {
        VMPtr<VMArray<ts::Gob, 1>> gobs = ts::Resources::getGobs(backgroundImage);
        VMPtr<ts::Gob> tile = gobs->get(0);
        if (tile == nullptr) _VM_throwNullPointer();
        const jint w = tile->width, h = tile->height;
        // An empty image would tile forever.
        if (w > 0 && h > 0) {
            for (jint c = 0; c <= PAGE_WIDTH / w; ++c) {
                for (jint r = 0; r <= PAGE_HEIGHT / h; ++r) tile->paint(g, c * w, r * h, 0);
            }
        }
    }
    if (switches->get(SWITCH_PICTURE)) {
        VMPtr<VMInts> p = picture;
        VMPtr<VMArray<ts::Gob, 1>> gobs = ts::Resources::getGobs((*p)[0]);
        if ((*p)[1] == -1) {
            VMPtr<ts::Gob> first = gobs->get(0);
            if (first == nullptr) _VM_throwNullPointer();
            first->paint(g, PAGE_WIDTH / 2, PAGE_HEIGHT / 2, 0);
        } else {
            VMPtr<ts::AnimSet> set = ts::Resources::getAnimSet((*p)[1]);
            set->setGobs(gobs);
            set->paintFrame(g, 0, PAGE_WIDTH / 2, PAGE_HEIGHT / 2, 0);
        }
    }
    VMPtr<VMInts> position = barPosition;
    if (switches->get(SWITCH_TEXT)) {
        VMPtr<utility::MyFont> f = font;
        f->useFont(textFont);
        VMPtr<ts::util::text::Translation> texts = f->texts;
        VMPtr<java::lang::String> s = texts->getString(textId);
        VMPtr<ts::util::text::RichFont> rich = f->richFont;
        rich->drawString(g, s, (PAGE_WIDTH - rich->stringWidth(s)) / 2, (*position)[1] - rich->getHeight(),
                         Graphics::TOP | Graphics::LEFT);
    }
    if (switches->get(SWITCH_BAR)) {
        VMPtr<VMInts> colours = barColours;
        g->setColor((*colours)[0]);
        for (jint k = barSize / 4; k < barSize / 2 - 1; ++k) {
            g->drawRect((*position)[0] + k, (*position)[1] + k, 11 * barSize - 2 * k - 1, 2 * barSize - 2 * k - 1);
        }
    }
}

void LoadingPage::paintCells(VMPtr<Graphics> g) {
    VMPtr<VMInts> colours = barColours;
    VMPtr<VMInts> position = barPosition;
    g->setColor((*colours)[1]);
    // Without steps there is no bar to fill; the product is taken in 64 bits
    // so that long loadings do not overflow it.
    const jint n = total < 1 ? 0 : jint((jlong(progress) * cellCount * 1000 / total) / 1000);
    g->setClip(0, 0, PAGE_WIDTH, PAGE_HEIGHT);
    const jint x = (*position)[0] + barSize / 2;
    const jint y = (*position)[1] + barSize / 2;
    if (continuous) {
        if (n > 0) g->fillRect(x, y, n, barSize);
        return;
    }
    for (jint i = 0; i < n; ++i) g->fillRect(x + i * cellWidth, y, cellWidth - 1, barSize);
    if (progress == total && n > 0) g->fillRect(x + (n - 1) * cellWidth, y, cellWidth, barSize);
}

}  // namespace com::ventrix::ui

VM_REGISTER_CLASS(com::ventrix::ui::LoadingPage, .name = "com.ventrix.ui.LoadingPage",
                  .newInstance = _VM_newInstanceOf<com::ventrix::ui::LoadingPage>)
