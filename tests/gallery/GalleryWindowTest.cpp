#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QHelpEvent>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "app/ProgramWindows.h"
#include "gallery/GalleryView.h"
#include "gallery/GalleryWindow.h"
#include "gallery/Thumbnail.h"
#include "images/CrispImage.h"
#include "scene/Picture.h"
#include "tests/support/Files.h"
#include "tests/viewer/ViewerFixture.h"
#include "userfiles/Favourites.h"

using vistrel::GalleryView;
using vistrel::GalleryWindow;
using vistrel::SceneBitmap;
using namespace vistrel::test;

namespace {

constexpr int LastSeed = 32767;

// Closes every message box that shows while it lives, and counts them.
class MessageBoxCounter {
  public:
    MessageBoxCounter() {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++count;
                box->done(QMessageBox::Ok);
            }
        });
        poll.start(5);
    }
    int count = 0;

  private:
    QTimer poll;
};

}  // namespace

class GalleryWindowTest : public ViewerFixture {
    Q_OBJECT

  private:
    void Compose() override {
        windows = std::make_unique<vistrel::ProgramWindows>(*dialog, *favourites);
    }
    void Decompose() override { windows.reset(); }
    GalleryWindow* Gallery() const { return windows->Gallery(); }
    GalleryView* View() const { return Gallery()->View(); }
    QString FavouritesPath() const {
        return dataHome->filePath(QStringLiteral("vistrel/favourites"));
    }

    // Opens the viewer showing `seed`, then the gallery with Ctrl+L.
    void OpenGallery(std::uint32_t seed) {
        Open();
        dialog->ShowSeed(seed);
        ViewerKey(Qt::Key_L, Qt::ControlModifier);
        QVERIFY(Gallery());
        QVERIFY(QTest::qWaitForWindowExposed(Gallery()));
    }

