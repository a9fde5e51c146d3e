// Displayable commands and ticker, command events (15) to the listener, the
// repaint event (7), and the display's alert rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VMRuntime.h"
#include "hal.h"
#include "hal_graphics.h"
#include "hal_image.h"
#include "java_lang_RuntimeException.h"
#include "javax_microedition_lcdui_Alert.h"
#include "javax_microedition_lcdui_Display.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "vm_test.h"

namespace lcduitest {

using namespace javax::microedition::lcdui;

std::vector<std::string> g_log;

// Counts the commands and tickers the platform was told of.
struct CountingPeer : HAL_WindowObject {
    using HAL_WindowObject::HAL_WindowObject;
    int adds = 0, removes = 0, tickers = 0;
    void addCommand(HAL_Command* c) override { ++adds, HAL_WindowObject::addCommand(c); }
    void removeCommand(HAL_Command* c) override { ++removes, HAL_WindowObject::removeCommand(c); }
    void setTicker(const char16_t*, int32_t) override { ++tickers; }
};

// A displayable over a counting peer that logs its show, hide and paint.
class Screenful : public Displayable {
    VM_DECLARE_CLASS(Screenful, Displayable)

public:
    std::string name;
    ~Screenful() override { delete peer; }
    VMPtr<Screenful> construct() {
        Super::construct(new CountingPeer(ownerValue()));
        return this;
    }
    CountingPeer* counting() { return static_cast<CountingPeer*>(peer); }
    void callShowNotify() override { g_log.push_back(name + " shown"); }
    void callHideNotify() override { g_log.push_back(name + " hidden"); }
    void callPaint(VMPtr<Graphics> g) override {
        g_log.push_back(name + " paint " + std::to_string(g->getClipWidth()) + "x" +
                        std::to_string(g->getClipHeight()));
        g->setColor(0x0000FF);
        g->fillRect(0, 0, 2, 1);
    }
};

class Listener : public virtual java::lang::Object, public virtual CommandListener {
    VM_DECLARE_CLASS(Listener, java::lang::Object)

public:
    bool throws = false;
    void commandAction(VMPtr<Command> c, VMPtr<Displayable> d) override {
        const bool locked = Display::eventLock->_VM_owner == VMThread::current();
        g_log.push_back(text(c->getLabel()) + " on " + static_cast<Screenful*>(d.get())->name +
                        (locked ? "" : " unlocked"));
        if (throws) _VM_throw(java::lang::RuntimeException::create()->construct(VM_STR("listener failed")));
    }
};

}  // namespace lcduitest

VM_REGISTER_CLASS(lcduitest::Screenful, .name = "lcduitest.Screenful")
VM_REGISTER_CLASS(lcduitest::Listener, .name = "lcduitest.Listener",
                  .interfaces = {"javax.microedition.lcdui.CommandListener"})

namespace {

using namespace lcduitest;

class DisplayableTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        display = Display::getDisplay(nullptr).get();  // the static keeps it
        display->requested = nullptr;                  // no alert left over from another test
        g_log.clear();
    }
    static VMPtr<Screenful> screen(const char* name) {
        VMPtr<Screenful> s = Screenful::create()->construct();
        s->name = name;
        return s;
    }
    static VMPtr<Command> command(const char* label) {
        return Command::create()->construct(java::lang::String::_VM_fromUTF8(label), Command::SCREEN, 1);
    }
    static void commandEvent(intptr_t id) { _VM_dispatchEvent(15, 1, &id); }
    static std::string listed(const VMPtr<Screenful>& s) {
        std::string labels;
        for (jint i = 0; i < s->commandCount; ++i) labels += text(s->commands->get(i)->getLabel());
        return labels;
    }
    Display* display = nullptr;
};

TEST_F(DisplayableTest, CommandsAndTickersReachThePeer) {
    VMPtr<Screenful> s = screen("s");
    VMPtr<Command> a = command("a"), b = command("b"), c = command("c"), d = command("d"), e = command("e");
    EXPECT_EQ(VM_THROWN_CLASS(s->addCommand(nullptr)), "java.lang.NullPointerException");
    for (const VMPtr<Command>& each : {a, b, c, d, b, e}) s->addCommand(each);  // b twice
    EXPECT_EQ(listed(s), "abcde");
    EXPECT_EQ(s->commands->length, 8);  // grown by four for the fifth
    EXPECT_EQ(s->counting()->adds, 6);  // the second b is told too; the peer keeps it once
    EXPECT_EQ(s->counting()->commands(), (std::vector<HAL_Command*>{a->peer, b->peer, c->peer, d->peer, e->peer}));
    s->removeCommand(a);  // the last moves into its place
    s->removeCommand(a);  // not listed: the peer is not told
    EXPECT_EQ(listed(s), "ebcd");
    EXPECT_EQ(s->commands->get(4), nullptr);
    EXPECT_EQ(s->counting()->removes, 1);

    VMPtr<Ticker> t = Ticker::create()->construct(VM_STR("News"));
    s->setTicker(t);
    s->setTicker(t);
    s->setTicker(nullptr);  // told without text, which the platform ignores
    EXPECT_EQ(s->getTicker(), nullptr);
    EXPECT_EQ(s->counting()->tickers, 1);
    EXPECT_EQ(VM_THROWN_CLASS(Ticker::create()->construct(nullptr)), "java.lang.NullPointerException");
}

