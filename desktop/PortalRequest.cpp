#include "desktop/PortalRequest.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QRandomGenerator>
#include <algorithm>
#include <climits>

#include "desktop/DesktopBusNames.h"

namespace vistrel {
namespace {

const QString ResponseSignal = QStringLiteral("Response");

// Tokens and object path elements allow letters, digits and underscores only.
QString NewToken() {
    return QStringLiteral("vistrel_%1").arg(QRandomGenerator::global()->generate());
}

// Where the portal puts the request of a caller with this unique name (":1.42") and token.
QString RequestPath(const QString& uniqueName, const QString& token) {
    QString sender = uniqueName.mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return dbus::PortalPath + QStringLiteral("/request/") + sender + u'/' + token;
}

// The bus's timeout, in milliseconds, for a call to be answered by `replyBy` (-1: its own).
int ReplyTimeout(QDeadlineTimer replyBy) {
    if (replyBy.isForever()) {
        return -1;
    }
    return static_cast<int>(std::clamp<qint64>(replyBy.remainingTime(), 1, INT_MAX));
}

bool IsUnanswered(const QDBusError& error) {
    return error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout;
}

}  // namespace

PortalRequest::PortalRequest(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus(bus), token(NewToken()) {
    Subscribe(RequestPath(bus.baseService(), token));
    WatchThePortal();
}

PortalRequest::~PortalRequest() {
    Unsubscribe();
}

void PortalRequest::Send(const QDBusMessage& call, QDeadlineTimer replyBy) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, ReplyTimeout(replyBy)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        if (handlePath.isEmpty()) {
            return;  // answered already
        }
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError()) {
            Unsubscribe();
            if (IsUnanswered(reply.error())) {
                emit Unanswered();
            } else {
                emit Failed(reply.error().message());
            }
            return;
        }
        // Portals older than the token scheme put the request elsewhere and say where.
        if (reply.value().path() != handlePath) {
            Unsubscribe();
            Subscribe(reply.value().path());
        }
    });
}

void PortalRequest::OnResponse(uint response, const QVariantMap& results) {
    Unsubscribe();
    emit Responded(response, results);
}

// The request lives as long as the portal that holds it: with the portal gone (or replaced by
// another), no answer will ever come. Watched from the start, so that no departure slips past.
void PortalRequest::WatchThePortal() {
    auto* watcher = new QDBusServiceWatcher(dbus::PortalService, bus,
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString& oldOwner) {
                // A portal started for the call has no earlier owner.
                if (oldOwner.isEmpty() || handlePath.isEmpty()) {
                    return;
                }
                Unsubscribe();
                emit Failed(tr("the desktop portal stopped before it answered"));
            });
}

void PortalRequest::Subscribe(const QString& path) {
    handlePath = path;
    bus.connect(dbus::PortalService, handlePath, dbus::PortalRequestInterface, ResponseSignal, this,
                SLOT(OnResponse(uint, QVariantMap)));
}

void PortalRequest::Unsubscribe() {
    if (handlePath.isEmpty()) {
        return;
    }
    bus.disconnect(dbus::PortalService, handlePath, dbus::PortalRequestInterface, ResponseSignal,
                   this, SLOT(OnResponse(uint, QVariantMap)));
    handlePath.clear();
}

}  // namespace vistrel
