#include "desktop/PortalBackground.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QFile>

#include "desktop/PortalRequest.h"

namespace vistrel {
namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString WallpaperInterface = QStringLiteral("org.freedesktop.portal.Wallpaper");

constexpr uint Success = 0;
constexpr uint Cancelled = 1;

}  // namespace

void PortalBackground::Hand(const QString& file) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        FinishLater(Outcome::Unavailable);
        return;
    }
    QDBusMessage version = QDBusMessage::createMethodCall(
        PortalService, PortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    version << WallpaperInterface << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(version), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, file] {
        watcher->deleteLater();
        if (watcher->isError()) {
            emit Finished(Outcome::Unavailable, {});
            return;
        }
        SetWallpaperFile(file);
    });
}

void PortalBackground::SetWallpaperFile(const QString& file) {
    QFile image(file);
    if (!image.open(QIODevice::ReadOnly)) {
        emit Finished(Outcome::Failed, image.errorString());
        return;
    }
    auto* request = new PortalRequest(QDBusConnection::sessionBus(), this);
    connect(request, &PortalRequest::Failed, this,
            [this](const QString& reason) { emit Finished(Outcome::Failed, reason); });
    connect(request, &PortalRequest::Responded, this, [this](uint response) {
        if (response == Success) {
            emit Finished(Outcome::Set, {});
        } else if (response == Cancelled) {
            emit Finished(Outcome::Cancelled, {});
        } else {
            emit Finished(Outcome::Failed, tr("the desktop turned the request down"));
        }
    });
    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, PortalPath, WallpaperInterface, QStringLiteral("SetWallpaperFile"));
    // The descriptor holds a duplicate of the file's, closed with the message once it is sent;
    // the file's own closes as this function returns.
    const QDBusUnixFileDescriptor descriptor(image.handle());
    const QVariantMap options = {
        {QStringLiteral("handle_token"), request->Token()},
        {QStringLiteral("set-on"), QStringLiteral("background")},
        {QStringLiteral("show-preview"), false},
    };
    call << QString() << QVariant::fromValue(descriptor) << options;
    request->Send(call);
}

}  // namespace vistrel
