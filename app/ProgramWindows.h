#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

namespace vistrel {

class Favourites;
class GalleryWindow;
class ViewerDialog;

// The program's windows around its one viewer: the gallery, opened when the viewer asks for it,
// whose chosen seed comes back to the viewer; and the favourites both share, whose failure is
// shown over the window in front.
class ProgramWindows : public QObject {
    Q_OBJECT

  public:
    ProgramWindows(ViewerDialog& viewer, Favourites& favourites);
    ~ProgramWindows() override;

    // The gallery once opened, else none.
    GalleryWindow* Gallery() const { return gallery.get(); }

  private:
    void OpenGallery(std::uint32_t seed);
    void ShowFavouritesFailure(const QString& message);

    ViewerDialog& viewer;
    Favourites& favourites;
    // A window of its own, not one kept above the viewer, so the viewer can come to the front.
    std::unique_ptr<GalleryWindow> gallery;
};

}  // namespace vistrel
