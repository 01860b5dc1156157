#include <QAbstractEventDispatcher>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimerEvent>

#include "scene/Picture.h"
#include "tests/support/Limits.h"
#include "tests/viewer/ViewerFixture.h"
#include "viewer/ScenePicture.h"
#include "viewer/ViewerDialog.h"

using vistrel::SceneBitmap;
using namespace vistrel::test;

class ViewerDialogTest : public ViewerFixture {
    Q_OBJECT

  private:
    QSpinBox* Interval() const { return Control<QSpinBox>("intervalSpin"); }

    QList<QAbstractEventDispatcher::TimerInfo> Timers() const {
        return QAbstractEventDispatcher::instance()->registeredTimers(dialog.get());
    }

    // Empty when the picture on show is scene k of the dialog's run, bitmap and screen alike.
    QString SceneDifference(std::uint32_t k) const {
        const auto expected =
            vistrel::PictureOfSeed(vistrel::SeedOfScene(dialog->RunSeed(), k),
                                   {0, 0, PictureSize.width(), PictureSize.height()});
        const SceneBitmap* shown = Picture()->Bitmap();
        if (!shown) {
            return QStringLiteral("no bitmap on show");
        }
        if (shown->width != expected->width || shown->height != expected->height ||
            shown->pixels != expected->pixels) {
            return QStringLiteral("the bitmap is not scene %1").arg(k);
        }
        return FirstDifference(Picture()->grab().toImage(),
                               ExpectedPicture(expected.get(), PictureSize, 1));
    }

    void CheckScene(std::uint32_t k) const {
        QCOMPARE(dialog->SceneIndex(), k);
        const QString difference = SceneDifference(k);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

  private slots:
    void cleanup() { Close(); }

    void startUpShowsSceneOneOfTheClocksRun_data() {
        QTest::addColumn<qint64>("clock");
        QTest::addColumn<quint32>("runSeed");
        QTest::newRow("a date in 2025") << qint64{Clock} << quint32{1765432109};
        QTest::newRow("past 2106: the low 32 bits") << qint64{0x1'2345'6789} << quint32{0x23456789};
        QTest::newRow("the epoch") << qint64{0} << quint32{0};
    }

    void startUpShowsSceneOneOfTheClocksRun() {
        QFETCH(qint64, clock);
        QFETCH(quint32, runSeed);
        services = std::make_unique<FakeViewerServices>(clock);
        favourites = std::make_unique<vistrel::Favourites>();
        dialog = std::make_unique<vistrel::ViewerDialog>(*services, *favourites);
        QCOMPARE(dialog->RunSeed(), runSeed);
        QCOMPARE(dialog->SceneIndex(), 0u);
        QVERIFY(!Picture()->Bitmap());

        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTRY_COMPARE(dialog->SceneIndex(), 1u);
        CheckScene(1);
        QCOMPARE(services->clockReadings, 1);
    }

    void previousAtSceneOneBeepsAndChangesNothing() {
        Open();
        const SceneBitmap* shown = Picture()->Bitmap();
        for (int beeps = 1; beeps <= 2; ++beeps) {
            Press("previousButton");
            QCOMPARE(services->beeps, beeps);
            QCOMPARE(dialog->SceneIndex(), 1u);
            QCOMPARE(Picture()->Bitmap(), shown);
        }
    }

    void previousThenNextShowsTheSameSceneAgain() {
        Open();
        for (int i = 0; i < 4; ++i) {
            Press("nextButton");
        }
        CheckScene(5);
        const std::vector<vistrel::ColourIndex> sceneFive = Picture()->Bitmap()->pixels;

        Press("previousButton");
        CheckScene(4);
        Press("nextButton");
        CheckScene(5);
        QCOMPARE(Picture()->Bitmap()->pixels, sceneFive);
        QCOMPARE(services->beeps, 0);
        QCOMPARE(services->clockReadings, 1);
    }

    void autoAndStopSwitchTheControls() {
        Open();
        const auto enabled = [this] {
            QString states;
            for (const char* name :
                 {"previousButton", "nextButton", "autoButton", "stopButton", "intervalSpin"}) {
                states += Control<QWidget>(name)->isEnabled() ? '1' : '0';
            }
            return states;
        };
        QCOMPARE(enabled(), QStringLiteral("11101"));
        QCOMPARE(dialog->TimerId(), 0);

        Press("autoButton");
        QCOMPARE(enabled(), QStringLiteral("10010"));
        QVERIFY(dialog->TimerId() != 0);
        QCOMPARE(Timers().size(), 1);
        QCOMPARE(Timers().front().timerId, dialog->TimerId());

        Press("stopButton");
        QCOMPARE(enabled(), QStringLiteral("11101"));
        QCOMPARE(dialog->TimerId(), 0);
        QVERIFY(Timers().isEmpty());
    }

    void theIntervalIsReadWhenAutoIsPressed_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("the start value, then 3") << 2 << 3;
        QTest::newRow("the bounds") << 1 << 10;
    }

