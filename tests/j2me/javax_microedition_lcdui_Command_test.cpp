// javax.microedition.lcdui.Command and its platform peer.
#include <string>

#include "hal_command.h"
#include "javax_microedition_lcdui_Alert.h"
#include "javax_microedition_lcdui_Command.h"
#include "vm_test.h"

using java::lang::String;
using javax::microedition::lcdui::Command;

namespace {

class CommandTest : public VMTest {};

std::u16string peerLabel(const HAL_Command* peer) {
    int32_t length = -1;
    const char16_t* chars = HAL_getCommandLabel(peer, &length);
    return std::u16string(chars, size_t(length));
}

TEST_F(CommandTest, LabelsTypesAndPrioritiesReachThePeer) {
    VMPtr<String> label = String::_VM_fromUTF8("Back \xe2\x86\x90");
    VMPtr<Command> c = Command::create()->construct(label, Command::BACK, -3);
    EXPECT_EQ(c->getLabel().get(), label.get());  // the same object
    EXPECT_EQ(c->getLongLabel(), nullptr);
    EXPECT_EQ(c->getCommandType(), Command::BACK);
    EXPECT_EQ(c->getPriority(), -3);
    ASSERT_NE(c->peer, nullptr);
    EXPECT_EQ(peerLabel(c->peer), u"Back \u2190");
    EXPECT_EQ(HAL_getCommandType(c->peer), Command::BACK);
    EXPECT_EQ(HAL_getCommandPriority(c->peer), -3);
    EXPECT_EQ(c->_VM_platformId(), reinterpret_cast<intptr_t>(c->peer));

    VMPtr<Command> full = Command::create()->construct(VM_STR(""), VM_STR("Leave the game"), Command::EXIT, 7);
    EXPECT_EQ(text(full->getLongLabel()), "Leave the game");
    EXPECT_EQ(peerLabel(full->peer), u"");
    EXPECT_NE(full->_VM_platformId(), c->_VM_platformId());

    for (jint type = Command::SCREEN; type <= Command::ITEM; ++type)
        EXPECT_EQ(Command::create()->construct(VM_STR("x"), type, 0)->getCommandType(), type);
}

TEST_F(CommandTest, RefusalsComeBeforeAnyPeer) {
    for (jint type : {0, 9, -1, INT32_MIN}) {
        VMPtr<Command> c = Command::create();
        EXPECT_EQ(VM_THROWN_CLASS(c->construct(VM_STR("x"), type, 0)), "java.lang.IllegalArgumentException");
        EXPECT_EQ(c->peer, nullptr);
    }
    VMPtr<Command> c = Command::create();
    EXPECT_EQ(VM_THROWN_CLASS(c->construct(nullptr, VM_STR("long"), Command::OK, 0)), "java.lang.NullPointerException");
    EXPECT_EQ(c->peer, nullptr);
    EXPECT_EQ(VM_THROWN_CLASS(Command::create()->construct(nullptr, 0, 0)), "java.lang.IllegalArgumentException");
}

TEST_F(CommandTest, AlertsKeepTheirNextDisplayableAndShareTheDismissCommand) {
    using javax::microedition::lcdui::Alert;
    VMPtr<Alert> alert = Alert::create()->construct(VM_STR("Note"));
    EXPECT_EQ(text(alert->getTitle()), "Note");
    EXPECT_EQ(alert->peer, nullptr);
    VMPtr<Command> dismiss = Alert::DISMISS_COMMAND;
    ASSERT_NE(dismiss, nullptr);
    EXPECT_EQ(text(dismiss->getLabel()), "");
    EXPECT_EQ(dismiss->getCommandType(), Command::OK);
    EXPECT_EQ(dismiss->getPriority(), 0);
    EXPECT_NE(dismiss->peer, nullptr);

    EXPECT_EQ(alert->_VM_getNext(), nullptr);
    VMPtr<Alert> other = Alert::create()->construct(nullptr);
    alert->_VM_setNext(other);
    EXPECT_EQ(alert->_VM_getNext().get(), other.get());
    alert->_VM_setNext(nullptr);
    EXPECT_EQ(alert->_VM_getNext(), nullptr);
}

}  // namespace
