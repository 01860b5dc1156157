#pragma once

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QDBusMessage;

namespace vistrel {

// One request to an XDG desktop portal whose answer comes later, as the Response signal of a
// request object. The object's path follows from this connection's unique name and a token of
// the caller's, so the subscription is made before the call and no answer can slip past.
// Dropping the object drops the subscription and any answer still to come.
class PortalRequest : public QObject {
    Q_OBJECT

  public:
    PortalRequest(const QDBusConnection& bus, QObject* parent);
    ~PortalRequest() override;

    // The handle_token the call's options must carry.
    QString Token() const { return token; }

    // Sends the portal method call without waiting for it. A call the portal refuses ends the
    // request with Failed, one it has not taken by `replyBy` with Unanswered (the bus gives the
    // call up, and with it everything the call carries). Once taken, the answer comes as
    // Responded, after the user's if the portal asks first; a portal that goes away meanwhile
    // ends the request with Failed.
    void Send(const QDBusMessage& call, QDeadlineTimer replyBy);

  signals:
    // The portal did not take the call in time.
    void Unanswered();
    // 0 success, 1 cancelled by the user, anything else a failure.
    void Responded(uint response, const QVariantMap& results);
    void Failed(const QString& reason);

  private slots:
    void OnResponse(uint response, const QVariantMap& results);

  private:
    void WatchThePortal();
    void Subscribe(const QString& path);
    void Unsubscribe();

    QDBusConnection bus;
    const QString token;
    QString handlePath;
};

}  // namespace vistrel
