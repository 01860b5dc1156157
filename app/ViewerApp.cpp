#include "app/ViewerApp.h"

#include <QFileInfo>
#include <QSettings>
#include <cstdlib>

#include "app/ProgramWindows.h"
#include "res/ProgramIcon.h"
#include "res/ProgramIdentity.h"
#include "userfiles/Favourites.h"
#include "viewer/Accessibility.h"
#include "viewer/SystemServices.h"
#include "viewer/ViewerDialog.h"

namespace vistrel {

ViewerApp::ViewerApp(int& argc, char** argv) : QApplication(argc, argv) {
    // Message boxes carry the name of the program file, whatever argv[0] says.
    setApplicationName(QFileInfo(applicationFilePath()).completeBaseName());
    setDesktopFileName(QString::fromLatin1(ApplicationId));
    setWindowIcon(ProgramIcon());
    InstallAccessibility();
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, qtSettings.path());
    }
}

int ViewerApp::Run() {
    SystemServices services;
    Favourites favourites;
    ViewerDialog viewer(services, favourites);
    ProgramWindows windows(viewer, favourites);
    // An ordinary window rather than a modal run, so the full-screen picture can take input;
    // the program still ends with it.
    connect(&viewer, &QDialog::finished, this, &QCoreApplication::quit);
    viewer.show();
    exec();
    return EXIT_SUCCESS;
}

}  // namespace vistrel
