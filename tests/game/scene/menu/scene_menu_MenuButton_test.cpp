// The menu button: what each kind and index shows and where, a second set-up
// that changes the face only, indices outside the tables, and drawing.
#include "menu_test_support.h"
#include "scene_menu_MenuButton.h"

using com::ventrix::utility::ResManager;
using scene::menu::MenuButton;

namespace {

class MenuButtonTest : public menutest::MenuFixture {
protected:
    // The animation set resource of a layer.
    static jint setOf(MenuButton* b, jint slot) {
        return (*ResManager::slotKeys->get(ResManager::KEY_ANIM))[b->getAnimSetIndex(slot)];
    }
    static std::string labelOf(MenuButton* b) { return text(b->label->labelText->get(0)); }
    static std::string textOf(jint id) {
        return text(com::ventrix::utility::MyFont::getInstance()->texts->getString(id));
    }
};

TEST_F(MenuButtonTest, EachKindAndIndexChoosesLabelFaceAndPlace) {
    struct Case {
        jint kind, index, textId, set, frame, x, y;
    };
    // Layout boxes: 1-5 at x 80, y 140 + 84 (n - 1) (set B: 1 at y 336, 2 at
    // y 236), 6 at y 200, 7 at y 320. Faces are 320 x 72, the label box
    // begins 64 to the right of the face.
    const Case cases[] = {
        {0, 0, 2, 0xc04, 1, 80, 140},  {0, 2, 4, 0xc04, 3, 80, 308},  {0, 4, 6, 0xc04, 5, 80, 476},
        {1, 0, 11, 0xc01, 1, 80, 336}, {1, 1, 10, 0xc01, 2, 80, 236}, {2, 0, 11, 0xc01, 1, 80, 200},
        {2, 1, 10, 0xc01, 2, 80, 200}, {2, 2, 2, 0xc04, 1, 80, 320},  {2, 6, 6, 0xc04, 5, 80, 320},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " index " + std::to_string(c.index));
        VMPtr<MenuButton> b = MenuButton::create()->construct();
        b->setKind(c.kind);
        b->setup(c.index);
        EXPECT_EQ(b->textId, c.textId);
        EXPECT_EQ(labelOf(b.get()), textOf(c.textId));
        EXPECT_EQ(setOf(b.get(), 0), c.set);
        EXPECT_EQ(setOf(b.get(), 1), 0xc05);
        EXPECT_EQ(b->getSlotIndex(0), c.frame);
        EXPECT_EQ((std::vector<jint>{b->getSlotX(0), b->getSlotY(0), b->getSlotX(1), b->getSlotY(1)}),
                  (std::vector<jint>{c.x, c.y, c.x, c.y}));
        EXPECT_EQ((std::vector<jint>{b->labelX, b->labelY}), (std::vector<jint>{c.x + 64, c.y}));
        // The touch area is the face.
        VMPtr<VMInts> point = VMInts::create(5);
        (*point)[0] = c.x + 10;
        (*point)[1] = c.y + 10;
        EXPECT_TRUE(b->collides(0, MenuButton::TOUCH_BOX, point));
        (*point)[1] = c.y - 10;
        EXPECT_FALSE(b->collides(0, MenuButton::TOUCH_BOX, point));
        b->release();
    }
}

TEST_F(MenuButtonTest, ASecondSetupReplacesTheFaceAndKeepsOneHighlight) {
    VMPtr<MenuButton> b = MenuButton::create()->construct();
    b->setKind(1);
    b->setup(0);
    b->setPressed(true);
    ts::Paintable* highlight = b->paintables->get(1);
    com::ventrix::ui::Addon* label = b->label.get();
    EXPECT_EQ(b->getSlotIndex(1), 1);

    b->setKind(0);
    b->setup(3);
    EXPECT_EQ(b->getSlotCount(), 2);
    EXPECT_EQ(b->paintables->get(1), highlight);  // the same player, still pressed
    EXPECT_EQ(b->getSlotIndex(1), 1);
    EXPECT_EQ(b->label.get(), label);
    EXPECT_EQ(b->label->labelCount, 1);
    EXPECT_EQ(labelOf(b.get()), textOf(5));
    EXPECT_EQ(setOf(b.get(), 0), 0xc04);
    EXPECT_EQ((std::vector<jint>{b->getSlotIndex(0), b->getSlotX(0), b->getSlotY(0)}), (std::vector<jint>{4, 80, 392}));
    // The highlight's layer moved with the face.
    EXPECT_EQ((std::vector<jint>{b->getSlotX(1), b->getSlotY(1)}), (std::vector<jint>{80, 392}));
    b->setPressed(false);
    EXPECT_EQ(b->getSlotIndex(1), 0);

    // Moving the button moves both layers and its label.
    b->setOffset(5, 7);
    EXPECT_EQ((std::vector<jint>{b->getSlotX(0), b->getSlotY(1)}), (std::vector<jint>{5, 7}));
    EXPECT_EQ((*b->label->labelPosition->get(0))[0], 80 + 64 + 5);
    b->release();
}

// A stored option index outside 0 to 4 (page kind 2 shows it as index + 2)
// or any index outside a kind's table leaves the button as it was.
TEST_F(MenuButtonTest, AnIndexOutsideItsTableLeavesTheButtonAsItWas) {
    VMPtr<MenuButton> fresh = MenuButton::create()->construct();
    for (jint kind : {0, 1, 2, 3, -1}) {
        fresh->setKind(kind);
        for (jint index : {-1, 7, 100}) fresh->setup(index);
    }
    EXPECT_EQ(fresh->getSlotCount(), 0);
    EXPECT_EQ(fresh->label.get(), nullptr);

    VMPtr<MenuButton> b = MenuButton::create()->construct();
    b->setKind(2);
    b->setup(3);
    const struct { jint kind, index; } bad[] = {{0, 5}, {0, -1}, {1, 2}, {1, -1}, {2, 7}, {2, -2}, {3, 0}};
    for (const auto& c : bad) {
        b->setKind(c.kind);
        b->setup(c.index);
        EXPECT_EQ(b->textId, 3);
        EXPECT_EQ(labelOf(b.get()), textOf(3));
        EXPECT_EQ((std::vector<jint>{b->getSlotIndex(0), b->getSlotX(0), b->getSlotY(0)}),
                  (std::vector<jint>{2, 80, 320}));
    }
    fresh->release();
    b->release();
}

TEST_F(MenuButtonTest, AnInvisibleButtonDrawsNothing) {
    VMPtr<MenuButton> b = MenuButton::create()->construct();
    b->setup(0);
    VMPtr<javax::microedition::lcdui::Image> image = javax::microedition::lcdui::Image::createImage(480, 640);
    VMPtr<javax::microedition::lcdui::Graphics> g = image->getGraphics();
    g->setColor(0x102030);
    g->fillRect(0, 0, 480, 640);
    const Picture before = scenetest::pictureOfImage(image);
    b->setVisible(false);
    b->paint(g);
    EXPECT_EQ(scenetest::pictureOfImage(image).argb, before.argb);
    b->setVisible(true);
    b->paint(g);
    const Picture after = scenetest::pictureOfImage(image);
    EXPECT_NE(after.argb, before.argb);
    // The face, and the label's letters on it.
    EXPECT_NE(after.at(240, 176), before.at(240, 176));
    b->release();
}

}  // namespace
