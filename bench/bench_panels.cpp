// Overlay panels and list menus over the test data set's fonts, texts and
// panel graphics. Targets at -O2:
//   BM_ListMenuUpdateAndPaint    at most 0.3 ms for one input pass and one
//                                paint of a list menu of 8 rows
//   BM_FramedPanelPaint          at most 0.5 ms for one paint of a framed
//                                panel with a 20-line text and 6 labels
#include <benchmark/benchmark.h>

#include "VM.h"
#include "bench_support.h"
#include "com_ventrix_common_CommonCanvas.h"
#include "com_ventrix_ui_Addon.h"
#include "com_ventrix_ui_ListMenu.h"
#include "com_ventrix_utility_MyFont.h"
#include "com_ventrix_utility_MyObject.h"
#include "com_ventrix_utility_MyPointer.h"
#include "com_ventrix_utility_ResManager.h"
#include "hal_system.h"
#include "java_lang_Throwable.h"
#include "javax_microedition_lcdui_Image.h"
#include "ts_Resources.h"

#ifndef VESSILO_BENCH_TEST_FOLDER
#define VESSILO_BENCH_TEST_FOLDER ""
#endif

namespace benchpanels {

using com::ventrix::utility::MyFont;
using com::ventrix::utility::MyObject;
using Graphics = javax::microedition::lcdui::Graphics;

constexpr jint kTexts = 20 * 1024, kFontSmall = 17 * 1024 + 1, kFontLarge = 17 * 1024 + 3;
constexpr jint kGobs = 25 * 1024 + 1, kPanelSet = 25 * 1024 + 2, kListSet = 25 * 1024 + 3;

// The canvas, the test data set's folder, texts and fonts; false when the
// data set is missing.
bool setUp(VMPtr<Graphics>& g) {
    benchBoot();
    HAL_setProgramDirectory(VESSILO_BENCH_TEST_FOLDER);
    static VMStatic<com::ventrix::common::CommonCanvas> canvas;
    if (canvas == nullptr) {
        canvas = com::ventrix::common::CommonCanvas::create()->construct(nullptr);
        canvas->postEvent(ts::TsCanvas::EVENT_EXIT);  // the benchmark draws by itself
    }
    _VM_ensureInitialized(MyObject::_VM_classRecord);
    MyObject::canvas = canvas;
    com::ventrix::utility::ResManager::clear();
    VMPtr<MyFont> font = MyFont::getInstance();
    try {
        font->loadTexts(kTexts);
    } catch (java::lang::Throwable* t) {
        VMPtr<java::lang::Throwable> keep(t);
        return false;
    }
    if (font->texts == nullptr) return false;
    VMPtr<VMArray<jint, 1>> ids = VMArray<jint, 1>::create(2);
    (*ids)[0] = kFontSmall;
    (*ids)[1] = kFontLarge;
    font->setFontResourceIds(ids);
    g = javax::microedition::lcdui::Image::createImage(480, 640)->getGraphics();
    return true;
}

void BM_ListMenuUpdateAndPaint(benchmark::State& state) {
    benchBoot();
    VMPtr<Graphics> g;
    if (!setUp(g)) {
        state.SkipWithError("the test data set is missing");
        return;
    }
    VMPtr<com::ventrix::ui::ListMenu> menu = com::ventrix::ui::ListMenu::create()->construct();
    menu->setListResources(kGobs, kListSet);
    menu->setBounds(140, 60, 200, 520);
    menu->setItemCount(8);
    for (jint i = 0; i < 8; ++i) (*menu->items)[i] = 5;
    menu->open();
    menu->setActive(true);
    menu->selected = 2;
    VMPtr<com::ventrix::utility::MyPointer> pointer = com::ventrix::utility::MyPointer::getInstance();
    for (auto _ : state) {
        pointer->update();
        menu->handleInput(0, 0);
        menu->selected = 2;
        menu->paint(g);
    }
    menu->release();
}
BENCHMARK(BM_ListMenuUpdateAndPaint);

void BM_FramedPanelPaint(benchmark::State& state) {
    benchBoot();
    VMPtr<Graphics> g;
    if (!setUp(g)) {
        state.SkipWithError("the test data set is missing");
        return;
    }
    VMPtr<com::ventrix::ui::Addon> panel = com::ventrix::ui::Addon::create()->construct();
    panel->loadPanelResources(kGobs, kPanelSet);
    panel->initLabels(6);
    panel->setPanelFrame(0);
    panel->setScrollable(true);
    std::string text;
    for (int i = 1; i <= 20; ++i) text += "Line " + std::to_string(i) + " of the panel's text\n";
    panel->setText(java::lang::String::_VM_fromUTF8(text.c_str()));
    for (jint i = 0; i < 6; ++i) panel->addLabel(5, 130, 20 + 30 * i, 220);
    panel->setActive(true);
    for (auto _ : state) panel->paint(g);
    panel->release();
}
BENCHMARK(BM_FramedPanelPaint);

}  // namespace benchpanels
