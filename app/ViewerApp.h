#pragma once

#include <QApplication>

namespace vistrel {

// The application: shows the viewer as its one main window; the program ends when it closes.
class ViewerApp : public QApplication {
    Q_OBJECT

  public:
    explicit ViewerApp(int& argc, char** argv);

    // Shows the viewer until the user closes it. Returns the process exit status.
    int Run();
};

}  // namespace vistrel
