#include "changer/ChangerSettings.h"

#include "changer/KeyValueText.h"

namespace vistrel {
namespace {

// In the order of each enumeration's values.
const QByteArray IntervalWords[] = {"never", "15-minutes", "hour", "3-hours", "day", "login"};
const QByteArray SourceWords[] = {"all-pictures", "favourites"};
const QByteArray SpreadWords[] = {"each-monitor", "across-all"};

}  // namespace

std::optional<std::chrono::minutes> IntervalLength(Interval interval) {
    using std::chrono::minutes;
    switch (interval) {
        case Interval::QuarterHour:
            return minutes(15);
        case Interval::Hour:
            return minutes(60);
        case Interval::ThreeHours:
            return minutes(180);
        case Interval::Day:
            return minutes(24 * 60);
        case Interval::Never:
        case Interval::AtLogin:
            break;
    }
    return std::nullopt;
}

QByteArray IntervalWord(Interval interval) {
    return IntervalWords[static_cast<int>(interval)];
}
QByteArray SourceWord(Source source) {
    return SourceWords[static_cast<int>(source)];
}
QByteArray SpreadWord(Spread spread) {
    return SpreadWords[static_cast<int>(spread)];
}

QByteArray SettingsText(const ChangerSettings& settings) {
    return KeyValueText({{"interval", IntervalWord(settings.interval)},
                         {"source", SourceWord(settings.source)},
                         {"spread", SpreadWord(settings.spread)}});
}

std::optional<ChangerSettings> ParseSettings(QByteArrayView text) {
    const auto values = ParseKeyValues(text);
    if (!values) {
        return std::nullopt;
    }
    ChangerSettings settings;
    for (const auto& [key, value] : *values) {
        bool known = true;
        if (key == "interval") {
            const auto interval = WordValue<Interval>(value, IntervalWords);
            known = interval.has_value();
            settings.interval = interval.value_or(settings.interval);
        } else if (key == "source") {
            const auto source = WordValue<Source>(value, SourceWords);
            known = source.has_value();
            settings.source = source.value_or(settings.source);
        } else if (key == "spread") {
            const auto spread = WordValue<Spread>(value, SpreadWords);
            known = spread.has_value();
            settings.spread = spread.value_or(settings.spread);
        }
        if (!known) {
            return std::nullopt;
        }
    }
    return settings;
}

}  // namespace vistrel
