#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "scene/Picture.h"
#include "tests/support/Files.h"
#include "tools/vistrel-background/BackgroundSetter.h"
#include "tools/vistrel-background/ChangeAgent.h"

using vistrel::ChangeAgent;
using vistrel::ChangerSettings;
using vistrel::ChangerState;
using vistrel::Interval;
using vistrel::Source;
using vistrel::Spread;
using vistrel::WallTime;
using Seeds = std::vector<std::uint32_t>;

namespace {

const WallTime Noon{std::chrono::seconds(1765281600)};

// Takes every background it is given; answers each as told, at once or when the test says.
class FakeSetter : public vistrel::BackgroundSetter {
  public:
    struct Answer {
        bool set = true;
        QString failure;
    };

    bool Set(std::uint32_t seed, Spread spread) override {
        asked.push_back(seed);
        spreads.push_back(spread);
        if (answerAtOnce) {
            QMetaObject::invokeMethod(
                this, [this] { emit Finished(answer.set, answer.failure); }, Qt::QueuedConnection);
        }
        return true;
    }
    void AnswerNow() { emit Finished(answer.set, answer.failure); }

    Seeds asked;
    std::vector<Spread> spreads;
    Answer answer;
    bool answerAtOnce = true;
};

// What a verb said once it was done.
struct Outcome {
    bool done = false;
    QString failure;
    QString said;

    ChangeAgent::Done Catch() {
        return [this](const QString& f, const QString& s) {
            done = true;
            failure = f;
            said = s;
        };
    }
};

}  // namespace

Q_DECLARE_METATYPE(FakeSetter::Answer)

class ChangeAgentTest : public QObject {
    Q_OBJECT

  private:
    ChangeAgent::Files Files() const {
        return {vistrel::SettingsFile(folder.filePath("config/background")),
                vistrel::StateFile(folder.filePath("state/background-state"), Noon),
                folder.filePath("data/favourites")};
    }
    std::unique_ptr<ChangeAgent> Agent(FakeSetter& setter) {
        return std::make_unique<ChangeAgent>(
            setter, Files(), [this] { return now; }, [](std::uint32_t) { return 0u; });
    }
    void Save(const ChangerSettings& settings) {
        QVERIFY(Files().settings.Save(settings).isEmpty());
    }
    void SaveState(const Seeds& history, WallTime setAt) {
        QVERIFY(Files()
                    .state
                    .Update([&](ChangerState& state) {
                        state.history = history;
                        state.setAt = setAt;
                    })
                    .failure.isEmpty());
    }
    ChangerState State() const { return Files().state.Load().contents; }

    QTemporaryDir folder;
    WallTime now = Noon;

  private slots:
    void init() {
        QVERIFY(folder.isValid());
        QDir(folder.path()).removeRecursively();
        QVERIFY(QDir().mkpath(folder.path()));
        now = Noon;
    }

    void verbsRecordOnlyWhatTheDesktopTook_data() {
        QTest::addColumn<Seeds>("before");
        QTest::addColumn<QString>("verb");
        QTest::addColumn<FakeSetter::Answer>("answer");
        QTest::addColumn<Seeds>("asked");
        QTest::addColumn<Seeds>("after");
        QTest::addColumn<bool>("fails");
        const FakeSetter::Answer set{true, {}};
        const FakeSetter::Answer failed{false, "no desktop"};
        const FakeSetter::Answer declined{false, {}};
        const std::uint32_t first =
            vistrel::SeedOfScene(static_cast<std::uint32_t>(Noon.time_since_epoch().count()), 1);
        QTest::newRow("next goes on with the series")
            << Seeds{} << "next" << set << Seeds{first} << Seeds{first} << false;
        QTest::newRow("next the desktop refused")
            << Seeds{} << "next" << failed << Seeds{first} << Seeds{} << true;
        QTest::newRow("previous goes back")
            << Seeds{5, 6} << "previous" << set << Seeds{5} << Seeds{5} << false;
        QTest::newRow("previous with nothing before")
            << Seeds{5} << "previous" << set << Seeds{} << Seeds{5} << true;
        QTest::newRow("previous refused keeps the history")
            << Seeds{5, 6} << "previous" << failed << Seeds{5} << Seeds{5, 6} << true;
        QTest::newRow("seed") << Seeds{5} << "seed 77" << set << Seeds{77} << Seeds{5, 77} << false;
        QTest::newRow("seed the user said no to")
            << Seeds{5} << "seed 77" << declined << Seeds{77} << Seeds{5} << true;
    }
    void verbsRecordOnlyWhatTheDesktopTook() {
        QFETCH(Seeds, before);
        QFETCH(QString, verb);
        QFETCH(FakeSetter::Answer, answer);
        QFETCH(Seeds, asked);
        QFETCH(Seeds, after);
        QFETCH(bool, fails);
        if (!before.empty()) {
            SaveState(before, Noon - std::chrono::hours(1));
        }
        FakeSetter setter;
        setter.answer = answer;
        const auto agent = Agent(setter);
        Outcome outcome;
        if (verb == "next") {
            agent->Next(outcome.Catch());
        } else if (verb == "previous") {
            agent->Previous(outcome.Catch());
        } else {
            agent->SetSeed(verb.section(' ', 1).toUInt(), outcome.Catch());
        }
        QTRY_VERIFY(outcome.done);
        QCOMPARE(setter.asked, asked);
        QCOMPARE(State().history, after);
        QCOMPARE(!outcome.failure.isEmpty(), fails);
        QCOMPARE(outcome.said.isEmpty(), fails);
    }

