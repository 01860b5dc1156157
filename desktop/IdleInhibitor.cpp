#include "desktop/IdleInhibitor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QPointer>
#include <QVariantMap>
#include <iterator>

#include "desktop/DesktopBusNames.h"

namespace vistrel {
namespace {

// The portal's flag for "the session must not go idle", which keeps the screen on.
constexpr uint InhibitIdle = 8;

}  // namespace

IdleInhibitor::IdleInhibitor(QObject* parent) : QObject(parent) {}

IdleInhibitor::~IdleInhibitor() {
    Release();
}

void IdleInhibitor::Hold() {
    if (wanted) {
        return;
    }
    wanted = true;
    if (!grant && !asking && QDBusConnection::sessionBus().isConnected()) {
        asking = true;
        AskPortal();
    }
}

void IdleInhibitor::Release() {
    wanted = false;
    if (grant) {
        GiveBack(*grant);
        grant.reset();
    }
}

void IdleInhibitor::AskPortal() {
    QDBusMessage call = QDBusMessage::createMethodCall(dbus::PortalService, dbus::PortalPath,
                                                       dbus::PortalInhibit, "Inhibit");
    // No parent window: the hold is for the whole session.
    call << QString() << InhibitIdle
         << QVariantMap{{QStringLiteral("reason"), tr("Showing a slide show")}};
    Ask(
        call,
        [](const QDBusMessage& reply) -> std::optional<Grant> {
            const QList<QVariant> arguments = reply.arguments();
            if (reply.type() != QDBusMessage::ReplyMessage || arguments.size() != 1 ||
                !arguments.front().canConvert<QDBusObjectPath>()) {
                return std::nullopt;
            }
            return PortalRequest{arguments.front().value<QDBusObjectPath>()};
        },
        [this] { AskScreenSaver(0); });
}

// Asks at each of the service's paths in turn; the first answer counts.
void IdleInhibitor::AskScreenSaver(std::size_t pathIndex) {
    if (pathIndex == std::size(dbus::ScreenSaverPaths)) {
        // Nobody to ask: the slide show runs, and the screen blanks as it always did.
        asking = false;
        return;
    }
    const QString& path = dbus::ScreenSaverPaths[pathIndex];
    QDBusMessage call =
        QDBusMessage::createMethodCall(dbus::ScreenSaver, path, dbus::ScreenSaver, "Inhibit");
    call << QCoreApplication::applicationName() << tr("Showing a slide show");
    Ask(
        call,
        [path](const QDBusMessage& reply) -> std::optional<Grant> {
            const QList<QVariant> arguments = reply.arguments();
            if (reply.type() != QDBusMessage::ReplyMessage || arguments.size() != 1 ||
                arguments.front().metaType() != QMetaType::fromType<uint>()) {
                return std::nullopt;
            }
            return ScreenSaverCookie{path, arguments.front().toUInt()};
        },
        [this, pathIndex] { AskScreenSaver(pathIndex + 1); });
}

void IdleInhibitor::Granted(const Grant& given) {
    asking = false;
    if (wanted) {
        grant = given;
    } else {
        // The slide show stopped while the desktop was answering.
        GiveBack(given);
    }
}

void IdleInhibitor::GiveBack(const Grant& given) {
    QDBusMessage call;
    if (const auto* request = std::get_if<PortalRequest>(&given)) {
        call = QDBusMessage::createMethodCall(dbus::PortalService, request->handle.path(),
                                              dbus::PortalRequestInterface, "Close");
    } else {
        const auto& screenSaver = std::get<ScreenSaverCookie>(given);
        call = QDBusMessage::createMethodCall(dbus::ScreenSaver, screenSaver.path,
                                              dbus::ScreenSaver, "UnInhibit");
        call << screenSaver.cookie;
    }
    // Sent without waiting for an answer: there is nothing left to do with one.
    QDBusConnection::sessionBus().send(call);
}

void IdleInhibitor::Ask(const QDBusMessage& call,
                        std::function<std::optional<Grant>(const QDBusMessage&)> grantIn,
                        std::function<void()> onRefusal) {
    // The watcher outlives this object if need be, so that a hold granted after the viewer
    // has gone is still given back.
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call));
    const QPointer<IdleInhibitor> self(this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
            [watcher, self, grantIn, onRefusal] {
                watcher->deleteLater();
                const std::optional<Grant> given = grantIn(watcher->reply());
                if (!self) {
                    if (given) {
                        GiveBack(*given);
                    }
                } else if (given) {
                    self->Granted(*given);
                } else {
                    onRefusal();
                }
            });
}

}  // namespace vistrel
