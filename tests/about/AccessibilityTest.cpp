// What a screen reader learns of the controls through Qt's accessibility layer; the AT-SPI test
// checks the same through the desktop's bus.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

#include "about/AboutDialog.h"
#include "about/AboutIcon.h"
#include "about/LinkLabel.h"
#include "tests/about/LinkFakes.h"
#include "tests/viewer/ViewerTestSupport.h"
#include "userfiles/Favourites.h"
#include "viewer/Accessibility.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerServices.h"

namespace vistrel {
class AccessibilityTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallAccessibility(); }

    void controlsHaveRolesNamesAndActions_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("pressable");
        QTest::newRow("interval") << "viewer"
                                  << "intervalSpin" << int{QAccessible::SpinBox} << "Interval"
                                  << "" << false;
        QTest::newRow("picture") << "viewer"
                                 << "picture" << int{QAccessible::Graphic}
                                 << "Scene 1 \u00b7 seed %1"
                                 << "" << false;
        QTest::newRow("About icon") << "viewer"
                                    << "aboutIcon" << int{QAccessible::Button}
                                    << QStringLiteral("关于Vistrel") << "" << true;
        QTest::newRow("Next") << "viewer"
                              << "nextButton" << int{QAccessible::Button} << "Next"
                              << "" << true;
        QTest::newRow("program icon") << "about"
                                      << "programIcon" << int{QAccessible::Graphic} << "Vistrel"
                                      << "" << false;
        QTest::newRow("e-mail link")
            << "about"
            << "mailLink" << int{QAccessible::Link} << "vistrel@example.org"
            << "mailto:vistrel@example.org" << true;
        // Its target is its text: said once.
        QTest::newRow("homepage link")
            << "about"
            << "webLink" << int{QAccessible::Link} << "http://vistrel.example.org/"
            << "" << true;
    }

    void controlsHaveRolesNamesAndActions() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, description);
        QFETCH(bool, pressable);
        test::FakeViewerServices services{1765432109};
        vistrel::Favourites favourites;
        ViewerDialog viewer(services, favourites);
        FakeErrorReporter desktop;
        AboutDialog about(desktop);
        viewer.show();
        QTRY_COMPARE(viewer.SceneIndex(), 1u);
        const QWidget& shown = window == "viewer" ? static_cast<QWidget&>(viewer) : about;
        QWidget* widget = shown.findChild<QWidget*>(control);
        QVERIFY(widget);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QCOMPARE(int{accessible->role()}, role);
        QCOMPARE(accessible->text(QAccessible::Name),
                 name.contains("%1") ? name.arg(viewer.ShownSeed()) : name);
        QCOMPARE(accessible->text(QAccessible::Description), description);
        QAccessibleActionInterface* actions = accessible->actionInterface();
        const QStringList names = actions ? actions->actionNames() : QStringList();
        QCOMPARE(names.contains(QAccessibleActionInterface::pressAction()), pressable);
    }

    void pressingTheLinkOpensItAsAClickDoesWithoutWaiting() {
        FakeErrorReporter desktop;
        AboutDialog about(desktop);
        FakeLinkOpener opener;
        auto* link = about.findChild<LinkLabel*>("mailLink");
        link->UseServices(opener, desktop, desktop);
        QAccessible::queryAccessibleInterface(link)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        // The action returns at once and the link opens from the event loop.
        QVERIFY(opener.opened.empty());
        QTRY_COMPARE(opener.opened, std::vector<std::string>{"mailto:vistrel@example.org"});
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(85, 26, 139));
    }
};

}  // namespace vistrel

QTEST_MAIN(vistrel::AccessibilityTest)
#include "AccessibilityTest.moc"
