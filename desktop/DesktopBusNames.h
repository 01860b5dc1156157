#pragma once

#include <QString>

// The names on the session bus of the desktop services this program asks, each spelled here
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

inline const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");

}  // namespace vistrel::dbus
