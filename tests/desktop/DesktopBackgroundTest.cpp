#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>
#include <optional>

#include "desktop/BackgroundChannels.h"
#include "desktop/DesktopBackground.h"
#include "scene/Picture.h"
#include "tests/support/Limits.h"
#include "tests/support/ScreenImages.h"

// Runs on a private session bus of its own (see CMakeLists.txt): the portal on it is the fake
// this test starts, or none.
namespace vistrel::test {
namespace {

constexpr std::uint32_t Seed = 20877;
constexpr QSize Screen(1280, 1024);
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

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class DesktopBackgroundTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(home.isValid());
        // GLib reads these once, at the first use of GSettings.
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
        if (!qEnvironmentVariableIsSet("GSETTINGS_BACKEND")) {
            qputenv("GSETTINGS_BACKEND", "keyfile");
        }
        qputenv("XFCONF_QUERY_LOG", home.filePath(QStringLiteral("xfconf.log")).toUtf8());
        folder = home.filePath(QStringLiteral("data/backgrounds"));
        // The connection's own descriptors are there before any are counted.
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void init() {
        QFile::remove(folder);
        QDir(folder).removeRecursively();
        QDir(home.path()).mkpath(folder);
        for (const QString& name : QStringList{Earlier} + UsersOwn) {
            QFile file(QDir(folder).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("kept");
        }
        QFile::remove(home.filePath(QStringLiteral("xfconf.log")));
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

        using enum BackgroundResult;
        const QString nothing;
        const QString noWallpaper = QStringLiteral("none");
        QTest::newRow("portal sets it") << "GNOME"
                                        << "0" << false << 10000 << Set << "" << Handover::Portal;
        QTest::newRow("portal: the user cancels")
            << "GNOME"
            << "1" << false << 10000 << Cancelled << "" << Handover::Portal;
        QTest::newRow("portal fails")
            << "KDE"
            << "2" << false << 10000 << Failed << "turned the request down" << Handover::Portal;
        QTest::newRow("portal never answers")
            << "GNOME"
            << "silent" << false << 300 << Failed << "did not answer within 1 seconds"
            << Handover::Portal;
        QTest::newRow("GNOME without the portal's Wallpaper")
            << "ubuntu:GNOME" << noWallpaper << false << 10000 << Set << "" << Handover::GSettings;
        QTest::newRow("Budgie, no portal")
            << "Budgie:GNOME" << nothing << false << 10000 << Set << "" << Handover::GSettings;
        QTest::newRow("MATE without its schema")
            << "MATE" << nothing << false << 10000 << Failed
            << "schema org.mate.background is not installed" << Handover::None;
        QTest::newRow("XFCE") << "XFCE" << noWallpaper << true << 10000 << Set << ""
                              << Handover::Xfce;
        QTest::newRow("XFCE without xfconf-query")
            << "XFCE" << nothing << false << 10000 << Failed << "xfconf-query could not be run"
            << Handover::None;
        QTest::newRow("KDE Plasma")
            << "KDE"
            << "absent plasma" << false << 10000 << Set << "" << Handover::Plasma;
        QTest::newRow("KDE without its shell") << "KDE" << noWallpaper << false << 10000 << Failed
                                               << "org.kde.plasmashell" << Handover::None;
        QTest::newRow("no way at all") << "Hyprland" << noWallpaper << false << 10000 << SavedOnly
                                       << "no way to set its background" << Handover::None;
        QTest::newRow("nothing named") << "" << nothing << false << 10000 << SavedOnly
                                       << "vistrel-20877-1280x1024.png" << Handover::None;
    }

    void setsTheBackgroundOrSaysWhyNot() {
        QFETCH(QString, desktop);
        QFETCH(QString, onTheBus);
        QFETCH(bool, xfconfQuery);
        QFETCH(int, answerMilliseconds);
        QFETCH(BackgroundResult, result);
        QFETCH(QString, message);
        QFETCH(Handover, handover);
        if (desktop == u"MATE" &&
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
        const QString fakes = QStringLiteral(VISTREL_TEST_FAKES);
        qputenv("PATH", (xfconfQuery ? fakes.toUtf8() + ":" : QByteArray()) + originalPath);

        const std::unique_ptr<SceneBitmap> shown = ShownPicture();
        const int descriptorsBefore = OpenDescriptors();
        const std::optional<Answer> answer =
            SetBackground(*shown, desktop, std::chrono::milliseconds(answerMilliseconds));
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

        const QString file = QDir(folder).filePath(QStringLiteral("vistrel-20877-1280x1024.png"));
        QStringList expectedFiles = UsersOwn + QStringList{QFileInfo(file).fileName()};
        if (result != BackgroundResult::Set) {
            expectedFiles.append(Earlier);
        }
        CheckFolderHolds(expectedFiles);
        QCOMPARE(FirstDifference(QImage(file), ExpectedBackground(*shown)), QString());

        CheckHandover(handover, file);
    }

    // GLib's choice of settings store holds for the whole process, so the test of settings kept
    // in memory only runs as a test of its own (viewer.desktop_background_memory).
    void settingsNoDesktopReadsAreAFailure() {
        if (qgetenv("GSETTINGS_BACKEND") != "memory") {
            QSKIP("runs with GSETTINGS_BACKEND=memory");
        }
        const std::unique_ptr<SceneBitmap> shown = ShownPicture();
        const std::optional<Answer> answer =
            SetBackground(*shown, QStringLiteral("GNOME"), DesktopBackground::AnswerTime);
        QVERIFY(answer);
        QCOMPARE(static_cast<int>(answer->first), static_cast<int>(BackgroundResult::Failed));
        QVERIFY2(answer->second.contains(QStringLiteral("dconf")), qPrintable(answer->second));
    }

    void aFolderThatCannotBeMadeIsReported() {
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const std::unique_ptr<SceneBitmap> shown = ShownPicture();

        const std::optional<Answer> answer =
            SetBackground(*shown, QStringLiteral("GNOME"), DesktopBackground::AnswerTime);

        QVERIFY(answer);
        QCOMPARE(static_cast<int>(answer->first), static_cast<int>(BackgroundResult::Failed));
        QVERIFY2(answer->second.contains(QStringLiteral("could not be saved")),
                 qPrintable(answer->second));
        QVERIFY(QFileInfo(folder).isFile());
        CheckHandover(Handover::None, {});
    }

  private:
    using Answer = std::pair<BackgroundResult, QString>;

    // Sets the background of a 1280 x 1024 screen on that desktop, and waits for the answer.
    std::optional<Answer> SetBackground(const SceneBitmap& shown, const QString& desktop,
                                        std::chrono::milliseconds answerTime) {
        DesktopBackground background(
            nullptr, [&desktop] { return BackgroundChannels(desktop); }, answerTime);
        std::optional<Answer> answer;
        connect(&background, &DesktopBackground::Finished, this,
                [&answer](BackgroundResult r, const QString& m) { answer.emplace(r, m); });
        if (!background.Set(shown, Seed, Screen)) {
            return std::nullopt;
        }
        // A second request while the first is under way is refused.
        if ((!answer && background.Set(shown, Seed, Screen)) ||
            !QTest::qWaitFor([&answer] { return answer.has_value(); }, 5000)) {
            return std::nullopt;
        }
        // What the finished request leaves to the event loop goes before anything is counted.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return answer;
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
            QCOMPARE(ReadAll(QDir(folder).filePath(name)), QByteArray("kept"));
        }
    }

    // What reached the desktop, by the way that should have carried it and no other: the portal
    // got the file's bytes through the descriptor, the settings name the file.
    void CheckHandover(Handover handover, const QString& file) {
        const QString uri = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
        const QByteArray keyfile =
            ReadAll(home.filePath(QStringLiteral("config/glib-2.0/settings/keyfile")));
        const QByteArray xfconfLog = ReadAll(home.filePath(QStringLiteral("xfconf.log")));
        QCOMPARE(QFile::exists(record->filePath(QStringLiteral("call.json"))),
                 handover == Handover::Portal);
        QCOMPARE(keyfile.contains("picture-uri"), handover == Handover::GSettings);
        QCOMPARE(xfconfLog.contains("--set"), handover == Handover::Xfce);
        const QByteArray script = ReadAll(record->filePath(QStringLiteral("script.js")));
        QCOMPARE(!script.isEmpty(), handover == Handover::Plasma);
        switch (handover) {
            case Handover::None:
                break;
            case Handover::Portal: {
                QCOMPARE(ReadAll(record->filePath(QStringLiteral("image"))), ReadAll(file));
                const QJsonObject call =
                    QJsonDocument::fromJson(ReadAll(record->filePath(QStringLiteral("call.json"))))
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
                    QVERIFY2(keyfile.contains(QByteArray(key) + "='" + uri.toUtf8() + "'"),
                             keyfile.constData());
                }
                QVERIFY2(keyfile.contains("picture-options='centered'"), keyfile.constData());
                break;
            case Handover::Plasma:
                QVERIFY2(script.contains("const image = [\"" + uri.toUtf8() + "\"][0];"),
                         script.constData());
                QVERIFY2(script.contains("d.wallpaperPlugin = 'org.kde.image';"),
                         script.constData());
                QVERIFY2(script.contains("d.writeConfig('Image', image);"), script.constData());
                QVERIFY2(script.contains("d.writeConfig('FillMode', 6);"), script.constData());
                break;
            case Handover::Xfce:
                QCOMPARE(xfconfLog,
                         "--channel xfce4-desktop --list\n"
                         "--channel xfce4-desktop --property "
                         "/backdrop/screen0/monitorHDMI-1/workspace0/last-image --set " +
                             file.toUtf8() +
                             "\n"
                             "--channel xfce4-desktop --property "
                             "/backdrop/screen0/monitoreDP-1/workspace0/last-image --set " +
                             file.toUtf8() + "\n");
                break;
        }
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
