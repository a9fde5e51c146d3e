// com.ventrix.common.LevelReceiver: what the game canvas hands the level
// reader's records to. The game supplies the receiver; Main makes it by its
// class name (Main::LEVEL_LOADER_CLASS), and CommonCanvas passes it each
// record unchanged, in stream order. A receiver may read further bits of the
// level through the canvas while it runs, and refuses a level by throwing.
#pragma once

#include "VM.h"

namespace com::ventrix::common {

class LevelReceiver : public virtual java::lang::Object {
    VM_DECLARE_ABSTRACT_CLASS(LevelReceiver, java::lang::Object)

public:
    VMPtr<LevelReceiver> construct();

    // The level's first header field.
    virtual void readFirstLevelField(jint value) = 0;
    // The tile set's header.
    virtual void setTileSetInfo(jint value, jint columns, jint imageId, jint tileWidth, jint tileHeight, jint option,
                                jint tileCount) = 0;
    // One entry of the tile set: its option (-1 without) and its packed tile.
    virtual void defineTile(jint option, jint tile) = 0;
    // The map's size in cells, then each cell's packed tile (0 empty), row by row.
    virtual void setMapSize(jint width, jint height) = 0;
    virtual void setMapCell(jint x, jint y, jint tile) = 0;
    // A group of `count` objects of one type, then each of its objects.
    virtual void beginObjectGroup(jint type, jint count) = 0;
    virtual void addObject(jint type, jint x, jint y) = 0;
};

}  // namespace com::ventrix::common
