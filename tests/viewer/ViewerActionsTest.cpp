#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <optional>

#include <sys/resource.h>

#include <csignal>

#include "images/CrispImage.h"
#include "scene/ScreenFit.h"
#include "tests/support/Limits.h"
#include "tests/viewer/ViewerFixture.h"
#include "viewer/FullScreenPicture.h"
#include "viewer/ScenePicture.h"
#include "viewer/ViewerDialog.h"

using vistrel::FullScreenPicture;
using vistrel::SceneBitmap;
using namespace vistrel::test;

namespace {

constexpr QSize Frame(vistrel::PictureWidth, vistrel::PictureHeight);

using vistrel::SeedOfScene;

// The seed's picture at the size of the viewer's picture control.
std::unique_ptr<SceneBitmap> RenderSeed(std::uint32_t seed) {
    const QSize size = ViewerFixture::PictureSize;
    return vistrel::PictureOfSeed(seed, {0, 0, size.width(), size.height()});
}

// Runs `handle` on the modal window of that type once a nested event loop shows it, looking for
// it every few milliseconds for a second: some dialogs run the event loop while they are built.
template <typename Window, typename Handle>
void HandleNextModal(Handle handle, int attemptsLeft = 100) {
    QTimer::singleShot(10, [handle, attemptsLeft] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            handle(window);
        } else if (attemptsLeft > 0) {
            HandleNextModal<Window>(handle, attemptsLeft - 1);
        }
    });
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

}  // namespace

class ViewerActionsTest : public ViewerFixture {
    Q_OBJECT

  private:
    FullScreenPicture* FullScreen() const { return dialog->findChild<FullScreenPicture*>(); }

    void GoToScene(std::uint32_t k) {
        while (dialog->SceneIndex() < k) {
            Press("nextButton");
        }
    }

    // Empty when the picture on show is that of the seed, in its bitmap and on screen.
    QString SeedDifference(std::uint32_t seed) const {
        const auto expected = RenderSeed(seed);
        const SceneBitmap* shown = Picture()->Bitmap();
        if (!shown || shown->pixels != expected->pixels) {
            return QStringLiteral("the bitmap is not that of seed %1").arg(seed);
        }
        return FirstDifference(Picture()->grab().toImage(),
                               ExpectedPicture(expected.get(), PictureSize, 1));
    }

    void CheckShown(std::uint32_t seed, const QString& name) const {
        QCOMPARE(dialog->ShownSeed(), seed);
        QCOMPARE(Picture()->toolTip(), name);
        QCOMPARE(Picture()->accessibleName(), name);
        const QString difference = SeedDifference(seed);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    static QString SceneName(std::uint32_t k, std::uint32_t seed) {
        return QStringLiteral("Scene %1 \u00b7 seed %2").arg(k).arg(seed);
    }

  private slots:
    void cleanup() { Close(); }

    void copyPutsTheFrameAndItsSeedOnTheClipboard_data() {
        QTest::addColumn<quint32>("scene");
        QTest::addColumn<int>("shownSeed");
        QTest::addColumn<QString>("focused");
        QTest::newRow("scene 1") << quint32{1} << -1 << "nextButton";
        QTest::newRow("scene 4, from the interval") << quint32{4} << -1 << "intervalSpin";
        QTest::newRow("a seed shown") << quint32{2} << 20877 << "previousButton";
        QTest::newRow("the largest seed") << quint32{1} << 32767 << "autoButton";
    }

    void copyPutsTheFrameAndItsSeedOnTheClipboard() {
        QFETCH(quint32, scene);
        QFETCH(int, shownSeed);
        QFETCH(QString, focused);
        Open();
        GoToScene(scene);
        std::uint32_t seed = SeedOfScene(dialog->RunSeed(), scene);
        CheckShown(seed, SceneName(scene, seed));
        if (shownSeed >= 0) {
            seed = static_cast<std::uint32_t>(shownSeed);
            dialog->ShowSeed(seed);
            CheckShown(seed, QStringLiteral("Seed %1").arg(seed));
        }
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        Control<QWidget>(qPrintable(focused))->setFocus();

        QTest::keyClick(dialog->focusWidget(), Qt::Key_C, Qt::ControlModifier);

        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(), QStringLiteral("Vistrel seed %1").arg(seed));
        const auto image = qvariant_cast<QImage>(data->imageData());
        const QString difference =
            FirstDifference(image, ExpectedPicture(RenderSeed(seed).get(), Frame, 1));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void aSavedFileHoldsExactlyThePicturesPixels_data() {
        QTest::addColumn<int>("scale");
        QTest::addColumn<bool>("replacing");
        QTest::newRow("1x, a new file") << 1 << false;
        QTest::newRow("3x, over an existing file") << 3 << true;
        QTest::newRow("8x") << 8 << false;
    }

    void aSavedFileHoldsExactlyThePicturesPixels() {
        QFETCH(int, scale);
        QFETCH(bool, replacing);
        Open();
        GoToScene(2);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("picture.png"));
        if (replacing) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("an older and much longer file than the new one will be", 55);
        }

