#include "desktop/PortalRequest.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRandomGenerator>

namespace vistrel {
namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");

// Tokens and object path elements allow letters, digits and underscores only.
QString NewToken() {
    return QStringLiteral("vistrel_%1").arg(QRandomGenerator::global()->generate());
}

// Where the portal puts the request of a caller with this unique name (":1.42") and token.
QString RequestPath(const QString& uniqueName, const QString& token) {
    QString sender = uniqueName.mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

}  // namespace

PortalRequest::PortalRequest(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), bus(bus), token(NewToken()) {
    Subscribe(RequestPath(bus.baseService(), token));
}

PortalRequest::~PortalRequest() {
    Unsubscribe();
}

void PortalRequest::Send(const QDBusMessage& call) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        if (handlePath.isEmpty()) {
            return;  // answered already
        }
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError()) {
            Unsubscribe();
            emit Failed(reply.error().message());
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

void PortalRequest::Subscribe(const QString& path) {
    handlePath = path;
    bus.connect(PortalService, handlePath, RequestInterface, QStringLiteral("Response"), this,
                SLOT(OnResponse(uint, QVariantMap)));
}

void PortalRequest::Unsubscribe() {
    if (handlePath.isEmpty()) {
        return;
    }
    bus.disconnect(PortalService, handlePath, RequestInterface, QStringLiteral("Response"), this,
                   SLOT(OnResponse(uint, QVariantMap)));
    handlePath.clear();
}

}  // namespace vistrel
