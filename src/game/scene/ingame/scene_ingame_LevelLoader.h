// scene.ingame.LevelLoader: receives the level reader's callbacks, which the
// game canvas hands on unchanged, and keeps what a level holds for the
// in-game scene. One instance, made by Main at start-up.
#pragma once

#include "VM.h"
#include "ts_TsCanvas.h"

namespace scene::ingame {

class LevelLoader : public virtual java::lang::Object {
    VM_DECLARE_CLASS(LevelLoader, java::lang::Object)

public:
    VMField<ts::TsCanvas> canvas;  // Main's canvas, whose level reader is used

    // Takes Main's canvas (Main must have it already).
    VMPtr<LevelLoader> construct();

    // The level stream's records, in stream order.
    virtual void readFirstLevelField(jint value) { (void)value; }
    virtual void setTileSetInfo(jint value, jint columns, jint imageId, jint tileWidth, jint tileHeight, jint option,
                                jint tileCount) {
        (void)value, (void)columns, (void)imageId, (void)tileWidth, (void)tileHeight, (void)option, (void)tileCount;
    }
    virtual void defineTile(jint option, jint tile) { (void)option, (void)tile; }
    virtual void setMapSize(jint width, jint height) { (void)width, (void)height; }
    virtual void setMapCell(jint x, jint y, jint tile) { (void)x, (void)y, (void)tile; }
    virtual void beginObjectGroup(jint type, jint count) { (void)type, (void)count; }
    virtual void addObject(jint type, jint x, jint y) { (void)type, (void)x, (void)y; }

    void markReferences(uint32_t bits) override { _VM_markRef(canvas, bits); }
};

}  // namespace scene::ingame
