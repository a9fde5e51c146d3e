// The MIDlet state machine and the application manager.
#include <gtest/gtest.h>

#include "VMRuntime.h"
#include "com_tarsel_sorrel_AMS.h"
#include "hal.h"
#include "java_lang_RuntimeException.h"
#include "host_support.h"
#include "program_dir.h"
#include "vessilo_test_ScriptMIDlet.h"
#include "vm_test.h"

namespace vessilo::test {

// A throwable whose text is made by code that throws and catches on its own.
class TroubledException : public java::lang::RuntimeException {
    VM_DECLARE_THROWABLE(TroubledException, java::lang::RuntimeException)

public:
    VMPtr<TroubledException> construct() {
        Super::construct();
        return this;
    }
    VMPtr<java::lang::String> toString() override {
        try {
            _VM_throwIllegalArgumentException();
        } catch (java::lang::Throwable* thrown) {
            VMPtr<java::lang::Throwable> keep(thrown);
        }
        return Super::toString();
    }
};

// A class whose construction fails with a TroubledException.
class TroubledStart : public virtual java::lang::Object {
    VM_DECLARE_CLASS(TroubledStart, java::lang::Object)

public:
    VMPtr<TroubledStart> construct() {
        Super::construct();
        _VM_throw(TroubledException::create()->construct());
    }
};

}  // namespace vessilo::test

VM_REGISTER_CLASS(vessilo::test::TroubledException, .name = "vessilo.test.TroubledException",
                  .sourceName = "tests/j2me/javax_microedition_midlet_MIDlet_test")
VM_REGISTER_CLASS(vessilo::test::TroubledStart, .name = "vessilo.test.TroubledStart",
                  .sourceName = "tests/j2me/javax_microedition_midlet_MIDlet_test",
                  .newInstance = _VM_newInstanceOf<vessilo::test::TroubledStart>)

