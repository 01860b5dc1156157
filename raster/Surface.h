#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "raster/Palette.h"
#include "raster/Primitives.h"

namespace vistrel {

// Drawing objects that a surface can have selected. Whoever creates one owns it and must select
// another before destroying it.
struct Pen {
    ColourIndex colour;
};

struct Brush {
    ColourIndex colour;
};

class SurfaceRecorder;

// An off-screen drawing surface: a bitmap of colour indices with a clip rectangle, a current
// position and a selected pen and brush, offering the raster primitives the painter needs.
class Surface {
  public:
    static constexpr std::int32_t MaxSide = 8192;

    // A surface of w x h pixels, all colour 0, or none when the size is not 1..MaxSide on both
    // sides or the memory cannot be had.
    static std::unique_ptr<Surface> Create(std::int32_t w, std::int32_t h);

    std::int32_t Width() const { return width; }
    std::int32_t Height() const { return height; }
    ColourIndex PixelAt(std::int32_t x, std::int32_t y) const;
    const std::vector<ColourIndex>& Pixels() const { return pixels; }
    std::vector<ColourIndex> TakePixels() { return std::move(pixels); }

    // Selecting returns the object that the new one displaces.
    const Pen* SelectPen(const Pen* pen);
    const Brush* SelectBrush(const Brush* brush);
    const Pen* SelectedPen() const { return pen; }
    const Brush* SelectedBrush() const { return brush; }

    const Rect& Clip() const { return clip; }
    void IntersectClipRect(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom);

    void ClearOpaque(ColourIndex colour);
    void MoveTo(std::int32_t x, std::int32_t y);
    void LineTo(std::int32_t x, std::int32_t y);
    void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    void Arc(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
             std::int32_t xs, std::int32_t ys, std::int32_t xe, std::int32_t ye);
    void FloodFill(std::int32_t x, std::int32_t y, ColourIndex border);
    void SetPixel(std::int32_t x, std::int32_t y, ColourIndex colour);
    // SetPixel(x, y, colour) for each x of columns[0..count), the row looked up once.
    void SetPixelsInRow(std::int32_t y, const std::int32_t* columns, std::size_t count,
                        ColourIndex colour);

    // Every later primitive is also reported to the recorder (none to stop).
    void SetRecorder(SurfaceRecorder* r) { recorder = r; }

  private:
    Surface(std::int32_t w, std::int32_t h, std::vector<ColourIndex> bits);
    // The pixels as every primitive writes them; after this the surface may hold more than one
    // colour.
    ClippedPixels Target() {
        uniform = false;
        return ClippedPixels(pixels, width, clip);
    }

    std::int32_t width;
    std::int32_t height;
    std::vector<ColourIndex> pixels;
    Rect clip;
    std::int32_t currentX = 0;
    std::int32_t currentY = 0;
    const Pen stockPen{0};
    const Brush stockBrush{15};
    const Pen* pen = &stockPen;
    const Brush* brush = &stockBrush;
    SurfaceRecorder* recorder = nullptr;
    // Whether every pixel still has one colour: nothing drawn since the surface was made or
    // cleared.
    bool uniform = true;
};

// Sees every primitive a surface draws, with the colours in force.
class SurfaceRecorder {
  public:
    virtual ~SurfaceRecorder() = default;
    virtual void Clipped(const Rect& clip) = 0;
    virtual void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                      ColourIndex pen) = 0;
    virtual void Ellipse(const Rect& box, ColourIndex pen, ColourIndex brush) = 0;
    virtual void Arc(const Rect& box, std::int32_t xs, std::int32_t ys, std::int32_t xe,
                     std::int32_t ye, ColourIndex pen) = 0;
    virtual void Fill(std::int32_t x, std::int32_t y, ColourIndex border, ColourIndex brush) = 0;
    virtual void Pixel(std::int32_t x, std::int32_t y, ColourIndex colour) = 0;
};

// Inline: the haze sets tens of thousands of single pixels a picture.
inline void Surface::SetPixel(std::int32_t x, std::int32_t y, ColourIndex colour) {
    if (recorder != nullptr) {
        recorder->Pixel(x, y, colour);
    }
    Target().Set(x, y, colour);
}

// Inline too: a picture draws some seven hundred lines and as many arcs.
inline void Surface::LineTo(std::int32_t x, std::int32_t y) {
    if (recorder != nullptr) {
        recorder->Line(currentX, currentY, x, y, pen->colour);
    }
    ClippedPixels target = Target();
    RasterLine(target, currentX, currentY, x, y, pen->colour);
    currentX = x;
    currentY = y;
}

inline void Surface::Arc(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom, std::int32_t xs, std::int32_t ys, std::int32_t xe,
                         std::int32_t ye) {
    const Rect box{left, top, right, bottom};
    if (recorder != nullptr) {
        recorder->Arc(box, xs, ys, xe, ye, pen->colour);
    }
    ClippedPixels target = Target();
    RasterArc(target, box, xs, ys, xe, ye, pen->colour);
}

}  // namespace vistrel