        QVERIFY(dialog->SavePicture(path, scale));

        QCOMPARE(FilesIn(folder.path()), QStringList{QStringLiteral("picture.png")});
        const QImage saved(path, "PNG");
        QCOMPARE(saved.format(), QImage::Format_Indexed8);
        const QString difference = FirstDifference(
            saved, ExpectedPicture(RenderSeed(dialog->ShownSeed()).get(), Frame, scale));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void enterInTheSaveDialogSavesTheNamedFileAtItsOwnSize() {
        Open();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("typed.png"));
        QString offeredName;
        HandleNextModal<QFileDialog>([&](QFileDialog* asking) {
            offeredName = QFileInfo(asking->selectedFiles().value(0)).fileName();
            auto* name = asking->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            // Set rather than typed: typing opens the name completer, which would take the Enter.
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::keyClick(dialog->focusWidget(), Qt::Key_S, Qt::ControlModifier);

        QCOMPARE(offeredName, QStringLiteral("vistrel-%1.png").arg(dialog->ShownSeed()));
        const QString difference = FirstDifference(
            QImage(path, "PNG"), ExpectedPicture(RenderSeed(dialog->ShownSeed()).get(), Frame, 1));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // Being root, the tests cannot rely on permissions: each place fails for another reason. A
    // file-size limit stands for a full disk: at 1x the whole file fits the write buffer, so the
    // failure only shows when the buffer is flushed.
    void aFailedSaveLeavesNothingAndSaysWhy_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("scale");
        QTest::addColumn<rlim_t>("sizeLimit");
        const rlim_t none = RLIM_INFINITY;
        QTest::newRow("a folder that does not exist") << "missing/picture.png" << 1 << none;
        QTest::newRow("under a regular file") << "plain.txt/picture.png" << 1 << none;
        QTest::newRow("a file system that takes no new files")
            << "/proc/vistrel-picture.png" << 1 << none;
        QTest::newRow("a full disk, 1x") << "picture.png" << 1 << rlim_t{100};
        QTest::newRow("a full disk, 8x") << "picture.png" << 8 << rlim_t{100};
    }

    void aFailedSaveLeavesNothingAndSaysWhy() {
        QFETCH(QString, place);
        QFETCH(int, scale);
        QFETCH(rlim_t, sizeLimit);
        Open();
        QTemporaryDir folder;
        QFile plain(folder.filePath(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const QString path = QDir(folder.path()).absoluteFilePath(place);

        QString title;
        QString text;
        QWidget* owner = nullptr;
        HandleNextModal<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            owner = box->parentWidget();
            box->accept();
        });
        {
            const FileSizeCap cap(sizeLimit);
            QVERIFY(!dialog->SavePicture(path, scale));
        }

        QCOMPARE(owner, dialog.get());
        QCOMPARE(title, QCoreApplication::applicationName());
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(FilesIn(folder.path()), QStringList{QStringLiteral("plain.txt")});
    }

    void showSeedShowsItAndNextGoesOnWithTheSeries_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("a seed") << "12345" << quint32{12345};
        QTest::newRow("zero") << "0" << quint32{0};
        QTest::newRow("the largest") << "32767" << quint32{32767};
        QTest::newRow("a fifth digit past the range is refused") << "99999" << quint32{9999};
        QTest::newRow("no minus sign") << "-7" << quint32{7};
    }