namespace {

using com::tarsel::sorrel::AMS;
using javax::microedition::midlet::MIDlet;
using vessilo::test::ScriptMIDlet;

class MIDletTest : public VMTest {};

TEST_F(MIDletTest, TheStateMachineRefusesWhatItsTableRefuses) {
    // allowed[from][to]
    const bool allowed[7][7] = {
        /* 0 paused     */ {1, 1, 1, 1, 0, 1, 1},
        /* 1 active     */ {1, 1, 0, 0, 1, 1, 1},
        /* 2 created    */ {1, 1, 1, 1, 0, 1, 1},
        /* 3 starting   */ {1, 1, 1, 1, 1, 1, 1},
        /* 4 pausing    */ {1, 1, 1, 1, 1, 1, 1},
        /* 5 destroying */ {0, 0, 0, 0, 0, 0, 1},
        /* 6 destroyed  */ {0, 0, 0, 0, 0, 0, 0},
    };
    VMPtr<ScriptMIDlet> midlet = ScriptMIDlet::create()->construct();
    EXPECT_EQ(midlet->state, MIDlet::CREATED);
    for (jint from = 0; from < 7; ++from) {
        for (jint to = 0; to < 7; ++to) {
            midlet->state = from;
            EXPECT_EQ(midlet->setState(to), allowed[from][to]) << from << " -> " << to;
            EXPECT_EQ(midlet->state, allowed[from][to] ? to : from) << from << " -> " << to;
        }
    }
}

TEST_F(MIDletTest, NotifyDestroyedAndPlatformRequest) {
    VMPtr<ScriptMIDlet> midlet = ScriptMIDlet::create()->construct();
    midlet->state = MIDlet::ACTIVE;
    midlet->notifyDestroyed();
    EXPECT_EQ(midlet->state, MIDlet::DESTROYED);
    EXPECT_EQ(VM_THROWN_CLASS(midlet->platformRequest(nullptr)), "java.lang.NullPointerException");
    EXPECT_TRUE(midlet->platformRequest(VM_STR("http://example.org/game")));
    EXPECT_EQ(hostPendingURL(), u"http://example.org/game");
    // A later request replaces the earlier one.
    EXPECT_TRUE(midlet->platformRequest(VM_STR("")));
    EXPECT_EQ(hostPendingURL(), u"");
}

// "app.prop" with the given lines, loaded.
class AMSTest : public VMTest {
protected:
    void load(const std::string& appProp) {
        dir_.put("properties/app.prop", appProp);
        HAL_loadProperties();
    }
    void TearDown() override {
        HAL_releaseProperties();
        AMS::currentMIDlet = nullptr;
    }
    std::string log() { return readFile(dir_.root() + "midlet.log"); }
    void dispatch(int type) {
        _VM_dispatchEvent(type, 0, nullptr);
        _VM_runtime->exitRequested = false;  // the runtime's own listener of event 3
    }
    TempProgramDir dir_{"ams"};
};

TEST_F(AMSTest, TheThirdFieldOfMIDlet1NamesTheClass) {
    const struct {
        const char* value;
        const char* thrown;  // "" when it starts
    } cases[] = {
        {"Game, /icon.png,   vessilo.test.ScriptMIDlet  ", ""},
        {"vessilo.test.ScriptMIDlet", ""},
        {" vessilo.test.ScriptMIDlet ", ""},
        {"a,b,vessilo.test.ScriptMIDlet,extra", "java.lang.ClassNotFoundException"},
        {"Game,vessilo.test.ScriptMIDlet", "java.lang.ClassNotFoundException"},  // one comma: the whole value
        {"", "java.lang.ClassNotFoundException"},
        {"a, b, vessilo.test.NotAMIDlet", "java.lang.InstantiationException"},
        {"a, b, javax.microedition.midlet.MIDlet", "java.lang.InstantiationException"},  // abstract
    };
    for (const auto& c : cases) {
        load(std::string("MIDlet-1: ") + c.value + "\nTest-NoShow: true\n");
        AMS::currentMIDlet = nullptr;
        std::string thrown = VM_THROWN_CLASS(AMS::startMIDlet(1));
        EXPECT_EQ(thrown, c.thrown) << c.value;
        if (thrown.empty()) {
            ASSERT_NE(AMS::currentMIDlet, nullptr);
            EXPECT_EQ(AMS::currentMIDlet->state, MIDlet::ACTIVE);
        }
    }
    EXPECT_EQ(VM_THROWN_TEXT(AMS::loadMIDlet(VM_STR("vessilo.test.NotAMIDlet"))),
              "java.lang.InstantiationException: Class not a MIDlet");
    load("MIDlet-2: vessilo.test.ScriptMIDlet\n");
    EXPECT_FALSE(AMS::startMIDlet(1));
    EXPECT_EQ(AMS::getAppProperty(VM_STR("MIDlet-1")), nullptr);
    EXPECT_EQ(text(AMS::getAppProperty(VM_STR("MIDlet-2"))), "vessilo.test.ScriptMIDlet");
}

TEST_F(AMSTest, AFailedBootRethrowsItsThrowableAsTheOneInFlight) {
    // The boot reports the failure (its report throws and catches another
    // throwable on its own) and passes its throwable on, rooted anew as the
    // thread's throwable in flight rather than kept alive through the other.
    load("MIDlet-1: a, b, vessilo.test.TroubledStart\n");
    VMWeak<java::lang::Throwable> thrown;
    try {
        AMS::main();
    } catch (java::lang::Throwable* t) {
        thrown = t;
    }
    ASSERT_FALSE(thrown.isNull());
    EXPECT_EQ(VMThread::current()->inFlight.get(), static_cast<java::lang::Object*>(thrown.get()));
    _VM_collect(_VM_runtime);
    ASSERT_FALSE(thrown.isNull());
    EXPECT_STREQ(thrown.get()->getClass()->name.c_str(), "vessilo.test.TroubledException");
}

TEST_F(AMSTest, PauseResumeAndDestroyEventsDriveTheLifeCycleOnce) {
    load("MIDlet-1: a, b, vessilo.test.ScriptMIDlet\nTest-NoShow: true\n");
    ASSERT_TRUE(AMS::startMIDlet(1));
    VMPtr<MIDlet> midlet = AMS::currentMIDlet;
    dispatch(2);  // a resume while active does nothing
    dispatch(1);
    dispatch(1);  // a pause while paused does nothing
    EXPECT_EQ(midlet->state, MIDlet::PAUSED);
    dispatch(2);
    dispatch(2);
    EXPECT_EQ(midlet->state, MIDlet::ACTIVE);
    dispatch(3);
    dispatch(3);
    dispatch(2);  // nothing after the end
    EXPECT_EQ(midlet->state, MIDlet::DESTROYED);
    EXPECT_EQ(log(), "startApp\npauseApp\nstartApp\ndestroyApp true\n");
}

TEST_F(AMSTest, ARefusedDestroyStillLeavesTheApplicationDestroyed) {
    load("MIDlet-1: a, b, vessilo.test.ScriptMIDlet\nTest-NoShow: true\nTest-Refuse-Destroy: true\n");
    ASSERT_TRUE(AMS::startMIDlet(1));
    dispatch(1);  // destroyed from paused as well
    dispatch(3);
    EXPECT_EQ(AMS::currentMIDlet->state, MIDlet::DESTROYED);
    EXPECT_EQ(log(), "startApp\npauseApp\ndestroyApp true\n");
}

TEST_F(AMSTest, AfterNotifyDestroyedTheDestroyEventCallsNoDestroyApp) {
    load("MIDlet-1: a, b, vessilo.test.ScriptMIDlet\nTest-NoShow: true\n");
    ASSERT_TRUE(AMS::startMIDlet(1));
    AMS::currentMIDlet->notifyDestroyed();
    dispatch(3);
    EXPECT_EQ(log(), "startApp\n");
}

}  // namespace
