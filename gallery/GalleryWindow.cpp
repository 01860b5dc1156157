#include "gallery/GalleryWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QVBoxLayout>
#include <numeric>

#include "actions/BackgroundActions.h"
#include "actions/PictureActions.h"
#include "gallery/GalleryView.h"
#include "scene/Picture.h"
#include "userfiles/Favourites.h"

namespace vistrel {
namespace {

// Four thumbnails wide and five rows high, with room for the scroll bar.
constexpr QSize FirstSize(1240, 760);

std::vector<std::uint32_t> AllSeeds() {
    std::vector<std::uint32_t> seeds(SceneSeedCount);
    std::iota(seeds.begin(), seeds.end(), 0u);
    return seeds;
}

}  // namespace

GalleryWindow::GalleryWindow(Favourites& favourites, QWidget* parent)
    : QWidget(parent, Qt::Window),
      favourites(favourites),
      favouritesOnly(new QCheckBox(tr("&Favourites only"), this)),
      view(new GalleryView(favourites, this)) {
    setWindowTitle(tr("Vistrel Gallery"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(favouritesOnly);
    layout->addWidget(view, 1);
    resize(FirstSize);

    favouriteAction =
        PictureActions::Add(this, PictureAction::Favourite, &GalleryWindow::ToggleFavourite);
    backgroundActions = std::make_unique<BackgroundActions>(
        this, [this] { return view->SelectedSeed(); }, [this] { return this; });
    const QList<QAction*> thumbnailActions =
        QList<QAction*>{
            AddShortcutAction(this, tr("Show in Viewer"), QKeySequence(Qt::Key_Return),
                              &GalleryWindow::ShowSelected),
            PictureActions::Add(this, PictureAction::Copy, &GalleryWindow::CopySelected),
            PictureActions::Add(this, PictureAction::Save, &GalleryWindow::SaveSelected),
            favouriteAction,
            PictureActions::Add(this, PictureAction::ShowSeed, &GalleryWindow::AskForSeed),
        } +
        backgroundActions->Actions();
    thumbnailActions.constFirst()->setShortcuts(
        {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    view->addActions(thumbnailActions);
    auto* closeAction = new QAction(tr("Close"), this);
    closeAction->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);

    connect(favouritesOnly, &QCheckBox::toggled, this, &GalleryWindow::ShowSeeds);
    connect(view, &GalleryView::Activated, this, &GalleryWindow::ShowRequested);
    connect(view, &GalleryView::SelectionChanged, this, &GalleryWindow::UpdateFavouriteAction);
    connect(&favourites, &Favourites::Changed, this, [this] {
        if (favouritesOnly->isChecked()) {
            ShowSeeds();
        }
        UpdateFavouriteAction();
    });
    ShowSeeds();
    view->setFocus();
}

GalleryWindow::~GalleryWindow() = default;

void GalleryWindow::Open(std::uint32_t seed) {
    show();
    raise();
    activateWindow();
    SelectSeed(seed);
    view->setFocus();
}

void GalleryWindow::SelectSeed(std::uint32_t seed) {
    if (favouritesOnly->isChecked() && !favourites.Contains(seed)) {
        favouritesOnly->setChecked(false);
    }
    view->Select(seed);
}

void GalleryWindow::ShowSeeds() {
    view->SetSeeds(favouritesOnly->isChecked() ? favourites.Seeds() : AllSeeds());
}

void GalleryWindow::ShowSelected() {
    if (const auto seed = view->SelectedSeed()) {
        emit ShowRequested(*seed);
    }
}

std::unique_ptr<SceneBitmap> GalleryWindow::SelectedPicture() const {
    const auto seed = view->SelectedSeed();
    if (!seed) {
        return nullptr;
    }
    return PictureOfSeed(*seed);
}

void GalleryWindow::CopySelected() {
    if (const auto picture = SelectedPicture()) {
        PictureActions::Copy(*picture, *view->SelectedSeed());
    }
}

void GalleryWindow::SaveSelected() {
    if (const auto picture = SelectedPicture()) {
        PictureActions::AskWhereToSave(*picture, *view->SelectedSeed(), this);
    }
}

void GalleryWindow::ToggleFavourite() {
    if (const auto seed = view->SelectedSeed()) {
        favourites.Toggle(*seed);
    }
    UpdateFavouriteAction();
}

void GalleryWindow::AskForSeed() {
    if (const auto seed = PictureActions::AskForSeed(view->SelectedSeed().value_or(0), this)) {
        SelectSeed(*seed);
    }
}

void GalleryWindow::UpdateFavouriteAction() {
    const auto seed = view->SelectedSeed();
    favouriteAction->setEnabled(seed.has_value());
    favouriteAction->setChecked(seed && favourites.Contains(*seed));
}

}  // namespace vistrel
