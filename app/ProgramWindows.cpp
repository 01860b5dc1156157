#include "app/ProgramWindows.h"

#include <QApplication>
#include <QMessageBox>

#include "gallery/GalleryWindow.h"
#include "userfiles/Favourites.h"
#include "viewer/ViewerDialog.h"

namespace vistrel {

ProgramWindows::ProgramWindows(ViewerDialog& viewer, Favourites& favourites)
    : viewer(viewer), favourites(favourites) {
    connect(&viewer, &ViewerDialog::GalleryRequested, this, &ProgramWindows::OpenGallery);
    connect(&favourites, &Favourites::Failed, this, &ProgramWindows::ShowFavouritesFailure);
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::OpenGallery(std::uint32_t seed) {
    if (!gallery) {
        gallery = std::make_unique<GalleryWindow>(favourites);
        connect(gallery.get(), &GalleryWindow::ShowRequested, &viewer,
                &ViewerDialog::ShowSeedInFront);
    }
    gallery->Open(seed);
}

void ProgramWindows::ShowFavouritesFailure(const QString& message) {
    QWidget* front = QApplication::activeWindow();
    QMessageBox::warning(front ? front : &viewer, QCoreApplication::applicationName(), message);
}

}  // namespace vistrel
