#pragma once

#include <QApplication>

namespace vistrel {

// The application: runs the viewer as its one modal window; the program ends when it closes.
class ViewerApp : public QApplication {
    Q_OBJECT

  public:
    explicit ViewerApp(int& argc, char** argv);

    // Shows the viewer until the user closes it. Returns the process exit status.
    int Run();
};

}  // namespace vistrel
