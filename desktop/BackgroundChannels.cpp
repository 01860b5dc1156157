#include "desktop/BackgroundChannels.h"

#include "desktop/GSettingsBackground.h"
#include "desktop/PlasmaBackground.h"
#include "desktop/PlasmaLockScreen.h"
#include "desktop/PortalBackground.h"
#include "desktop/SwayBackground.h"
#include "desktop/XfceBackground.h"

namespace vistrel {
namespace {

enum class Family { Gnome, Cinnamon, Mate, Xfce, Plasma, Sway, Other };

Family FamilyOf(const QString& desktop) {
    const QString name = desktop.toUpper();
    if (name == u"GNOME" || name == u"UNITY" || name == u"BUDGIE" || name == u"PANTHEON") {
        return Family::Gnome;
    }
    if (name == u"X-CINNAMON" || name == u"CINNAMON") {
        return Family::Cinnamon;
    }
    if (name == u"MATE") {
        return Family::Mate;
    }
    if (name == u"XFCE") {
        return Family::Xfce;
    }
    if (name == u"KDE") {
        return Family::Plasma;
    }
    if (name == u"SWAY") {
        return Family::Sway;
    }
    return Family::Other;
}

// The first family the list names that is known here.
Family FamilyOfList(const QString& currentDesktop) {
    for (const QString& desktop : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (const Family family = FamilyOf(desktop); family != Family::Other) {
            return family;
        }
    }
    return Family::Other;
}

std::unique_ptr<BackgroundChannel> OwnChannel(Family family, BackgroundPlace place) {
    if (place == BackgroundPlace::LockScreen) {
        return family == Family::Plasma ? std::make_unique<PlasmaLockScreen>() : nullptr;
    }
    switch (family) {
        case Family::Gnome:
            return std::make_unique<GSettingsBackground>(GnomeBackground, nullptr);
        case Family::Cinnamon:
            return std::make_unique<GSettingsBackground>(CinnamonBackground, nullptr);
        case Family::Mate:
            return std::make_unique<GSettingsBackground>(MateBackground, nullptr);
        case Family::Xfce:
            return std::make_unique<XfceBackground>();
        case Family::Plasma:
            return std::make_unique<PlasmaBackground>();
        case Family::Sway:
            return std::make_unique<SwayBackground>();
        case Family::Other:
            break;
    }
    return nullptr;
}

}  // namespace

std::vector<std::unique_ptr<BackgroundChannel>> BackgroundChannels(const QString& currentDesktop,
                                                                   BackgroundPlace place,
                                                                   std::size_t monitorCount) {
    std::vector<std::unique_ptr<BackgroundChannel>> channels;
    channels.push_back(std::make_unique<PortalBackground>(place));
    const Family family = FamilyOfList(currentDesktop);
    if (auto own = OwnChannel(family, place)) {
        // A portal on sway is one made for another desktop, whose settings sway never reads.
        const bool ownFirst =
            place == BackgroundPlace::Desktop && (monitorCount > 1 || family == Family::Sway);
        channels.insert(ownFirst ? channels.begin() : channels.end(), std::move(own));
    }
    return channels;
}

bool LockScreenShowsDesktopBackground(const QString& currentDesktop) {
    switch (FamilyOfList(currentDesktop)) {
        case Family::Gnome:
        case Family::Cinnamon:
        case Family::Mate:
        case Family::Xfce:
            return true;
        case Family::Plasma:
        case Family::Sway:
        case Family::Other:
            return false;
    }
    return false;
}

}  // namespace vistrel
