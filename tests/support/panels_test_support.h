// Test support for overlay panels, list menus and the touch input: the test
// data set's panel pack, a bitmap font that logs the strings it draws, and a
// fixture that starts every test with a fresh pointer singleton, an empty
// key-region registry and an empty event queue.
#pragma once

#include <string>
#include <vector>

#include "com_ventrix_ui_Addon.h"
#include "com_ventrix_ui_ListMenu.h"
#include "com_ventrix_utility_MyPointer.h"
#include "scenes_test_support.h"
#include "ts_util_text_RichFont.h"

namespace paneltest {

// assets/test/pack25_panels.json
constexpr jint kPack = 25 * 1024;
constexpr jint kGobs = kPack + 1;
constexpr jint kPanelSet = kPack + 2;  // frame 0: label box 0, text box 1
constexpr jint kListSet = kPack + 3;   // frame 0: rows of 200 x 60, boxes 3 and 4; frame 1: marker
constexpr jint kFlatSet = kPack + 4;   // a row box without height

// A copy of a font that logs "x y anchor text" for each drawn string and
// can report a height of its own.
class LogFont : public ts::util::text::RichFont {
    VM_DECLARE_CLASS(LogFont, ts::util::text::RichFont)

public:
    std::vector<std::string> drawn;
    jint forcedHeight = -1;  // -1: the font's own

    VMPtr<LogFont> construct(VMPtr<ts::util::text::RichFont> other) {
        Super::construct(other);
        return this;
    }
    void drawString(VMPtr<Graphics> g, VMPtr<java::lang::String> s, jint x, jint y, jint anchor) override;
    jint getHeight() override { return forcedHeight >= 0 ? forcedHeight : Super::getHeight(); }
};

class PanelTest : public scenetest::SceneTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // MyFont's renderer replaced by a logging copy (after selecting font).
    VMPtr<LogFont> logFont(jint font);
    // One frame of touch input: the poll, then the panel's input pass.
    void frame(const VMPtr<com::ventrix::ui::Addon>& panel);
    static VMPtr<VMInts> ints(std::initializer_list<jint> values);
};

}  // namespace paneltest
