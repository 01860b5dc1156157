#include "viewer/ViewerDialog.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QTimerEvent>

// The form places the About icon (about/) beside the buttons; Bind() below hands it this
// dialog's beep.
#include "about/AboutIcon.h"
#include "res/ProgramIcon.h"
#include "scene/RenderSceneBitmap.h"
#include "ui_ViewerDialog.h"
#include "viewer/CrispImage.h"
#include "viewer/FullScreenPicture.h"
#include "viewer/PictureFile.h"
#include "viewer/SavePictureDialog.h"
#include "viewer/ViewerServices.h"

namespace vistrel {
namespace {

constexpr int ShortestIntervalSeconds = 1;
constexpr int LongestIntervalSeconds = 10;
constexpr int FirstIntervalSeconds = 2;
constexpr int MillisecondsPerSecond = 1000;
constexpr int LargestSceneSeed = 32767;

// An ordinary application window, listed in the taskbar, that can be minimised but not resized.
constexpr Qt::WindowFlags MainWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

}  // namespace

ViewerDialog::ViewerDialog(ViewerServices& services, QWidget* parent)
    : QDialog(parent, MainWindowFlags),
      ui(std::make_unique<Ui::ViewerDialog>()),
      services(services),
      fullScreen(new FullScreenPicture(this)),
      runSeed(static_cast<std::uint32_t>(services.ClockSeconds())) {
    ui->setupUi(this);
    setWindowIcon(ProgramIcon());
    fullScreen->setWindowTitle(windowTitle());
    ui->aboutIcon->Bind(services);
    ui->intervalSpin->setRange(ShortestIntervalSeconds, LongestIntervalSeconds);
    ui->intervalSpin->setValue(FirstIntervalSeconds);
    ui->intervalSpin->setAccessibleName(tr("Interval"));

    connect(ui->nextButton, &QPushButton::clicked, this, &ViewerDialog::Next);
    connect(ui->previousButton, &QPushButton::clicked, this, &ViewerDialog::Previous);
    connect(ui->autoButton, &QPushButton::clicked, this, &ViewerDialog::Auto);
    connect(ui->stopButton, &QPushButton::clicked, this, &ViewerDialog::Stop);

    const QList<QAction*> pictureActions = {
        AddAction(tr("Copy"), QKeySequence::Copy, &ViewerDialog::CopyPicture),
        AddAction(tr("Save Picture\u2026"), QKeySequence(Qt::CTRL | Qt::Key_S),
                  &ViewerDialog::AskWhereToSave),
        AddAction(tr("Show Seed\u2026"), QKeySequence(Qt::CTRL | Qt::Key_G),
                  &ViewerDialog::AskForSeed),
        AddAction(tr("Full Screen"), QKeySequence(Qt::Key_F11), &ViewerDialog::ToggleFullScreen),
    };
    ui->picture->addActions(pictureActions);
    ui->picture->setContextMenuPolicy(Qt::ActionsContextMenu);
    AddAction(tr("Next"), QKeySequence(Qt::Key_PageDown), &ViewerDialog::NextIfEnabled);
    AddAction(tr("Previous"), QKeySequence(Qt::Key_PageUp), &ViewerDialog::Previous);
    fullScreen->addActions(actions());

    connect(ui->picture, &ScenePicture::DoubleClicked, this, [this] { SetFullScreen(true); });
    connect(fullScreen, &FullScreenPicture::LeaveRequested, this, [this] { SetFullScreen(false); });

    // Queued, so the first scene is painted once the window is on screen.
    PostNext();
    ui->nextButton->setFocus();
}

ViewerDialog::~ViewerDialog() {
    KillSlideShowTimer();
}

QAction* ViewerDialog::AddAction(const QString& text, const QKeySequence& shortcut,
                                 void (ViewerDialog::*handler)()) {
    auto* action = new QAction(text, this);
    action->setShortcut(shortcut);
    action->setShortcutVisibleInContextMenu(true);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
    return action;
}

void ViewerDialog::timerEvent(QTimerEvent* event) {
    PostNext();
    QDialog::timerEvent(event);
}

void ViewerDialog::PostNext() {
    QMetaObject::invokeMethod(this, &ViewerDialog::Next, Qt::QueuedConnection);
}

void ViewerDialog::Next() {
    ++sceneIndex;
    ShowScene();
}

void ViewerDialog::NextIfEnabled() {
    if (ui->nextButton->isEnabled()) {
        Next();
    }
}

void ViewerDialog::Previous() {
    if (sceneIndex <= 1) {
        services.Beep();
        return;
    }
    --sceneIndex;
    ShowScene();
}

void ViewerDialog::Auto() {
    const int interval = ui->intervalSpin->value() * MillisecondsPerSecond;
    ui->stopButton->setEnabled(true);
    SetManualControlsEnabled(false);
    timerId = startTimer(interval);
}

void ViewerDialog::Stop() {
    SetManualControlsEnabled(true);
    KillSlideShowTimer();
    ui->stopButton->setEnabled(false);
}

void ViewerDialog::ShowScene() {
    SceneSeed(rng, runSeed, sceneIndex);
    ShowRenderedPicture(tr("Scene %1 \u00b7 seed %2").arg(sceneIndex).arg(rng.State()));
}

void ViewerDialog::ShowSeed(std::uint32_t seed) {
    rng.Seed(seed);
    ShowRenderedPicture(tr("Seed %1").arg(seed));
}

void ViewerDialog::ShowRenderedPicture(const QString& name) {
    const std::uint32_t seed = rng.State();
    const Rect area{0, 0, ui->picture->width(), ui->picture->height()};
    if (!ui->picture->SetBitmap(RenderSceneBitmap(area, rng))) {
        return;
    }
    shownSeed = seed;
    ui->picture->setToolTip(name);
    ui->picture->setAccessibleName(name);
    if (fullScreen->isVisible()) {
        fullScreen->SetBitmap(*ui->picture->Bitmap());
    }
}

void ViewerDialog::SetManualControlsEnabled(bool enabled) {
    ui->nextButton->setEnabled(enabled);
    ui->autoButton->setEnabled(enabled);
    ui->intervalSpin->setEnabled(enabled);
}

void ViewerDialog::KillSlideShowTimer() {
    if (timerId != 0) {
        killTimer(timerId);
        timerId = 0;
    }
}

void ViewerDialog::CopyPicture() {
    const SceneBitmap* bitmap = ui->picture->Bitmap();
    if (!bitmap) {
        return;
    }
    const QRect frame = FrameArea(*bitmap);
    auto* data = new QMimeData;
    data->setImageData(CrispImage(*bitmap, frame, frame.size()));
    data->setText(QStringLiteral("Vistrel seed %1").arg(shownSeed));
    QGuiApplication::clipboard()->setMimeData(data);
}

bool ViewerDialog::SavePicture(const QString& path, int scale) {
    const SceneBitmap* bitmap = ui->picture->Bitmap();
    if (!bitmap) {
        return false;
    }
    const QString failure = SavePicturePng(FramePixels(*bitmap), path, scale);
    if (failure.isEmpty()) {
        return true;
    }
    QMessageBox::warning(DialogOwner(), QCoreApplication::applicationName(),
                         tr("The picture could not be saved as %1: %2")
                             .arg(QDir::toNativeSeparators(path), failure));
    return false;
}

void ViewerDialog::AskWhereToSave() {
    if (!ui->picture->Bitmap()) {
        return;
    }
    SavePictureDialog dialog(shownSeed, DialogOwner());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        SavePicture(dialog.selectedFiles().constFirst(), dialog.Scale());
    }
}

void ViewerDialog::AskForSeed() {
    bool accepted = false;
    const int seed =
        QInputDialog::getInt(DialogOwner(), tr("Show Seed"), tr("Scene seed (0 to 32767):"),
                             static_cast<int>(shownSeed), 0, LargestSceneSeed, 1, &accepted);
    if (accepted) {
        ShowSeed(static_cast<std::uint32_t>(seed));
    }
}

void ViewerDialog::ToggleFullScreen() {
    SetFullScreen(!fullScreen->isVisible());
}

void ViewerDialog::SetFullScreen(bool on) {
    if (on == fullScreen->isVisible() || !ui->picture->Bitmap()) {
        return;
    }
    if (on) {
        fullScreen->ShowOn(screen(), *ui->picture->Bitmap());
    } else {
        fullScreen->hide();
        activateWindow();
    }
}

QWidget* ViewerDialog::DialogOwner() {
    return fullScreen->isVisible() ? static_cast<QWidget*>(fullScreen) : this;
}

}  // namespace vistrel
