#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <chrono>
#include <optional>

#include "scene/MonitorLayout.h"

namespace vistrel {

// How often the background changes by itself.
enum class Interval { Never, QuarterHour, Hour, ThreeHours, Day, AtLogin };

// Where the next background comes from: the changer's own series of all pictures, or the
// favourites, each once in random order before any comes again.
enum class Source { AllPictures, Favourites };

// What the user chose in the viewer's dialog; kept in $XDG_CONFIG_HOME/vistrel/background.
struct ChangerSettings {
    Interval interval = Interval::Never;
    Source source = Source::AllPictures;
    Spread spread = Spread::EachMonitor;

    bool operator==(const ChangerSettings&) const = default;
};

// The time between changes; none for Never and AtLogin, which no timer keeps.
std::optional<std::chrono::minutes> IntervalLength(Interval interval);

// The settings as the file holds them, one "key=value" line each.
QByteArray SettingsText(const ChangerSettings& settings);
// The settings a file's text holds; none when it is damaged (a line that is not "key=value",
// a value the key does not take). Keys it does not know are skipped, and a missing one keeps
// its default.
std::optional<ChangerSettings> ParseSettings(QByteArrayView text);

// The words the file and `status` name the values by.
QByteArray IntervalWord(Interval interval);
QByteArray SourceWord(Source source);
QByteArray SpreadWord(Spread spread);

}  // namespace vistrel
