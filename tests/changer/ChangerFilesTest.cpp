#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "changer/ChangerFiles.h"
#include "changer/Schedule.h"
#include "tests/support/Files.h"

namespace vistrel {
namespace {

using std::chrono::seconds;
using test::ReadFile;

const WallTime Now{seconds(1765281600)};

bool WriteFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

class ChangerFiles : public ::testing::Test {
  protected:
    QString In(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
};

TEST_F(ChangerFiles, SettingsRoundTrip) {
    const SettingsFile file(In("config/vistrel/background"));
    EXPECT_EQ(file.Load().contents, ChangerSettings{}) << "no file: the defaults";
    EXPECT_TRUE(file.Load().failure.isEmpty());
    for (const Interval interval : {Interval::Never, Interval::QuarterHour, Interval::Hour,
                                    Interval::ThreeHours, Interval::Day, Interval::AtLogin}) {
        for (const Source source : {Source::AllPictures, Source::Favourites}) {
            for (const Spread spread : {Spread::EachMonitor, Spread::AcrossAll}) {
                const ChangerSettings settings{interval, source, spread};
                ASSERT_TRUE(file.Save(settings).isEmpty());
                const auto loaded = file.Load();
                EXPECT_EQ(loaded.contents, settings) << SettingsText(settings).constData();
                EXPECT_TRUE(loaded.failure.isEmpty());
            }
        }
    }
}

TEST_F(ChangerFiles, SettingsAsTheUserMayWriteThem) {
    struct Case {
        const char* what;
        QByteArray text;
        std::optional<ChangerSettings> settings;
    };
    const Case cases[] = {
        {"comments, blanks and spaces", "# mine\n\n interval = day \nsource=favourites\r\n",
         ChangerSettings{Interval::Day, Source::Favourites, Spread::EachMonitor}},
        {"a key from a later version is skipped", "spread=across-all\ncolour=blue\n",
         ChangerSettings{Interval::Never, Source::AllPictures, Spread::AcrossAll}},
        {"an interval it does not know", "interval=weekly\n", std::nullopt},
        {"a line without a value", "interval\n", std::nullopt},
        {"a key twice", "interval=day\ninterval=hour\n", std::nullopt},
        {"binary damage", QByteArray("\x00\xff=\x01", 4), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ParseSettings(c.text), c.settings);
    }
}

TEST_F(ChangerFiles, StateRoundTrip) {
    ChangerState state = FreshState(Now);
    state.history = {0, 32767, 5};
    state.setAt = Now;
    state.scene = 0xFFFFFFFF;
    state.favouritesShown = {5, 6};
    EXPECT_EQ(ParseState(StateText(state)), state);
    EXPECT_EQ(ParseState(StateText(FreshState(Now))), FreshState(Now));
}

TEST_F(ChangerFiles, DamagedStates) {
    const QByteArray good = StateText(FreshState(Now));
    const QByteArray damaged[] = {
        "history=1 2 32768\n",
        "history=1 -2\n",
        "run-seed=4294967296\n",
        "scene=12x\n",
        "set-at=+5\n",
        "favourites-shown=1,2\n",
        "history=1\nhistory=2\n",
        "set-at=99999999999999999999\n",
    };
    ASSERT_TRUE(ParseState(good).has_value());
    for (const QByteArray& text : damaged) {
        SCOPED_TRACE(text.constData());
        EXPECT_EQ(ParseState(text), std::nullopt);
    }
    QByteArray longHistory = "history=";
    for (std::size_t i = 0; i <= ChangerState::HistoryLength; ++i) {
        longHistory += "1 ";
    }
    EXPECT_EQ(ParseState(longHistory), std::nullopt);
}

TEST_F(ChangerFiles, DamagedFileIsReportedOnceAndReplacedLeavingTheFavourites) {
    const QString favourites = In("data/vistrel/favourites");
    ASSERT_TRUE(QDir().mkpath(In("data/vistrel")) && QDir().mkpath(In("state/vistrel")));
    ASSERT_TRUE(WriteFile(favourites, "12\n99\n"));
    const StateFile file(In("state/vistrel/background-state"), Now);
    ASSERT_TRUE(WriteFile(file.Path(), "history=garbage\n"));

    const auto first = file.Update([](ChangerState& state) { ShowSeed(state, 12, Now); });
    EXPECT_FALSE(first.damage.isEmpty());
    EXPECT_TRUE(first.failure.isEmpty());
    EXPECT_EQ(first.state.history, std::vector<std::uint32_t>{12});
    const auto second = file.Update([](ChangerState& state) { ShowSeed(state, 99, Now); });
    EXPECT_TRUE(second.damage.isEmpty()) << second.damage.toStdString();
    EXPECT_EQ(second.state.history, (std::vector<std::uint32_t>{12, 99}));
    EXPECT_EQ(ReadFile(favourites), QByteArray("12\n99\n"));
}

TEST_F(ChangerFiles, FilesThatAreNotReadAsState) {
    const StateFile file(In("state"), Now);
    ASSERT_TRUE(QDir().mkpath(In("state")));
    EXPECT_FALSE(file.Load().failure.isEmpty()) << "a folder";
    const StateFile large(In("large"), Now);
    ASSERT_TRUE(WriteFile(large.Path(), QByteArray(1024 * 1024, '#')));
    EXPECT_FALSE(large.Load().failure.isEmpty());
    EXPECT_EQ(large.Load().contents, FreshState(Now));
    const StateFile fifo(In("fifo"), Now);
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo.Path()).constData(), 0600), 0);
    EXPECT_FALSE(fifo.Load().failure.isEmpty()) << "a FIFO, read without waiting for a writer";
}

TEST_F(ChangerFiles, ConcurrentUpdatesLoseNothing) {
    const StateFile file(In("state/vistrel/background-state"), Now);
    constexpr int PerWriter = 40;
    // Two processes' worth of changes, each made to what the other left.
    const auto writer = [&file] {
        for (int i = 0; i < PerWriter; ++i) {
            file.Update([](ChangerState& state) { ++state.scene; });
        }
    };
    std::thread a(writer);
    std::thread b(writer);
    a.join();
    b.join();
    EXPECT_EQ(file.Load().contents.scene, 2u * PerWriter);
}

TEST_F(ChangerFiles, AutostartEntry) {
    const AutostartEntry entry(In("autostart/vistrel-background.desktop"));
    EXPECT_FALSE(entry.Exists());
    EXPECT_TRUE(entry.Remove().isEmpty()) << "nothing to remove";
    struct Case {
        QString program;
        QByteArray exec;
    };
    const Case cases[] = {
        {"/usr/bin/vistrel-background", "Exec=\"/usr/bin/vistrel-background\" run\n"},
        {"/opt/my tools/100%/vistrel-background",
         "Exec=\"/opt/my tools/100%%/vistrel-background\" run\n"},
        {"/opt/a\"b$c`d\\e/vb", "Exec=\"/opt/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e/vb\" run\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program.toStdString());
        ASSERT_TRUE(entry.Write(c.program).isEmpty());
        EXPECT_TRUE(entry.Exists());
        const QByteArray text = ReadFile(entry.Path());
        EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n"));
        EXPECT_TRUE(text.contains(c.exec)) << text.constData();
    }
    EXPECT_TRUE(entry.Remove().isEmpty());
    EXPECT_FALSE(entry.Exists());
}

}  // namespace
}  // namespace vistrel
