#include "ViewerDialog.h"

#include <QTimerEvent>

#include "ProgramIcon.h"
#include "SceneBitmap.h"
#include "ViewerServices.h"
#include "ui_ViewerDialog.h"

namespace vistrel {
namespace {

constexpr int ShortestIntervalSeconds = 1;
constexpr int LongestIntervalSeconds = 10;
constexpr int FirstIntervalSeconds = 2;
constexpr int MillisecondsPerSecond = 1000;

}  // namespace

ViewerDialog::ViewerDialog(ViewerServices& services, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::ViewerDialog>()),
      services(services),
      runSeed(static_cast<std::uint32_t>(services.ClockSeconds())) {
    ui->setupUi(this);
    setWindowIcon(ProgramIcon());
    ui->aboutIcon->Bind();
    ui->intervalSpin->setRange(ShortestIntervalSeconds, LongestIntervalSeconds);
    ui->intervalSpin->setValue(FirstIntervalSeconds);

    connect(ui->nextButton, &QPushButton::clicked, this, &ViewerDialog::Next);
    connect(ui->previousButton, &QPushButton::clicked, this, &ViewerDialog::Previous);
    connect(ui->autoButton, &QPushButton::clicked, this, &ViewerDialog::Auto);
    connect(ui->stopButton, &QPushButton::clicked, this, &ViewerDialog::Stop);

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
    const Rect area{0, 0, ui->picture->width(), ui->picture->height()};
    ui->picture->SetBitmap(RenderSceneBitmap(area, rng));
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

}  // namespace vistrel
