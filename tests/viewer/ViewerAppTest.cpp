#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "ScenePicture.h"
#include "ViewerApp.h"
#include "ViewerDialog.h"

using vistrel::ViewerApp;
using vistrel::ViewerDialog;

namespace {

// What was on screen while the application ran.
struct Observed {
    bool modalViewer = false;
    QString title;
    bool sceneOneShown = false;
};

}  // namespace

class ViewerAppTest : public QObject {
    Q_OBJECT

  public:
    explicit ViewerAppTest(ViewerApp& app) : app(app) {}

  private:
    ViewerApp& app;

  private slots:
    void theNameIsTheProgramFilesNotArgvZeros() {
        QCOMPARE(ViewerApp::applicationName(), QStringLiteral("viewer_app_tests"));
    }

    void runShowsOneModalViewerAndReturnsWhenItCloses_data() {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("Escape") << false;
        QTest::newRow("the close box") << true;
    }

    void runShowsOneModalViewerAndReturnsWhenItCloses() {
        QFETCH(bool, byCloseBox);
        Observed observed;
        QTimer::singleShot(0, [&observed, byCloseBox] {
            auto* viewer = qobject_cast<ViewerDialog*>(QApplication::activeModalWidget());
            if (!viewer) {
                return;
            }
            observed.modalViewer = viewer->isModal() && viewer->isVisible();
            observed.title = viewer->windowTitle();
            observed.sceneOneShown =
                QTest::qWaitFor([viewer] { return viewer->SceneIndex() == 1; }) &&
                viewer->findChild<vistrel::ScenePicture*>()->Bitmap() != nullptr;
            if (byCloseBox) {
                viewer->close();
            } else {
                QTest::keyClick(viewer, Qt::Key_Escape);
            }
        });

        QCOMPARE(app.Run(), EXIT_SUCCESS);

        QVERIFY(observed.modalViewer);
        QCOMPARE(observed.title, QStringLiteral("Vistrel"));
        QVERIFY(observed.sceneOneShown);
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            QVERIFY(!qobject_cast<const ViewerDialog*>(window));
        }
    }
};

int main(int argc, char** argv) {
    // Message boxes must not take their caption from a name the program was started under.
    char startedAs[] = "some-other-name";
    char* arguments[] = {startedAs, nullptr};
    int count = 1;
    ViewerApp app(count, arguments);
    ViewerAppTest test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "ViewerAppTest.moc"
