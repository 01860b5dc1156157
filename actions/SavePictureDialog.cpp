#include "actions/SavePictureDialog.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QStandardPaths>

namespace vistrel {
namespace {

constexpr int LargestScale = 8;

}  // namespace

SavePictureDialog::SavePictureDialog(std::uint32_t seed, QWidget* parent)
    : QFileDialog(parent, tr("Save Picture")), scaleBox(new QComboBox(this)) {
    // The desktop's own dialog has no room for the scale choice.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilter(tr("PNG images (*.png)"));
    setDefaultSuffix(QStringLiteral("png"));
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    setDirectory(QDir(pictures).exists() ? pictures : QDir::homePath());
    selectFile(QStringLiteral("vistrel-%1.png").arg(seed));

    for (int scale = 1; scale <= LargestScale; ++scale) {
        scaleBox->addItem(QStringLiteral("%1\u00d7").arg(scale), scale);
    }
    auto* label = new QLabel(tr("Scale:"), this);
    label->setBuddy(scaleBox);
    // The non-native dialog lays out its name and type rows in a grid; the scale joins them.
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(scaleBox, row, 1);
    }
}

int SavePictureDialog::Scale() const {
    return scaleBox->currentData().toInt();
}

}  // namespace vistrel
