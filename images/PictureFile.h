#pragma once

#include <QString>

namespace vistrel {

struct SceneBitmap;

// The scene frame's part of the bitmap: the picture as a file or the clipboard holds it.
SceneBitmap FramePixels(const SceneBitmap& bitmap);

// Writes the picture as an indexed PNG, every pixel a `scale` x `scale` block. The file at
// `path` is replaced only once the new one is complete; a failure leaves whatever was there.
// Returns why it failed, or an empty string.
QString SavePicturePng(const SceneBitmap& picture, const QString& path, int scale);

}  // namespace vistrel
