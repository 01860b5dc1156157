#pragma once

#include <QByteArrayList>
#include <QCoreApplication>
#include <QString>
#include <bitset>
#include <cstdint>
#include <vector>

#include "scene/Picture.h"

namespace vistrel {

// The user's favourite scene seeds in a plain text file, one seed per line. The file is the
// user's: lines that are not a seed (comments, blanks, damage) are ignored but kept as they are
// whenever the file is rewritten, and a seed listed twice counts once. Every change replaces the
// file by a complete new one; a failure leaves the old file as it was.
class FavouritesFile {
    Q_DECLARE_TR_FUNCTIONS(FavouritesFile)

  public:
    explicit FavouritesFile(QString path);

    const QString& Path() const { return path; }
    // Reads the file; a missing one is an empty list. Returns why it could not be read, or an
    // empty string. After a failed read the file is never written, so none of it is lost.
    QString Load();
    bool Contains(std::uint32_t seed) const;
    // The favourites in seed order.
    std::vector<std::uint32_t> Seeds() const;
    // Marks or unmarks a seed, in memory even when the file cannot be written, and writes the
    // file (creating it and its folder on the first mark). Returns why the file could not be
    // written, or an empty string. A seed out of range or a mark that changes nothing writes
    // nothing.
    QString SetFavourite(std::uint32_t seed, bool favourite);

  private:
    QString Write() const;

    QString path;
    QByteArrayList lines;
    std::bitset<SceneSeedCount> marked;
    bool readable = true;
};

}  // namespace vistrel
