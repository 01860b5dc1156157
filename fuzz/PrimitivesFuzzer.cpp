// Drawing primitives with any int32 arguments, a few dozen calls on a surface of at most
// 40 x 40 pixels. After each call:
//  - no pixel outside the clip has changed, and the clip has not grown;
//  - a fill has changed exactly the 4-connected region of non-border pixels around its start,
//    to the brush colour, so it never paints over the border colour;
//  - lines, circles, arcs and plots have changed pixels only to their own colours, a line never
//    its end point, a plot only its own pixel;
//  - the call has used at most CallBudget::Limit of processor time.
#include <cstdint>
#include <utility>
#include <vector>

#include "fuzz/FuzzCanvas.h"
#include "scene/WrapInt.h"

namespace vistrel {
namespace {

constexpr int kMaxCalls = 32;
constexpr std::int32_t kMaxSide = 40;

enum class Primitive : std::uint8_t {
    ClipScene,
    UsePen,
    UseBrush,
    Line,
    Circle,
    ArcDeg,
    FillFrom,
    Plot,
    kMaxValue = Plot,
};

using Pixels = std::vector<ColourIndex>;

// What one call may have done to a surface, seen from its pixels before and after.
class Change {
  public:
    Change(const Surface& surface, Pixels before, Rect clipBefore)
        : surface(surface), before(std::move(before)), clipBefore(clipBefore) {}

    bool Changed(std::int32_t x, std::int32_t y) const {
        return before[Index(x, y)] != surface.PixelAt(x, y);
    }

    // Every changed pixel passes the test.
    template <typename Allowed>
    bool All(Allowed allowed) const {
        for (std::int32_t y = 0; y < surface.Height(); ++y) {
            for (std::int32_t x = 0; x < surface.Width(); ++x) {
                if (Changed(x, y) && !allowed(x, y, surface.PixelAt(x, y))) {
                    return false;
                }
            }
        }
        return true;
    }

    bool None() const { return surface.Pixels() == before; }

    void CheckClip() const {
        const Rect& clip = surface.Clip();
        Require(
            All([&](std::int32_t x, std::int32_t y, ColourIndex) { return clip.Contains(x, y); }),
            "a pixel outside the clip changed");
        for (std::int32_t y = 0; y < surface.Height(); ++y) {
            for (std::int32_t x = 0; x < surface.Width(); ++x) {
                Require(!clip.Contains(x, y) || clipBefore.Contains(x, y), "the clip grew");
            }
        }
    }

    // Inside the clip and the bitmap.
    bool Paintable(std::int64_t x, std::int64_t y) const {
        return surface.Clip().Contains(x, y) && x >= 0 && y >= 0 && x < surface.Width() &&
               y < surface.Height();
    }

