#pragma once

#include <cstdint>
#include <memory>

#include "fuzz/FuzzInput.h"
#include "scene/ScenePainter.h"
#include "scene/SceneRng.h"
#include "raster/Surface.h"

namespace vistrel {

// A painter bound to a black surface of at most maxSide pixels a side, its size and the seed of
// its random source read from the input. Binding paints a picture; leaving out every element but
// the birds makes it cheap (the omitted ones draw their numbers without painting), and the wipe
// removes what is left.
class FuzzCanvas {
  public:
    FuzzCanvas(FuzzInput& input, std::int32_t maxSide) {
        const std::int32_t width = input.Within(1, maxSide);
        const std::int32_t height = input.Within(1, maxSide);
        surface = Surface::Create(width, height);
        Require(surface != nullptr, "a small surface could not be made");
        rng.Seed(static_cast<std::uint32_t>(input.Any()));
        painter.PaintOn(*surface);
        surface->ClearOpaque(0);
    }

    ObservedScenePainter& Painter() { return painter; }
    SceneRng& Rng() { return rng; }
    const Surface& Target() const { return *surface; }

  private:
    static SceneElements AllButBirds() {
        SceneElements omitted;
        for (const NamedElement& named : ElementNames) {
            if (named.element != SceneElement::Birds) {
                omitted.Add(named.element);
            }
        }
        return omitted;
    }

    SceneRng rng;
    std::unique_ptr<Surface> surface;
    ElementOmitter omitter{AllButBirds()};
    ObservedScenePainter painter{rng, omitter};
};

// One input: a canvas, then calls until the input runs out, maxCalls at most.
inline int FuzzCalls(const std::uint8_t* data, std::size_t size, std::int32_t maxSide, int maxCalls,
                     void (*call)(FuzzInput&, FuzzCanvas&)) {
    FuzzInput input(data, size);
    FuzzCanvas canvas(input, maxSide);
    for (int done = 0; done < maxCalls && !input.Exhausted(); ++done) {
        call(input, canvas);
    }
    return 0;
}

}  // namespace vistrel
