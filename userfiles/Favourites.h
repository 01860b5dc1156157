#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

#include "userfiles/FavouritesFile.h"

namespace vistrel {

// The favourite scene seeds the viewer and the gallery share, kept in
// $XDG_DATA_HOME/vistrel/favourites. The file is read once, at construction; every change is
// written at once. The first failure to read or write it is reported once, by Failed (a failure
// to read comes once the event loop runs, so that a window can be there to show it); after that
// the favourites go on in memory.
class Favourites : public QObject {
    Q_OBJECT

  public:
    explicit Favourites(QObject* parent = nullptr);

    bool Contains(std::uint32_t seed) const { return file.Contains(seed); }
    std::vector<std::uint32_t> Seeds() const { return file.Seeds(); }
    void SetFavourite(std::uint32_t seed, bool favourite);
    void Toggle(std::uint32_t seed) { SetFavourite(seed, !Contains(seed)); }

    // Where the favourites live: $XDG_DATA_HOME/vistrel/favourites.
    static QString DefaultPath();

  signals:
    void Changed(std::uint32_t seed);
    // What went wrong, as a sentence for the user.
    void Failed(const QString& message);

  private:
    void Report(const QString& message);

    FavouritesFile file;
    bool reported = false;
};

}  // namespace vistrel
