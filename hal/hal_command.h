// Platform layer: command peers, the native side of
// javax.microedition.lcdui.Command that a displayable's window object shows
// as a soft key. A peer's address is its command's platform id in command
// events (HAL_EVENT_COMMAND).
#pragma once

#include <cstdint>

struct HAL_Command;

// A new peer holding a copy of the label, the command type and the priority.
// HAL_BAD_ARGUMENT for a null peer pointer, a negative length or null
// characters with a positive length; HAL_OUT_OF_MEMORY when memory runs out
// (*peer null); else HAL_OK.
int HAL_createCommand(HAL_Command** peer, const char16_t* label, int32_t length, int32_t commandType, int32_t priority);
// Frees the peer; null is ignored.
void HAL_deleteCommand(HAL_Command* peer);

// What the window objects read to show the command (null peer: empty, 0).
const char16_t* HAL_getCommandLabel(const HAL_Command* peer, int32_t* length);
int32_t HAL_getCommandType(const HAL_Command* peer);
int32_t HAL_getCommandPriority(const HAL_Command* peer);
// The platform id that command events carry for this peer.
intptr_t HAL_getCommandId(const HAL_Command* peer);
