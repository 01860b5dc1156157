#include "app/ViewerApp.h"

int main(int argc, char** argv) {
    vistrel::ViewerApp app(argc, argv);
    return app.Run();
}
