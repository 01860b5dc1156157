// The About icon as the running viewer has it.
#include <QTest>

#include "about/AboutDialog.h"
#include "about/AboutIcon.h"
#include "tests/about/NextWindow.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerServices.h"

namespace vistrel {
namespace {

class QuietServices final : public ViewerServices {
  public:
    void Beep() override {}
    std::int64_t ClockSeconds() override { return 1765432109; }
};

}  // namespace

class ViewerAboutTest : public QObject {
    Q_OBJECT

  private slots:
    void iconNamesTheViewerAndShowsTheHand() {
        QuietServices services;
        ViewerDialog viewer(services);
        auto* icon = viewer.findChild<AboutIcon*>("aboutIcon");
        QVERIFY(icon);
        QCOMPARE(icon->toolTip(), QStringLiteral("关于Vistrel"));
        QCOMPARE(icon->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!icon->pixmap().isNull());
    }

    void clickingTheIconOpensTheAboutBoxOverTheRunningViewer() {
        QuietServices services;
        ViewerDialog viewer(services);
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
};

}  // namespace vistrel

QTEST_MAIN(vistrel::ViewerAboutTest)
#include "ViewerAboutTest.moc"
