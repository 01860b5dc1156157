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

#include "tests/viewer/ViewerTestSupport.h"
#include "viewer/BackgroundChannels.h"
#include "viewer/DesktopBackground.h"

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

enum class Handover { None, Portal, GSettings, Xfce };

// The picture on show, as the viewer's picture holds it.
std::unique_ptr<SceneBitmap> ShownPicture() {
    SceneRng rng;
    rng.Seed(Seed);
    return RenderSceneBitmap(Rect{0, 0, 570, 206}, rng);
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
        qputenv("GSETTINGS_BACKEND", "keyfile");
        qputenv("XFCONF_QUERY_LOG", home.filePath(QStringLiteral("xfconf.log")).toUtf8());
        folder = home.filePath(QStringLiteral("data/backgrounds"));
    }

    void init() {
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
        if (portal) {
            portal->kill();
            portal->waitForFinished();
            portal.reset();
        }
        qputenv("PATH", originalPath);
    }

    void setsTheBackgroundOrSaysWhyNot_data() {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QString>("portalAnswer");
        QTest::addColumn<bool>("xfconfQuery");
        QTest::addColumn<int>("answerMilliseconds");
        QTest::addColumn<BackgroundResult>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Handover>("handover");

        const QString noPortal;
        const QString none = QStringLiteral("none");
        QTest::newRow("portal sets it")
            << "GNOME"
            << "0" << false << 10000 << BackgroundResult::Set << "" << Handover::Portal;
        QTest::newRow("portal: the user cancels")
            << "GNOME"
            << "1" << false << 10000 << BackgroundResult::Cancelled << "" << Handover::Portal;
        QTest::newRow("portal fails") << "KDE"
                                      << "2" << false << 10000 << BackgroundResult::Failed
                                      << "turned the request down" << Handover::Portal;
        QTest::newRow("portal never answers")
            << "GNOME"
            << "silent" << false << 300 << BackgroundResult::Failed
            << "did not answer within 1 seconds" << Handover::Portal;
        QTest::newRow("GNOME without the portal's Wallpaper")
            << "ubuntu:GNOME" << none << false << 10000 << BackgroundResult::Set << ""
            << Handover::GSettings;
        QTest::newRow("Budgie, no portal") << "Budgie:GNOME" << noPortal << false << 10000
                                           << BackgroundResult::Set << "" << Handover::GSettings;
        QTest::newRow("MATE without its schema")
            << "MATE" << noPortal << false << 10000 << BackgroundResult::Failed
            << "schema org.mate.background is not installed" << Handover::None;
        QTest::newRow("XFCE") << "XFCE" << none << true << 10000 << BackgroundResult::Set << ""
                              << Handover::Xfce;
        QTest::newRow("XFCE without xfconf-query")
            << "XFCE" << noPortal << false << 10000 << BackgroundResult::Failed
            << "xfconf-query could not be run" << Handover::None;
        QTest::newRow("KDE without its shell")
            << "KDE" << none << false << 10000 << BackgroundResult::Failed << "org.kde.plasmashell"
            << Handover::None;
        QTest::newRow("no way at all")
            << "Hyprland" << none << false << 10000 << BackgroundResult::SavedOnly
            << "no way to set its background" << Handover::None;
        QTest::newRow("nothing named")
            << "" << noPortal << false << 10000 << BackgroundResult::SavedOnly
            << "vistrel-20877-1280x1024.png" << Handover::None;
    }

    void setsTheBackgroundOrSaysWhyNot() {
        QFETCH(QString, desktop);
        QFETCH(QString, portalAnswer);
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
        if (!portalAnswer.isEmpty()) {
            StartPortal(portalAnswer);
            if (QTest::currentTestFailed()) {
                return;
            }
        }
        const QString fakes = QStringLiteral(VISTREL_TEST_FAKES);
        qputenv("PATH", (xfconfQuery ? fakes.toUtf8() + ":" : QByteArray()) + originalPath);

        const std::unique_ptr<SceneBitmap> shown = ShownPicture();
        DesktopBackground background(
            nullptr, [&desktop] { return BackgroundChannels(desktop); },
            std::chrono::milliseconds(answerMilliseconds));
        std::optional<std::pair<BackgroundResult, QString>> finished;
        connect(&background, &DesktopBackground::Finished, this,
                [&finished](BackgroundResult r, const QString& m) { finished.emplace(r, m); });
        QVERIFY(background.Set(*shown, Seed, Screen));
        QVERIFY(!background.Set(*shown, Seed, Screen));
        QTRY_VERIFY_WITH_TIMEOUT(finished.has_value(), 5000);

        QCOMPARE(static_cast<int>(finished->first), static_cast<int>(result));
        if (message.isEmpty()) {
            QCOMPARE(finished->second, QString());
        } else {
            QVERIFY2(finished->second.contains(message), qPrintable(finished->second));
        }

        const QString file = QDir(folder).filePath(QStringLiteral("vistrel-20877-1280x1024.png"));
        QStringList expectedFiles = UsersOwn + QStringList{QFileInfo(file).fileName()};
        if (result != BackgroundResult::Set) {
            expectedFiles.append(Earlier);
        }
        expectedFiles.sort();
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name), expectedFiles);
        QCOMPARE(FirstDifference(QImage(file), ExpectedBackground(*shown)), QString());
        for (const QString& name : UsersOwn) {
            QCOMPARE(ReadAll(QDir(folder).filePath(name)), QByteArray("kept"));
        }

        CheckHandover(handover, file);
    }

  private:
    void StartPortal(const QString& answer) {
        portal = std::make_unique<QProcess>();
        portal->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        portal->start(
            QStringLiteral(VISTREL_PYTHON),
            {QStringLiteral(VISTREL_TEST_FAKES "/fake-portal.py"), record->path(), answer});
        QVERIFY(portal->waitForReadyRead(10000));
        QCOMPARE(portal->readLine().trimmed(), QByteArray("ready"));
    }

    // What reached the desktop, by the way that should have carried it: the portal got the
    // image's own pixels through the descriptor, the settings name the file.
    void CheckHandover(Handover handover, const QString& file) {
        const QString uri = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
        const QByteArray keyfile =
            ReadAll(home.filePath(QStringLiteral("config/glib-2.0/settings/keyfile")));
        const QByteArray xfconfLog = ReadAll(home.filePath(QStringLiteral("xfconf.log")));
        QCOMPARE(QFile::exists(record->filePath(QStringLiteral("call.json"))),
                 handover == Handover::Portal);
        QCOMPARE(keyfile.contains("picture-uri"), handover == Handover::GSettings);
        QCOMPARE(xfconfLog.contains("--set"), handover == Handover::Xfce);
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
    std::unique_ptr<QProcess> portal;
    QByteArray originalPath;
};

}  // namespace vistrel::test

QTEST_GUILESS_MAIN(vistrel::test::DesktopBackgroundTest)
#include "DesktopBackgroundTest.moc"
