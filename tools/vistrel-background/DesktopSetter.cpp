#include "tools/vistrel-background/DesktopSetter.h"

#include <QGuiApplication>

#include "desktop/ScreenMonitors.h"

namespace vistrel {

DesktopSetter::DesktopSetter(QObject* parent) : BackgroundSetter(parent), background(this) {
    connect(&background, &DesktopBackground::Finished, this,
            [this](BackgroundResult result, const QString& message) {
                emit Finished(result == BackgroundResult::Set, message);
            });
}

bool DesktopSetter::Set(std::uint32_t seed, Spread spread) {
    BackgroundRequest request{.seed = seed, .spread = spread, .monitors = ScreenMonitors()};
    // With no window, a desktop that takes one image gets the primary monitor's fit.
    request.windowMonitor = ScreenIndex(QGuiApplication::primaryScreen());
    return background.Set(request);
}

}  // namespace vistrel
