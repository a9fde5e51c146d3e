// Test support for the lcdui drawing classes: pictures of images, and
// images made from pixels.
#pragma once

#include "golden.h"
#include "javax_microedition_lcdui_Graphics.h"
#include "javax_microedition_lcdui_Image.h"
#include "vm_test.h"

// The ARGB pixels of an image, read back through getRGB.
inline Picture pictureOf(const VMPtr<javax::microedition::lcdui::Image>& image) {
    Picture p;
    p.width = image->getWidth();
    p.height = image->getHeight();
    VMPtr<VMArray<jint, 1>> data = VMArray<jint, 1>::create(p.width * p.height);
    image->getRGB(data, 0, p.width, 0, 0, p.width, p.height);
    p.argb.assign(reinterpret_cast<const uint32_t*>(data->elements()),
                  reinterpret_cast<const uint32_t*>(data->elements()) + data->length);
    return p;
}

// An int[] holding the ARGB values.
inline VMPtr<VMArray<jint, 1>> intArray(const std::vector<uint32_t>& values) {
    VMPtr<VMArray<jint, 1>> a = VMArray<jint, 1>::create(jint(values.size()));
    for (size_t i = 0; i < values.size(); ++i) (*a)[jint(i)] = jint(values[i]);
    return a;
}
