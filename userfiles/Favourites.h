#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

#include "userfiles/FavouritesFile.h"
#include "userfiles/UserFolder.h"

namespace vistrel {

// The favourite scene seeds the viewer and the gallery share, kept in
// $XDG_DATA_HOME/vistrel/favourites. The file is read at construction and again whenever
// another program (another viewer, the user's editor) changes it; every change here is written
// at once. The first failure to read or write it is reported once, by Failed (a failure to read
// at start comes once the event loop runs, so that a window can be there to show it); after
// that the favourites go on in memory.
class Favourites : public QObject {
    Q_OBJECT

  public:
    explicit Favourites(QObject* parent = nullptr);

    bool Contains(std::uint32_t seed) const { return file.Contains(seed); }
    std::vector<std::uint32_t> Seeds() const { return file.Seeds(); }
    void SetFavourite(std::uint32_t seed, bool favourite);
    void Toggle(std::uint32_t seed) { SetFavourite(seed, !Contains(seed)); }

  signals:
    // The favourites changed, here or in the file.
    void Changed();
    // What went wrong, as a sentence for the user.
    void Failed(const QString& message);

  private:
    void Reload();
    // Watches the file, or its folder until the file is there, for changes by others.
    void Watch();
    void Report(const QString& message);

    UserFolder location;
    FavouritesFile file;
    QFileSystemWatcher watcher;
    bool reported = false;
};

}  // namespace vistrel
