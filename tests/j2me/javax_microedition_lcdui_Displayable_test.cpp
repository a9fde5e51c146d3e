// Displayable commands and ticker, command events (15) through the display
// to the command listener, the repaint event (7), and the display's alert
// rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VMRuntime.h"
#include "hal.h"
#include "hal_command.h"
#include "java_lang_RuntimeException.h"
#include "javax_microedition_lcdui_Alert.h"
#include "javax_microedition_lcdui_Display.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "vm_test.h"

namespace lcduitest {

using namespace javax::microedition::lcdui;

std::vector<std::string> g_log;

bool eventLockHeld() { return Display::eventLock->_VM_owner == VMThread::current(); }

// Counts what the platform was told.
struct CountingPeer : HAL_WindowObject {
    using HAL_WindowObject::HAL_WindowObject;
    int adds = 0, removes = 0, tickers = 0;
    std::u16string tickerText;
    void addCommand(HAL_Command* c) override {
        ++adds;
        HAL_WindowObject::addCommand(c);
    }
    void removeCommand(HAL_Command* c) override {
        ++removes;
        HAL_WindowObject::removeCommand(c);
    }
    void setTicker(const char16_t* characters, int32_t length) override {
        ++tickers;
        tickerText.assign(characters, size_t(length));
    }
};

// A displayable with a counting peer that logs when it is shown or hidden.
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
    VMField<Graphics> painted;
    void callPaint(VMPtr<Graphics> g) override {
        painted = g;
        g_log.push_back(name + " paint " + std::to_string(g->getClipWidth()) + "x" + std::to_string(g->getClipHeight()));
        g->setColor(0x0000FF);
        g->fillRect(0, 0, 2, 1);
    }
    void markReferences(uint32_t bits) override {
        Super::markReferences(bits);
        _VM_markRef(painted, bits);
    }
    void callShowNotify() override { g_log.push_back(name + " shown"); }
    void callHideNotify() override { g_log.push_back(name + " hidden"); }
};

class Listener : public virtual java::lang::Object, public virtual CommandListener {
    VM_DECLARE_CLASS(Listener, java::lang::Object)

public:
    bool throws = false;
    void commandAction(VMPtr<Command> c, VMPtr<Displayable> d) override {
        auto* on = dynamic_cast<Screenful*>(d.get());
        g_log.push_back(text(c->getLabel()) + " on " + (on ? on->name : "?") + (eventLockHeld() ? "" : " unlocked"));
        if (throws) _VM_throw(java::lang::RuntimeException::create()->construct(VM_STR("listener failed")));
    }
};

}  // namespace lcduitest

VM_REGISTER_CLASS(lcduitest::Screenful, .name = "lcduitest.Screenful",
                  .sourceName = "tests/j2me/javax_microedition_lcdui_Displayable_test")
VM_REGISTER_CLASS(lcduitest::Listener, .name = "lcduitest.Listener",
                  .sourceName = "tests/j2me/javax_microedition_lcdui_Displayable_test",
                  .interfaces = {"javax.microedition.lcdui.CommandListener"})

