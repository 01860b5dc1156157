#include "gallery/ThumbnailPainter.h"

#include <algorithm>

#include "gallery/Thumbnail.h"
#include "images/CrispImage.h"
#include "scene/Picture.h"

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
    {
        const std::lock_guard guard(lock);
        waiting.clear();
        for (const std::uint32_t seed : seeds) {
            if (!unclaimed.contains(seed)) {
                waiting.push_back(seed);
            }
        }
        ratio = devicePixelRatio;
    }
    StartWorkers();
}

void ThumbnailPainter::StartWorkers() {
    int starting = 0;
    {
        const std::lock_guard guard(lock);
        const std::size_t room = MaxUnclaimed - std::min(MaxUnclaimed, unclaimed.size());
        const auto idle = static_cast<std::size_t>(pool.maxThreadCount() - workers);
        starting = static_cast<int>(std::min({waiting.size(), idle, room}));
        workers += starting;
    }
    for (int i = 0; i < starting; ++i) {
        pool.start([this] { Work(); });
    }
}

// Each worker paints what waits until nothing does, or until the thumbnails handed over and not
// yet taken would fill a screen: an interface thread busy with keys then meets no pile of work
// it has already left behind. RenderSceneBitmap keeps no state between renders beyond its own
// thread's scratch space, so workers run it side by side.
void ThumbnailPainter::Work() {
    for (;;) {
        std::uint32_t seed = 0;
        qreal devicePixelRatio = 1;
        {
            const std::lock_guard guard(lock);
            if (waiting.empty() || unclaimed.size() >= MaxUnclaimed) {
                --workers;
                return;
            }
            seed = waiting.front();
            waiting.pop_front();
            unclaimed.insert(seed);
            devicePixelRatio = ratio;
        }
        const auto picture = PictureOfSeed(seed);
        QImage thumbnail = picture ? ThumbnailImage(*picture, devicePixelRatio) : QImage();
        QMetaObject::invokeMethod(
            this,
            [this, seed, thumbnail = std::move(thumbnail)] {
                {
                    const std::lock_guard guard(lock);
                    unclaimed.erase(seed);
                }
                if (!thumbnail.isNull()) {
                    emit Painted(seed, thumbnail);
                }
                StartWorkers();
            },
            Qt::QueuedConnection);
    }
}

}  // namespace vistrel
