#include "desktop/PortalBackground.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QFile>

#include "desktop/BackgroundImages.h"
#include "desktop/DesktopBusNames.h"
#include "desktop/PortalRequest.h"

namespace vistrel {
namespace {

constexpr uint Success = 0;
constexpr uint Cancelled = 1;

}  // namespace

PortalBackground::PortalBackground(BackgroundPlace place, QObject* parent)
    : BackgroundChannel(parent), place(place) {}

void PortalBackground::Hand(BackgroundImages& images, QDeadlineTimer replyBy) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        FinishLater(Outcome::Unavailable);
        return;
    }
    QDBusMessage version = QDBusMessage::createMethodCall(dbus::PortalService, dbus::PortalPath,
                                                          dbus::Properties, QStringLiteral("Get"));
    version << dbus::PortalWallpaper << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(version), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, &images, replyBy] {
        watcher->deleteLater();
        if (watcher->isError()) {
            emit Finished(Outcome::Unavailable, {});
            return;
        }
        images.WriteWindowMonitor(this, [this, replyBy](const std::vector<UserFolder>& files) {
            SetWallpaperFile(files.front().FilePath(), replyBy);
        });
    });
}

void PortalBackground::SetWallpaperFile(const QString& file, QDeadlineTimer replyBy) {
    QFile image(file);
    if (!image.open(QIODevice::ReadOnly)) {
        emit Finished(Outcome::Failed, image.errorString());
        return;
    }
    auto* request = new PortalRequest(QDBusConnection::sessionBus(), this);
    connect(request, &PortalRequest::Failed, this,
            [this](const QString& reason) { emit Finished(Outcome::Failed, reason); });
    connect(request, &PortalRequest::Unanswered, this,
            [this] { emit Finished(Outcome::NoAnswer, {}); });
    connect(request, &PortalRequest::Responded, this, [this](uint response) {
        if (response == Success) {
            emit Finished(Outcome::Set, {});
        } else if (response == Cancelled) {
            emit Finished(Outcome::Cancelled, {});
        } else {
            emit Finished(Outcome::Failed, tr("the desktop turned the request down"));
        }
    });
    QDBusMessage call =
        QDBusMessage::createMethodCall(dbus::PortalService, dbus::PortalPath, dbus::PortalWallpaper,
                                       QStringLiteral("SetWallpaperFile"));
    // The descriptor holds a duplicate of the file's, which the bus keeps with the call until it
    // is answered or given up at the deadline; the file's own closes as this function returns.
    const QDBusUnixFileDescriptor descriptor(image.handle());
    const QVariantMap options = {
        {QStringLiteral("handle_token"), request->Token()},
        {QStringLiteral("set-on"), place == BackgroundPlace::LockScreen
                                       ? QStringLiteral("lockscreen")
                                       : QStringLiteral("background")},
        {QStringLiteral("show-preview"), false},
    };
    call << QString() << QVariant::fromValue(descriptor) << options;
    request->Send(call, replyBy);
    emit HandedOver();
}

}  // namespace vistrel
