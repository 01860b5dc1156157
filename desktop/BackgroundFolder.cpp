#include "desktop/BackgroundFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "images/PictureFile.h"
#include "scene/SceneBitmap.h"

namespace vistrel {
namespace {

// Only names Vistrel itself gives, so a user's own "vistrel-favourite.png" stays.
const QRegularExpression OwnName(QStringLiteral("^vistrel-\\d+-\\d+x\\d+\\.png$"));

// Found afresh each time, as the environment says it now.
UserFolder Folder() {
    return UserFolder::Of(BaseFolder::Data, QStringLiteral("backgrounds"));
}

}  // namespace

UserFolder BackgroundFolder::FileFor(std::uint32_t seed, QSize size) const {
    const QString name = QStringLiteral("vistrel-%1-%2x%3.png")
                             .arg(QString::number(seed), QString::number(size.width()),
                                  QString::number(size.height()));
    return Folder().Below(name);
}

QString BackgroundFolder::Write(const SceneBitmap& image, const UserFolder& file) const {
    const UserFolder folder = Folder();
    const QString reached = folder.FilePath();
    if (reached.isEmpty() || !QDir().mkpath(reached)) {
        return tr("the folder %1 cannot be made").arg(folder.DisplayName());
    }
    return SavePicturePng(image, file.FilePath(), 1);
}

void BackgroundFolder::RemoveAllBut(const UserFolder& kept) const {
    const QString reached = Folder().FilePath();
    if (reached.isEmpty()) {
        return;  // nothing there to remove, and QDir would take the working folder for it
    }
    QDir own(reached);
    const QString keptName = QFileInfo(kept.FilePath()).fileName();
    for (const QString& name : own.entryList({QStringLiteral("vistrel-*.png")}, QDir::Files)) {
        if (name != keptName && OwnName.match(name).hasMatch()) {
            own.remove(name);
        }
    }
}

}  // namespace vistrel
