#include "tools/vistrel-background/SessionWatch.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QScreen>

#include "desktop/DesktopBusNames.h"

namespace vistrel {
namespace {

// Monitors plugged in together report one by one; the refit waits this long for the rest,
// well within the two seconds it may take.
constexpr int MonitorsSettleMilliseconds = 400;

}  // namespace

SessionWatch::SessionWatch(QObject* parent) : QObject(parent) {
    QDBusConnection::systemBus().connect(dbus::LoginService, dbus::LoginPath, dbus::LoginManager,
                                         QStringLiteral("PrepareForSleep"), this,
                                         SLOT(OnPrepareForSleep(bool)));
    monitorsSettle.setSingleShot(true);
    monitorsSettle.setInterval(MonitorsSettleMilliseconds);
    connect(&monitorsSettle, &QTimer::timeout, this, &SessionWatch::MonitorsChanged);
    const auto changed = [this] { monitorsSettle.start(); };
    connect(qApp, &QGuiApplication::screenAdded, this, [this, changed](QScreen* screen) {
        Follow(screen);
        changed();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, changed);
    for (QScreen* screen : QGuiApplication::screens()) {
        Follow(screen);
    }
}

void SessionWatch::Follow(QScreen* screen) {
    const auto changed = [this] { monitorsSettle.start(); };
    connect(screen, &QScreen::geometryChanged, this, changed);
    connect(screen, &QScreen::orientationChanged, this, changed);
    connect(screen, &QScreen::physicalDotsPerInchChanged, this, changed);
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, changed);
}

void SessionWatch::OnPrepareForSleep(bool sleeping) {
    if (!sleeping) {
        emit Woke();
    }
}

}  // namespace vistrel