namespace {

using namespace lcduitest;

class DisplayableTest : public VMTest {
protected:
    void SetUp() override {
        VMTest::SetUp();
        display = Display::getDisplay(nullptr).get();  // the static keeps it
        display->requested = nullptr;  // no alert left over from another test
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
    static VMPtr<Alert> alert() { return Alert::create()->construct(VM_STR("Note")); }
    static void commandEvent(intptr_t id) { _VM_dispatchEvent(15, 1, &id); }
    // The labels of the first commandCount elements, in order.
    static std::string listed(const VMPtr<Screenful>& s) {
        std::string labels;
        for (jint i = 0; i < s->commandCount; ++i) labels += text(s->commands->get(i)->label);
        return labels;
    }
    Display* display = nullptr;
};

TEST_F(DisplayableTest, CommandsAreListedOnceAndReachThePeer) {
    VMPtr<Screenful> s = screen("s");
    VMPtr<Command> a = command("a"), b = command("b"), c = command("c"), d = command("d"), e = command("e");
    EXPECT_EQ(VM_THROWN_CLASS(s->addCommand(nullptr)), "java.lang.NullPointerException");
    for (const VMPtr<Command>& each : {a, b, c, d}) s->addCommand(each);
    EXPECT_EQ(s->commands->length, 4);
    s->addCommand(b);  // listed already: once in the list, but the peer is told again
    EXPECT_EQ(s->addToCommandList(b), -1);
    s->addCommand(e);  // the fifth grows the array by four
    EXPECT_EQ(s->commands->length, 8);
    EXPECT_EQ(listed(s), "abcde");
    EXPECT_EQ(s->counting()->adds, 6);
    EXPECT_EQ(s->counting()->commands(), (std::vector<HAL_Command*>{a->peer, b->peer, c->peer, d->peer, e->peer}));

    s->removeCommand(a);  // the last moves into its place
    EXPECT_EQ(listed(s), "ebcd");
    EXPECT_EQ(s->commands->get(4), nullptr);
    s->removeCommand(a);  // not listed: the peer is not told
    s->removeCommand(nullptr);
    EXPECT_EQ(s->counting()->removes, 1);
    EXPECT_EQ(s->counting()->commands(), (std::vector<HAL_Command*>{b->peer, c->peer, d->peer, e->peer}));
}

TEST_F(DisplayableTest, ATickerReachesThePeerOnlyWhenAnotherIsSet) {
    VMPtr<Screenful> s = screen("s");
    EXPECT_EQ(VM_THROWN_CLASS(Ticker::create()->construct(nullptr)), "java.lang.NullPointerException");
    VMPtr<Ticker> t = Ticker::create()->construct(VM_STR("Breaking news"));
    s->setTicker(t);
    s->setTicker(t);
    EXPECT_EQ(s->getTicker(), t);
    EXPECT_EQ(s->counting()->tickers, 1);
    EXPECT_EQ(s->counting()->tickerText, u"Breaking news");
    s->setTicker(nullptr);  // the peer gets no text, which it ignores
    EXPECT_EQ(s->getTicker(), nullptr);
    EXPECT_EQ(s->counting()->tickers, 1);
    s->setTicker(Ticker::create()->construct(VM_STR("Later")));
    EXPECT_EQ(s->counting()->tickerText, u"Later");
}

TEST_F(DisplayableTest, CommandEventsReachTheCurrentDisplayablesListener) {
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
    commandEvent(ok->_VM_platformId());
    commandEvent(elsewhere->_VM_platformId());  // not the current displayable's
    commandEvent(0);
    listener->throws = true;  // printed and dropped
    commandEvent(ok->_VM_platformId());
    listener->throws = false;
    s->removeCommand(back);
    commandEvent(back->_VM_platformId());
    s->setCommandListener(nullptr);
    commandEvent(ok->_VM_platformId());
    EXPECT_EQ(g_log, (std::vector<std::string>{"back on s", "ok on s", "ok on s"}));

    // Through the host bridge's event posting, as a platform sender posts it.
    s->setCommandListener(listener);
    g_log.clear();
    const intptr_t args[1] = {ok->_VM_platformId()};
    hostPostEvent(15, 1, args, 0);
    EXPECT_EQ(g_log, std::vector<std::string>{"ok on s"});
}

TEST_F(DisplayableTest, ARepaintPaintsThroughTheGivenContextAndDeletesIt) {
    VMPtr<Screenful> s = screen("s");
    HAL_Image* image = nullptr;
    ASSERT_EQ(HAL_createMutableImage(&image, 4, 2), 0);
    HAL_Graphics* context = nullptr;
    ASSERT_EQ(HAL_createGraphicsWithImage(&context, image), 0);
    std::vector<intptr_t> args = {reinterpret_cast<intptr_t>(context), s->ownerValue(), 3, 2};
    _VM_dispatchEvent(7, 4, args.data());
    EXPECT_EQ(g_log, std::vector<std::string>{"s paint 3x2"});
    ASSERT_NE(s->painted, nullptr);
    EXPECT_EQ(s->painted->nativeContext, nullptr);  // deleted once painted
    int32_t pixels[4] = {};
    ASSERT_EQ(HAL_getMutableRGB(image, pixels, 4, 0, 4, 0, 0, 4, 1), 0);
    EXPECT_EQ(uint32_t(pixels[1]), 0xFF0000FFu);
    EXPECT_EQ(uint32_t(pixels[2]), 0xFFFFFFFFu);
    args[0] = 0;  // no context: nothing is painted
    _VM_dispatchEvent(7, 4, args.data());
    EXPECT_EQ(g_log.size(), 1u);
    HAL_deleteImage(image);
}

TEST_F(DisplayableTest, AlertsAreFollowedByTheRequestedOrTheGivenDisplayable) {
    VMPtr<Screenful> a = screen("a"), b = screen("b");
    VMPtr<Alert> first = alert(), second = alert(), third = alert();
    display->setCurrent(a);
    g_log.clear();

    // An alert is followed by what was requested before it: here a, which
    // stays shown.
    display->setCurrent(first);
    EXPECT_EQ(first->_VM_getNext(), a);
    EXPECT_EQ(display->requested, first);
    EXPECT_EQ(display->getCurrent(), a);
    display->setCurrent(first);  // the same alert again is no second alert
    EXPECT_EQ(VM_THROWN_CLASS(display->setCurrent(second)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(second->_VM_getNext(), nullptr);
    EXPECT_TRUE(g_log.empty());

    // An alert with its next displayable: the next one replaces a.
    display->setCurrent(second, b);
    EXPECT_EQ(second->_VM_getNext(), b);
    EXPECT_EQ(display->getCurrent(), b);
    EXPECT_EQ(g_log, (std::vector<std::string>{"a hidden", "b shown"}));
    EXPECT_EQ(VM_THROWN_CLASS(display->setCurrent(nullptr, b)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(display->setCurrent(third, nullptr)), "java.lang.NullPointerException");
    EXPECT_EQ(VM_THROWN_CLASS(display->setCurrent(third, first)), "java.lang.IllegalArgumentException");
    EXPECT_EQ(third->_VM_getNext(), nullptr);

    // After a plain displayable, an alert is allowed again and restores it.
    display->setCurrent(a);
    display->setCurrent(third);
    EXPECT_EQ(third->_VM_getNext(), a);
    EXPECT_EQ(display->getCurrent(), a);
    EXPECT_EQ(g_log, (std::vector<std::string>{"a hidden", "b shown", "b hidden", "a shown"}));
}

}  // namespace
