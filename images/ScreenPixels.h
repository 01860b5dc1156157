#pragma once

#include <QScreen>
#include <QSize>

namespace vistrel {

// A screen's size in device pixels: what an image that covers it pixel for pixel must fill.
inline QSize ScreenPixels(const QScreen& screen) {
    return screen.size() * screen.devicePixelRatio();
}

}  // namespace vistrel
