// Platform layer: the runtime events. The platform posts them to the runtime
// through the dispatch callback (HAL_HostCallbacks::dispatchEvent) as
// (type, argument count, argument words); the runtime hands each to the
// listeners whose mask selects its type. The platform sends the pause,
// resume, destroy, current-displayable, key and pointer events; the others
// have listeners in the runtime but no sender in the platform. A leaf header:
// it needs nothing.
#pragma once

enum HAL_Event : int {
    HAL_EVENT_PAUSE = 1,                // the application pauses (no arguments)
    HAL_EVENT_RESUME = 2,               // the application runs again (no arguments)
    HAL_EVENT_DESTROY = 3,              // the application ends (no arguments)
    HAL_EVENT_TIME_ZONE_CHANGED = 4,    // the phone's time zone changed (no arguments)
    HAL_EVENT_DISPLAYABLE_CURRENT = 5,  // a displayable was made current (its owner)
    HAL_EVENT_SIZE_CHANGED = 6,         // a displayable's size changed (owner, width, height)
    HAL_EVENT_REPAINT = 7,              // paint a displayable (graphics context, owner, width, height)
    HAL_EVENT_KEY_PRESSED = 8,          // (key code)
    HAL_EVENT_KEY_RELEASED = 9,         // (key code)
    HAL_EVENT_KEY_REPEATED = 10,        // (key code)
    HAL_EVENT_POINTER_PRESSED = 11,     // (x, y)
    HAL_EVENT_POINTER_RELEASED = 12,    // (x, y)
    HAL_EVENT_POINTER_DRAGGED = 13,     // (x, y)
    HAL_EVENT_COMMAND = 15,             // a command was chosen (its platform id)
};
