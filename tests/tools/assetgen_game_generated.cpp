#include "assetgen_game_generated.h"

#include "font.h"

namespace assetgen_test {

const assetgen::Generated& gameGenerated() {
    static const assetgen::Generated g =
        assetgen::generateFolder(ASSETGEN_SOURCE_DIR "assets/game", assetgen::defaultFontDirectory());
    return g;
}

}  // namespace assetgen_test
