#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/Files.h"
#include "tests/viewer/ViewerFixture.h"
#include "viewer/FullScreenPicture.h"

using namespace vistrel::test;

// The viewer's Set as Desktop Background on a desktop that offers no way to set it (no session
// bus, no desktop named; see CMakeLists.txt): the image is saved and a message says where.
class ViewerBackgroundTest : public ViewerFixture {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(dataHome.isValid());
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    }

    void cleanup() { Close(); }

    void savesWhatFullScreenShowsAndSaysWhere_data() {
        QTest::addColumn<QString>("from");
        QTest::newRow("Ctrl+B in the window") << "window";
        QTest::newRow("the picture's menu") << "menu";
        QTest::newRow("Ctrl+B in full screen") << "full screen";
    }

    void savesWhatFullScreenShowsAndSaysWhere() {
        QFETCH(QString, from);
        constexpr std::uint32_t Seed = 20877;
        Open();
        dialog->ShowSeed(Seed);
        auto* fullScreen = dialog->findChild<vistrel::FullScreenPicture*>();
        if (from == u"full screen") {
            dialog->SetFullScreen(true);
            QVERIFY(QTest::qWaitForWindowExposed(fullScreen));
            QTest::keyClick(fullScreen, Qt::Key_B, Qt::ControlModifier);
        } else if (from == u"menu") {
            const QList<QAction*> menu = Picture()->actions();
            const auto set = std::find_if(menu.begin(), menu.end(), [](QAction* action) {
                return action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_B);
            });
            QVERIFY(set != menu.end());
            QCOMPARE((*set)->text(), QStringLiteral("Set as Desktop Background"));
            (*set)->trigger();
        } else {
            QTest::keyClick(dialog.get(), Qt::Key_B, Qt::ControlModifier);
        }

        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = dialog->findChild<QMessageBox*>()) != nullptr);
        const QSize screen = dialog->screen()->size() * dialog->screen()->devicePixelRatio();
        const QString file = QDir(dataHome.filePath(QStringLiteral("backgrounds")))
                                 .filePath(QStringLiteral("vistrel-%1-%2x%3.png")
                                               .arg(Seed)
                                               .arg(screen.width())
                                               .arg(screen.height()));
        QCOMPARE(box->icon(), QMessageBox::Information);
        QVERIFY2(box->text().contains(file), qPrintable(box->text()));
        QCOMPARE(box->parentWidget(),
                 from == u"full screen" ? static_cast<QWidget*>(fullScreen) : dialog.get());
        box->accept();

        dialog->SetFullScreen(true);
        QVERIFY(QTest::qWaitForWindowExposed(fullScreen));
        const QString difference = FirstDifference(QImage(file), fullScreen->grab().toImage());
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // On two monitors, the second at 200 %, each gets the file made for its own device pixels,
    // found by the name Qt gives its screen; across all screens, each its part.
    void everyScreenGetsItsOwnFile_data() {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QStringList>("sizes");
        QTest::newRow("Ctrl+B") << Qt::KeyboardModifiers(Qt::ControlModifier)
                                << QStringList{"1920x1080.png", "2560x1440.png"};
        QTest::newRow("Ctrl+Shift+B")
            << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)
            << QStringList{"1920x1080-", "2560x1440-"};
    }

    void everyScreenGetsItsOwnFile() {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QStringList, sizes);
        if (QGuiApplication::screens().size() != 2) {
            QSKIP("runs on the two-monitors screens");
        }
        QTemporaryDir record;
        const QString log = record.filePath(QStringLiteral("xfconf.log"));
        qputenv("XFCONF_QUERY_LOG", QFile::encodeName(log));
        qputenv("XDG_CURRENT_DESKTOP", "XFCE");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", VISTREL_TEST_FAKES ":" + path);
        constexpr std::uint32_t Seed = 7;
        Open();
        dialog->ShowSeed(Seed);
        QTest::keyClick(dialog.get(), Qt::Key_B, modifiers);
        const auto imageOf = [&log](const QString& monitor) {
            const QRegularExpression set(
                QStringLiteral(
                    "monitor%1/workspace0/last-image --create --type string --set (\\S+)")
                    .arg(monitor));
            return set.match(QString::fromUtf8(ReadFile(log))).captured(1);
        };
        // The last call made, and the stand-in's process given the moment it takes to end.
        QTRY_VERIFY(ReadFile(log).contains("monitorright/workspace0/image-style"));
        QTest::qWait(100);
        qputenv("PATH", path);
        qputenv("XDG_CURRENT_DESKTOP", "");
        const QStringList monitors = {QStringLiteral("left"), QStringLiteral("right")};
        for (qsizetype i = 0; i < monitors.size(); ++i) {
            const QString file = QFileInfo(imageOf(monitors[i])).fileName();
            QVERIFY2(file.startsWith(QStringLiteral("vistrel-7-") + sizes[i]), qPrintable(file));
        }
    }

  private:
    QTemporaryDir dataHome;
};

QTEST_MAIN(ViewerBackgroundTest)
#include "ViewerBackgroundTest.moc"
