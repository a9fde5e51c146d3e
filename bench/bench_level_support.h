// Level streams for the level benches: a canvas that serves one stream for
// every level number, and a writer of generated levels with every object
// type mixed over the map.
#pragma once

#include <cstdint>
#include <vector>

#include "VM.h"
#include "com_ventrix_common_CommonCanvas.h"

namespace benchlevels {

// Serves one level stream for every level number.
class LevelCanvas : public com::ventrix::common::CommonCanvas {
    VM_DECLARE_CLASS(LevelCanvas, com::ventrix::common::CommonCanvas)

public:
    VMField<VMBytes> level;
    using CommonCanvas::loadLevel;
    jboolean loadLevel(jint resourceId) override;
    void markReferences(uint32_t bits) override;
};

// A level of width x height cells of 32 px over the airport tiles (0x1019)
// whose object counts scale with n (n = 1: 150 objects, n = 27: 4000);
// without decorations, the background items (type 0) are left out.
std::vector<uint8_t> levelStream(int width, int height, int n, bool decorations);

// A stopped canvas serving the stream, made Main's canvas.
VMPtr<LevelCanvas> servingCanvas(const std::vector<uint8_t>& stream);

}  // namespace benchlevels
