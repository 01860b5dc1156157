// The About box's links, opened through the real desktop layer in a private desktop. GIO reads
// its environment once per process, so the desktop is set up before anything else runs.
#include <QApplication>
#include <QTest>

#include "about/AboutDialog.h"
#include "about/LinkLabel.h"
#include "tests/about/LinkFakes.h"
#include "tests/links/DesktopSandbox.h"

namespace vistrel {

class AboutLinksTest : public QObject {
    Q_OBJECT

  public:
    explicit AboutLinksTest(const DesktopSandbox& desktop) : sandbox(desktop) {}

  private slots:
    void clickingALinkStartsItsHandler_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("target");
        QTest::newRow("homepage") << "webLink"
                                  << "http://vistrel.example.org/";
        QTest::newRow("e-mail") << "mailLink"
                                << "mailto:vistrel@example.org";
    }

    void clickingALinkStartsItsHandler() {
        QFETCH(QString, link);
        QFETCH(QString, target);
        QVERIFY(sandbox.IsValid());
        sandbox.ForgetRecording();
        FakeErrorReporter reporter;
        AboutDialog dialog(reporter);
        auto* label = dialog.findChild<LinkLabel*>(link);
        QVERIFY(label);
        label->UseServices(DesktopLinkOpener(), reporter, reporter);

        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY2(reporter.told.isEmpty(), qPrintable(reporter.told.join('|')));
        QVERIFY(sandbox.WaitForRecording());
        QCOMPARE(sandbox.RecordedArguments(), QStringList{target});
    }

    // No handler for the scheme, and the default for HTML is a plain-text editor (offered because
    // HTML is a kind of plain text): the link fails as unassociated and is not marked visited.
    void linkWithoutAFittingHandlerFailsAndIsNotVisited() {
        QVERIFY(sandbox.IsValid());
        sandbox.ForgetRecording();
        FakeErrorReporter reporter;
        AboutDialog dialog(reporter);
        auto* label = dialog.findChild<LinkLabel*>("webLink");
        QVERIFY(label);
        label->UseServices(DesktopLinkOpener(), reporter, reporter);
        const auto textColour = [&] { return label->palette().color(QPalette::WindowText); };
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(sandbox.WaitForRecording());
        QCOMPARE(textColour(), QColor(85, 26, 139));
        sandbox.ForgetRecording();

        label->SetLinkUrl("x-vistrel-unhandled:page");
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(reporter.told, QStringList({"(beep)",
                                             "Unable to open hyperlink:\n\nThere is no "
                                             "application associated\nwith the given "
                                             "filename extension."}));
        QCOMPARE(textColour(), QColor(0, 0, 238));
        QVERIFY(!sandbox.WaitForRecording());
    }

  private:
    const DesktopSandbox& sandbox;
};

}  // namespace vistrel

int main(int argc, char** argv) {
    vistrel::DesktopSandbox sandbox;
    sandbox.SetRecorderDefault("x-scheme-handler/http", "%u");
    sandbox.SetRecorderDefault("x-scheme-handler/mailto", "%u");
    sandbox.DeclareSubclass("text/html", "text/plain");
    sandbox.SetRecorderDefault("text/plain", "%u");
    sandbox.ApplyToThisProcess();
    QApplication app(argc, argv);
    vistrel::AboutLinksTest test(sandbox);
    return QTest::qExec(&test, argc, argv);
}

#include "AboutLinksTest.moc"