TEST_F(DisplayableTest, CommandEventsReachTheCurrentDisplayablesListenerUnderTheEventLock) {
    VMPtr<Screenful> s = screen("s"), other = screen("other");
    VMPtr<Command> ok = command("ok"), back = command("back"), elsewhere = command("elsewhere");
    VMPtr<Listener> listener = Listener::create();
    s->addCommand(ok);
    s->addCommand(back);
    other->addCommand(elsewhere);
    other->setCommandListener(listener);
    display->setCurrent(s);
    g_log.clear();

    commandEvent(back->_VM_platformId());  // no listener yet
    s->setCommandListener(listener);
    commandEvent(back->_VM_platformId());
    commandEvent(elsewhere->_VM_platformId());  // not the current displayable's
    commandEvent(0);
    listener->throws = true;  // printed and dropped
    commandEvent(ok->_VM_platformId());
    listener->throws = false;
    s->removeCommand(back);
    commandEvent(back->_VM_platformId());
    const intptr_t args[1] = {ok->_VM_platformId()};
    hostPostEvent(15, 1, args, 0);  // as a platform sender posts it
    EXPECT_EQ(g_log, (std::vector<std::string>{"back on s", "ok on s", "ok on s"}));
}

TEST_F(DisplayableTest, ARepaintPaintsThroughTheGivenContextOnly) {
    VMPtr<Screenful> s = screen("s");
    HAL_Image* image = nullptr;
    HAL_Graphics* context = nullptr;
    ASSERT_EQ(HAL_createMutableImage(&image, 4, 1), 0);
    ASSERT_EQ(HAL_createGraphicsWithImage(&context, image), 0);
    std::vector<intptr_t> args = {reinterpret_cast<intptr_t>(context), s->ownerValue(), 3, 1};
    _VM_dispatchEvent(7, 4, args.data());
    args[0] = 0;  // no context: nothing
    _VM_dispatchEvent(7, 4, args.data());
    EXPECT_EQ(g_log, std::vector<std::string>{"s paint 3x1"});
    int32_t pixels[4] = {};
    ASSERT_EQ(HAL_getMutableRGB(image, pixels, 4, 0, 4, 0, 0, 4, 1), 0);
    EXPECT_EQ(uint32_t(pixels[1]), 0xFF0000FFu);
    EXPECT_EQ(uint32_t(pixels[2]), 0xFFFFFFFFu);
    HAL_deleteImage(image);
}

TEST_F(DisplayableTest, AnAlertIsFollowedByTheRequestedOrTheGivenDisplayable) {
    VMPtr<Screenful> a = screen("a"), b = screen("b");
    VMPtr<Alert> first = Alert::create()->construct(nullptr), second = Alert::create()->construct(nullptr);
    display->setCurrent(a);
    g_log.clear();
    display->setCurrent(first);  // follows a, which stays shown
    display->setCurrent(first);  // the same alert again is no second one
    EXPECT_EQ(first->_VM_getNext(), a);
    EXPECT_EQ(display->requested, first);
    EXPECT_EQ(VM_THROWN_CLASS(display->setCurrent(second)), "java.lang.IllegalArgumentException");
    EXPECT_TRUE(g_log.empty());

    display->setCurrent(second, b);  // b replaces a
    EXPECT_EQ(second->_VM_getNext(), b);
    EXPECT_EQ(display->getCurrent(), b);
    EXPECT_EQ(VM_THROWN_CLASS(display->setCurrent(nullptr, b)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(display->setCurrent(first, nullptr)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(display->setCurrent(first, second)), "java.lang.IllegalArgumentException");

    display->setCurrent(a);
    display->setCurrent(first);  // after a plain displayable an alert is allowed again
    EXPECT_EQ(first->_VM_getNext(), a);
    EXPECT_EQ(g_log, (std::vector<std::string>{"a hidden", "b shown", "b hidden", "a shown"}));
}

}  // namespace
