// scene.menu.MenuButton: a touch button of the option pages.
#include "scene_menu_MenuButton.h"

#include "ts_util_text_Translation.h"

namespace scene::menu {

using com::ventrix::ui::Addon;
using com::ventrix::utility::MyFont;

namespace {

constexpr jint kLabels0[5] = {2, 3, 4, 5, 6};  // the help topics
constexpr jint kLabels1[2] = {11, 10};         // sound off, on

}  // namespace

VMPtr<MenuButton> MenuButton::construct() {
    Super::construct();
    font = MyFont::getInstance();
    return this;
}

void MenuButton::setKind(jint value) { kind = value; }

void MenuButton::setPressed(jboolean pressed) { setSlotIndex(1, pressed ? 1 : 0); }

void MenuButton::setOffset(jint dx, jint dy) {
    setSlotPosition(0, dx, dy);
    setSlotPosition(1, dx, dy);
    VMPtr<Addon> l = label;
    if (l == nullptr) return;
    // The label keeps its box size, so that it stays centred on the face.
    VMPtr<VMArray<java::lang::String, 1>> texts = l->labelText;
    VMPtr<VMInts> widths = l->labelWidth;
    VMPtr<VMInts> heights = l->labelHeight;
    l->setLabel(0, texts->get(0), labelX + dx, labelY + dy, (*widths)[0], (*heights)[0]);
}

void MenuButton::setup(jint index) {
    jint text, image, set, layoutBox, frame;
    if ((kind == 0 || (kind == 2 && index >= 2)) && index >= 0) {
        const jint i = kind == 0 ? index : index - 2;
        if (i >= 5) return;
        text = kLabels0[i];
        image = FACE_A_IMAGE;
        set = FACE_A_SET;
        layoutBox = kind == 0 ? index + 1 : 7;
        frame = i + 1;
    } else if ((kind == 1 || kind == 2) && index >= 0 && index < 2) {
        text = kLabels1[index];
        image = FACE_B_IMAGE;
        set = FACE_B_SET;
        layoutBox = kind == 1 ? index + 1 : 6;
        frame = index + 1;
    } else {
        return;  // no such button: keep the one shown
    }
    textId = text;

    const jboolean first = getSlotCount() == 0;
    if (first) {
        setSlotCapacity(2);
        addFrame(image, set, 0, SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2);
        addAnimation(HIGHLIGHT_IMAGE, HIGHLIGHT_SET, 0, 0, 0);
    } else {
        loadFrame(0, image, set, 0, SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2);
    }

    // The place from the layout frame, then the face there.
    VMPtr<VMInts> work = VMInts::create(5);
    getCollisionRects(0, work, layoutBox);
    setSlotIndex(0, frame);
    setSlotPosition(0, (*work)[0], (*work)[1]);
    setSlotPosition(1, (*work)[0], (*work)[1]);

    // The label box of the face.
    getCollisionRects(0, work, LABEL_BOX);
    if (first || label == nullptr) {
        VMPtr<Addon> l = Addon::create()->construct();
        label = l;
        l->initLabels(1);
        l->addLabel(textId, (*work)[0], (*work)[1], (*work)[2], (*work)[3]);
        l->setLabelFont(0, 0);
    } else {
        VMPtr<Addon> l = label;
        VMPtr<MyFont> f = font;
        VMPtr<ts::util::text::Translation> texts = f->texts;
        if (texts == nullptr) _VM_throwNullPointer();
        l->setLabel(0, texts->getString(textId), (*work)[0], (*work)[1], (*work)[2], (*work)[3]);
        l->setLabelFont(0, 0);
    }
    labelX = (*work)[0];
    labelY = (*work)[1];
}

void MenuButton::paint(VMPtr<Graphics> g) {
    if (!isVisible()) return;
    Super::paint(g);
    VMPtr<Addon> l = label;
    if (l != nullptr) l->paint(g);
}

}  // namespace scene::menu

VM_REGISTER_CLASS(scene::menu::MenuButton, .name = "scene.menu.MenuButton",
                  .newInstance = _VM_newInstanceOf<scene::menu::MenuButton>)
