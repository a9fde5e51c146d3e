// Keys and the stylus: key codes, game actions, names, latched key states,
// and the events the window objects post for input.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ce.h"
#include "hal.h"

namespace {

struct Posted {
    int type;
    std::vector<intptr_t> args;
    bool operator==(const Posted& other) const { return type == other.type && args == other.args; }
};
std::vector<Posted> g_posted;

void record(int type, int count, const intptr_t* args, bool dropped) {
    if (!dropped) g_posted.push_back({type, std::vector<intptr_t>(args, args + count)});
}

class HalInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        HAL_resetInput();
        hostResetState();
        g_posted.clear();
        HAL_setEventTraceSink(record);
    }
    void TearDown() override { HAL_setEventTraceSink(nullptr); }

    static void key(bool down, ce::UINT virtualKey, bool repeat = false) {
        HAL_handleInputMessage(down ? ce::WM_KEYDOWN : ce::WM_KEYUP, virtualKey, repeat ? (1 | (1 << 30)) : 1);
    }
    static void touch(ce::UINT message, int x, int y) {
        const ce::LPARAM point =
            static_cast<ce::LPARAM>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x));
        HAL_handleInputMessage(message, message == ce::WM_LBUTTONUP ? 0 : ce::MK_LBUTTON, point);
    }
    static void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

TEST(HalKeys, CodesActionsAndNamesOfThePhonesKeys) {
    const struct {
        ce::UINT virtualKey;
        int32_t keyCode;
        int32_t gameAction;
        const char16_t* name;
    } keys[] = {
        {ce::VK_UP, -1, 1, u"Up"},
        {ce::VK_DOWN, -2, 6, u"Down"},
        {ce::VK_LEFT, -3, 2, u"Left"},
        {ce::VK_RIGHT, -4, 5, u"Right"},
        {ce::VK_RETURN, -5, 8, u"Select"},
        {ce::VK_F1, -6, 0, u"Soft1"},
        {ce::VK_F2, -7, 0, u"Soft2"},
        {'0', 48, 0, u"0"},
        {'9', 57, 0, u"9"},
        {ce::VK_TSTAR, 42, 0, u"*"},
        {ce::VK_TPOUND, 35, 0, u"#"},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(HAL_keyCodeForVirtualKey(k.virtualKey), k.keyCode);
        EXPECT_EQ(HAL_getGameAction(k.keyCode), k.gameAction) << k.keyCode;
        if (k.gameAction != 0) {
            EXPECT_EQ(HAL_getKeyCode(k.gameAction), k.keyCode);
        }
        char16_t name[16];
        int32_t length = 16;
        ASSERT_TRUE(HAL_getKeyName(k.keyCode, name, &length));
        EXPECT_EQ(std::u16string(name, length), k.name);
    }
    for (int32_t action : {0, 3, 4, 7, 9, 10, 11, 12, 13, -1}) EXPECT_EQ(HAL_getKeyCode(action), 0) << action;
    for (int32_t code : {0, -8, 1, 47, 58}) EXPECT_EQ(HAL_getGameAction(code), 0) << code;
    EXPECT_EQ(HAL_keyCodeForVirtualKey(ce::VK_SPACE), 0);  // the window turns Space into the action key
    EXPECT_EQ(HAL_keyCodeForVirtualKey('A'), 0);

    char16_t name[16];
    int32_t length = 3;  // "Select" cut to the room given
    ASSERT_TRUE(HAL_getKeyName(-5, name, &length));
    EXPECT_EQ(std::u16string(name, length), u"Sel");
    length = 16;
    EXPECT_FALSE(HAL_getKeyName(-8, name, &length));
    EXPECT_FALSE(HAL_getKeyName(-1, nullptr, &length));
    EXPECT_FALSE(HAL_getKeyName(-1, name, nullptr));
}

TEST_F(HalInputTest, KeysPostTheirCodesAndLatchTheirStates) {
    key(true, ce::VK_UP);
    key(true, '5');
    key(true, ce::VK_RETURN);
    key(false, ce::VK_RETURN);
    key(true, 'A');  // not a phone key: nothing
    EXPECT_EQ(g_posted, (std::vector<Posted>{{8, {-1}}, {8, {53}}, {8, {-5}}, {9, {-5}}}));
    // Fire went down and up since the last read: it shows once.
    EXPECT_EQ(HAL_getKeyStates(), (1 << 1) | (1 << 8));
    EXPECT_EQ(HAL_getKeyStates(), 1 << 1);
    key(false, ce::VK_UP);
    key(true, ce::VK_UP);  // down again before the read: still down
    EXPECT_EQ(HAL_getKeyStates(), 1 << 1);
    key(false, ce::VK_UP);
    EXPECT_EQ(HAL_getKeyStates(), 1 << 1);
    EXPECT_EQ(HAL_getKeyStates(), 0);
}

TEST_F(HalInputTest, AutoRepeatWithin100MsOfTheLastKeyEventIsDropped) {
    key(true, ce::VK_LEFT);
    key(true, ce::VK_LEFT, true);  // at once: dropped
    pause(120);
    key(true, ce::VK_LEFT, true);  // a repeat
    key(true, ce::VK_LEFT, true);  // at once again: dropped
    pause(120);
    key(true, ce::VK_LEFT, true);
    key(false, ce::VK_LEFT);
    key(true, ce::VK_RIGHT, true);  // a repeat of a key never seen going down counts as a press
    EXPECT_EQ(g_posted, (std::vector<Posted>{{8, {-3}}, {10, {-3}}, {10, {-3}}, {9, {-3}}, {8, {-4}}}));
}

TEST_F(HalInputTest, ATouchOfTheSameKindWithin30MsAnd5PixelsIsDropped) {
    touch(ce::WM_LBUTTONDOWN, 100, 100);
    touch(ce::WM_LBUTTONDOWN, 105, 95);  // same kind, near, at once: dropped
    touch(ce::WM_MOUSEMOVE, 101, 101);   // another kind
    touch(ce::WM_MOUSEMOVE, 104, 104);   // dropped
    touch(ce::WM_MOUSEMOVE, 107, 104);   // 6 pixels from the last passed on
    touch(ce::WM_MOUSEMOVE, -2, 700);    // off the window, far
    pause(40);
    touch(ce::WM_MOUSEMOVE, -2, 700);  // the same place, but later
    touch(ce::WM_LBUTTONUP, -2, 700);
    HAL_handleInputMessage(ce::WM_MOUSEMOVE, 0, 0);  // no button: no drag
    EXPECT_EQ(
        g_posted,
        (std::vector<Posted>{
            {11, {100, 100}}, {13, {101, 101}}, {13, {107, 104}}, {13, {-2, 700}}, {13, {-2, 700}}, {12, {-2, 700}}}));
    EXPECT_FALSE(HAL_handleInputMessage(ce::WM_CHAR, '5', 0));
}

}  // namespace
