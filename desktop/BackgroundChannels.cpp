#include "desktop/BackgroundChannels.h"

#include "desktop/GSettingsBackground.h"
#include "desktop/PlasmaBackground.h"
#include "desktop/PortalBackground.h"
#include "desktop/XfceBackground.h"

namespace vistrel {
namespace {

// The desktop's own channel, or none.
std::unique_ptr<BackgroundChannel> OwnChannel(const QString& desktop) {
    const QString name = desktop.toUpper();
    if (name == u"GNOME" || name == u"UNITY" || name == u"BUDGIE" || name == u"PANTHEON") {
        return std::make_unique<GSettingsBackground>(GnomeBackground, nullptr);
    }
    if (name == u"X-CINNAMON" || name == u"CINNAMON") {
        return std::make_unique<GSettingsBackground>(CinnamonBackground, nullptr);
    }
    if (name == u"MATE") {
        return std::make_unique<GSettingsBackground>(MateBackground, nullptr);
    }
    if (name == u"XFCE") {
        return std::make_unique<XfceBackground>();
    }
    if (name == u"KDE") {
        return std::make_unique<PlasmaBackground>();
    }
    return nullptr;
}

}  // namespace

std::vector<std::unique_ptr<BackgroundChannel>> BackgroundChannels(const QString& currentDesktop) {
    std::vector<std::unique_ptr<BackgroundChannel>> channels;
    channels.push_back(std::make_unique<PortalBackground>());
    for (const QString& desktop : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (auto own = OwnChannel(desktop)) {
            channels.push_back(std::move(own));
            break;
        }
    }
    return channels;
}

}  // namespace vistrel
