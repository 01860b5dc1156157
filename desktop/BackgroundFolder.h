#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <cstdint>

#include "userfiles/UserFolder.h"

namespace vistrel {

struct SceneBitmap;

// The folder desktops keep users' backgrounds in ($XDG_DATA_HOME/backgrounds, or
// ~/.local/share/backgrounds where that is not an absolute path), and Vistrel's files there:
// vistrel-<seed>-<W>x<H>.png. Nothing else in it is ever touched.
class BackgroundFolder {
    Q_DECLARE_TR_FUNCTIONS(BackgroundFolder)

  public:
    UserFolder FileFor(std::uint32_t seed, QSize size) const;

    // Writes the image as an indexed PNG; a file is replaced only by a complete one. Returns
    // why it failed, or an empty string.
    QString Write(const SceneBitmap& image, const UserFolder& file) const;

    // Removes Vistrel's earlier backgrounds, all but `kept`.
    void RemoveAllBut(const UserFolder& kept) const;
};

}  // namespace vistrel
