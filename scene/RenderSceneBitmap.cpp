#include "scene/RenderSceneBitmap.h"

#include <new>

#include "raster/Surface.h"
#include "scene/ScenePainter.h"

namespace vistrel {

namespace {

template <typename Observer>
std::unique_ptr<SceneBitmap> Paint(const Rect& rectangle, SceneRng& rng, Observer observer,
                                   SurfaceRecorder* recorder) {
    const std::int64_t width = std::int64_t{rectangle.right} - rectangle.left;
    const std::int64_t height = std::int64_t{rectangle.bottom} - rectangle.top;
    if (width < 1 || height < 1 || width > Surface::MaxSide || height > Surface::MaxSide) {
        return nullptr;
    }
    // A new surface is already black; clearing it again would only cost a pass over the bitmap.
    std::unique_ptr<Surface> surface =
        Surface::Create(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    if (!surface) {
        return nullptr;
    }
    try {
        auto bitmap = std::make_unique<SceneBitmap>();
        surface->SetRecorder(recorder);
        {
            BasicScenePainter<Observer> painter(rng, observer);
            painter.PaintOn(*surface);
        }
        bitmap->width = surface->Width();
        bitmap->height = surface->Height();
        bitmap->pixels = surface->TakePixels();
        return bitmap;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

std::unique_ptr<SceneBitmap> RenderSceneBitmap(const Rect& rectangle, SceneRng& rng) {
    return Paint(rectangle, rng, Unobserved(), nullptr);
}

std::unique_ptr<SceneBitmap> RenderSceneBitmap(const Rect& rectangle, SceneRng& rng,
                                               PaintObserver& observer, SurfaceRecorder* recorder) {
    return Paint<Observed>(rectangle, rng, observer, recorder);
}

}  // namespace vistrel
