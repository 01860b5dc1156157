#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "raster/Surface.h"

namespace vistrel::test {

// Plays commands of the GDI reference tool's script language (size, clip, pen, brush, line,
// ellipse, arc, fill, plot) on our own surface, so that recorded GDI results can be checked
// without GDI.
class GdiReplay {
  public:
    // Plays commands separated by " ; ". Returns what is wrong with the first bad command, or
    // nothing when every command was played.
    std::optional<std::string> Play(std::string_view commands);

    // The surface of the last `size` command; none before the first.
    const Surface* Picture() const { return surface.get(); }
    ColourIndex PenColour() const { return pen.colour; }

  private:
    std::optional<std::string> PlayOne(std::string_view command);

    Pen pen{0};
    Brush brush{15};
    std::unique_ptr<Surface> surface;
};

// The pixels of a picture that are not colour 0, row by row with x ascending, as the reference
// tool's `points` lists them: "x y c\n" a pixel. With a colour, only the pixels of that colour.
struct PointListing {
    std::size_t count = 0;
    std::string text;
};
PointListing ListPoints(const Surface& surface, std::optional<ColourIndex> only = {});

// The same pixels as runs along each row, "y 40: 100-103:15 104-120:7", short enough to print
// for a picture of thousands of pixels.
std::string DescribeRuns(const Surface& surface);

// A digest written as 16 hex digits, read back.
bool ParseDigest(std::string_view hex, std::uint64_t& digest);

// The lines of a text file, gzip-compressed or not. False, with the reason, when it cannot be
// read.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines, std::string& error);

}  // namespace vistrel::test
