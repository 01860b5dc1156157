#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdlib>

#include "actions/SavePictureDialog.h"
#include "app/ViewerApp.h"
#include "viewer/ScenePicture.h"
#include "viewer/ViewerDialog.h"

using vistrel::ViewerApp;
using vistrel::ViewerDialog;

namespace {

// What was on screen while the application ran.
struct Observed {
    bool normalWindow = false;
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
        QCOMPARE(ViewerApp::applicationName(), QStringLiteral("app_application_tests"));
    }

    // Closing a save dialog makes Qt record its history in the user's settings.
    void aSaveDialogLeavesNoSettingsBehind() {
        const QString userConfig = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
        QVERIFY(QDir(userConfig).isEmpty());
        delete new vistrel::SavePictureDialog(1, nullptr);
        QVERIFY2(QDir(userConfig).isEmpty(), qPrintable(userConfig));
    }

    void runShowsTheViewerAsAMainWindowAndReturnsWhenItCloses_data() {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("Escape") << false;
        QTest::newRow("the close box") << true;
    }

    void runShowsTheViewerAsAMainWindowAndReturnsWhenItCloses() {
        QFETCH(bool, byCloseBox);
        Observed observed;
        QTimer::singleShot(0, [&observed, byCloseBox] {
            const QWidgetList windows = QApplication::topLevelWidgets();
            const auto viewerAt = std::find_if(windows.begin(), windows.end(), [](QWidget* w) {
                return qobject_cast<ViewerDialog*>(w) && w->isVisible();
            });
            if (viewerAt == windows.end()) {
                return;
            }
            auto* viewer = qobject_cast<ViewerDialog*>(*viewerAt);
            // An ordinary window of its own, as the taskbar lists it, that can be minimised.
            const Qt::WindowFlags flags = viewer->windowFlags();
            observed.normalWindow = viewer->windowType() == Qt::Window && !viewer->isModal() &&
                                    !QApplication::activeModalWidget() &&
                                    flags.testFlag(Qt::WindowMinimizeButtonHint) &&
                                    flags.testFlag(Qt::WindowCloseButtonHint) &&
                                    viewer->windowHandle()->transientParent() == nullptr;
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

        QVERIFY(observed.normalWindow);
        QCOMPARE(observed.title, QStringLiteral("Vistrel"));
        QVERIFY(observed.sceneOneShown);
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            QVERIFY(!qobject_cast<const ViewerDialog*>(window));
        }
    }
};

int main(int argc, char** argv) {
    // An empty settings folder of the user's, to see that nothing lands in it.
    QTemporaryDir userConfig;
    qputenv("XDG_CONFIG_HOME", userConfig.path().toLocal8Bit());
    // Message boxes must not take their caption from a name the program was started under.
    char startedAs[] = "some-other-name";
    char* arguments[] = {startedAs, nullptr};
    int count = 1;
    ViewerApp app(count, arguments);
    ViewerAppTest test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "ViewerAppTest.moc"
