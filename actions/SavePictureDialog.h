#pragma once

#include <QFileDialog>
#include <cstdint>

class QComboBox;

namespace vistrel {

// Asks where to save a picture and how many times larger, 1x to 8x. It starts in the user's
// Pictures folder with the file named after the scene seed, and at 1x, so typing a name and
// pressing Enter saves the picture at its own size.
class SavePictureDialog : public QFileDialog {
    Q_OBJECT

  public:
    SavePictureDialog(std::uint32_t seed, QWidget* parent);

    int Scale() const;

  private:
    QComboBox* scaleBox;
};

}  // namespace vistrel
