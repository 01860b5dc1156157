#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "tests/viewer/ViewerFixture.h"

// The slide show's hold on the screen, against stand-ins for the desktop's services on a
// private session bus (the test runs under dbus-run-session). Each stand-in writes what it was
// asked into one log.
using namespace vistrel::test;

namespace {

QStringList bus;

class FakeRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

  public:
    explicit FakeRequest(QString path) : path(std::move(path)) {}

  public slots:
    void Close() { bus << QStringLiteral("portal Close %1").arg(path); }

  private:
    QString path;
};

class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")

  public:
    explicit FakePortal(QDBusConnection connection) : connection(std::move(connection)) {}

  public slots:
    QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options) {
        const QString path =
            QStringLiteral("/org/freedesktop/portal/desktop/request/1/t%1").arg(++requests);
        bus << QStringLiteral("portal Inhibit '%1' %2 %3")
                   .arg(window, QString::number(flags),
                        options.value(QStringLiteral("reason")).toString());
        auto* request = new FakeRequest(path);
        request->setParent(this);
        connection.registerObject(path, request, QDBusConnection::ExportAllSlots);
        return QDBusObjectPath(path);
    }

  private:
    QDBusConnection connection;
    int requests = 0;
};

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

  public:
    explicit FakeScreenSaver(QString path) : path(std::move(path)) {}

  public slots:
    uint Inhibit(const QString& application, const QString& reason) {
        bus << QStringLiteral("%1 Inhibit %2 %3 -> %4")
                   .arg(path, application, reason, QString::number(cookie));
        return cookie;
    }
    void UnInhibit(uint given) {
        bus << QStringLiteral("%1 UnInhibit %2").arg(path, QString::number(given));
    }

  private:
    QString path;
    uint cookie = 4711;
};

// The desktop's side: on a connection of its own, owning the service names that it offers.
class FakeDesktop {
  public:
    FakeDesktop(bool portal, const QString& screenSaverPath)
        : connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, Name())) {
        if (portal) {
            portalObject = std::make_unique<FakePortal>(connection);
            connection.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                      portalObject.get(), QDBusConnection::ExportAllSlots);
            connection.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
        }
        if (!screenSaverPath.isEmpty()) {
            screenSaver = std::make_unique<FakeScreenSaver>(screenSaverPath);
            connection.registerObject(screenSaverPath, screenSaver.get(),
                                      QDBusConnection::ExportAllSlots);
            connection.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
        }
    }
    ~FakeDesktop() {
        connection.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        connection.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
        QDBusConnection::disconnectFromBus(connection.name());
    }

    bool Connected() const { return connection.isConnected(); }

  private:
    static QString Name() {
        static int count = 0;
        return QStringLiteral("fake-desktop-%1").arg(++count);
    }

    QDBusConnection connection;
    std::unique_ptr<FakePortal> portalObject;
    std::unique_ptr<FakeScreenSaver> screenSaver;
};

// Long enough for a call that should not come to have arrived.
constexpr int QuietMilliseconds = 300;

}  // namespace

class IdleInhibitTest : public ViewerFixture {
    Q_OBJECT

  private slots:
    void init() { bus.clear(); }
    void cleanup() { Close(); }

    void heldWhileTheSlideShowRuns_data() {
        QTest::addColumn<bool>("portal");
        QTest::addColumn<QString>("screenSaverPath");
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QStringList>("expected");

        const QString portalHold = QStringLiteral("portal Inhibit '' 8 Showing a slide show");
        const QString portalRelease =
            QStringLiteral("portal Close /org/freedesktop/portal/desktop/request/1/t1");
        QTest::newRow("portal, Stop")
            << true << QString() << "Stop" << QStringList{portalHold, portalRelease};
        QTest::newRow("portal, window closed")
            << true << QString() << "close" << QStringList{portalHold, portalRelease};
        QTest::newRow("portal, program ended")
            << true << QString() << "destroy" << QStringList{portalHold, portalRelease};
        QTest::newRow("portal, Stop before it answers")
            << true << QString() << "Stop at once" << QStringList{portalHold, portalRelease};
        QTest::newRow("portal, program ended before it answers")
            << true << QString() << "destroy at once" << QStringList{portalHold, portalRelease};
        QTest::newRow("the portal is preferred")
            << true << "/org/freedesktop/ScreenSaver"
            << "Stop" << QStringList{portalHold, portalRelease};
        QTest::newRow("ScreenSaver, Stop")
            << false << "/org/freedesktop/ScreenSaver"
            << "Stop"
            << QStringList{
                   "/org/freedesktop/ScreenSaver Inhibit desktop_idle_inhibit_tests "
                   "Showing a slide show -> 4711",
                   "/org/freedesktop/ScreenSaver UnInhibit 4711"};
        QTest::newRow("ScreenSaver at its short path, window closed")
            << false << "/ScreenSaver"
            << "close"
            << QStringList{
                   "/ScreenSaver Inhibit desktop_idle_inhibit_tests Showing a slide show -> 4711",
                   "/ScreenSaver UnInhibit 4711"};
        QTest::newRow("neither") << false << QString() << "Stop" << QStringList{};
    }

    void heldWhileTheSlideShowRuns() {
        QFETCH(bool, portal);
        QFETCH(QString, screenSaverPath);
        QFETCH(QString, ending);
        QFETCH(QStringList, expected);
        const FakeDesktop desktop(portal, screenSaverPath);
        QVERIFY(desktop.Connected());
        Open();

        // Stepping by hand holds nothing.
        Press("nextButton");
        Press("previousButton");
        QTest::qWait(QuietMilliseconds);
        QCOMPARE(bus, QStringList{});

        Press("autoButton");
        QVERIFY(dialog->TimerId() != 0);
        if (ending == "Stop at once") {
            Press("stopButton");
        } else if (ending == "destroy at once") {
            Close();
        } else {
            QTRY_COMPARE(bus, expected.mid(0, 1));
            if (ending == "Stop") {
                Press("stopButton");
            } else if (ending == "close") {
                dialog->close();
            } else {
                Close();
            }
        }
        QTRY_COMPARE(bus, expected);
        QTest::qWait(QuietMilliseconds);
        QCOMPARE(bus, expected);
    }
};

QTEST_MAIN(IdleInhibitTest)
#include "IdleInhibitTest.moc"
