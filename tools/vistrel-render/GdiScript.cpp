#include "tools/vistrel-render/GdiScript.h"

namespace vistrel {

GdiScript::GdiScript(std::ostream& out, std::int32_t width, std::int32_t height) : out(out) {
    out << "size " << width << ' ' << height << '\n';
}

void GdiScript::UsePen(ColourIndex c) {
    if (pen != c) {
        pen = c;
        out << "pen " << pen << '\n';
    }
}

void GdiScript::UseBrush(ColourIndex c) {
    if (brush != c) {
        brush = c;
        out << "brush " << brush << '\n';
    }
}

void GdiScript::Clipped(const Rect& clip) {
    out << "clip " << clip.left << ' ' << clip.top << ' ' << clip.right << ' ' << clip.bottom
        << '\n';
}

void GdiScript::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                     ColourIndex c) {
    UsePen(c);
    out << "line " << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2 << '\n';
}

void GdiScript::Ellipse(const Rect& box, ColourIndex p, ColourIndex b) {
    UsePen(p);
    UseBrush(b);
    out << "ellipse " << box.left << ' ' << box.top << ' ' << box.right << ' ' << box.bottom
        << '\n';
}

void GdiScript::Arc(const Rect& box, std::int32_t xs, std::int32_t ys, std::int32_t xe,
                    std::int32_t ye, ColourIndex c) {
    UsePen(c);
    out << "arc " << box.left << ' ' << box.top << ' ' << box.right << ' ' << box.bottom << ' '
        << xs << ' ' << ys << ' ' << xe << ' ' << ye << '\n';
}

void GdiScript::Fill(std::int32_t x, std::int32_t y, ColourIndex border, ColourIndex b) {
    UseBrush(b);
    out << "fill " << x << ' ' << y << ' ' << static_cast<int>(border) << '\n';
}

void GdiScript::Pixel(std::int32_t x, std::int32_t y, ColourIndex colour) {
    out << "plot " << x << ' ' << y << ' ' << static_cast<int>(colour) << '\n';
}

}  // namespace vistrel