    void showSeedShowsItAndNextGoesOnWithTheSeries() {
        QFETCH(QString, typed);
        QFETCH(quint32, seed);
        Open();
        GoToScene(3);
        HandleNextModal<QInputDialog>([typed](QInputDialog* asking) {
            auto* box = asking->findChild<QSpinBox*>();
            box->selectAll();
            QTest::keyClicks(box, typed);
            asking->accept();
        });
        QTest::keyClick(dialog->focusWidget(), Qt::Key_G, Qt::ControlModifier);

        QCOMPARE(dialog->SceneIndex(), 3u);
        CheckShown(seed, QStringLiteral("Seed %1").arg(seed));

        Press("nextButton");
        QCOMPARE(dialog->SceneIndex(), 4u);
        const std::uint32_t fourth = SeedOfScene(dialog->RunSeed(), 4);
        CheckShown(fourth, SceneName(4, fourth));
    }

    void pageKeysFollowTheButtonsRules_data() {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<bool>("slideShow");
        QTest::addColumn<quint32>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<quint32>("to");
        QTest::addColumn<int>("beeps");
        const int down = Qt::Key_PageDown;
        const int up = Qt::Key_PageUp;
        QTest::newRow("down on Next") << "nextButton" << false << 1u << down << 2u << 0;
        QTest::newRow("down on the interval") << "intervalSpin" << false << 2u << down << 3u << 0;
        QTest::newRow("up on the interval") << "intervalSpin" << false << 3u << up << 2u << 0;
        QTest::newRow("up on Previous") << "previousButton" << false << 2u << up << 1u << 0;
        QTest::newRow("up at scene 1 beeps") << "nextButton" << false << 1u << up << 1u << 1;
        QTest::newRow("down in the slide show") << "stopButton" << true << 2u << down << 2u << 0;
        QTest::newRow("up in the slide show") << "stopButton" << true << 2u << up << 1u << 0;
    }

    void pageKeysFollowTheButtonsRules() {
        QFETCH(QString, focused);
        QFETCH(bool, slideShow);
        QFETCH(quint32, from);
        QFETCH(int, key);
        QFETCH(quint32, to);
        QFETCH(int, beeps);
        Open();
        GoToScene(from);
        if (slideShow) {
            Press("autoButton");
        }
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        Control<QWidget>(qPrintable(focused))->setFocus();

        QTest::keyClick(dialog->focusWidget(), static_cast<Qt::Key>(key));

        QCOMPARE(dialog->SceneIndex(), to);
        QCOMPARE(services->beeps, beeps);
        QCOMPARE(Control<QSpinBox>("intervalSpin")->value(), 2);
        const std::uint32_t seed = SeedOfScene(dialog->RunSeed(), to);
        CheckShown(seed, SceneName(to, seed));
    }

