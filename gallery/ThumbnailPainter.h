#pragma once

#include <QImage>
#include <QObject>
#include <QThreadPool>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <vector>

namespace vistrel {

// Paints thumbnails on worker threads, one per core, in the order they were asked for. A new
// request replaces whatever still waits, so work for thumbnails no longer wanted is dropped
// before it starts; a thumbnail being painted is not asked for twice. Each finished thumbnail
// arrives through Painted on the thread that owns the painter, and no more than a few are on
// their way at once, so memory stays bounded however fast the requests come.
class ThumbnailPainter : public QObject {
    Q_OBJECT

  public:
    explicit ThumbnailPainter(QObject* parent = nullptr);
    // Drops what waits and waits for the thumbnails being painted.
    ~ThumbnailPainter() override;

    // Paints these seeds, in this order, for that device pixel ratio, instead of what waits.
    void Paint(const std::vector<std::uint32_t>& seeds, qreal devicePixelRatio);

  signals:
    void Painted(std::uint32_t seed, QImage thumbnail);

  private:
    // Thumbnails painted or being painted whose Painted has not been delivered yet, at most.
    static constexpr std::size_t MaxUnclaimed = 16;

    void StartWorkers();
    void Work();

    QThreadPool pool;
    // Guards everything below; the workers and the owner's thread share it.
    std::mutex lock;
    std::deque<std::uint32_t> waiting;
    std::set<std::uint32_t> unclaimed;
    qreal ratio = 1;
    int workers = 0;
};

}  // namespace vistrel
