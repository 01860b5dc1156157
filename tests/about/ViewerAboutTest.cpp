// The About icon as the running viewer has it.
#include <QTest>

#include "about/AboutDialog.h"
#include "about/AboutIcon.h"
#include "tests/about/NextWindow.h"
#include "tests/viewer/ViewerTestSupport.h"
#include "userfiles/Favourites.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerServices.h"

namespace vistrel {
class ViewerAboutTest : public QObject {
    Q_OBJECT

  private slots:
    void iconNamesTheViewerAndShowsTheHand() {
        test::FakeViewerServices services{1765432109};
        vistrel::Favourites favourites;
        ViewerDialog viewer(services, favourites);
        auto* icon = viewer.findChild<AboutIcon*>("aboutIcon");
        QVERIFY(icon);
        QCOMPARE(icon->toolTip(), QStringLiteral("关于Vistrel"));
        QCOMPARE(icon->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!icon->pixmap().isNull());
    }

    void clickingTheIconOpensTheAboutBoxOverTheRunningViewer() {
        test::FakeViewerServices services{1765432109};
        vistrel::Favourites favourites;
        ViewerDialog viewer(services, favourites);
        QWidget* aboutOwner = nullptr;
        bool aboutModal = false;
        QWidget* modalAfterAbout = nullptr;
        HandleNextWindow<ViewerDialog>([&](ViewerDialog* running) {
            HandleNextWindow<AboutDialog>([&](AboutDialog* about) {
                aboutOwner = about->parentWidget();
                aboutModal = QApplication::activeModalWidget() == about;
                about->reject();
            });
            QTest::mouseClick(running->findChild<AboutIcon*>("aboutIcon"), Qt::LeftButton);
            modalAfterAbout = QApplication::activeModalWidget();
            running->reject();
        });
        viewer.exec();
        QCOMPARE(aboutOwner, &viewer);
        QVERIFY(aboutModal);
        QCOMPARE(modalAfterAbout, &viewer);
    }

    // The icon sits in the tab order where it stands in the row: after the interval, before
    // Previous (Stop, disabled, is passed over).
    void tabReachesTheIconAfterTheInterval() {
        test::FakeViewerServices services{1765432109};
        vistrel::Favourites favourites;
        ViewerDialog viewer(services, favourites);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QCOMPARE(viewer.focusWidget()->objectName(), QString("nextButton"));
        QStringList reached;
        for (int press = 0; press < 5; ++press) {
            QTest::keyClick(viewer.focusWidget(), Qt::Key_Tab);
            reached << viewer.focusWidget()->objectName();
        }
        QCOMPARE(reached, QStringList({"autoButton", "intervalSpin", "aboutIcon", "previousButton",
                                       "nextButton"}));
    }

    void spaceOrEnterOnTheIconOpensTheAboutBox_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int{Qt::Key_Space};
        QTest::newRow("Return") << int{Qt::Key_Return};
        QTest::newRow("keypad Enter") << int{Qt::Key_Enter};
    }

    void spaceOrEnterOnTheIconOpensTheAboutBox() {
        QFETCH(int, key);
        test::FakeViewerServices services{1765432109};
        vistrel::Favourites favourites;
        ViewerDialog viewer(services, favourites);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QTRY_COMPARE(viewer.SceneIndex(), 1u);
        auto* icon = viewer.findChild<AboutIcon*>("aboutIcon");
        icon->setFocus(Qt::TabFocusReason);
        bool opened = false;
        HandleNextWindow<AboutDialog>([&](AboutDialog* about) {
            opened = true;
            about->reject();
        });
        const Qt::KeyboardModifiers modifiers =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(icon, static_cast<Qt::Key>(key), modifiers);
        QVERIFY(opened);
        // The key went to the icon alone: Enter did not also press Next.
        QCOMPARE(viewer.SceneIndex(), 1u);
    }
};

}  // namespace vistrel

QTEST_MAIN(vistrel::ViewerAboutTest)
#include "ViewerAboutTest.moc"
