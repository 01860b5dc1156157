#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QUrl>
#include <filesystem>
#include <memory>
#include <optional>

#include "desktop/BackgroundChannels.h"
#include "desktop/DesktopBackground.h"
#include "scene/MonitorLayout.h"
#include "scene/Picture.h"
#include "scene/ScreenFit.h"
#include "tests/support/Files.h"
#include "tests/support/Limits.h"
#include "tests/support/ScreenImages.h"
#include "userfiles/UserFolder.h"

// Runs on a private session bus of its own (see CMakeLists.txt): the portal on it is the fake
// this test starts, or none.
namespace vistrel::test {
namespace {

constexpr std::uint32_t Seed = 20877;
constexpr QSize Screen(1280, 1024);
const QString FileName = QStringLiteral("vistrel-20877-1280x1024.png");
// XDG_DATA_HOME below the test's home, unless a row says otherwise.
const QByteArray DataHome = "/data";
// Vistrel's earlier background, which goes once a new one is set, and the user's own files,
// which always stay.
const QString Earlier = QStringLiteral("vistrel-7-640x480.png");
const QStringList UsersOwn = {QStringLiteral("vistrel-favourite.png"),
                              QStringLiteral("holiday.jpg")};

enum class Handover { None, Portal, GSettings, Xfce, Plasma };

// The picture on show, as the viewer's picture holds it.
std::unique_ptr<SceneBitmap> ShownPicture() {
    return PictureOfSeed(Seed, Rect{0, 0, PictureWidth, 206});
}

// The background for a 1280 x 1024 screen: the 570 x 190 frame doubled, at (70, 322), on black.
QImage ExpectedBackground(const SceneBitmap& shown) {
    QImage expected(Screen, QImage::Format_RGB32);
    expected.fill(Qt::black);
    for (int y = 0; y < 380; ++y) {
        for (int x = 0; x < 1140; ++x) {
            expected.setPixel(70 + x, 322 + y, ScreenColour(shown.At(x / 2, y / 2)));
        }
    }
    return expected;
}

}  // namespace

class DesktopBackgroundTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(home.isValid());
        // Where a relative XDG_DATA_HOME would lead, were it not ignored, is in the home too.
        qputenv("HOME", QFile::encodeName(home.path()));
        QVERIFY(QDir::setCurrent(home.path()));
        // GLib reads this once, at the first use of GSettings.
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
        if (!qEnvironmentVariableIsSet("GSETTINGS_BACKEND")) {
            qputenv("GSETTINGS_BACKEND", "keyfile");
        }
        qputenv("XFCONF_QUERY_LOG", home.filePath(QStringLiteral("xfconf.log")).toUtf8());
        qputenv("SWAYMSG_LOG", home.filePath(QStringLiteral("sway.log")).toUtf8());
        // The connection's own descriptors are there before any are counted, and so are those
        // of the worker threads that paint the images (kept for the whole test) and whatever
        // else a first background opens once.
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        QThreadPool::globalInstance()->setExpiryTimeout(-1);
        UseDataHome(DataHome);
        QVERIFY(SetBackground(QString(), DesktopBackground::AnswerTime));
    }

    // QTemporaryDir cannot remove folders whose names Qt cannot spell.
    void cleanupTestCase() {
        std::error_code error;
        std::filesystem::remove_all(QFile::encodeName(home.path()).toStdString(), error);
    }

    void init() {
        UseDataHome(DataHome);
        QFile::remove(home.filePath(QStringLiteral("xfconf.log")));
        QFile::remove(home.filePath(QStringLiteral("sway.log")));
        QFile::remove(home.filePath(QStringLiteral("config/kscreenlockerrc")));
        QFile::remove(home.filePath(QStringLiteral("config/glib-2.0/settings/keyfile")));
        record = std::make_unique<QTemporaryDir>();
        originalPath = qgetenv("PATH");
    }

    void cleanup() {
        if (fakeDesktop) {
            fakeDesktop->kill();
            fakeDesktop->waitForFinished();
            fakeDesktop.reset();
        }
        qputenv("PATH", originalPath);
    }

    void setsTheBackgroundOrSaysWhyNot_data() {
        QTest::addColumn<QString>("desktop");
        // What the fake desktop on the bus offers (see fakes/fake-desktop.py); empty for nothing.
        QTest::addColumn<QString>("onTheBus");
        QTest::addColumn<bool>("xfconfQuery");
        QTest::addColumn<int>("answerMilliseconds");
        QTest::addColumn<BackgroundResult>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Handover>("handover");
        // XDG_DATA_HOME: below the test's home when it starts with a slash, else as it is.
        QTest::addColumn<QByteArray>("dataHome");
        // The data folder that the backgrounds folder must be in, below the test's home, as a
        // file: URI spells it.
        QTest::addColumn<QByteArray>("dataUri");

        using enum BackgroundResult;
        const QString nothing;
        const QString noWallpaper = QStringLiteral("none");
        QTest::newRow("portal sets it")
            << "GNOME"
            << "0" << false << 10000 << Set << "" << Handover::Portal << DataHome << DataHome;
        QTest::newRow("portal: the user cancels")
            << "GNOME"
            << "1" << false << 10000 << Cancelled << "" << Handover::Portal << DataHome << DataHome;
        QTest::newRow("portal fails")
            << "KDE"
            << "2" << false << 10000 << Failed << "turned the request down" << Handover::Portal
            << DataHome << DataHome;
        QTest::newRow("portal never answers")
            << "GNOME"
            << "silent" << false << 300 << Failed << "did not answer within 1 seconds"
            << Handover::Portal << DataHome << DataHome;
        QTest::newRow("GNOME without the portal's Wallpaper")
            << "ubuntu:GNOME" << noWallpaper << false << 10000 << Set << "" << Handover::GSettings
            << DataHome << DataHome;
        QTest::newRow("Budgie, no portal") << "Budgie:GNOME" << nothing << false << 10000 << Set
                                           << "" << Handover::GSettings << DataHome << DataHome;
        QTest::newRow("MATE without its schema") << "MATE" << nothing << false << 10000 << Failed
                                                 << "schema org.mate.background is not installed"
                                                 << Handover::None << DataHome << DataHome;
        QTest::newRow("XFCE") << "XFCE" << noWallpaper << true << 10000 << Set << ""
                              << Handover::Xfce << DataHome << DataHome;
        QTest::newRow("XFCE without xfconf-query")
            << "XFCE" << nothing << false << 10000 << Failed << "xfconf-query could not be run"
            << Handover::None << DataHome << DataHome;
        QTest::newRow("KDE Plasma") << "KDE"
                                    << "absent plasma" << false << 10000 << Set << ""
                                    << Handover::Plasma << DataHome << DataHome;
        QTest::newRow("KDE without its shell")
            << "KDE" << noWallpaper << false << 10000 << Failed << "org.kde.plasmashell"
            << Handover::None << DataHome << DataHome;
        QTest::newRow("no way at all")
            << "Hyprland" << noWallpaper << false << 10000 << SavedOnly
            << "no way to set its background" << Handover::None << DataHome << DataHome;
        QTest::newRow("nothing named")
            << "" << nothing << false << 10000 << SavedOnly << "vistrel-20877-1280x1024.png"
            << Handover::None << DataHome << DataHome;

        // A folder's name is kept as it is, "%2" and all; a URI escapes what it cannot hold.
        QTest::newRow("GNOME, a folder with %2, # and spaces")
            << "GNOME" << nothing << false << 10000 << Set << "" << Handover::GSettings
            << QByteArray("/my home #1 %2/data") << QByteArray("/my%20home%20%231%20%252/data");
        QTest::newRow("XFCE, a folder with %2 and a quote")
            << "XFCE" << noWallpaper << true << 10000 << Set << "" << Handover::Xfce
            << QByteArray("/my home #1 %2 it's/data")
            << QByteArray("/my%20home%20%231%20%252%20it's/data");
        QTest::newRow("KDE Plasma, a newline in the folder")
            << "KDE"
            << "absent plasma" << false << 10000 << Set << "" << Handover::Plasma
            << QByteArray("/new\nline/data") << QByteArray("/new%0Aline/data");
        QTest::newRow("KDE Plasma answers with an error")
            << "KDE"
            << "absent plasma-throws" << false << 10000 << Failed << "TypeError" << Handover::Plasma
            << DataHome << DataHome;
        // The base directory rules ignore a relative XDG_DATA_HOME.
        QTest::newRow("GNOME, a relative XDG_DATA_HOME")
            << "GNOME" << nothing << false << 10000 << Set << "" << Handover::GSettings
            << QByteArray("rel") << QByteArray("/.local/share");
        QTest::newRow("XFCE, a relative XDG_DATA_HOME")
            << "XFCE" << noWallpaper << true << 10000 << Set << "" << Handover::Xfce
            << QByteArray("rel") << QByteArray("/.local/share");
        // A folder whose name is not UTF-8 takes the file itself; the portal and URIs can name
        // it, settings that take a path as text cannot.
        const QByteArray latin1 = "/caf\xe9/data";
        const QByteArray latin1Uri = "/caf%E9/data";
        QTest::newRow("portal, a folder that is not UTF-8")
            << "GNOME"
            << "0" << false << 10000 << Set << "" << Handover::Portal << latin1 << latin1Uri;
        QTest::newRow("GNOME, a folder that is not UTF-8")
            << "GNOME" << nothing << false << 10000 << Set << "" << Handover::GSettings << latin1
            << latin1Uri;
        QTest::newRow("KDE Plasma, a folder that is not UTF-8")
            << "KDE"
            << "absent plasma" << false << 10000 << Set << "" << Handover::Plasma << latin1
            << latin1Uri;
        QTest::newRow("XFCE, a folder that is not UTF-8")
            << "XFCE" << noWallpaper << true << 10000 << Failed << "is not UTF-8" << Handover::None
            << latin1 << latin1Uri;
        QTest::newRow("MATE, a folder that is not UTF-8")
            << "MATE" << nothing << false << 10000 << Failed << "is not UTF-8" << Handover::None
            << latin1 << latin1Uri;
        // Once the portal holds the request, the user may take longer than the deadline.
        QTest::newRow("portal asks the user first")
            << "GNOME"
            << "0 asks" << false << 1000 << Set << "" << Handover::Portal << DataHome << DataHome;
        QTest::newRow("portal leaves before it answers")
            << "GNOME"
            << "leaves" << false << 1000 << Failed << "portal stopped before it answered"
            << Handover::Portal << DataHome << DataHome;
    }

    void setsTheBackgroundOrSaysWhyNot() {
        QFETCH(QString, desktop);
        QFETCH(QString, onTheBus);
        QFETCH(bool, xfconfQuery);
        QFETCH(int, answerMilliseconds);
        QFETCH(BackgroundResult, result);
        QFETCH(QString, message);
        QFETCH(Handover, handover);
        QFETCH(QByteArray, dataHome);
        QFETCH(QByteArray, dataUri);
        if (desktop == u"MATE" && message.contains(u"not installed") &&
            QFile::exists(
                QStringLiteral("/usr/share/glib-2.0/schemas/org.mate.background.gschema.xml"))) {
            QSKIP("this machine has MATE's schema");
        }
        if (!onTheBus.isEmpty()) {
            StartFakeDesktop(onTheBus.split(u' '));
            if (QTest::currentTestFailed()) {
                return;
            }
        }
        UseDataHome(dataHome);
        const QString fakes = QStringLiteral(VISTREL_TEST_FAKES);
        // Without the fake, no xfconf-query at all, whatever this machine has installed.
        qputenv("PATH", xfconfQuery ? fakes.toUtf8() + ":" + originalPath
                                    : QFile::encodeName(record->path()));

        const std::unique_ptr<SceneBitmap> shown = ShownPicture();
        const int descriptorsBefore = OpenDescriptors();
        const std::optional<Answer> answer =
            SetBackground(desktop, std::chrono::milliseconds(answerMilliseconds));
        QVERIFY(answer);
        // The image's descriptor is closed once it has been handed over (the settings and
        // processes of the other ways keep descriptors of their own from their first use on).
        if (handover == Handover::Portal) {
            QCOMPARE(OpenDescriptors(), descriptorsBefore);
        }

        QCOMPARE(static_cast<int>(answer->first), static_cast<int>(result));
        if (message.isEmpty()) {
            QCOMPARE(answer->second, QString());
        } else {
            QVERIFY2(answer->second.contains(message), qPrintable(answer->second));
        }

        const QString file = QDir(folder).filePath(FileName);
        QStringList expectedFiles = UsersOwn + QStringList{FileName};
        if (result != BackgroundResult::Set) {
            expectedFiles.append(Earlier);
        }
        CheckFolderHolds(expectedFiles);
        QCOMPARE(FirstDifference(QImage(file), ExpectedBackground(*shown)), QString());

        const QByteArray below = "/backgrounds/" + FileName.toUtf8();
        CheckHandover(
            handover,
            QFile::encodeName(home.path()) + QByteArray::fromPercentEncoding(dataUri) + below,
            QUrl::fromLocalFile(home.path()).toEncoded() + dataUri + below);
    }

    // GLib's choice of settings store holds for the whole process, so the test of settings kept
    // in memory only runs as a test of its own (viewer.desktop_background_memory).
    void settingsNoDesktopReadsAreAFailure() {
        if (qgetenv("GSETTINGS_BACKEND") != "memory") {
            QSKIP("runs with GSETTINGS_BACKEND=memory");
        }
        const std::optional<Answer> answer =
            SetBackground(QStringLiteral("GNOME"), DesktopBackground::AnswerTime);
        QVERIFY(answer);
        QCOMPARE(static_cast<int>(answer->first), static_cast<int>(BackgroundResult::Failed));
        QVERIFY2(answer->second.contains(QStringLiteral("dconf")), qPrintable(answer->second));
    }

    void aFolderThatCannotBeMadeIsReported() {
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        const std::optional<Answer> answer =
            SetBackground(QStringLiteral("GNOME"), DesktopBackground::AnswerTime);

        QVERIFY(answer);
        QCOMPARE(static_cast<int>(answer->first), static_cast<int>(BackgroundResult::Failed));
        QVERIFY2(answer->second.contains(QStringLiteral("could not be saved")),
                 qPrintable(answer->second));
        QVERIFY(QFileInfo(folder).isFile());
        CheckHandover(Handover::None, {}, {});
    }

    // Several monitors: every way hands each monitor the image made for it, exact at its own
    // scale, or one image laid out like them all.
    void everyMonitorGetsItsOwnImage_data() {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QString>("onTheBus");
        QTest::addColumn<int>("spread");
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QList<int>>("scales");

        struct Layout {
            const char* name;
            Spread spread;
            QList<QRect> areas;
            QList<int> scales;
        };
        const Layout layouts[] = {
            {"1440p beside 1080p",
             Spread::EachMonitor,
             {{0, 0, 2560, 1440}, {2560, 0, 1920, 1080}},
             {1, 1}},
            {"4K at 200 % beside 1080p",
             Spread::EachMonitor,
             {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
             {2, 1}},
            {"1080p beside a portrait 1080p",
             Spread::EachMonitor,
             {{0, 0, 1920, 1080}, {1920, 0, 1080, 1920}},
             {1, 1}},
            {"three 1080p across all",
             Spread::AcrossAll,
             {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}, {3840, 0, 1920, 1080}},
             {1, 1, 1}},
        };
        const std::pair<const char*, const char*> desktops[] = {
            {"GNOME", ""}, {"XFCE", ""}, {"KDE", "absent plasma"}, {"sway", ""}, {"Hyprland", "0"}};
        for (const Layout& layout : layouts) {
            for (const auto& [desktop, bus] : desktops) {
                QTest::addRow("%s, %s", desktop, layout.name)
                    << desktop << bus << static_cast<int>(layout.spread) << layout.areas
                    << layout.scales;
            }
        }
    }

    void everyMonitorGetsItsOwnImage() {
        QFETCH(QString, desktop);
        QFETCH(QString, onTheBus);
        QFETCH(int, spread);
        QFETCH(QList<QRect>, areas);
        QFETCH(QList<int>, scales);
        if (!onTheBus.isEmpty()) {
            StartFakeDesktop(onTheBus.split(u' '));
        }
        BackgroundRequest request{
            Seed, static_cast<Spread>(spread), BackgroundPlace::Desktop, {}, 1};
        QJsonArray outputs;
        for (qsizetype i = 0; i < areas.size(); ++i) {
            const QRect& a = areas[i];
            const QString name = QStringLiteral("OUT-%1").arg(i);
            request.monitors.push_back({name, {a.x(), a.y(), a.width(), a.height(), scales[i]}});
            outputs.append(QJsonObject{
                {QStringLiteral("name"), name},
                {QStringLiteral("active"), true},
                {QStringLiteral("scale"), scales[i]},
                {QStringLiteral("rect"), QJsonObject{{QStringLiteral("x"), a.x()},
                                                     {QStringLiteral("y"), a.y()},
                                                     {QStringLiteral("width"), a.width()},
                                                     {QStringLiteral("height"), a.height()}}}});
        }
        qputenv("SWAY_OUTPUTS", QJsonDocument(outputs).toJson(QJsonDocument::Compact));
        qputenv("PATH", QByteArray(VISTREL_TEST_FAKES) + ":" + originalPath);

        const std::optional<Answer> answer =
            SetBackground(desktop, request, DesktopBackground::AnswerTime);
        QVERIFY(answer);
        QCOMPARE(answer->second, QString());
        QCOMPARE(static_cast<int>(answer->first), static_cast<int>(BackgroundResult::Set));

        const std::unique_ptr<SceneBitmap> picture = PictureOfSeed(Seed);
        std::vector<Monitor> layout;
        for (const NamedMonitor& m : request.monitors) {
            layout.push_back(m.monitor);
        }
        // What each monitor must show: its own fit, as full screen shows it there, or its part.
        const auto expected = [&](std::size_t i) {
            const Monitor& m = layout[i];
            return ScreenImage(request.spread == Spread::EachMonitor
                                   ? ShowOnScreen(*picture, m.width * m.scale, m.height * m.scale)
                                   : MonitorImage(*picture, layout, i, request.spread));
        };
        const std::vector<QString> files = HandedFiles(desktop, request.monitors.size());
        if (desktop == u"Hyprland") {  // the portal: one image, the window's monitor's
            QCOMPARE(FirstDifference(QImage(files[0]), expected(request.windowMonitor)), QString());
            QCOMPARE(QDir(folder).entryList({QStringLiteral("vistrel-20877-*")}).size(), 1);
            return;
        }
        QStringList names;
        for (const QString& file : files) {
            names.append(QFileInfo(file).fileName());
        }
        names.removeDuplicates();
        CheckFolderHolds(UsersOwn + names);
        if (desktop == u"GNOME") {
            QCOMPARE(files.size(), std::size_t{1});
            QCOMPARE(FirstDifference(QImage(files[0]),
                                     ScreenImage(SpannedImage(*picture, layout, request.spread))),
                     QString());
            return;
        }
        QCOMPARE(files.size(), request.monitors.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            QCOMPARE(FirstDifference(QImage(files[i]), expected(i)), QString());
        }
    }

    // A monitor that the desktop refuses leaves every monitor's old background, and the old file.
    void aRefusedMonitorLeavesTheOldBackgrounds() {
        qputenv(
            "SWAY_OUTPUTS",
            R"([{"name":"A","active":true,"scale":1,"rect":{"x":0,"y":0,"width":800,"height":600}},)"
            R"({"name":"B","active":true,"scale":1,"rect":{"x":800,"y":0,"width":640,"height":480}}])");
        qputenv("SWAY_FAILS", "1");
        qputenv("PATH", QByteArray(VISTREL_TEST_FAKES) + ":" + originalPath);
        BackgroundRequest request = OneMonitor();
        request.monitors.push_back({QStringLiteral("B"), {1280, 0, 640, 480, 1}});
        const std::optional<Answer> answer =
            SetBackground(QStringLiteral("sway"), request, DesktopBackground::AnswerTime);
        qunsetenv("SWAY_FAILS");
        QVERIFY(answer);
        QCOMPARE(static_cast<int>(answer->first), static_cast<int>(BackgroundResult::Failed));
        QVERIFY2(answer->second.contains(QStringLiteral("Unknown output")),
                 qPrintable(answer->second));
        QVERIFY(QFile::exists(QDir(folder).filePath(Earlier)));
    }

    // The lock screen: the portal's, Plasma's own (written by the real kwriteconfig5 when it is
    // installed), or none on a desktop whose lock screen shows the desktop background.
    void setsTheLockScreen_data() {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QString>("onTheBus");
        QTest::addColumn<BackgroundResult>("result");
        QTest::newRow("portal") << "KDE"
                                << "0" << BackgroundResult::Set;
        QTest::newRow("Plasma's screen locker") << "KDE"
                                                << "none" << BackgroundResult::Set;
        QTest::newRow("GNOME, no portal") << "GNOME"
                                          << "none" << BackgroundResult::SavedOnly;
    }

    void setsTheLockScreen() {
        QFETCH(QString, desktop);
        QFETCH(QString, onTheBus);
        QFETCH(BackgroundResult, result);
        StartFakeDesktop(onTheBus.split(u' '));
        const bool plasmaLocker = onTheBus == u"none" && desktop == u"KDE";
        if (plasmaLocker &&
            QStandardPaths::findExecutable(QStringLiteral("kwriteconfig5")).isEmpty()) {
            QSKIP("kwriteconfig5 is not installed");
        }
        BackgroundRequest request = OneMonitor();
        request.place = BackgroundPlace::LockScreen;
        const std::optional<Answer> answer =
            SetBackground(desktop, request, DesktopBackground::AnswerTime);
        QVERIFY(answer);
        QCOMPARE(static_cast<int>(answer->first), static_cast<int>(result));
        QVERIFY(!LockScreenShowsDesktopBackground(desktop) ||
                result == BackgroundResult::SavedOnly);
        if (result == BackgroundResult::SavedOnly) {
            QVERIFY2(answer->second.contains(QStringLiteral("lock screen")),
                     qPrintable(answer->second));
            return;
        }
        const QByteArray uri =
            UserFolder::Of(BaseFolder::Data, QStringLiteral("backgrounds")).Below(FileName).Uri();
        if (plasmaLocker) {
            const QByteArray config =
                ReadFile(home.filePath(QStringLiteral("config/kscreenlockerrc")));
            QVERIFY2(config.contains("[Greeter]\nWallpaperPlugin=org.kde.image\n"),
                     config.constData());
            QVERIFY2(config.contains("[Greeter][Wallpaper][org.kde.image][General]\nFillMode=6\n"
                                     "Image=" +
                                     uri + "\n"),
                     config.constData());
            return;
        }
        const QJsonObject call =
            QJsonDocument::fromJson(ReadFile(record->filePath(QStringLiteral("call.json"))))
                .object();
        QCOMPARE(call[QStringLiteral("options")].toObject()[QStringLiteral("set-on")].toString(),
                 QStringLiteral("lockscreen"));
    }

  private:
    using Answer = std::pair<BackgroundResult, QString>;

    // Sets the background of one 1280 x 1024 monitor on that desktop, and waits for the answer.
    std::optional<Answer> SetBackground(const QString& desktop,
                                        std::chrono::milliseconds answerTime) {
        return SetBackground(desktop, OneMonitor(), answerTime);
    }

    static BackgroundRequest OneMonitor() {
        return {Seed,
                Spread::EachMonitor,
                BackgroundPlace::Desktop,
                {{QStringLiteral("HDMI-1"), {0, 0, Screen.width(), Screen.height(), 1}}},
                0};
    }

    std::optional<Answer> SetBackground(const QString& desktop, const BackgroundRequest& request,
                                        std::chrono::milliseconds answerTime) {
        DesktopBackground background(
            nullptr,
            [&desktop](const BackgroundRequest& asked) {
                return BackgroundChannels(desktop, asked.place, asked.monitors.size());
            },
            answerTime);
        std::optional<Answer> answer;
        connect(&background, &DesktopBackground::Finished, this,
                [&answer](BackgroundResult r, const QString& m) { answer.emplace(r, m); });
        if (!background.Set(request)) {
            return std::nullopt;
        }
        // A second request while the first is under way is refused without a word: at once, and
        // again once the deadline is past while the desktop asks the user.
        const auto answered = [&answer] { return answer.has_value(); };
        const auto anotherIsRefused = [&] {
            return answered() || (!background.Set(request) && !answered());
        };
        if (!anotherIsRefused()) {
            return std::nullopt;
        }
        if (!QTest::qWaitFor(answered, static_cast<int>(answerTime.count()) + 200) &&
            !anotherIsRefused()) {
            return std::nullopt;
        }
        if (!QTest::qWaitFor(answered, 5000)) {
            return std::nullopt;
        }
        // What the finished request leaves to the event loop goes before anything is counted.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return answer;
    }

    // Points XDG_DATA_HOME there and lays out its backgrounds folder: Vistrel's earlier
    // background and the user's own files.
    void UseDataHome(const QByteArray& dataHome) {
        qputenv("XDG_DATA_HOME",
                dataHome.startsWith('/') ? QFile::encodeName(home.path()) + dataHome : dataHome);
        const UserFolder backgrounds =
            UserFolder::Of(BaseFolder::Data, QStringLiteral("backgrounds"));
        QFile::remove(backgrounds.FilePath());
        QVERIFY(QDir().mkpath(backgrounds.FilePath()));
        // Reached as the program reaches it, so that the descriptor held for a folder whose name
        // Qt cannot spell is open before any are counted. Emptied rather than removed, which
        // would leave that descriptor on a folder that is gone.
        folder = backgrounds.FilePath();
        QDir own(folder);
        for (const QString& name : own.entryList(QDir::Files | QDir::Hidden)) {
            QVERIFY(own.remove(name));
        }
        for (const QString& name : QStringList{Earlier} + UsersOwn) {
            QFile file(own.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("kept");
        }
    }

    void StartFakeDesktop(const QStringList& offers) {
        fakeDesktop = std::make_unique<QProcess>();
        fakeDesktop->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fakeDesktop->start(
            QStringLiteral(VISTREL_PYTHON),
            QStringList{QStringLiteral(VISTREL_TEST_FAKES "/fake-desktop.py"), record->path()} +
                offers);
        QVERIFY(fakeDesktop->waitForReadyRead(10000));
        QCOMPARE(fakeDesktop->readLine().trimmed(), QByteArray("ready"));
    }

    static int OpenDescriptors() {
        return static_cast<int>(
            QDir(QStringLiteral("/proc/self/fd"))
                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                .size());
    }

    // The background folder holds exactly these files, the user's own untouched.
    void CheckFolderHolds(QStringList expected) const {
        expected.sort();
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
        for (const QString& name : UsersOwn) {
            QCOMPARE(ReadFile(QDir(folder).filePath(name)), QByteArray("kept"));
        }
    }

    // What reached the desktop, by the way that should have carried it and no other: the portal
    // got the file's bytes through the descriptor, the settings name the file.
    void CheckHandover(Handover handover, const QByteArray& path, const QByteArray& uri) {
        const QByteArray keyfile =
            ReadFile(home.filePath(QStringLiteral("config/glib-2.0/settings/keyfile")));
        const QByteArray xfconfLog = ReadFile(home.filePath(QStringLiteral("xfconf.log")));
        QCOMPARE(QFile::exists(record->filePath(QStringLiteral("call.json"))),
                 handover == Handover::Portal);
        QCOMPARE(keyfile.contains("picture-uri"), handover == Handover::GSettings);
        QCOMPARE(xfconfLog.contains("--set"), handover == Handover::Xfce);
        const QByteArray script = ReadFile(record->filePath(QStringLiteral("script.js")));
        QCOMPARE(!script.isEmpty(), handover == Handover::Plasma);
        switch (handover) {
            case Handover::None:
                break;
            case Handover::Portal: {
                QCOMPARE(ReadFile(record->filePath(QStringLiteral("image"))),
                         ReadFile(QDir(folder).filePath(FileName)));
                const QJsonObject call =
                    QJsonDocument::fromJson(ReadFile(record->filePath(QStringLiteral("call.json"))))
                        .object();
                const QJsonObject options = call[QStringLiteral("options")].toObject();
                QCOMPARE(options[QStringLiteral("set-on")].toString(),
                         QStringLiteral("background"));
                QCOMPARE(options[QStringLiteral("show-preview")].toVariant(), QVariant(false));
                const QString token = options[QStringLiteral("handle_token")].toString();
                QVERIFY(!token.isEmpty());
                QVERIFY(call[QStringLiteral("request")].toString().endsWith(u'/' + token));
                QCOMPARE(call[QStringLiteral("parent_window")].toString(), QString());
                break;
            }
            case Handover::GSettings:
                for (const char* key : {"picture-uri", "picture-uri-dark"}) {
                    QVERIFY2(keyfile.contains(QByteArray(key) + "='" + uri + "'"),
                             keyfile.constData());
                }
                QVERIFY2(keyfile.contains("picture-options='centered'"), keyfile.constData());
                break;
            case Handover::Plasma:
                QVERIFY2(script.contains("{\"fallback\":\"" + uri +
                                         "\",\"screens\":{\"0,0,1280,1024\":\"" + uri + "\"}}"),
                         script.constData());
                QVERIFY2(script.contains("d.wallpaperPlugin = 'org.kde.image';"),
                         script.constData());
                QVERIFY2(script.contains("d.writeConfig('FillMode', 6);"), script.constData());
                break;
            case Handover::Xfce:
                // With one monitor, every background XFCE lists shows its picture.
                QCOMPARE(xfconfLog, "--channel xfce4-desktop --list\n" +
                                        XfceSetting("HDMI-1", path) + XfceSetting("eDP-1", path));
                break;
        }
    }

    // The files each monitor was handed, in the monitors' order, as the desktop's record says.
    std::vector<QString> HandedFiles(const QString& desktop, std::size_t monitors) const {
        std::vector<QString> files;
        if (desktop == u"GNOME") {
            const QByteArray keyfile =
                ReadFile(home.filePath(QStringLiteral("config/glib-2.0/settings/keyfile")));
            const QRegularExpressionMatch uri =
                QRegularExpression(QStringLiteral("picture-uri='([^']*)'"))
                    .match(QString::fromUtf8(keyfile));
            if (uri.hasMatch() && keyfile.contains("picture-options='spanned'")) {
                files.push_back(QUrl(uri.captured(1)).toLocalFile());
            }
        } else if (desktop == u"Hyprland") {
            files.push_back(record->filePath(QStringLiteral("image")));
        } else if (desktop == u"XFCE") {
            const QString log =
                QString::fromUtf8(ReadFile(home.filePath(QStringLiteral("xfconf.log"))));
            for (std::size_t i = 0; i < monitors; ++i) {
                const QRegularExpressionMatch set =
                    QRegularExpression(QStringLiteral("monitorOUT-%1/workspace0/last-image "
                                                      "--create --type string --set (\\S+)\n")
                                           .arg(i))
                        .match(log);
                files.push_back(set.captured(1));
            }
        } else if (desktop == u"KDE") {
            const QString script =
                QString::fromUtf8(ReadFile(record->filePath(QStringLiteral("script.js"))));
            const QJsonObject screens =
                QJsonDocument::fromJson(
                    QRegularExpression(QStringLiteral("const images = (\\{.*?\\});\n"))
                        .match(script)
                        .captured(1)
                        .toUtf8())
                    .object()[QStringLiteral("screens")]
                    .toObject();
            for (const QString& key : screens.keys()) {
                files.push_back(QUrl(screens[key].toString()).toLocalFile());
            }
            std::sort(files.begin(), files.end(), [&](const QString& a, const QString& b) {
                return ScreenKeyOrder(screens, a) < ScreenKeyOrder(screens, b);
            });
        } else if (desktop == u"sway") {
            const QString log =
                QString::fromUtf8(ReadFile(home.filePath(QStringLiteral("sway.log"))));
            for (std::size_t i = 0; i < monitors; ++i) {
                files.push_back(
                    QRegularExpression(
                        QStringLiteral("output \"OUT-%1\" bg \"([^\"]+)\" center").arg(i))
                        .match(log)
                        .captured(1));
            }
        }
        return files;
    }

    // Where a file's screen is, left to right, in Plasma's script.
    static int ScreenKeyOrder(const QJsonObject& screens, const QString& file) {
        for (const QString& key : screens.keys()) {
            if (QUrl(screens[key].toString()).toLocalFile() == file) {
                return key.section(u',', 0, 0).toInt();
            }
        }
        return -1;
    }

    // The two calls that set one XFCE monitor's background, as the log records them.
    static QByteArray XfceSetting(const QByteArray& monitor, const QByteArray& path) {
        const QByteArray property = "--channel xfce4-desktop --property /backdrop/screen0/monitor" +
                                    monitor + "/workspace0/";
        return property + "last-image --create --type string --set " + path + "\n" + property +
               "image-style --create --type int --set 1\n";
    }

    QTemporaryDir home;
    QString folder;
    std::unique_ptr<QTemporaryDir> record;
    std::unique_ptr<QProcess> fakeDesktop;
    QByteArray originalPath;
};

}  // namespace vistrel::test

QTEST_GUILESS_MAIN(vistrel::test::DesktopBackgroundTest)
#include "DesktopBackgroundTest.moc"
