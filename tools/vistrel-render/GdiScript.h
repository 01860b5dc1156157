#pragma once

#include <ostream>

#include "raster/Surface.h"

namespace vistrel {

// Writes the primitives a surface draws as a script for the GDI reference tool, so that GDI can
// repaint a picture from exactly our calls. Pens and brushes are emitted when their colour
// changes.
class GdiScript : public SurfaceRecorder {
  public:
    GdiScript(std::ostream& out, std::int32_t width, std::int32_t height);

    void Clipped(const Rect& clip) override;
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              ColourIndex pen) override;
    void Ellipse(const Rect& box, ColourIndex pen, ColourIndex brush) override;
    void Arc(const Rect& box, std::int32_t xs, std::int32_t ys, std::int32_t xe, std::int32_t ye,
             ColourIndex pen) override;
    void Fill(std::int32_t x, std::int32_t y, ColourIndex border, ColourIndex brush) override;
    void Pixel(std::int32_t x, std::int32_t y, ColourIndex colour) override;

  private:
    void UsePen(ColourIndex c);
    void UseBrush(ColourIndex c);

    std::ostream& out;
    int pen = -1;
    int brush = -1;
};

}  // namespace vistrel
