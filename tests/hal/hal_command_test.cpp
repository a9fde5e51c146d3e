// Command peers: the label copied, the refusals.
#include "hal_command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string peerLabel(const HAL_Command* peer) {
    int32_t length = -1;
    const char16_t* chars = HAL_getCommandLabel(peer, &length);
    return std::u16string(chars, size_t(length));
}

TEST(HalCommandTest, PeersCopyTheirLabel) {
    char16_t label[] = u"Menu";
    HAL_Command* peer = nullptr;
    EXPECT_EQ(HAL_createCommand(&peer, label, 4, 1, 2), 0);
    label[0] = u'X';
    EXPECT_EQ(peerLabel(peer), u"Menu");
    HAL_deleteCommand(peer);
    HAL_deleteCommand(nullptr);
    EXPECT_EQ(HAL_createCommand(nullptr, label, 4, 1, 2), 2);
    EXPECT_EQ(HAL_createCommand(&peer, nullptr, 4, 1, 2), 2);
    EXPECT_EQ(HAL_createCommand(&peer, label, -1, 1, 2), 2);
    EXPECT_EQ(peerLabel(nullptr), u"");
    EXPECT_EQ(HAL_getCommandType(nullptr), 0);
}

}  // namespace
