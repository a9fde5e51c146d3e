// global.GameScene: the game's scene ids, the values scenes pass to
// changeScene and the scene manager builds a scene for. Constants only, used
// as literal numbers.
#pragma once

#include "VM.h"

namespace global {

class GameScene : public virtual java::lang::Object {
    VM_DECLARE_INTERFACE(GameScene)

public:
    static constexpr jint LOGO = 0;
    static constexpr jint MAIN_MENU = 1;
    // The option and information pages.
    static constexpr jint SETTINGS_PAGE = 2;
    static constexpr jint INFORMATION_PAGE = 4;
    static constexpr jint SOUND_PAGE = 6;
    static constexpr jint HELP_PAGE = 7;
    static constexpr jint START_SOUND_PAGE = 15;  // the sound question at start-up
    static constexpr jint START_HELP_PAGE = 16;
    // The level being played (sam.SamGameSave's currentLevel) and the
    // tutorial level.
    static constexpr jint LEVEL = 9;
    static constexpr jint TUTORIAL = 12;
    // The level selection, by the mode it opens in: browsing the levels, the
    // current level's briefing, the next level's briefing after a level, and
    // the picture between two groups of levels before that briefing.
    static constexpr jint BROWSE_LEVELS = 10;
    static constexpr jint BRIEFING = 11;
    static constexpr jint NEXT_BRIEFING = 13;
    static constexpr jint INTERLUDE = 14;
    // The highest id; 3, 5, 8 and every other id build no scene.
    static constexpr jint LAST = 16;
};

}  // namespace global
