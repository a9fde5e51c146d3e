// ts.TsCanvas: the resource operations, each one call through to ts.Resources.
#include "ts_TsCanvas.h"

#include "ts_Resources.h"

namespace ts {

using java::io::DataInputStream;
using javax::microedition::lcdui::Image;

VMPtr<TsCanvas::Bytes> TsCanvas::getResource(jint id) { return Resources::getResource(id); }

VMPtr<DataInputStream> TsCanvas::getResourceAsStream(jint id) { return Resources::getResourceAsStream(id); }

jint TsCanvas::getResourceType(jint id) { return Resources::getResourceType(id); }

jboolean TsCanvas::loadPack(VMPtr<DataInputStream> in) { return Resources::loadPack(in); }

jboolean TsCanvas::loadPackFromStore(jint id) { return Resources::loadPackFromStore(id); }

void TsCanvas::unloadPack() { Resources::unloadPack(); }

VMPtr<Image> TsCanvas::getImage(jint id) { return Resources::getImage(id); }

VMPtr<Image> TsCanvas::getImage(jint id, VMPtr<Bytes> palette) { return Resources::getImage(id, palette); }

VMPtr<Image> TsCanvas::createPngImage(VMPtr<Bytes> data, jint offset, jint length) {
    return Resources::createImage(data, offset, length);
}

VMPtr<TsCanvas::Bytes> TsCanvas::getPalette(jint id) { return Resources::getPalette(id); }

jint TsCanvas::getTransparentIndex(jint id) { return Resources::getTransparentIndex(id); }

VMPtr<VMArray<Gob, 1>> TsCanvas::getGobs(jint id) { return Resources::getGobs(id); }

VMPtr<VMArray<Gob, 1>> TsCanvas::getGobs(jint id, VMPtr<Bytes> palette) { return Resources::getGobs(id, palette); }

VMPtr<AnimSet> TsCanvas::getAnimSet(jint id) { return Resources::getAnimSet(id); }

VMPtr<TsCanvas::Bytes> TsCanvas::getImageAsBmp(jint id) { return Resources::getImageAsBmp(id); }

VMPtr<TsCanvas::Bytes> TsCanvas::buildPackBytes(VMPtr<VMArray<jbyte, 2>> resources, VMPtr<Bytes> types) {
    return Resources::buildPackBytes(resources, types);
}

}  // namespace ts
