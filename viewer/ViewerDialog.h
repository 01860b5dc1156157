#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

#include "SceneRng.h"

namespace Ui {
class ViewerDialog;
}

namespace vistrel {

class ViewerServices;

// The main window: steps through the run's numbered series of scenes by hand (Next, Previous)
// or by a slide-show timer (Auto, Stop), and shows the current one in its picture.
class ViewerDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ViewerDialog(ViewerServices& services, QWidget* parent = nullptr);
    ~ViewerDialog() override;

    // The clock reading that fixes this run's series.
    std::uint32_t RunSeed() const { return runSeed; }
    // The number of the scene on show, counted from 1; 0 until the first scene is painted.
    std::uint32_t SceneIndex() const { return sceneIndex; }
    // The id of the slide-show timer, 0 when none runs.
    int TimerId() const { return timerId; }

  protected:
    // Every tick asks for the next scene, queued like a press of Next.
    void timerEvent(QTimerEvent* event) override;

  private:
    void PostNext();
    void Next();
    void Previous();
    void Auto();
    void Stop();
    void ShowScene();
    void SetManualControlsEnabled(bool enabled);
    void KillSlideShowTimer();

    std::unique_ptr<Ui::ViewerDialog> ui;
    ViewerServices& services;
    // The program's one scene random source: seeded afresh for every scene shown.
    SceneRng rng;
    int timerId = 0;
    const std::uint32_t runSeed;
    std::uint32_t sceneIndex = 0;
};

}  // namespace vistrel
