#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

#include "changer/ChangerFiles.h"
#include "changer/Schedule.h"

namespace vistrel {

class BackgroundSetter;

// Keeps the schedule and carries out the verbs: picks the seed, records it in the state, sets
// it through the setter and, should that fail, takes it back out of the state. One timer waits
// for the next change, set from the calendar time, so a reboot or a suspend costs no change and
// adds none; between changes nothing wakes.
class ChangeAgent : public QObject {
    Q_OBJECT

  public:
    using Clock = std::function<WallTime()>;
    // Called once a verb is done: with why it failed, or an empty text and what to say.
    using Done = std::function<void(const QString& failure, const QString& said)>;

    struct Files {
        SettingsFile settings;
        StateFile state;
        QString favourites;
    };

    ChangeAgent(BackgroundSetter& setter, Files files, Clock clock, Schedule::DrawBelow draw,
                QObject* parent = nullptr);

    void Next(Done done);
    void Previous(Done done);
    void SetSeed(std::uint32_t seed, Done done);
    void ToggleFavourite(Done done);
    // What is on show, the source, the schedule and when the next change comes.
    QString Status() const;

    // The session has begun: changes now when due at login or overdue, then keeps the timer.
    void Begin();
    // Reads the settings again, as after the viewer's dialog changed them.
    void Reload();
    // The machine woke: a change that fell due meanwhile comes now, once.
    void Woke();
    // The monitors changed: the same seed is fitted to them again.
    void Refit();

    // The calendar time the timer waits for; none while it waits for nothing.
    std::optional<WallTime> TimerDue() const { return timerDue; }

  signals:
    // What went wrong with no verb to answer: a change of the timer's, a refit, or the first
    // file that could not be read (reported once; the defaults go on).
    void Failed(const QString& message);

  private:
    struct Request {
        std::uint32_t seed = 0;
        // The state before the change, which a failure restores; none for a refit.
        std::optional<ChangerState> before;
        Done done;
    };

    // Records a change under the state's lock; none when the state could not be written.
    std::optional<ChangerState> Record(const StateFile::Change& change, Done& done);
    void Apply(std::uint32_t seed, std::optional<ChangerState> before, Done done);
    void Start();
    void Finished(bool set, const QString& failure);
    // Waits for the calendar time of the next change.
    void Arm();
    // A change due now waits for the desktop to settle first.
    void Settle();
    void TimerFired();
    ChangerSettings Settings();
    void Report(const QString& what, const QString& failure);

    BackgroundSetter& setter;
    Files files;
    Clock clock;
    Schedule::DrawBelow draw;
    // Before the schedule, whose settings are read (and a damaged file reported) as it is made.
    bool reported = false;
    Schedule schedule;
    QTimer timer;
    std::optional<WallTime> timerDue;
    // The change under way first, then those asked for meanwhile; only the last of those is set.
    std::deque<Request> requests;
    // The agent keeps the timer; the verbs run without it do not.
    bool keeping = false;
    // The session began with a change due at login.
    bool loginChange = false;
};

}  // namespace vistrel
