#pragma once

#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <variant>

class QDBusMessage;

namespace vistrel {

// Asks the desktop not to blank the screen or go idle while held: through the desktop portal's
// Inhibit, or, where there is none, through the freedesktop ScreenSaver service. Every call is
// asynchronous, so the window never waits for the desktop; with no session bus or neither
// service, holding does nothing and says nothing.
class IdleInhibitor : public QObject {
    Q_OBJECT

  public:
    explicit IdleInhibitor(QObject* parent = nullptr);
    // Releases the hold, now or, if the desktop has yet to answer, when it does.
    ~IdleInhibitor() override;

    void Hold();
    void Release();

  private:
    // What the desktop gave for a hold, and takes back to end it.
    struct PortalRequest {
        QDBusObjectPath handle;
    };
    struct ScreenSaverCookie {
        QString path;
        uint cookie = 0;
    };
    using Grant = std::variant<PortalRequest, ScreenSaverCookie>;

    void AskPortal();
    void AskScreenSaver(std::size_t pathIndex);
    void Granted(const Grant& given);
    static void GiveBack(const Grant& given);
    // Sends the call; its answer goes to Granted, or to onRefusal when grantIn finds no hold
    // in it.
    void Ask(const QDBusMessage& call,
             std::function<std::optional<Grant>(const QDBusMessage&)> grantIn,
             std::function<void()> onRefusal);

    bool wanted = false;
    // A request is on its way; its answer decides whether the hold is kept or given back.
    bool asking = false;
    std::optional<Grant> grant;
};

}  // namespace vistrel
