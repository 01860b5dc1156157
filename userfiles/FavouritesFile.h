#pragma once

#include <QByteArrayList>
#include <QCoreApplication>
#include <QString>
#include <bitset>
#include <cstdint>
#include <utility>
#include <vector>

#include "scene/Picture.h"

namespace vistrel {

// The user's favourite scene seeds in a plain text file, one seed per line: after an optional
// byte-order mark, blanks around it and a carriage return at its end, a line of decimal digits
// (any number of leading zeros) whose value is 0 to 32767. The file is the user's: lines that are
// not a seed (comments, blanks, damage) are ignored but kept as they are, and a seed listed twice
// counts once. The file is the truth, shared with every other program that writes it: each
// change is made under a lock beside the file, to what the file holds at that moment, and
// replaces it by a complete new one; a failure leaves the old file as it was.
class FavouritesFile {
    Q_DECLARE_TR_FUNCTIONS(FavouritesFile)

  public:
    // Far above any real list; a larger file is not read, so a mistake cannot eat the memory.
    static constexpr qint64 LargestFile = 4 * 1024 * 1024;

    explicit FavouritesFile(QString path);

    const QString& Path() const { return path; }
    // Reads the file as it is now; a missing one is an empty list, and only a regular file of at
    // most LargestFile bytes is read. Changes that could not be written yet stay on top. Returns
    // why it could not be read, or an empty string; a file that cannot be read is never written,
    // so none of it is lost.
    QString Load();
    // Reads the file again; one that cannot be read leaves the list as it was. Returns why it
    // could not be read, or an empty string.
    QString Refresh();
    bool Contains(std::uint32_t seed) const;
    // The favourites in seed order.
    std::vector<std::uint32_t> Seeds() const;
    // Marks or unmarks a seed, in memory even when the file cannot be written, and writes the
    // file (creating it and its folder on the first mark) with this change and any earlier one
    // that could not be written. Returns why the file could not be written, or an empty string.
    // A seed out of range or a mark that changes nothing writes nothing.
    QString SetFavourite(std::uint32_t seed, bool favourite);

  private:
    using Change = std::pair<std::uint32_t, bool>;

    // Takes the file's text as the list, with the unwritten changes on top.
    void Take(const QByteArray& text);
    void Apply(const Change& change);
    QString Write() const;

    QString path;
    QByteArrayList lines;
    std::bitset<SceneSeedCount> marked;
    // Changes made here that the file does not hold yet, oldest first.
    std::vector<Change> unwritten;
};

}  // namespace vistrel
