#include "changer/ChangerState.h"

#include <QByteArrayList>
#include <limits>

#include "changer/KeyValueText.h"
#include "scene/Picture.h"

namespace vistrel {
namespace {

QByteArray NumberList(const std::vector<std::uint32_t>& numbers) {
    QByteArrayList words;
    for (const std::uint32_t number : numbers) {
        words.append(QByteArray::number(number));
    }
    return words.join(' ');
}

template <typename Number>
std::optional<Number> WholeNumber(const QByteArray& word) {
    bool ok = false;
    const qulonglong value = word.toULongLong(&ok);
    // toULongLong takes a sign and blanks; the file holds digits only.
    if (!ok || word.isEmpty() || word.front() < '0' || word.front() > '9' ||
        value > static_cast<qulonglong>(std::numeric_limits<Number>::max())) {
        return std::nullopt;
    }
    return static_cast<Number>(value);
}

std::optional<std::vector<std::uint32_t>> SeedList(const QByteArray& value) {
    std::vector<std::uint32_t> seeds;
    for (const QByteArray& word : value.split(' ')) {
        if (word.isEmpty()) {
            continue;
        }
        const auto seed = WholeNumber<std::uint32_t>(word);
        if (!seed || *seed > LargestSceneSeed) {
            return std::nullopt;
        }
        seeds.push_back(*seed);
    }
    return seeds;
}

}  // namespace

std::optional<std::uint32_t> ChangerState::OnShow() const {
    if (history.empty()) {
        return std::nullopt;
    }
    return history.back();
}

ChangerState FreshState(WallTime now) {
    ChangerState state;
    state.runSeed = static_cast<std::uint32_t>(now.time_since_epoch().count());
    return state;
}

QByteArray StateText(const ChangerState& state) {
    std::map<QByteArray, QByteArray> values{
        {"history", NumberList(state.history)},
        {"run-seed", QByteArray::number(state.runSeed)},
        {"scene", QByteArray::number(state.scene)},
        {"favourites-shown", NumberList(state.favouritesShown)},
    };
    if (state.setAt) {
        values.emplace(
            "set-at",
            QByteArray::number(static_cast<qlonglong>(state.setAt->time_since_epoch().count())));
    }
    return KeyValueText(values);
}

std::optional<ChangerState> ParseState(QByteArrayView text) {
    const auto values = ParseKeyValues(text);
    if (!values) {
        return std::nullopt;
    }
    ChangerState state;
    for (const auto& [key, value] : *values) {
        if (key == "history" || key == "favourites-shown") {
            const bool isHistory = key == "history";
            auto seeds = SeedList(value);
            if (!seeds ||
                seeds->size() > (isHistory ? ChangerState::HistoryLength : SceneSeedCount)) {
                return std::nullopt;
            }
            (isHistory ? state.history : state.favouritesShown) = std::move(*seeds);
        } else if (key == "run-seed" || key == "scene") {
            const auto number = WholeNumber<std::uint32_t>(value);
            if (!number) {
                return std::nullopt;
            }
            (key == "run-seed" ? state.runSeed : state.scene) = *number;
        } else if (key == "set-at") {
            const auto seconds = WholeNumber<std::int64_t>(value);
            if (!seconds) {
                return std::nullopt;
            }
            state.setAt = WallTime(std::chrono::seconds(*seconds));
        }
    }
    return state;
}

}  // namespace vistrel
