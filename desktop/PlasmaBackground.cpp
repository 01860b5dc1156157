#include "desktop/PlasmaBackground.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/BackgroundImages.h"
#include "desktop/DesktopBusNames.h"

namespace vistrel {
namespace {

// The script for the shell. The images go in as one JSON object, joined on rather than
// substituted, so nothing in their URIs can reach the script's own text: each desktop takes the
// image of the screen it is on, found by that screen's geometry, or the first monitor's.
QString Script(const std::vector<NamedMonitor>& monitors, const std::vector<UserFolder>& files) {
    QJsonObject screens;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& m = monitors[i].monitor;
        screens.insert(QStringLiteral("%1,%2,%3,%4").arg(m.x).arg(m.y).arg(m.width).arg(m.height),
                       QString::fromLatin1(files[i].Uri()));
    }
    const QJsonObject images{{QStringLiteral("screens"), screens},
                             {QStringLiteral("fallback"), QString::fromLatin1(files[0].Uri())}};
    return QStringLiteral("const images = ") +
           QString::fromUtf8(QJsonDocument(images).toJson(QJsonDocument::Compact)) +
           QStringLiteral(
               ";\n"
               "for (const d of desktops()) {\n"
               "    const g = screenGeometry(d.screen);\n"
               "    const key = [g.x, g.y, g.width, g.height].join(',');\n"
               "    d.wallpaperPlugin = 'org.kde.image';\n"
               "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
               "    d.writeConfig('Image', images.screens[key] || images.fallback);\n"
               "    d.writeConfig('FillMode', ") +
           QString::number(PlasmaCentredFill) + QStringLiteral(");\n}\n");
}

}  // namespace

void PlasmaBackground::Hand(BackgroundImages& images, QDeadlineTimer) {
    if (!QDBusConnection::sessionBus().isConnected()) {
        FinishLater(Outcome::Failed, tr("there is no session bus"));
        return;
    }
    const std::vector<NamedMonitor> monitors = images.Request().monitors;
    images.WriteEach(monitors, this, [this, monitors](const std::vector<UserFolder>& files) {
        Evaluate(Script(monitors, files));
    });
}

void PlasmaBackground::Evaluate(const QString& script) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage call = QDBusMessage::createMethodCall(
        dbus::PlasmaShellService, dbus::PlasmaShellPath, dbus::PlasmaShellInterface,
        QStringLiteral("evaluateScript"));
    call << script;
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
