#include "desktop/BackgroundFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace vistrel {
namespace {

// Only names Vistrel itself gives, so a user's own "vistrel-favourite.png" stays.
const QRegularExpression OwnName(QStringLiteral("^vistrel-\\d+-\\d+x\\d+(-[0-9a-f]{8})?\\.png$"));

// Found afresh each time, as the environment says it now.
UserFolder Folder() {
    return UserFolder::Of(BaseFolder::Data, QStringLiteral("backgrounds"));
}

}  // namespace

UserFolder BackgroundFolder::FileFor(std::uint32_t seed, QSize size,
                                     const QString& layoutTag) const {
    QString name = QStringLiteral("vistrel-%1-%2x%3")
                       .arg(QString::number(seed), QString::number(size.width()),
                            QString::number(size.height()));
    if (!layoutTag.isEmpty()) {
        name += u'-' + layoutTag;
    }
    return Folder().Below(name + QStringLiteral(".png"));
}

QString BackgroundFolder::Prepare() const {
    const UserFolder folder = Folder();
    const QString reached = folder.FilePath();
    if (reached.isEmpty() || !QDir().mkpath(reached)) {
        return tr("the folder %1 cannot be made").arg(folder.DisplayName());
    }
    return {};
}

void BackgroundFolder::RemoveAllBut(const std::vector<UserFolder>& kept) const {
    const QString reached = Folder().FilePath();
    if (reached.isEmpty()) {
        return;  // nothing there to remove, and QDir would take the working folder for it
    }
    QDir own(reached);
    QStringList keptNames;
    for (const UserFolder& file : kept) {
        keptNames.append(QFileInfo(file.FilePath()).fileName());
    }
    for (const QString& name : own.entryList({QStringLiteral("vistrel-*.png")}, QDir::Files)) {
        if (!keptNames.contains(name) && OwnName.match(name).hasMatch()) {
            own.remove(name);
        }
    }
}

}  // namespace vistrel
