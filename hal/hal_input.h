// Platform layer: keys and the stylus.
//
// The phone's keys arrive as virtual keys and become the class library's key
// codes: up -1, down -2, left -3, right -4, the action key -5, the soft keys
// -6 and -7, digits 48 to 57, '*' 42 and '#' 35. The five navigation codes
// have MIDP game actions (UP 1, LEFT 2, RIGHT 5, DOWN 6, FIRE 8).
#pragma once

#include <cstdint>

#include "ce_window.h"

class HAL_WindowObject;

// UP 1 -> -1, LEFT 2 -> -3, RIGHT 5 -> -4, DOWN 6 -> -2, FIRE 8 -> -5; any
// other game action -> 0.
int32_t HAL_getKeyCode(int32_t gameAction);
// The inverse for those five codes, 0 for any other.
int32_t HAL_getGameAction(int32_t keyCode);
// The key's name into the buffer (at most *length characters; *length gets
// the number written). False for a key without a name or a null argument.
bool HAL_getKeyName(int32_t keyCode, char16_t* buffer, int32_t* length);
// The key-state word (bit 1 << game action set while the key is down); the
// bits of keys released since the last call are cleared afterwards, so a key
// pressed and released between two calls shows once.
int32_t HAL_getKeyStates();

// The key code of a virtual key, 0 when the phone has no such key.
int32_t HAL_keyCodeForVirtualKey(ce::UINT virtualKey);

// The window objects' input: keys (WM_KEYDOWN / WM_KEYUP) and the stylus
// (WM_LBUTTONDOWN, WM_MOUSEMOVE with the button, WM_LBUTTONUP) become the
// key and pointer events (HAL_EVENT_KEY_PRESSED to HAL_EVENT_POINTER_DRAGGED,
// hal_events.h). A repeat of a held key within 100 ms of its last event and a touch
// of the same kind within 30 ms and 5 pixels of the last one passed on are
// dropped. True when the message was input.
bool HAL_handleInputMessage(ce::UINT message, ce::WPARAM wParam, ce::LPARAM lParam);
// Forgets held keys, key states and the last touch (tests, new window).
void HAL_resetInput();
