#include "userfiles/Favourites.h"

#include <QFileInfo>
#include <QTimer>

#include "scene/Picture.h"

namespace vistrel {

Favourites::Favourites(QObject* parent)
    : QObject(parent),
      location(UserFolder::Of(BaseFolder::Data, QStringLiteral("vistrel/favourites"))),
      file(location.FilePath()) {
    const QString failure = file.Load();
    if (!failure.isEmpty()) {
        QTimer::singleShot(0, this, [this, failure] {
            Report(tr("Your favourites could not be read from %1: %2. Vistrel goes on without "
                      "them and leaves the file as it is.")
                       .arg(location.DisplayName(), failure));
        });
    }
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, &Favourites::Reload);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &Favourites::Reload);
    Watch();
}

void Favourites::SetFavourite(std::uint32_t seed, bool favourite) {
    if (seed >= SceneSeedCount || Contains(seed) == favourite) {
        return;
    }
    const QString failure = file.SetFavourite(seed, favourite);
    Watch();
    emit Changed();
    if (!failure.isEmpty()) {
        Report(tr("Your favourites could not be saved in %1: %2. Vistrel keeps them until it "
                  "closes.")
                   .arg(location.DisplayName(), failure));
    }
}

void Favourites::Reload() {
    const std::vector<std::uint32_t> before = file.Seeds();
    // A file that cannot be read now (broken by hand) leaves the list as it was; the next
    // change here, which reads it again, says so.
    file.Refresh();
    Watch();
    if (file.Seeds() != before) {
        emit Changed();
    }
}

void Favourites::Watch() {
    const QString path = file.Path();
    // A file replaced by renaming drops out of the watch; watching again picks up the new one.
    if (QFileInfo::exists(path) && !watcher.files().contains(path)) {
        watcher.addPath(path);
    }
    // The deepest of its folders that is there, so that the folder's making is seen too.
    QString folder = QFileInfo(path).absolutePath();
    while (!QFileInfo(folder).isDir() && folder != QFileInfo(folder).absolutePath()) {
        folder = QFileInfo(folder).absolutePath();
    }
    if (!watcher.directories().contains(folder)) {
        watcher.addPath(folder);
    }
}

void Favourites::Report(const QString& message) {
    if (reported) {
        return;
    }
    reported = true;
    emit Failed(message);
}

}  // namespace vistrel
