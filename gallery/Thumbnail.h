#pragma once

#include <QImage>
#include <QSize>

#include "scene/HalvedFrame.h"

namespace vistrel {

struct SceneBitmap;

// A thumbnail covers half the scene frame each way, in logical pixels.
inline constexpr QSize ThumbnailSize(HalvedWidth, HalvedHeight);

// The frame of `picture` halved each way: every pixel the mean of a 2 x 2 block, per channel
// (a + b + c + d + 2) / 4. Null unless the picture holds the whole frame.
QImage HalvedPicture(const SceneBitmap& picture);
// The same, one pixel at a time: what processors without AVX2 run, kept callable for the tests.
QImage HalvedPicturePlain(const SceneBitmap& picture);

// A thumbnail in device pixels for a device pixel ratio, covering ThumbnailSize (rounded up)
// and carrying the ratio. From a ratio of 2 up it shows the picture's own pixels, so a ratio of
// 2 is the picture itself and 4 enlarges it in whole steps; below 2, the halved picture. Either
// is stretched by nearest neighbour, never blended. Null unless the picture holds the whole frame.
QImage ThumbnailImage(const SceneBitmap& picture, qreal devicePixelRatio);

}  // namespace vistrel
