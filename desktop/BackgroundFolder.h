#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

#include "userfiles/UserFolder.h"

namespace vistrel {

// The folder desktops keep users' backgrounds in ($XDG_DATA_HOME/backgrounds, or
// ~/.local/share/backgrounds where that is not an absolute path), and Vistrel's files there:
// vistrel-<seed>-<W>x<H>.png for a monitor's own fit, and vistrel-<seed>-<W>x<H>-<tag>.png for
// an image that depends on the monitors' layout too, the tag 8 hexadecimal digits naming it.
// Nothing else in it is ever touched.
class BackgroundFolder {
    Q_DECLARE_TR_FUNCTIONS(BackgroundFolder)

  public:
    UserFolder FileFor(std::uint32_t seed, QSize size, const QString& layoutTag = {}) const;

    // Makes the folder if it is not there. Returns why it cannot be, or an empty string.
    QString Prepare() const;

    // Removes Vistrel's earlier backgrounds, all but those `kept`.
    void RemoveAllBut(const std::vector<UserFolder>& kept) const;
};

}  // namespace vistrel
