#include <QFile>
#include <QProcess>
#include <QTest>

#include "links/LaunchResult.h"
#include "tests/links/DesktopSandbox.h"

namespace vistrel {
namespace {

const QString UnhandledScheme = QStringLiteral("x-vistrel-unhandled");

// A target with blanks, quotes and every way of slipping a command into a shell line.
QString HostileTarget(const QString& scheme, const QString& marker) {
    return scheme + ":a b \"c\" 'd' ; touch " + marker + " $(touch " + marker + ") `touch " +
           marker + "` && touch " + marker + " | touch " + marker;
}

}  // namespace

class OpenLinkTest : public QObject {
    Q_OBJECT

  private:
    // Opens target in a fresh process that sees only the sandbox's desktop.
    static int Open(const DesktopSandbox& sandbox, const QString& target) {
        QProcess probe;
        probe.setProcessEnvironment(sandbox.Environment());
        probe.start(QStringLiteral(VISTREL_OPEN_LINK_PROBE), {target});
        if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit ||
            probe.exitCode() != 0) {
            qWarning() << "probe failed:" << probe.readAllStandardError();
            return -1;
        }
        bool isNumber = false;
        const int result = probe.readAllStandardOutput().trimmed().toInt(&isNumber);
        return isNumber ? result : -1;
    }

  private slots:
    void schemeHandlerReceivesTheTarget_data() {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("target");
        QTest::newRow("web") << "http"
                             << "http://vistrel.example.org/";
        QTest::newRow("mail") << "mailto"
                              << "mailto:vistrel@example.org";
    }

    void schemeHandlerReceivesTheTarget() {
        QFETCH(QString, scheme);
        QFETCH(QString, target);
        DesktopSandbox sandbox;
        sandbox.SetRecorderDefault("x-scheme-handler/" + scheme, "%u");
        sandbox.SetRecorderDefault("text/html", "--from-html-handler %u");
        QVERIFY(sandbox.IsValid());

        QVERIFY(IsLaunchSuccess(Open(sandbox, target)));
        QVERIFY(sandbox.WaitForRecording());
        QCOMPARE(sandbox.RecordedArguments(), QStringList{target});
    }

    void htmlHandlerTakesWhatNoSchemeHandlerTakes_data() {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("leading");
        QTest::newRow("quoted %1, trailing switch")
            << "--new-window \"%1\" --private" << QStringList{"--new-window"};
        QTest::newRow("unquoted %u, trailing switch")
            << "--new-window %u --private" << QStringList{"--new-window"};
        QTest::newRow("no placeholder") << "--new-window" << QStringList{"--new-window"};
    }

    void htmlHandlerTakesWhatNoSchemeHandlerTakes() {
        QFETCH(QString, exec);
        QFETCH(QStringList, leading);
        DesktopSandbox sandbox;
        sandbox.SetRecorderDefault("text/html", exec);
        QVERIFY(sandbox.IsValid());
        const QString target = UnhandledScheme + ":page";

        QVERIFY(IsLaunchSuccess(Open(sandbox, target)));
        QVERIFY(sandbox.WaitForRecording());
        QCOMPARE(sandbox.RecordedArguments(), leading + QStringList{target});
    }

    // With no handler for the scheme, the default of HTML documents is used only if its own
    // entry lists HTML or web pages and it runs without a terminal. A text editor that is the
    // default for HTML only because HTML is a kind of plain text must not get the link.
    void htmlHandlerMustShowWebPagesItself_data() {
        QTest::addColumn<QString>("defaultFor");
        QTest::addColumn<QString>("listedTypes");
        QTest::addColumn<bool>("needsTerminal");
        QTest::addColumn<bool>("launched");
        QTest::newRow("lists text/html") << "text/html"
                                         << "text/html" << false << true;
        QTest::newRow("lists http") << "text/html"
                                    << "x-scheme-handler/http" << false << true;
        QTest::newRow("lists https among others")
            << "text/html"
            << "image/png;x-scheme-handler/https" << false << true;
        QTest::newRow("plain text editor, by subclassing") << "text/plain"
                                                           << "text/plain" << false << false;
        QTest::newRow("lists nothing for the web") << "text/html"
                                                   << "text/plain" << false << false;
        QTest::newRow("needs a terminal") << "text/html"
                                          << "text/html" << true << false;
    }

    void htmlHandlerMustShowWebPagesItself() {
        QFETCH(QString, defaultFor);
        QFETCH(QString, listedTypes);
        QFETCH(bool, needsTerminal);
        QFETCH(bool, launched);
        DesktopSandbox sandbox;
        sandbox.DeclareSubclass("text/html", "text/plain");
        sandbox.SetRecorderDefault(defaultFor, "%u", listedTypes, needsTerminal);
        QVERIFY(sandbox.IsValid());
        const QString target = UnhandledScheme + ":page";

        QCOMPARE(Open(sandbox, target), launched ? int(Launched) : int(NoAssociation));
        QCOMPARE(sandbox.WaitForRecording(), launched);
    }

    void hostileTargetReachesOnlyTheHandlerAndWhole_data() {
        QTest::addColumn<bool>("schemeHandled");
        QTest::newRow("scheme handler") << true;
        QTest::newRow("html handler") << false;
    }

    void hostileTargetReachesOnlyTheHandlerAndWhole() {
        QFETCH(bool, schemeHandled);
        DesktopSandbox sandbox;
        const QString scheme = schemeHandled ? "x-vistrel-handled" : UnhandledScheme;
        if (schemeHandled) {
            sandbox.SetRecorderDefault("x-scheme-handler/" + scheme, "%u");
        } else {
            sandbox.SetRecorderDefault("text/html", "%u");
        }
        QVERIFY(sandbox.IsValid());
        const QString target = HostileTarget(scheme, sandbox.InjectionMarker());

        QVERIFY(IsLaunchSuccess(Open(sandbox, target)));
        QVERIFY(sandbox.WaitForRecording());
        QCOMPARE(sandbox.RecordedArguments(), QStringList{target});
        QVERIFY(!QFile::exists(sandbox.InjectionMarker()));
    }

    void failuresReportTheirResult_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("htmlHandler");
        QTest::addColumn<int>("result");
        QTest::newRow("no handler at all") << UnhandledScheme + ":page"
                                           << "none" << int(NoAssociation);
        QTest::newRow("html handler cannot start") << UnhandledScheme + ":page"
                                                   << "broken" << int(FileNotFound);
        QTest::newRow("missing file, no html handler") << "file:///nonexistent/vistrel.html"
                                                       << "none" << int(FileNotFound);
        QTest::newRow("empty target") << ""
                                      << "recorder" << int(FileNotFound);
    }

    void failuresReportTheirResult() {
        QFETCH(QString, target);
        QFETCH(QString, htmlHandler);
        QFETCH(int, result);
        DesktopSandbox sandbox;
        if (htmlHandler == "broken") {
            sandbox.SetBrokenDefault("text/html");
        } else if (htmlHandler == "recorder") {
            sandbox.SetRecorderDefault("text/html", "%u");
        }
        QVERIFY(sandbox.IsValid());

        QCOMPARE(Open(sandbox, target), result);
    }
};

}  // namespace vistrel

QTEST_GUILESS_MAIN(vistrel::OpenLinkTest)
#include "OpenLinkTest.moc"
