#pragma once

#include <QApplication>
#include <QTemporaryDir>

#include "translations/ProgramTranslations.h"

namespace vistrel {

// The application: shows the viewer as its one main window; the program ends when it closes.
class ViewerApp : public QApplication {
    Q_OBJECT

  public:
    explicit ViewerApp(int& argc, char** argv);

    // Shows the viewer until the user closes it. Returns the process exit status.
    int Run();

  private:
    // The program keeps no settings, but Qt's own file dialog records its folder history in the
    // user's settings whenever it closes; Qt's settings go here instead, and go with the program.
    QTemporaryDir qtSettings;
    // Installed before the viewer is built, so that every window speaks the user's language.
    ProgramTranslations translations;
};

}  // namespace vistrel
