#include "desktop/ScreenMonitors.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace vistrel {

std::vector<NamedMonitor> ScreenMonitors() {
    std::vector<NamedMonitor> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        const auto scale = static_cast<std::int32_t>(std::lround(screen->devicePixelRatio()));
        monitors.push_back({screen->name(),
                            {area.x(), area.y(), area.width(), area.height(), std::max(1, scale)}});
    }
    return monitors;
}

std::size_t ScreenIndex(const QScreen* screen) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto found = std::find(screens.begin(), screens.end(), screen);
    return found == screens.end() ? 0 : static_cast<std::size_t>(found - screens.begin());
}

}  // namespace vistrel
