#include "desktop/BackgroundImages.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFutureWatcher>
#include <QPointer>
#include <QRect>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <map>
#include <optional>

#include "scene/Picture.h"
#include "scene/SceneImage.h"
#include "userfiles/ReplaceFile.h"

namespace vistrel {

// One image to paint and write on a worker thread: what `monitors[index]` shows, or the image
// spanning them all.
struct BackgroundImageJob {
    std::uint32_t seed = 0;
    Spread spread = Spread::EachMonitor;
    std::vector<Monitor> monitors;
    std::size_t index = 0;
    bool spanned = false;
    QSize size;
    QString path;
    QString displayName;
};

namespace {

std::vector<Monitor> Layout(const std::vector<NamedMonitor>& monitors) {
    std::vector<Monitor> layout;
    layout.reserve(monitors.size());
    for (const NamedMonitor& named : monitors) {
        layout.push_back(named.monitor);
    }
    return layout;
}

QSize DevicePixels(const Monitor& m) {
    return {m.width * m.scale, m.height * m.scale};
}

QSize SpannedSize(const std::vector<Monitor>& monitors) {
    QRect box;
    for (const Monitor& m : monitors) {
        box |= QRect(m.x, m.y, m.width, m.height);
    }
    return box.size() * SpanScale(monitors);
}

// What sets one image apart from another of the same seed and size: the layout and the part of
// it, so that a desktop handed a new image never takes it for the one it already shows.
QString LayoutTag(const BackgroundImageJob& job) {
    QByteArray key = QByteArray::number(static_cast<int>(job.spread)) + ' ' +
                     QByteArray::number(job.spanned ? -1 : static_cast<qint64>(job.index));
    for (const Monitor& m : job.monitors) {
        for (const std::int32_t value : {m.x, m.y, m.width, m.height, m.scale}) {
            key += ' ' + QByteArray::number(value);
        }
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha1).left(4).toHex());
}

// The image's PNG, or none when the memory cannot be had (for the image, or for libpng).
std::optional<std::vector<std::uint8_t>> PaintPng(const BackgroundImageJob& job) {
    const std::unique_ptr<SceneBitmap> picture = PictureOfSeed(job.seed);
    if (!picture) {
        return std::nullopt;
    }
    const SceneBitmap image = job.spanned
                                  ? SpannedImage(*picture, job.monitors, job.spread)
                                  : MonitorImage(*picture, job.monitors, job.index, job.spread);
    if (image.pixels.empty()) {
        return std::nullopt;
    }
    try {
        return EncodeImage(image, ImageFormat::Png, PngEffort::Fast);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

QString PaintAndWrite(const BackgroundImageJob& job) {
    const std::optional<std::vector<std::uint8_t>> png = PaintPng(job);
    if (!png) {
        return BackgroundImages::tr(
                   "There is not enough memory for a background of %1 \u00d7 %2 pixels.")
            .arg(job.size.width())
            .arg(job.size.height());
    }
    const QString failure =
        ReplaceFile(job.path, QByteArrayView(png->data(), static_cast<qsizetype>(png->size())));
    if (failure.isEmpty()) {
        return {};
    }
    return BackgroundImages::tr("The background could not be saved as %1: %2")
        .arg(job.displayName, failure);
}

}  // namespace

BackgroundImages::BackgroundImages(BackgroundRequest request, QObject* parent)
    : QObject(parent), request(std::move(request)) {}

BackgroundImages::~BackgroundImages() = default;

void BackgroundImages::WriteEach(const std::vector<NamedMonitor>& monitors, QObject* receiver,
                                 Written then) {
    const std::vector<Monitor> layout = Layout(monitors);
    std::vector<BackgroundImageJob> jobs;
    std::vector<UserFolder> files;
    // A monitor's own fit depends on its size alone; its part of a shared picture on the layout.
    std::map<std::pair<int, int>, std::size_t> jobOfSize;
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const QSize size = DevicePixels(layout[i]);
        if (request.spread == Spread::EachMonitor) {
            const auto [found, added] =
                jobOfSize.try_emplace({size.width(), size.height()}, jobs.size());
            if (!added) {
                files.push_back(files[jobs[found->second].index]);
                continue;
            }
        }
        jobs.push_back({request.seed, request.spread, layout, i, false, size, {}, {}});
        files.push_back(FileOf(jobs.back()));
    }
    Write(std::move(jobs), std::move(files), receiver, std::move(then));
}

void BackgroundImages::WriteSpanned(QObject* receiver, Written then) {
    if (request.monitors.size() == 1) {
        WriteEach(request.monitors, receiver, std::move(then));
        return;
    }
    const std::vector<Monitor> layout = Layout(request.monitors);
    std::vector<BackgroundImageJob> jobs = {
        {request.seed, request.spread, layout, 0, true, SpannedSize(layout), {}, {}}};
    std::vector<UserFolder> files = {FileOf(jobs.front())};
    Write(std::move(jobs), std::move(files), receiver, std::move(then));
}

void BackgroundImages::WriteWindowMonitor(QObject* receiver, Written then) {
    const std::size_t index = std::min(request.windowMonitor, request.monitors.size() - 1);
    if (request.spread == Spread::EachMonitor) {
        WriteEach({request.monitors[index]}, receiver, std::move(then));
        return;
    }
    const std::vector<Monitor> layout = Layout(request.monitors);
    std::vector<BackgroundImageJob> jobs = {
        {request.seed, request.spread, layout, index, false, DevicePixels(layout[index]), {}, {}}};
    std::vector<UserFolder> files = {FileOf(jobs.front())};
    Write(std::move(jobs), std::move(files), receiver, std::move(then));
}

UserFolder BackgroundImages::FileOf(BackgroundImageJob& job) const {
    const bool ownFit = job.spread == Spread::EachMonitor && !job.spanned;
    UserFolder file = folder.FileFor(request.seed, job.size, ownFit ? QString() : LayoutTag(job));
    job.path = file.FilePath();
    job.displayName = file.DisplayName();
    return file;
}

void BackgroundImages::Write(std::vector<BackgroundImageJob> jobs, std::vector<UserFolder> files,
                             QObject* receiver, Written then) {
    if (const QString failure = folder.Prepare(); !failure.isEmpty()) {
        const QString message = BackgroundImages::tr("The background could not be saved as %1: %2")
                                    .arg(files.front().DisplayName(), failure);
        QMetaObject::invokeMethod(
            this, [this, message] { emit Failed(message); }, Qt::QueuedConnection);
        return;
    }
    auto* watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, files = std::move(files), receiver = QPointer<QObject>(receiver),
             then = std::move(then)] {
                watcher->deleteLater();
                if (abandoned) {
                    return;
                }
                for (const QString& failure : watcher->future().results()) {
                    if (!failure.isEmpty()) {
                        emit Failed(failure);
                        return;
                    }
                }
                written.insert(written.end(), files.begin(), files.end());
                if (receiver) {
                    then(files);
                }
            });
    watcher->setFuture(QtConcurrent::mapped(std::move(jobs), PaintAndWrite));
}

}  // namespace vistrel
