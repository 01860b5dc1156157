#pragma once

#include <QString>

// The names on the buses of the services this program asks and offers, each spelled here
// only, so that a call and the subscription to its answer can never name different things.
namespace vistrel::dbus {

// The XDG desktop portal: one service and object, an interface for each thing asked of it, and
// the interface of the request objects that its answers come from.
inline const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString PortalWallpaper = QStringLiteral("org.freedesktop.portal.Wallpaper");
inline const QString PortalInhibit = QStringLiteral("org.freedesktop.portal.Inhibit");
inline const QString PortalRequestInterface = QStringLiteral("org.freedesktop.portal.Request");

// The freedesktop screen saver, whose service and interface have the same name. Desktops
// publish it at one of these paths.
inline const QString ScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
inline const QString ScreenSaverPaths[] = {QStringLiteral("/org/freedesktop/ScreenSaver"),
                                           QStringLiteral("/ScreenSaver")};

// KDE Plasma's shell, which takes scripts.
inline const QString PlasmaShellService = QStringLiteral("org.kde.plasmashell");
inline const QString PlasmaShellPath = QStringLiteral("/PlasmaShell");
inline const QString PlasmaShellInterface = QStringLiteral("org.kde.PlasmaShell");

// Vistrel's own background agent: one per session owns this name, and the verbs, the viewer's
// dialog and the agent itself call it there.
inline const QString BackgroundService = QStringLiteral("org.example.vistrel.Background");
inline const QString BackgroundPath = QStringLiteral("/org/example/vistrel/Background");
inline const QString BackgroundInterface = QStringLiteral("org.example.vistrel.Background");

// logind's manager on the system bus, which says when the machine goes to sleep and wakes.
inline const QString LoginService = QStringLiteral("org.freedesktop.login1");
inline const QString LoginPath = QStringLiteral("/org/freedesktop/login1");
inline const QString LoginManager = QStringLiteral("org.freedesktop.login1.Manager");

inline const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");

}  // namespace vistrel::dbus