    void theContextMenuOffersThePicturesActions() {
        Open();
        QCOMPARE(Picture()->contextMenuPolicy(), Qt::ActionsContextMenu);
        QStringList entries;
        for (const QAction* action : Picture()->actions()) {
            QVERIFY(action->isShortcutVisibleInContextMenu());
            entries << action->text() + '\t' + action->shortcut().toString();
        }
        QCOMPARE(entries, (QStringList{"Copy\tCtrl+C", "Save Picture\u2026\tCtrl+S",
                                       "Show Seed\u2026\tCtrl+G", "Full Screen\tF11",
                                       "Set as Desktop Background\tCtrl+B",
                                       "Set Across All Screens\tCtrl+Shift+B",
                                       "Set as Lock Screen Background\tCtrl+Alt+B",
                                       "Change Background Automatically\u2026\t",
                                       "Favourite\tCtrl+D", "Gallery\u2026\tCtrl+L"}));
    }

    void fullScreenTakesKeysAndLeavesTheWindowAsItWas_data() {
        QTest::addColumn<bool>("byDoubleClick");
        QTest::addColumn<int>("leaveKey");
        QTest::newRow("F11 in, F11 out") << false << int{Qt::Key_F11};
        QTest::newRow("double-click in, Escape out") << true << int{Qt::Key_Escape};
    }

    void fullScreenTakesKeysAndLeavesTheWindowAsItWas() {
        QFETCH(bool, byDoubleClick);
        QFETCH(int, leaveKey);
        Open();
        Control<QSpinBox>("intervalSpin")->setValue(10);
        Press("autoButton");
        const QRect geometry = dialog->geometry();
        if (byDoubleClick) {
            QTest::mouseDClick(Picture(), Qt::LeftButton);
        } else {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_F11);
        }
        QVERIFY(QTest::qWaitForWindowExposed(FullScreen()));
        QVERIFY(FullScreen()->isFullScreen());

        // The slide show runs on, and Page Up works there.
        Tick();
        QCOMPARE(dialog->SceneIndex(), 2u);
        QTest::keyClick(FullScreen(), Qt::Key_PageUp);
        QCOMPARE(dialog->SceneIndex(), 1u);
        const QImage shown = FullScreen()->grab().toImage();
        QTest::keyClick(FullScreen(), Qt::Key_PageDown);  // Next is off in the slide show
        QCOMPARE(dialog->SceneIndex(), 1u);
        QCOMPARE(FullScreen()->grab().toImage(), shown);
        dialog->ShowSeed(777);
        QVERIFY(FullScreen()->grab().toImage() != shown);

        const QSignalSpy finished(dialog.get(), &QDialog::finished);
        QTest::keyClick(FullScreen(), static_cast<Qt::Key>(leaveKey));

        QVERIFY(!FullScreen()->isVisible());
        QVERIFY(dialog->isVisible());
        QCOMPARE(finished.count(), 0);
        QCOMPARE(dialog->geometry(), geometry);
        QVERIFY(dialog->TimerId() != 0);
    }

    void fullScreenScaleIsTheLargestWholeOneThatFits_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("scale");
        QTest::newRow("1280 x 1024") << QSize(1280, 1024) << 2;
        QTest::newRow("1920 x 1080") << QSize(1920, 1080) << 3;
        QTest::newRow("3840 x 2160") << QSize(3840, 2160) << 6;
        QTest::newRow("a tall 1080 x 1920") << QSize(1080, 1920) << 1;
        QTest::newRow("just 2x") << QSize(1140, 380) << 2;
        QTest::newRow("a pixel short of 2x high") << QSize(1140, 379) << 1;
        QTest::newRow("a wide strip, limited by height") << QSize(9000, 400) << 2;
        QTest::newRow("too small even for 1x") << QSize(320, 240) << 1;
        QTest::newRow("no screen at all") << QSize(0, 0) << 1;
    }

    void fullScreenScaleIsTheLargestWholeOneThatFits() {
        QFETCH(QSize, screen);
        QFETCH(int, scale);
        QCOMPARE(
            vistrel::FitOnScreen(Frame.width(), Frame.height(), screen.width(), screen.height())
                .scale,
            scale);
    }
};

QTEST_MAIN(ViewerActionsTest)
#include "ViewerActionsTest.moc"
