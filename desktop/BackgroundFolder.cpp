#include "desktop/BackgroundFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "images/PictureFile.h"
#include "scene/SceneBitmap.h"

namespace vistrel {
namespace {

// Only names Vistrel itself gives, so a user's own "vistrel-favourite.png" stays.
const QRegularExpression OwnName(QStringLiteral("^vistrel-\\d+-\\d+x\\d+\\.png$"));

}  // namespace

BackgroundFolder::BackgroundFolder()
    : path(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/backgrounds")) {}

QString BackgroundFolder::FileFor(std::uint32_t seed, QSize size) const {
    return QStringLiteral("%1/vistrel-%2-%3x%4.png")
        .arg(path)
        .arg(seed)
        .arg(size.width())
        .arg(size.height());
}

QString BackgroundFolder::Write(const SceneBitmap& image, const QString& file) const {
    if (!QDir().mkpath(path)) {
        return tr("the folder %1 cannot be made").arg(QDir::toNativeSeparators(path));
    }
    return SavePicturePng(image, file, 1);
}

void BackgroundFolder::RemoveAllBut(const QString& kept) const {
    QDir folder(path);
    const QString keptName = QFileInfo(kept).fileName();
    for (const QString& name : folder.entryList({QStringLiteral("vistrel-*.png")}, QDir::Files)) {
        if (name != keptName && OwnName.match(name).hasMatch()) {
            folder.remove(name);
        }
    }
}

}  // namespace vistrel
