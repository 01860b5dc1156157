#pragma once

#include <QDialog>
#include <QKeySequence>
#include <cstdint>
#include <memory>

namespace Ui {
class ViewerDialog;
}

namespace vistrel {

class BackgroundActions;
class Favourites;
class FullScreenPicture;
class IdleInhibitor;
class ViewerServices;

// The main window: steps through the run's numbered series of scenes by hand (Next, Previous)
// or by a slide-show timer (Auto, Stop), and shows the current one in its picture. The picture
// on show can be copied, saved as a PNG, marked as a favourite, shown full screen and made the
// desktop's background, and any scene seed can be shown. The favourites are the program's, shared
// with the gallery.
class ViewerDialog : public QDialog {
    Q_OBJECT

  public:
    ViewerDialog(ViewerServices& services, Favourites& favourites, QWidget* parent = nullptr);
    ~ViewerDialog() override;

    // The clock reading that fixes this run's series.
    std::uint32_t RunSeed() const { return runSeed; }
    // The number of the scene on show, counted from 1; 0 until the first scene is painted.
    std::uint32_t SceneIndex() const { return sceneIndex; }
    // The scene seed of the picture on show.
    std::uint32_t ShownSeed() const { return shownSeed; }
    // The id of the slide-show timer, 0 when none runs.
    int TimerId() const { return timerId; }

    // Puts the picture on the clipboard, as an image of its frame and as text naming its seed.
    void CopyPicture();
    // Saves the picture's frame as a PNG enlarged `scale` times; a failure is shown in a message
    // box and leaves no file behind. Returns whether the file was written.
    bool SavePicture(const QString& path, int scale);
    // Shows the picture of a scene seed 0..32767 without changing the scene number, so Next and
    // Previous go on with the series from where it was.
    void ShowSeed(std::uint32_t seed);
    void SetFullScreen(bool on);
    // Asks for the gallery, with the picture on show selected.
    void OpenGallery();
    // Shows a seed as ShowSeed does, and brings the viewer to the front.
    void ShowSeedInFront(std::uint32_t seed);

  signals:
    void GalleryRequested(std::uint32_t shownSeed);

  protected:
    // Every tick asks for the next scene, queued like a press of Next.
    void timerEvent(QTimerEvent* event) override;

  private:
    void PostNext();
    void Next();
    void NextIfEnabled();
    void Previous();
    void Auto();
    void Stop();
    void ShowScene();
    // Renders the seed's picture at the picture control's size and, if that succeeds, puts it
    // on show under `name`.
    void ShowRenderedPicture(std::uint32_t seed, const QString& name);
    void SetManualControlsEnabled(bool enabled);
    void KillSlideShowTimer();
    void AskWhereToSave();
    void AskForSeed();
    void ToggleFullScreen();
    void ToggleFavourite();
    void UpdateFavouriteAction();
    // The window in front: where dialogs and message boxes belong.
    QWidget* DialogOwner();

    std::unique_ptr<Ui::ViewerDialog> ui;
    ViewerServices& services;
    FullScreenPicture* fullScreen;
    // Making the picture the background of every monitor, of all together or of the lock screen.
    std::unique_ptr<BackgroundActions> backgroundActions;
    Favourites& favourites;
    QAction* favouriteAction = nullptr;
    // Keeps the screen awake while the slide show runs.
    IdleInhibitor* idleInhibitor;
    int timerId = 0;
    const std::uint32_t runSeed;
    std::uint32_t sceneIndex = 0;
    std::uint32_t shownSeed = 0;
};

}  // namespace vistrel
