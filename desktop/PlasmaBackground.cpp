#include "desktop/PlasmaBackground.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QJsonArray>
#include <QJsonDocument>

#include "desktop/DesktopBusNames.h"

namespace vistrel {
namespace {

// Plasma's image wallpaper shows an image unscaled in the middle at this fill mode.
constexpr int Centred = 6;

// The script for the shell. The URI goes in as a JavaScript string (a JSON array of one), joined
// on rather than substituted, so nothing in it can reach the script's own text.
QString Script(const QByteArray& uri) {
    const QByteArray quoted =
        QJsonDocument(QJsonArray{QString::fromLatin1(uri)}).toJson(QJsonDocument::Compact);
    return QStringLiteral("const image = ") + QString::fromUtf8(quoted) +
           QStringLiteral(
               "[0];\n"
               "for (const d of desktops()) {\n"
               "    d.wallpaperPlugin = 'org.kde.image';\n"
               "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
               "    d.writeConfig('Image', image);\n"
               "    d.writeConfig('FillMode', ") +
           QString::number(Centred) + QStringLiteral(");\n}\n");
}

}  // namespace

void PlasmaBackground::Hand(const UserFolder& image, QDeadlineTimer) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        FinishLater(Outcome::Failed, tr("there is no session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        dbus::PlasmaShellService, dbus::PlasmaShellPath, dbus::PlasmaShellInterface,
        QStringLiteral("evaluateScript"));
    call << Script(image.Uri());
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QString> reply = *watcher;
        if (reply.isError()) {
            emit Finished(Outcome::Failed, reply.error().message());
            return;
        }
        // The script prints nothing, so any answer is the error of a shell that reports a
        // failed script as text.
        if (const QString said = reply.value().trimmed(); !said.isEmpty()) {
            emit Finished(Outcome::Failed, tr("the Plasma shell answered: %1").arg(said));
            return;
        }
        emit Finished(Outcome::Set, {});
    });
}

}  // namespace vistrel
