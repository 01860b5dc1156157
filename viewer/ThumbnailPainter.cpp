#include "viewer/ThumbnailPainter.h"

#include <algorithm>

#include "scene/RenderSceneBitmap.h"
#include "viewer/CrispImage.h"
#include "viewer/Thumbnail.h"

namespace vistrel {

ThumbnailPainter::ThumbnailPainter(QObject* parent) : QObject(parent) {
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

ThumbnailPainter::~ThumbnailPainter() {
    {
        const std::lock_guard guard(lock);
        waiting.clear();
    }
    pool.waitForDone();
}

void ThumbnailPainter::Paint(const std::vector<std::uint32_t>& seeds, qreal devicePixelRatio) {
    int starting = 0;
    {
        const std::lock_guard guard(lock);
        waiting.clear();
        for (const std::uint32_t seed : seeds) {
            if (!painting.contains(seed)) {
                waiting.push_back(seed);
            }
        }
        ratio = devicePixelRatio;
        const auto idle = static_cast<std::size_t>(pool.maxThreadCount() - workers);
        starting = static_cast<int>(std::min(waiting.size(), idle));
        workers += starting;
    }
    for (int i = 0; i < starting; ++i) {
        pool.start([this] { Work(); });
    }
}

bool ThumbnailPainter::Idle() {
    const std::lock_guard guard(lock);
    return waiting.empty() && workers == 0;
}

// Each worker paints what waits until nothing does. RenderSceneBitmap keeps no state between
// renders beyond its own thread's scratch space, so workers run it side by side.
void ThumbnailPainter::Work() {
    for (;;) {
        std::uint32_t seed = 0;
        qreal devicePixelRatio = 1;
        {
            const std::lock_guard guard(lock);
            if (waiting.empty()) {
                --workers;
                return;
            }
            seed = waiting.front();
            waiting.pop_front();
            painting.insert(seed);
            devicePixelRatio = ratio;
        }
        SceneRng rng;
        rng.Seed(seed);
        const auto picture =
            RenderSceneBitmap(Rect{0, 0, SceneFrame.width(), SceneFrame.height()}, rng);
        QImage thumbnail = picture ? ThumbnailImage(*picture, devicePixelRatio) : QImage();
        {
            const std::lock_guard guard(lock);
            painting.erase(seed);
        }
        if (thumbnail.isNull()) {
            continue;
        }
        QMetaObject::invokeMethod(
            this, [this, seed, thumbnail = std::move(thumbnail)] { emit Painted(seed, thumbnail); },
            Qt::QueuedConnection);
    }
}

}  // namespace vistrel
