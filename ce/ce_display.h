// Display settings: the screen's rotation (ChangeDisplaySettingsEx with
// DM_DISPLAYORIENTATION).
#pragma once

namespace ce {

// The display's rotation as the platform numbers it (0 to 4).
int GetDisplayOrientation();
// False for a code outside 0 to 4.
bool SetDisplayOrientation(int platformCode);

}  // namespace ce