    void favouriteMarksAndUnmarksTheOneOnShow() {
        FakeSetter setter;
        const auto agent = Agent(setter);
        Outcome outcome;
        agent->ToggleFavourite(outcome.Catch());
        QVERIFY2(!outcome.failure.isEmpty(), "nothing on show yet");
        SaveState({3, 9}, Noon);
        for (const QByteArray& expected : {QByteArray("9\n"), QByteArray()}) {
            agent->ToggleFavourite(outcome.Catch());
            QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
            QCOMPARE(vistrel::test::ReadFile(folder.filePath("data/favourites")), expected);
        }
        QVERIFY(setter.asked.empty());
    }

    void favouritesReadAfreshForEveryChange() {
        Save({Interval::Hour, Source::Favourites, Spread::AcrossAll});
        FakeSetter setter;
        const auto agent = Agent(setter);
        QVERIFY(QDir().mkpath(folder.filePath("data")));
        for (const QByteArray& favourites : {QByteArray("12\n"), QByteArray("31\n")}) {
            QFile file(folder.filePath("data/favourites"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(favourites) > 0);
            file.close();
            Outcome outcome;
            agent->Next(outcome.Catch());
            QTRY_VERIFY(outcome.done);
        }
        QCOMPARE(setter.asked, (Seeds{12, 31}));
        QCOMPARE(setter.spreads, (std::vector<Spread>{Spread::AcrossAll, Spread::AcrossAll}));
    }

    void refitSetsTheSameSeedAgain() {
        SaveState({4, 8}, Noon);
        FakeSetter setter;
        const auto agent = Agent(setter);
        agent->Refit();
        QTRY_COMPARE(setter.asked, Seeds{8});
        QCOMPARE(State().history, (Seeds{4, 8}));
    }

    void changesAskedMeanwhileWaitTheirTurn() {
        FakeSetter setter;
        setter.answerAtOnce = false;
        const auto agent = Agent(setter);
        Outcome first;
        Outcome second;
        agent->SetSeed(1, first.Catch());
        agent->SetSeed(2, second.Catch());
        QCOMPARE(setter.asked, Seeds{1});
        setter.AnswerNow();
        QVERIFY(first.done && !second.done);
        QCOMPARE(setter.asked, (Seeds{1, 2}));
        setter.AnswerNow();
        QVERIFY(second.done);
        QCOMPARE(State().history, (Seeds{1, 2}));
    }

    void timerWaitsForTheCalendar() {
        using std::chrono::hours;
        using std::chrono::minutes;
        Save({Interval::Hour, Source::AllPictures, Spread::EachMonitor});
        SaveState({5}, Noon - minutes(20));
        FakeSetter setter;
        const auto agent = Agent(setter);
        QCOMPARE(agent->TimerDue(), std::nullopt);
        agent->Begin();
        QCOMPARE(agent->TimerDue(), Noon + minutes(40));
        // A change by hand starts the interval again.
        now = Noon + minutes(10);
        Outcome outcome;
        agent->SetSeed(6, outcome.Catch());
        QTRY_VERIFY(outcome.done);
        QCOMPARE(agent->TimerDue(), now + hours(1));
        // Asleep for five intervals: one change once awake, and the timer an interval on.
        now += hours(5);
        agent->Woke();
        agent->Woke();
        QTRY_COMPARE_WITH_TIMEOUT(setter.asked.size(), std::size_t{2}, 6000);
        QTRY_COMPARE(agent->TimerDue(), now + hours(1));
        QTest::qWait(200);
        QCOMPARE(setter.asked.size(), std::size_t{2});
        QCOMPARE(State().history.size(), std::size_t{3});
        // A wake-up with nothing due only sets the timer again.
        agent->Woke();
        QCOMPARE(agent->TimerDue(), now + hours(1));
    }

    void atLoginOnce() {
        Save({Interval::AtLogin, Source::AllPictures, Spread::EachMonitor});
        SaveState({5}, Noon);
        FakeSetter setter;
        const auto agent = Agent(setter);
        agent->Begin();
        QTRY_COMPARE_WITH_TIMEOUT(setter.asked.size(), std::size_t{1}, 6000);
        QCOMPARE(agent->TimerDue(), std::nullopt);
        agent->Woke();
        QTest::qWait(200);
        QCOMPARE(setter.asked.size(), std::size_t{1});
    }

    void damagedSettingsReportedOnceAndReplacedByDefaults() {
        QVERIFY(QDir().mkpath(folder.filePath("config")));
        QFile file(folder.filePath("config/background"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("interval=fortnightly\n") > 0);
        file.close();
        FakeSetter setter;
        const auto agent = Agent(setter);
        QSignalSpy reports(agent.get(), &ChangeAgent::Failed);
        QTRY_COMPARE(reports.size(), 1);
        QVERIFY(reports.front().front().toString().contains(folder.filePath("config/background")));
        QCOMPARE(Files().settings.Load().failure, QString());
        QCOMPARE(Files().settings.Load().contents, ChangerSettings{});
        agent->Reload();
        QTest::qWait(50);
        QCOMPARE(reports.size(), 1);
    }
};

QTEST_GUILESS_MAIN(ChangeAgentTest)
#include "ChangeAgentTest.moc"