    void theIntervalIsReadWhenAutoIsPressed() {
        QFETCH(int, first);
        QFETCH(int, second);
        Open();
        QCOMPARE(Interval()->value(), 2);
        for (const int seconds : {first, second}) {
            Interval()->setValue(seconds);
            Press("autoButton");
            QCOMPARE(Timers().size(), 1);
            QCOMPARE(Timers().front().interval, seconds * 1000);
            Press("stopButton");
        }
    }

    void aTickBehavesExactlyLikeNext() {
        Open();
        Interval()->setValue(10);
        Press("autoButton");
        QTimerEvent tick(dialog->TimerId());
        QCoreApplication::sendEvent(dialog.get(), &tick);
        QCOMPARE(dialog->SceneIndex(), 1u);  // the tick only posts the Next
        QCoreApplication::sendPostedEvents();
        CheckScene(2);
        Tick();
        CheckScene(3);
        QVERIFY(dialog->TimerId() != 0);
    }

    void previousDuringAutoGoesBackAndTheNextTickMovesOn() {
        Open();
        Press("nextButton");
        Press("nextButton");
        const std::vector<vistrel::ColourIndex> sceneThree = Picture()->Bitmap()->pixels;
        Interval()->setValue(10);
        Press("autoButton");

        Press("previousButton");
        CheckScene(2);
        Tick();
        CheckScene(3);
        QCOMPARE(Picture()->Bitmap()->pixels, sceneThree);
    }

    void aFailedRenderKeepsThePictureButTheNumberMoves() {
        Open();
        const SceneBitmap* shown = Picture()->Bitmap();
        Picture()->setFixedSize(0, 0);  // nothing can be rendered for an empty area
        Press("nextButton");
        QCOMPARE(dialog->SceneIndex(), 2u);
        QCOMPARE(Picture()->Bitmap(), shown);

        Picture()->setFixedSize(PictureSize);
        Press("nextButton");
        CheckScene(3);
    }

    void hundredsOfNextsKeepOneBitmapAlive() {
        constexpr int Presses = 300;
        Open();
        for (int i = 0; i < 10; ++i) {
            Press("nextButton");
        }
        const std::int64_t before = HeapBytesInUse();
        for (int i = 0; i < Presses; ++i) {
            Press("nextButton");
        }
        const std::int64_t growth = HeapBytesInUse() - before;

        CheckScene(11 + Presses);
        // Every bitmap kept would add 570 x 206 bytes, about 35 MB in all.
        const std::int64_t bitmapBytes = PictureSize.width() * PictureSize.height();
        QVERIFY2(growth < 10 * bitmapBytes, qPrintable(QString::number(growth)));
    }
};

QTEST_MAIN(ViewerDialogTest)
#include "ViewerDialogTest.moc"
