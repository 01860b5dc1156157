#include "tools/vistrel-background/ChangeAgent.h"

#include <QDateTime>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <utility>

#include "tools/vistrel-background/BackgroundSetter.h"
#include "userfiles/FavouritesFile.h"

namespace vistrel {
namespace {

// After login or a wake-up the desktop may still be starting its shell or its network; a change
// due then waits this long, well within the minute it may take.
constexpr int SettleMilliseconds = 3000;

QString TimeText(WallTime time) {
    return QDateTime::fromSecsSinceEpoch(time.time_since_epoch().count())
        .toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

}  // namespace

ChangeAgent::ChangeAgent(BackgroundSetter& setter, Files files, Clock clock,
                         Schedule::DrawBelow draw, QObject* parent)
    : QObject(parent),
      setter(setter),
      files(std::move(files)),
      clock(std::move(clock)),
      draw(std::move(draw)),
      schedule(Settings()) {
    timer.setSingleShot(true);
    // A change may come a second late; the timer's slack saves the system wake-ups.
    timer.setTimerType(Qt::VeryCoarseTimer);
    connect(&timer, &QTimer::timeout, this, &ChangeAgent::TimerFired);
    connect(&setter, &BackgroundSetter::Finished, this, &ChangeAgent::Finished);
}

ChangerSettings ChangeAgent::Settings() {
    const Loaded<ChangerSettings> loaded = files.settings.Load();
    if (!loaded.failure.isEmpty()) {
        Report(files.settings.Path(), loaded.failure);
        files.settings.Save(loaded.contents);
    }
    return loaded.contents;
}

void ChangeAgent::Report(const QString& what, const QString& failure) {
    if (!reported) {
        reported = true;
        // Queued, so that one found while the agent is made reaches whoever listens.
        QMetaObject::invokeMethod(
            this, [this, message = tr("%1: %2").arg(what, failure)] { emit Failed(message); },
            Qt::QueuedConnection);
    }
}

std::optional<ChangerState> ChangeAgent::Record(const StateFile::Change& change, Done& done) {
    const StateFile::Updated updated = files.state.Update(change);
    if (!updated.damage.isEmpty()) {
        Report(files.state.Path(), updated.damage);
    }
    if (!updated.failure.isEmpty()) {
        done(
            tr("The state could not be written to %1: %2").arg(files.state.Path(), updated.failure),
            {});
        return std::nullopt;
    }
    return updated.state;
}

void ChangeAgent::Next(Done done) {
    FavouritesFile favourites(files.favourites);
    if (const QString failure = favourites.Load(); !failure.isEmpty()) {
        Report(favourites.Path(), failure);
    }
    std::uint32_t seed = 0;
    ChangerState before;
    const auto next = [&](ChangerState& state) {
        before = state;
        seed = schedule.Next(state, favourites.Seeds(), draw, clock());
    };
    if (Record(next, done)) {
        Apply(seed, before, std::move(done));
    }
}

void ChangeAgent::Previous(Done done) {
    std::optional<std::uint32_t> seed;
    ChangerState before;
    const auto back = [&](ChangerState& state) {
        before = state;
        seed = StepBack(state, clock());
    };
    if (!Record(back, done)) {
        return;
    }
    if (!seed) {
        done(tr("There is no earlier background to go back to."), {});
        return;
    }
    Apply(*seed, before, std::move(done));
}

void ChangeAgent::SetSeed(std::uint32_t seed, Done done) {
    ChangerState before;
    const auto show = [&](ChangerState& state) {
        before = state;
        ShowSeed(state, seed, clock());
    };
    if (Record(show, done)) {
        Apply(seed, before, std::move(done));
    }
}

void ChangeAgent::ToggleFavourite(Done done) {
    const std::optional<std::uint32_t> seed = files.state.Load().contents.OnShow();
    if (!seed) {
        done(tr("No Vistrel background is on show yet."), {});
        return;
    }
    FavouritesFile favourites(files.favourites);
    if (const QString failure = favourites.Load(); !failure.isEmpty()) {
        done(tr("The favourites could not be read from %1: %2").arg(favourites.Path(), failure),
             {});
        return;
    }
    const bool favourite = !favourites.Contains(*seed);
    if (const QString failure = favourites.SetFavourite(*seed, favourite); !failure.isEmpty()) {
        done(tr("The favourites could not be written to %1: %2").arg(favourites.Path(), failure),
             {});
        return;
    }
    done({}, favourite ? tr("Seed %1 is a favourite now.").arg(*seed)
                       : tr("Seed %1 is no longer a favourite.").arg(*seed));
}

QString ChangeAgent::Status() const {
    const ChangerState state = files.state.Load().contents;
    const ChangerSettings& settings = schedule.Settings();
    QStringList lines;
    if (const auto seed = state.OnShow(); seed && state.setAt) {
        lines << tr("On show: seed %1, set %2").arg(*seed).arg(TimeText(*state.setAt));
    } else {
        lines << tr("On show: no Vistrel background yet");
    }
    lines << (settings.source == Source::Favourites ? tr("Source: the favourites")
                                                    : tr("Source: all pictures"));
    const QString spread = settings.spread == Spread::AcrossAll
                               ? tr("one picture across all screens")
                               : tr("each monitor its own fit");
    const QString intervals[] = {tr("never"),         tr("every 15 minutes"), tr("every hour"),
                                 tr("every 3 hours"), tr("every day"),        tr("at each login")};
    lines << tr("Schedule: %1, %2").arg(intervals[static_cast<int>(settings.interval)], spread);
    const auto due = schedule.DueAt(state, clock());
    if (settings.interval == Interval::Never) {
        lines << tr("Next change: none");
    } else if (settings.interval == Interval::AtLogin) {
        lines << tr("Next change: at the next login");
    } else if (!keeping) {
        lines << tr("Next change: due %1, once the agent runs (vistrel-background run)")
                     .arg(TimeText(*due));
    } else {
        lines << tr("Next change: %1").arg(TimeText(timerDue.value_or(*due)));
    }
    return lines.join(u'\n');
}

void ChangeAgent::Begin() {
    keeping = true;
    loginChange = schedule.DueAtLogin(files.state.Load().contents, clock());
    Settle();
}

void ChangeAgent::Reload() {
    schedule = Schedule(Settings());
    Arm();
}

void ChangeAgent::Woke() {
    Settle();
}

void ChangeAgent::Settle() {
    const WallTime now = clock();
    if (loginChange || schedule.DueNow(files.state.Load().contents, now)) {
        timer.stop();
        timerDue = now + std::chrono::seconds(SettleMilliseconds / 1000);
        timer.start(SettleMilliseconds);
    } else {
        Arm();
    }
}

void ChangeAgent::Refit() {
    if (const auto seed = files.state.Load().contents.OnShow()) {
        Apply(*seed, std::nullopt, [this](const QString& failure, const QString&) {
            if (!failure.isEmpty()) {
                emit Failed(failure);
            }
        });
    }
}

void ChangeAgent::Arm() {
    timer.stop();
    timerDue.reset();
    if (!keeping) {
        return;
    }
    const WallTime now = clock();
    const auto due = schedule.DueAt(files.state.Load().contents, now);
    if (!due) {
        return;
    }
    timerDue = *due;
    const auto wait = std::chrono::milliseconds(std::max(*due - now, WallTime::duration(0)));
    timer.start(static_cast<int>(
        std::min<std::chrono::milliseconds::rep>(wait.count(), std::numeric_limits<int>::max())));
}

void ChangeAgent::TimerFired() {
    // The timer counts time awake only, so it may fire before the calendar says: then it waits
    // on.
    if (!std::exchange(loginChange, false) &&
        !schedule.DueNow(files.state.Load().contents, clock())) {
        Arm();
        return;
    }
    Next([this](const QString& failure, const QString&) {
        if (!failure.isEmpty()) {
            emit Failed(failure);
        }
    });
}

void ChangeAgent::Apply(std::uint32_t seed, std::optional<ChangerState> before, Done done) {
    requests.push_back({seed, std::move(before), std::move(done)});
    if (requests.size() == 1) {
        Start();
    }
}

void ChangeAgent::Start() {
    const Request& request = requests.front();
    if (!setter.Set(request.seed, schedule.Settings().spread)) {
        Finished(false, tr("The desktop is still busy with an earlier background."));
    }
}

void ChangeAgent::Finished(bool set, const QString& failure) {
    if (requests.empty()) {
        return;
    }
    Request request = std::move(requests.front());
    requests.pop_front();
    if (!set && request.before) {
        // What was not set is not on show: the state goes back to what it was before, unless
        // another change has come since.
        files.state.Update([&request](ChangerState& state) {
            if (state.OnShow() == request.seed) {
                state.history = request.before->history;
                state.setAt = request.before->setAt;
            }
        });
    }
    if (set) {
        request.done({}, tr("Seed %1 is on show.").arg(request.seed));
    } else {
        request.done(failure.isEmpty() ? tr("The desktop kept its background.") : failure, {});
    }
    Arm();
    if (!requests.empty()) {
        Start();
    }
}

}  // namespace vistrel
