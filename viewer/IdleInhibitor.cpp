#include "viewer/IdleInhibitor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>
#include <iterator>

namespace vistrel {
namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString PortalInhibit = QStringLiteral("org.freedesktop.portal.Inhibit");
const QString PortalRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString ScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
// Desktops publish the ScreenSaver service at one of these paths; the first answer counts.
const QString ScreenSaverPaths[] = {QStringLiteral("/org/freedesktop/ScreenSaver"),
                                    QStringLiteral("/ScreenSaver")};
// The portal's flag for "the session must not go idle", which keeps the screen on.
constexpr uint InhibitIdle = 8;

}  // namespace

IdleInhibitor::IdleInhibitor(QObject* parent) : QObject(parent) {}

IdleInhibitor::~IdleInhibitor() {
    // A request still on its way is dropped with this object; the desktop ends that hold
    // itself when the program leaves the bus.
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
    QDBusMessage call =
        QDBusMessage::createMethodCall(PortalService, PortalPath, PortalInhibit, "Inhibit");
    // No parent window: the hold is for the whole session.
    call << QString() << InhibitIdle
         << QVariantMap{{QStringLiteral("reason"), tr("Showing a slide show")}};
    Call(call, [this](const QDBusMessage& reply) {
        const QList<QVariant> arguments = reply.arguments();
        if (reply.type() == QDBusMessage::ReplyMessage && arguments.size() == 1 &&
            arguments.front().canConvert<QDBusObjectPath>()) {
            Granted(PortalRequest{arguments.front().value<QDBusObjectPath>()});
        } else {
            AskScreenSaver(0);
        }
    });
}

void IdleInhibitor::AskScreenSaver(std::size_t pathIndex) {
    if (pathIndex == std::size(ScreenSaverPaths)) {
        // Nobody to ask: the slide show runs, and the screen blanks as it always did.
        asking = false;
        return;
    }
    const QString& path = ScreenSaverPaths[pathIndex];
    QDBusMessage call =
        QDBusMessage::createMethodCall(ScreenSaverService, path, ScreenSaverService, "Inhibit");
    call << QCoreApplication::applicationName() << tr("Showing a slide show");
    Call(call, [this, path, pathIndex](const QDBusMessage& reply) {
        const QList<QVariant> arguments = reply.arguments();
        if (reply.type() == QDBusMessage::ReplyMessage && arguments.size() == 1 &&
            arguments.front().metaType() == QMetaType::fromType<uint>()) {
            Granted(ScreenSaverCookie{path, arguments.front().toUInt()});
        } else {
            AskScreenSaver(pathIndex + 1);
        }
    });
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
        call = QDBusMessage::createMethodCall(PortalService, request->handle.path(),
                                              PortalRequestInterface, "Close");
    } else {
        const auto& screenSaver = std::get<ScreenSaverCookie>(given);
        call = QDBusMessage::createMethodCall(ScreenSaverService, screenSaver.path,
                                              ScreenSaverService, "UnInhibit");
        call << screenSaver.cookie;
    }
    // Sent without waiting for an answer: there is nothing left to do with one.
    QDBusConnection::sessionBus().send(call);
}

void IdleInhibitor::Call(const QDBusMessage& call,
                         std::function<void(const QDBusMessage&)> onReply) {
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, onReply] {
        watcher->deleteLater();
        onReply(watcher->reply());
    });
}

}  // namespace vistrel
