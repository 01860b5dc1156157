#include "desktop/PlasmaLockScreen.h"

#include "desktop/BackgroundImages.h"
#include "desktop/PlasmaBackground.h"

namespace vistrel {
namespace {

const QString Program = QStringLiteral("kwriteconfig5");

QStringList Setting(const QStringList& groups, const QString& key, const QString& value) {
    QStringList arguments = {QStringLiteral("--file"), QStringLiteral("kscreenlockerrc")};
    for (const QString& group : groups) {
        arguments << QStringLiteral("--group") << group;
    }
    return arguments << QStringLiteral("--key") << key << value;
}

}  // namespace

void PlasmaLockScreen::Hand(BackgroundImages& images, QDeadlineTimer) {
    images.WriteWindowMonitor(this, [this](const std::vector<UserFolder>& files) {
        const QString plugin = QStringLiteral("org.kde.image");
        const QStringList image = {QStringLiteral("Greeter"), QStringLiteral("Wallpaper"), plugin,
                                   QStringLiteral("General")};
        // The URI is ASCII whatever the path's bytes, so the text arguments can carry it.
        RunEach(Program,
                {Setting({QStringLiteral("Greeter")}, QStringLiteral("WallpaperPlugin"), plugin),
                 Setting(image, QStringLiteral("Image"), QString::fromLatin1(files.front().Uri())),
                 Setting(image, QStringLiteral("FillMode"), QString::number(PlasmaCentredFill))},
                [this] { emit Finished(Outcome::Set, {}); });
    });
}

}  // namespace vistrel
