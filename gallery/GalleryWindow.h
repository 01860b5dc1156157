#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

class QAction;
class QCheckBox;

namespace vistrel {

class BackgroundActions;
class Favourites;
class GalleryView;
struct SceneBitmap;

// The gallery: every scene seed in order, or only the favourites, as thumbnails in a grid that
// fills the window's width. Enter or a double-click asks for the selected seed to be shown in
// the viewer; the gallery stays open.
class GalleryWindow : public QWidget {
    Q_OBJECT

  public:
    explicit GalleryWindow(Favourites& favourites, QWidget* parent = nullptr);
    ~GalleryWindow() override;

    // Shows and raises the window with the seed selected and in view; if only favourites are
    // shown and the seed is not one, all seeds are shown again.
    void Open(std::uint32_t seed);
    GalleryView* View() const { return view; }

  signals:
    void ShowRequested(std::uint32_t seed);

  private:
    void ShowSeeds();
    void SelectSeed(std::uint32_t seed);
    void ShowSelected();
    void CopySelected();
    void SaveSelected();
    void ToggleFavourite();
    void AskForSeed();
    void UpdateFavouriteAction();
    // The selected seed's picture, as the viewer renders it; none without a selection.
    std::unique_ptr<SceneBitmap> SelectedPicture() const;

    Favourites& favourites;
    QCheckBox* favouritesOnly;
    GalleryView* view;
    QAction* favouriteAction = nullptr;
    std::unique_ptr<BackgroundActions> backgroundActions;
};

}  // namespace vistrel
