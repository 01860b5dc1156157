#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/SceneBitmap.h"

namespace vistrel {

// A monitor as the display server lays it out: its place and size in logical pixels, in the
// coordinates all monitors share, and its whole scale factor, the device pixels a logical pixel
// takes each way (2 on a panel at 200 %).
struct Monitor {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t scale = 1;
};

// How a background covers the monitors.
enum class Spread {
    // Each monitor shows the whole picture at the largest whole scale that fits its device
    // pixels, centred on black, or its middle when the monitor is smaller than the picture.
    EachMonitor,
    // One picture spans them all, enlarged by the largest whole scale that fits their bounding
    // box (in logical pixels) and centred on it; each monitor shows its part.
    AcrossAll,
};

// What monitor `index` of the layout shows, in its own device pixels (its size times its
// scale). Every device pixel takes the colour of exactly one picture pixel, or black. Empty when
// the monitor has no pixels or the memory cannot be had.
SceneBitmap MonitorImage(const SceneBitmap& picture, const std::vector<Monitor>& monitors,
                         std::size_t index, Spread spread);

// Image pixels a logical pixel takes in SpannedImage: the least common multiple of the
// monitors' scales, so that every monitor's device pixel is a whole block of image pixels.
std::int32_t SpanScale(const std::vector<Monitor>& monitors);

// One image laid out like the monitors, for desktops that stretch a single image over all of
// them and show each monitor its part: their bounding box at SpanScale image pixels a logical
// pixel, each monitor's part what MonitorImage shows there with every device pixel a
// (SpanScale / scale)-square block, black where no monitor is. However the desktop maps the
// image onto a monitor of scale s (SpanScale / s image pixels to a device pixel, smoothed or
// not), each device pixel meets one block, so it is still one picture pixel's colour. Empty
// without monitors, or when the memory cannot be had.
SceneBitmap SpannedImage(const SceneBitmap& picture, const std::vector<Monitor>& monitors,
                         Spread spread);

}  // namespace vistrel
