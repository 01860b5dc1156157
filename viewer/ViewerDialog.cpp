#include "viewer/ViewerDialog.h"

#include <QAction>
#include <QTimerEvent>

// The form places the About icon (about/) beside the buttons; Bind() below hands it this
// dialog's beep.
#include "about/AboutIcon.h"
#include "actions/BackgroundActions.h"
#include "actions/PictureActions.h"
#include "desktop/IdleInhibitor.h"
#include "res/ProgramIcon.h"
#include "scene/Picture.h"
#include "ui_ViewerDialog.h"
#include "userfiles/Favourites.h"
#include "viewer/FullScreenPicture.h"
#include "viewer/ViewerServices.h"

namespace vistrel {
namespace {

constexpr int ShortestIntervalSeconds = 1;
constexpr int LongestIntervalSeconds = 10;
constexpr int FirstIntervalSeconds = 2;
constexpr int MillisecondsPerSecond = 1000;

// An ordinary application window, listed in the taskbar, that can be minimised but not resized.
constexpr Qt::WindowFlags MainWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

}  // namespace

ViewerDialog::ViewerDialog(ViewerServices& services, Favourites& favourites, QWidget* parent)
    : QDialog(parent, MainWindowFlags),
      ui(std::make_unique<Ui::ViewerDialog>()),
      services(services),
      fullScreen(new FullScreenPicture(this)),
      favourites(favourites),
      idleInhibitor(new IdleInhibitor(this)),
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
    connect(this, &QDialog::finished, idleInhibitor, &IdleInhibitor::Release);

    favouriteAction =
        PictureActions::Add(this, PictureAction::Favourite, &ViewerDialog::ToggleFavourite);
    connect(&favourites, &Favourites::Changed, this, &ViewerDialog::UpdateFavouriteAction);
    QList<QAction*> pictureActions = {
        PictureActions::Add(this, PictureAction::Copy, &ViewerDialog::CopyPicture),
        PictureActions::Add(this, PictureAction::Save, &ViewerDialog::AskWhereToSave),
        PictureActions::Add(this, PictureAction::ShowSeed, &ViewerDialog::AskForSeed),
        AddShortcutAction(this, tr("Full Screen"), QKeySequence(Qt::Key_F11),
                          &ViewerDialog::ToggleFullScreen),
    };
    backgroundActions = std::make_unique<BackgroundActions>(
        this,
        [this]() -> std::optional<std::uint32_t> {
            if (!ui->picture->Bitmap()) {
                return std::nullopt;
            }
            return shownSeed;
        },
        [this] { return DialogOwner(); });
    pictureActions += backgroundActions->Actions();
    pictureActions += {
        favouriteAction,
        AddShortcutAction(this, tr("Gallery\u2026"), QKeySequence(Qt::CTRL | Qt::Key_L),
                          &ViewerDialog::OpenGallery),
    };
    ui->picture->addActions(pictureActions);
    ui->picture->setContextMenuPolicy(Qt::ActionsContextMenu);
    AddShortcutAction(this, tr("Next"), QKeySequence(Qt::Key_PageDown),
                      &ViewerDialog::NextIfEnabled);
    AddShortcutAction(this, tr("Previous"), QKeySequence(Qt::Key_PageUp), &ViewerDialog::Previous);
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
    idleInhibitor->Hold();
}

void ViewerDialog::Stop() {
    SetManualControlsEnabled(true);
    KillSlideShowTimer();
    ui->stopButton->setEnabled(false);
    idleInhibitor->Release();
}

void ViewerDialog::ShowScene() {
    const std::uint32_t seed = SeedOfScene(runSeed, sceneIndex);
    ShowRenderedPicture(seed, tr("Scene %1 \u00b7 seed %2").arg(sceneIndex).arg(seed));
}

void ViewerDialog::ShowSeed(std::uint32_t seed) {
    ShowRenderedPicture(seed, tr("Seed %1").arg(seed));
}

void ViewerDialog::ShowRenderedPicture(std::uint32_t seed, const QString& name) {
    const Rect area{0, 0, ui->picture->width(), ui->picture->height()};
    if (!ui->picture->SetBitmap(PictureOfSeed(seed, area))) {
        return;
    }
    shownSeed = seed;
    UpdateFavouriteAction();
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
    if (const SceneBitmap* bitmap = ui->picture->Bitmap()) {
        PictureActions::Copy(*bitmap, shownSeed);
    }
}

bool ViewerDialog::SavePicture(const QString& path, int scale) {
    const SceneBitmap* bitmap = ui->picture->Bitmap();
    return bitmap && PictureActions::Save(*bitmap, path, scale, DialogOwner());
}

void ViewerDialog::AskWhereToSave() {
    if (const SceneBitmap* bitmap = ui->picture->Bitmap()) {
        PictureActions::AskWhereToSave(*bitmap, shownSeed, DialogOwner());
    }
}

void ViewerDialog::AskForSeed() {
    if (const auto seed = PictureActions::AskForSeed(shownSeed, DialogOwner())) {
        ShowSeed(*seed);
    }
}

void ViewerDialog::ToggleFavourite() {
    if (ui->picture->Bitmap()) {
        favourites.Toggle(shownSeed);
    }
    UpdateFavouriteAction();
}

void ViewerDialog::UpdateFavouriteAction() {
    favouriteAction->setChecked(ui->picture->Bitmap() && favourites.Contains(shownSeed));
}

void ViewerDialog::OpenGallery() {
    emit GalleryRequested(shownSeed);
}

void ViewerDialog::ShowSeedInFront(std::uint32_t seed) {
    ShowSeed(seed);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
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
