#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "scene/SceneBitmap.h"
#include "scene/ScreenFit.h"
#include "tools/vistrel-saver/PixelFormat.h"

namespace vistrel {

// A picture made ready for a window of one size: placed by FitOnScreen and already in the
// window's pixels, so a repaint only copies bytes. Each picture row is kept once, enlarged
// across; the rows a scale repeats are not, which keeps a 16384-pixel window to a few MB.
class WindowPicture {
  public:
    WindowPicture(const SceneBitmap& picture, std::int32_t windowWidth, std::int32_t windowHeight,
                  const PixelFormat& format);

    const ScreenFit& Fit() const { return fit; }
    // The shown area in window pixels, at (Fit().screenX, Fit().screenY); the rest is black.
    std::int32_t Width() const { return fit.sourceWidth * fit.scale; }
    std::int32_t Height() const { return fit.sourceHeight * fit.scale; }
    // Row y (0..Height() - 1) of the shown area: Width() pixels in the window's format.
    std::span<const std::uint8_t> Row(std::int32_t y) const;

  private:
    ScreenFit fit;
    std::size_t rowBytes = 0;
    std::vector<std::uint8_t> rows;
};

}  // namespace vistrel
