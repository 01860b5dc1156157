#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include "scene/Picture.h"

namespace vistrel {

struct SceneBitmap;

// The part of every scene bitmap that a picture is painted in; the rest stays black.
inline constexpr QSize SceneFrame(PictureWidth, PictureHeight);

// The frame's part of the bitmap, in bitmap pixels: smaller than the frame only when the
// bitmap is.
QRect FrameArea(const SceneBitmap& bitmap);

// The pixels of `area` of the bitmap in screen colours, stretched or shrunk to `size` by nearest
// neighbour: every device pixel takes the colour of the scene pixel under its centre, so a whole
// factor gives solid blocks and nothing is ever blended. `area` must lie inside the bitmap; an
// empty area or size gives a null image.
QImage CrispImage(const SceneBitmap& bitmap, const QRect& area, const QSize& size);

// The image stretched or shrunk to `size` by the same nearest-neighbour rule; an image already
// of that size comes back as it is. A null image or an empty size gives a null image.
QImage CrispStretch(const QImage& image, const QSize& size);

}  // namespace vistrel
