#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/SceneElements.h"

namespace vistrel {

// The steps of the recipe that take random draws or paint, in the order they run.
enum class SceneStep : int {
    SkyColour,
    SkyFill,
    Range1,
    Range2,
    Range3,
    Band1,
    Band2,
    Accent,
    Haze,
    Disc,
    Glints,
    Tufts,
    Birds,
    End,
};
inline constexpr int SceneStepCount = static_cast<int>(SceneStep::End) + 1;

// Watches a painter at work, for the render tool, the tests and the benchmarks; the viewer's
// painter has none. Every hook does nothing unless overridden.
class PaintObserver {
  public:
    virtual ~PaintObserver() = default;
    // A step of the recipe begins after `draws` random values. False leaves its element out: the
    // step still draws all of its numbers, but paints nothing.
    virtual bool StepBegins(SceneStep, SceneElement, std::uint64_t /*draws*/) { return true; }
    // `count` random values below `bound` are about to be drawn.
    virtual void Drawing(std::int32_t /*bound*/, std::size_t /*count*/) {}
};

// Leaves the given elements out of the picture.
class ElementOmitter : public PaintObserver {
  public:
    explicit ElementOmitter(SceneElements omitted) : omitted(omitted) {}
    bool StepBegins(SceneStep, SceneElement element, std::uint64_t) override {
        return !omitted.Has(element);
    }

  private:
    SceneElements omitted;
};

// Keeps the bound of every random value a painting draws, in order: enough to draw the same
// numbers again without painting.
class DrawBounds : public PaintObserver {
  public:
    void Drawing(std::int32_t bound, std::size_t count) override {
        bounds.insert(bounds.end(), count, bound);
    }

    std::vector<std::int32_t> bounds;
};

}  // namespace vistrel