    // The fill of the rules, found the slow way: the 4-connected region of pixels that do not
    // have the border colour, inside the clip, around the start.
    Pixels Filled(std::int32_t x, std::int32_t y, ColourIndex border, ColourIndex brush) const {
        Pixels expected = before;
        if (!Paintable(x, y) || before[Index(x, y)] == border) {
            return expected;
        }
        std::vector<bool> seen(before.size(), false);
        std::vector<std::pair<std::int32_t, std::int32_t>> todo{{x, y}};
        seen[Index(x, y)] = true;
        while (!todo.empty()) {
            const auto [px, py] = todo.back();
            todo.pop_back();
            expected[Index(px, py)] = brush;
            const std::pair<std::int32_t, std::int32_t> neighbours[] = {
                {px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
            for (const auto& [nx, ny] : neighbours) {
                if (Paintable(nx, ny) && !seen[Index(nx, ny)] && before[Index(nx, ny)] != border) {
                    seen[Index(nx, ny)] = true;
                    todo.emplace_back(nx, ny);
                }
            }
        }
        return expected;
    }

  private:
    std::size_t Index(std::int32_t x, std::int32_t y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(surface.Width()) +
               static_cast<std::size_t>(x);
    }

    const Surface& surface;
    Pixels before;
    Rect clipBefore;
};

// Whether (x, y) lies in the box spanned by two corners, both included, whichever way round.
// Corners are computed in 32 bits, as the primitives do: a box may wrap around.
bool InBox(std::int64_t x, std::int64_t y, std::int64_t x1, std::int64_t y1, std::int64_t x2,
           std::int64_t y2) {
    return x >= std::min(x1, x2) && x <= std::max(x1, x2) && y >= std::min(y1, y2) &&
           y <= std::max(y1, y2);
}

// Runs one primitive drawn from input and checks what it did.
void CallOne(FuzzInput& input, FuzzCanvas& canvas) {
    ObservedScenePainter& painter = canvas.Painter();
    const Surface& surface = canvas.Target();
    const Change change(surface, surface.Pixels(), surface.Clip());
    const ColourIndex pen = surface.SelectedPen()->colour;
    const ColourIndex brush = surface.SelectedBrush()->colour;
    const auto hasPen = [&](std::int32_t, std::int32_t, ColourIndex c) { return c == pen; };

    switch (input.Pick<Primitive>()) {
        case Primitive::ClipScene: {
            const std::int32_t left = input.Any(), top = input.Any(), right = input.Any(),
                               bottom = input.Any();
            const CallBudget budget;
            painter.ClipScene(left, top, right, bottom, input.Any());
            budget.Check("ClipScene");
            Require(change.None(), "ClipScene changed pixels");
            break;
        }
        case Primitive::UsePen: {
            painter.UsePen(input.Any());
            Require(change.None(), "UsePen changed pixels");
            break;
        }
        case Primitive::UseBrush: {
            painter.UseBrush(input.Any(), input.Any());
            Require(change.None(), "UseBrush changed pixels");
            break;
        }
        case Primitive::Line: {
            const std::int32_t x1 = input.Any(), y1 = input.Any(), x2 = input.Any(),
                               y2 = input.Any();
            const CallBudget budget;
            painter.Line(x1, y1, x2, y2);
            budget.Check("Line");
            Require(change.All(hasPen), "Line painted in another colour than its pen's");
            Require(change.All([&](std::int32_t x, std::int32_t y, ColourIndex) {
                return InBox(x, y, x1, y1, x2, y2) && !(x == x2 && y == y2);
            }),
                    "Line painted outside its span or its end point");
            break;
        }
        case Primitive::Circle: {
            const std::int32_t cx = input.Any(), cy = input.Any(), r = input.Any();
            const CallBudget budget;
            painter.Circle(cx, cy, 0, 360, r);
            budget.Check("Circle");
            Require(change.All([&](std::int32_t x, std::int32_t y, ColourIndex c) {
                return (c == pen || c == brush) &&
                       InBox(x, y, WrapSub(cx, r), WrapSub(cy, r), WrapAdd(cx, r), WrapAdd(cy, r));
            }),
                    "Circle painted outside its box or in another colour");
            break;
        }
        case Primitive::ArcDeg: {
            const std::int32_t cx = input.Any(), cy = input.Any(), startDeg = input.Any(),
                               endDeg = input.Any(), rx = input.Any(), ry = input.Any();
            const CallBudget budget;
            painter.ArcDeg(cx, cy, startDeg, endDeg, rx, ry);
            budget.Check("ArcDeg");
            Require(change.All([&](std::int32_t x, std::int32_t y, ColourIndex c) {
                return c == pen && InBox(x, y, WrapSub(cx, rx), WrapSub(cy, ry), WrapAdd(cx, rx),
                                         WrapAdd(cy, ry));
            }),
                    "ArcDeg painted outside its box or in another colour than its pen's");
            break;
        }
        case Primitive::FillFrom: {
            const std::int32_t x = input.Any(), y = input.Any(), border = input.Any();
            const Pixels expected = change.Filled(x, y, ToColourIndex(border), brush);
            const CallBudget budget;
            painter.FillFrom(x, y, border);
            budget.Check("FillFrom");
            Require(surface.Pixels() == expected,
                    "FillFrom changed other pixels than the region of its start");
            break;
        }
        case Primitive::Plot: {
            const std::int32_t x = input.Any(), y = input.Any(), colour = input.Any();
            painter.Plot(x, y, colour);
            Require(change.All([&](std::int32_t px, std::int32_t py, ColourIndex c) {
                return px == x && py == y && c == ToColourIndex(colour);
            }),
                    "Plot changed another pixel than its own");
            Require(!change.Paintable(x, y) || surface.PixelAt(x, y) == ToColourIndex(colour),
                    "Plot left its pixel unset inside the clip");
            break;
        }
    }
    change.CheckClip();
}

}  // namespace
}  // namespace vistrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return vistrel::FuzzCalls(data, size, vistrel::kMaxSide, vistrel::kMaxCalls, vistrel::CallOne);
}
