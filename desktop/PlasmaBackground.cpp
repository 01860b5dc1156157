#include "desktop/PlasmaBackground.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

namespace vistrel {
namespace {

// Plasma's image wallpaper shows an image unscaled in the middle at this fill mode.
constexpr int Centred = 6;

// The script for the shell, with the URI quoted as a JavaScript string (a JSON array of one).
QString Script(const QString& uri) {
    const QByteArray quoted = QJsonDocument(QJsonArray{uri}).toJson(QJsonDocument::Compact);
    return QStringLiteral(
               "const image = %1[0];\n"
               "for (const d of desktops()) {\n"
               "    d.wallpaperPlugin = 'org.kde.image';\n"
               "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
               "    d.writeConfig('Image', image);\n"
               "    d.writeConfig('FillMode', %2);\n"
               "}\n")
        .arg(QString::fromUtf8(quoted))
        .arg(Centred);
}

}  // namespace

void PlasmaBackground::Hand(const QString& file) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        FinishLater(Outcome::Failed, tr("there is no session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
        QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
    call << Script(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded));
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        if (watcher->isError()) {
            emit Finished(Outcome::Failed, watcher->error().message());
            return;
        }
        emit Finished(Outcome::Set, {});
    });
}

}  // namespace vistrel
