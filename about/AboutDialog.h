#pragma once

#include <QDialog>
#include <memory>

#include "about/Beeper.h"

namespace Ui {
class AboutDialog;
}

namespace vistrel {

// The About box: name and version, author and contact links, edition and licence.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    // What exec() returns: OK and Enter give Ok, Escape and the close box Closed.
    enum Result { Ok = 1, Closed = 2 };

    // Its links open with the desktop's handlers and beep on failure through beeper.
    explicit AboutDialog(Beeper& beeper, QWidget* parent = nullptr);
    ~AboutDialog() override;

    void reject() override;

  private:
    std::unique_ptr<Ui::AboutDialog> ui;
};

}  // namespace vistrel
