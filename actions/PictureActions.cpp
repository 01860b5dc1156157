#include "actions/PictureActions.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>

#include "actions/SavePictureDialog.h"
#include "images/CrispImage.h"
#include "images/PictureFile.h"
#include "scene/Picture.h"
#include "scene/SceneBitmap.h"

namespace vistrel {

QString PictureActions::Text(PictureAction action) {
    switch (action) {
        case PictureAction::Copy:
            return tr("Copy");
        case PictureAction::Save:
            return tr("Save Picture\u2026");
        case PictureAction::ShowSeed:
            return tr("Show Seed\u2026");
        case PictureAction::Favourite:
            return tr("Favourite");
        case PictureAction::SetAsDesktopBackground:
            return tr("Set as Desktop Background");
        case PictureAction::SetAcrossAllScreens:
            return tr("Set Across All Screens");
        case PictureAction::SetAsLockScreenBackground:
            return tr("Set as Lock Screen Background");
    }
    return {};
}

QKeySequence PictureActions::Key(PictureAction action) {
    switch (action) {
        case PictureAction::Copy:
            return QKeySequence::Copy;
        case PictureAction::Save:
            return QKeySequence(Qt::CTRL | Qt::Key_S);
        case PictureAction::ShowSeed:
            return QKeySequence(Qt::CTRL | Qt::Key_G);
        case PictureAction::Favourite:
            return QKeySequence(Qt::CTRL | Qt::Key_D);
        case PictureAction::SetAsDesktopBackground:
            return QKeySequence(Qt::CTRL | Qt::Key_B);
        case PictureAction::SetAcrossAllScreens:
            return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B);
        case PictureAction::SetAsLockScreenBackground:
            return QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B);
    }
    return {};
}

void PictureActions::Copy(const SceneBitmap& bitmap, std::uint32_t seed) {
    const QRect frame = FrameArea(bitmap);
    auto* data = new QMimeData;
    data->setImageData(CrispImage(bitmap, frame, frame.size()));
    data->setText(QStringLiteral("Vistrel seed %1").arg(seed));
    QGuiApplication::clipboard()->setMimeData(data);
}

bool PictureActions::Save(const SceneBitmap& bitmap, const QString& path, int scale,
                          QWidget* owner) {
    const QString failure = SavePicturePng(FramePixels(bitmap), path, scale);
    if (failure.isEmpty()) {
        return true;
    }
    QMessageBox::warning(owner, QCoreApplication::applicationName(),
                         tr("The picture could not be saved as %1: %2")
                             .arg(QDir::toNativeSeparators(path), failure));
    return false;
}

void PictureActions::AskWhereToSave(const SceneBitmap& bitmap, std::uint32_t seed, QWidget* owner) {
    SavePictureDialog dialog(seed, owner);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        Save(bitmap, dialog.selectedFiles().constFirst(), dialog.Scale(), owner);
    }
}

std::optional<std::uint32_t> PictureActions::AskForSeed(std::uint32_t offered, QWidget* owner) {
    bool accepted = false;
    const int seed = QInputDialog::getInt(owner, tr("Show Seed"), tr("Scene seed (0 to 32767):"),
                                          static_cast<int>(offered), 0,
                                          static_cast<int>(LargestSceneSeed), 1, &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(seed);
}

}  // namespace vistrel