    // A key pressed in the gallery, or in the viewer, each brought to the front first as the
    // user's click would: shortcuts go to the active window.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Activate(Gallery());
        QTest::keyClick(View(), key, modifiers);
    }
    void ViewerKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Activate(dialog.get());
        QTest::keyClick(dialog.get(), key, modifiers);
    }
    static void Activate(QWidget* window) {
        if (QApplication::activeWindow() != window) {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
        }
    }

    QRect SelectedCellInViewport() const {
        const auto seed = View()->SelectedSeed();
        const auto& seeds = View()->Seeds();
        const auto index = std::lower_bound(seeds.begin(), seeds.end(), *seed) - seeds.begin();
        return View()->Grid().CellRect(static_cast<int>(index)).translated(-View()->ScrollOffset());
    }

  private slots:
    void initTestCase() {
        dataHome = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", dataHome->path().toLocal8Bit());
    }
    void cleanup() {
        Close();
        QFile::remove(FavouritesPath());
    }

    void opensOnThePictureOnShowWithItsThumbnailCrisp() {
        OpenGallery(20877);
        QCOMPARE(Gallery()->windowTitle(), QStringLiteral("Vistrel Gallery"));
        QCOMPARE(View()->SelectedSeed(), std::optional<std::uint32_t>(20877));
        QCOMPARE(View()->accessibleName(), QStringLiteral("Seed 20877"));
        QTRY_VERIFY(View()->ViewComplete());

        const QRect cell = SelectedCellInViewport();
        QVERIFY(View()->viewport()->rect().contains(cell));
        const qreal ratio = View()->devicePixelRatioF();
        const QImage shown = View()->viewport()->grab().toImage();
        // At a fractional ratio the last column and row are only partly the thumbnail's.
        const QImage whole = vistrel::ThumbnailImage(*vistrel::PictureOfSeed(20877), ratio);
        const QImage expected =
            whole.copy(0, 0, static_cast<int>(285 * ratio), static_cast<int>(95 * ratio));
        const QImage thumbnail =
            shown.copy(QRect((QPointF(cell.topLeft()) * ratio).toPoint(), expected.size()));
        const QString difference = FirstDifference(thumbnail, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));

        QHelpEvent help(QEvent::ToolTip, cell.center(),
                        View()->viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(View()->viewport(), &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("Seed 20877"));
    }

    void keysMoveTheSelectionAndKeepItInView_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        // The expected move, in single steps, rows and pages.
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("right") << 100 << int(Qt::Key_Right) << 1 << 0 << 0;
        QTest::newRow("left at the first") << 0 << int(Qt::Key_Left) << 0 << 0 << 0;
        QTest::newRow("right at the last") << LastSeed << int(Qt::Key_Right) << 0 << 0 << 0;
        QTest::newRow("down") << 100 << int(Qt::Key_Down) << 0 << 1 << 0;
        QTest::newRow("up in the first row") << 1 << int(Qt::Key_Up) << 0 << 0 << 0;
        QTest::newRow("up") << 30000 << int(Qt::Key_Up) << 0 << -1 << 0;
        QTest::newRow("down in the last row") << LastSeed << int(Qt::Key_Down) << 0 << 0 << 0;
        QTest::newRow("page down") << 0 << int(Qt::Key_PageDown) << 0 << 0 << 1;
        QTest::newRow("page up") << 20000 << int(Qt::Key_PageUp) << 0 << 0 << -1;
        QTest::newRow("home") << 20000 << int(Qt::Key_Home) << -20000 << 0 << 0;
        QTest::newRow("end") << 7 << int(Qt::Key_End) << LastSeed - 7 << 0 << 0;
    }

    void keysMoveTheSelectionAndKeepItInView() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, steps);
        QFETCH(int, rows);
        QFETCH(int, pages);
        OpenGallery(static_cast<std::uint32_t>(from));
        const int columns = View()->Grid().Columns();
        QVERIFY(columns > 1);
        const int page = columns * View()->Grid().RowsIn(View()->viewport()->height());

        Key(static_cast<Qt::Key>(key));

        const int expected = from + steps + rows * columns + pages * page;
        QCOMPARE(View()->SelectedSeed(), std::optional<std::uint32_t>(expected));
        QVERIFY(View()->viewport()->rect().contains(SelectedCellInViewport()));
    }

    void enterOrADoubleClickShowsTheSeedInTheViewer_data() {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("Enter") << false;
        QTest::newRow("double-click") << true;
    }

    void enterOrADoubleClickShowsTheSeedInTheViewer() {
        QFETCH(bool, doubleClick);
        OpenGallery(500);
        const std::uint32_t scene = dialog->SceneIndex();
        Key(Qt::Key_Right);
        if (doubleClick) {
            QTest::mouseDClick(View()->viewport(), Qt::LeftButton, {},
                               SelectedCellInViewport().center());
        } else {
            Key(Qt::Key_Return);
        }
        QCOMPARE(dialog->ShownSeed(), 501u);
        QCOMPARE(Picture()->toolTip(), QStringLiteral("Seed 501"));
        QCOMPARE(dialog->SceneIndex(), scene);
        QVERIFY(Gallery()->isVisible());
        Press("nextButton");
        QCOMPARE(dialog->SceneIndex(), scene + 1);
    }

    void copyTakesTheSelectedSeedsPicture() {
        OpenGallery(7);
        Key(Qt::Key_Down);
        const std::uint32_t seed = *View()->SelectedSeed();
        Key(Qt::Key_C, Qt::ControlModifier);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(), QStringLiteral("Vistrel seed %1").arg(seed));
        const auto picture = vistrel::PictureOfSeed(seed);
        const QString difference = FirstDifference(qvariant_cast<QImage>(data->imageData()),
                                                   ExpectedPicture(picture.get(), {570, 190}, 1));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // The background actions take the selected seed; a desktop whose lock screen shows the
    // desktop background has the lock screen's action disabled, saying why.
    void theBackgroundActionsTakeTheSelectedSeed() {
        qputenv("XDG_CURRENT_DESKTOP", "XFCE");
        OpenGallery(7);
        qputenv("XDG_CURRENT_DESKTOP", "");
        const QList<QAction*> actions = View()->actions();
        const auto lockScreen = std::find_if(actions.begin(), actions.end(), [](QAction* a) {
            return a->shortcut() == QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B);
        });
        QVERIFY(lockScreen != actions.end());
        QVERIFY(!(*lockScreen)->isEnabled());
        QVERIFY(!(*lockScreen)->toolTip().isEmpty());

        Key(Qt::Key_Right);
        Key(Qt::Key_B, Qt::ControlModifier);
        // No desktop reached here, so the picture is left in the backgrounds folder.
        const QDir backgrounds(dataHome->filePath(QStringLiteral("backgrounds")));
        QTRY_COMPARE(backgrounds.entryList({QStringLiteral("vistrel-8-*.png")}).size(), 1);
    }

    // Marks from both windows land in one file, in the order made; the gallery's filter follows.
    void favouritesFromBothWindowsAndTheFilter() {
        OpenGallery(300);
        Key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(View()->accessibleName(), QStringLiteral("Seed 300 \u2605"));
        dialog->ShowSeed(12000);
        ViewerKey(Qt::Key_D, Qt::ControlModifier);
        View()->Select(7);
        Key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(ReadFile(FavouritesPath()), QByteArray("300\n12000\n7\n"));

        Activate(Gallery());
        QTest::keyClick(Gallery(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(Gallery()->findChild<QCheckBox*>()->isChecked());
        QCOMPARE(View()->Seeds(), (std::vector<std::uint32_t>{7, 300, 12000}));
        QCOMPARE(View()->SelectedSeed(), std::optional<std::uint32_t>(7));

        Key(Qt::Key_Right);
        Key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(View()->Seeds(), (std::vector<std::uint32_t>{7, 12000}));
        QCOMPARE(View()->SelectedSeed(), std::optional<std::uint32_t>(12000));
        QCOMPARE(ReadFile(FavouritesPath()), QByteArray("12000\n7\n"));

        // The viewer's picture is not a favourite: opening the gallery on it shows all seeds.
        dialog->ShowSeed(1);
        ViewerKey(Qt::Key_L, Qt::ControlModifier);
        QVERIFY(!Gallery()->findChild<QCheckBox*>()->isChecked());
        QCOMPARE(View()->SelectedSeed(), std::optional<std::uint32_t>(1));
    }

    // Being root, the test cannot take permissions away: a regular file in the data folder's
    // place cannot be written under, a folder in the file's place cannot be read.
    void aFileThatFailsGivesOneMessageAndTheMarksStay_data() {
        QTest::addColumn<QString>("dataFolder");
        QTest::addColumn<bool>("folderInTheFilesPlace");
        QTest::newRow("a file where the data folder should be") << "plain" << false;
        QTest::newRow("a folder where the file should be") << "data" << true;
    }

    void aFileThatFailsGivesOneMessageAndTheMarksStay() {
        QFETCH(QString, dataFolder);
        QFETCH(bool, folderInTheFilesPlace);
        QTemporaryDir home;
        const QString folder = home.filePath(dataFolder);
        if (folderInTheFilesPlace) {
            QVERIFY(QDir().mkpath(folder + QStringLiteral("/vistrel/favourites/kept")));
        } else {
            QFile plain(folder);
            QVERIFY(plain.open(QIODevice::WriteOnly));
        }
        qputenv("XDG_DATA_HOME", folder.toLocal8Bit());
        MessageBoxCounter messages;
        OpenGallery(40);
        qputenv("XDG_DATA_HOME", dataHome->path().toLocal8Bit());
        Key(Qt::Key_D, Qt::ControlModifier);
        Key(Qt::Key_Right);
        Key(Qt::Key_D, Qt::ControlModifier);
        dialog->ShowSeed(42);
        ViewerKey(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(messages.count, 1);
        for (const std::uint32_t seed : {40u, 41u, 42u}) {
            QVERIFY(favourites->Contains(seed));
        }
        QCOMPARE(QFileInfo(folder + QStringLiteral("/vistrel/favourites/kept")).isDir(),
                 folderInTheFilesPlace);
    }

    void showSeedSelectsTheSeedTyped_data() {
        QTest::addColumn<bool>("favouritesOnly");
        QTest::newRow("all seeds") << false;
        QTest::newRow("favourites only, and the seed is not one") << true;
    }

    void showSeedSelectsTheSeedTyped() {
        QFETCH(bool, favouritesOnly);
        OpenGallery(3);
        Key(Qt::Key_D, Qt::ControlModifier);
        Gallery()->findChild<QCheckBox*>()->setChecked(favouritesOnly);
        QTimer asking;
        QObject::connect(&asking, &QTimer::timeout, [] {
            if (auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                input->setIntValue(31000);
                input->accept();
            }
        });
        asking.start(5);
        Key(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(View()->SelectedSeed(), std::optional<std::uint32_t>(31000));
        QVERIFY(!Gallery()->findChild<QCheckBox*>()->isChecked());
        QVERIFY(View()->viewport()->rect().contains(SelectedCellInViewport()));
    }

    void slivers4KAndAThousandTripsToTheEnd() {
        OpenGallery(0);
        // 4K in device pixels, whatever the scale.
        const qreal ratio = Gallery()->devicePixelRatioF();
        for (const QSize size : {QSize(40, 30), QSize(3840, 2160) / ratio, QSize(300, 4000)}) {
            Gallery()->resize(size);
            QCoreApplication::processEvents();
            QVERIFY(View()->viewport()->rect().intersects(SelectedCellInViewport()));
        }
        Gallery()->resize(1240, 760);
        for (int trip = 0; trip < 1000; ++trip) {
            Key(trip % 2 == 0 ? Qt::Key_End : Qt::Key_Home);
            View()->viewport()->repaint();
            QCoreApplication::processEvents();
        }
        QCOMPARE(View()->SelectedSeed(), std::optional<std::uint32_t>(0));
        QCOMPARE(View()->verticalScrollBar()->value(), 0);
        QTRY_VERIFY(View()->ViewComplete());
    }

  private:
    std::unique_ptr<QTemporaryDir> dataHome;
    std::unique_ptr<vistrel::ProgramWindows> windows;
};

QTEST_MAIN(GalleryWindowTest)
#include "GalleryWindowTest.moc"
