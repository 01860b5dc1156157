#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/ViewerApp.h"

int main(int argc, char** argv) {
    using vistrel::ViewerApp;
    using vistrel::ViewerCommand;
    // Read before the application is made, which needs a display.
    const vistrel::ViewerParseResult parsed =
        ViewerApp::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.command) {
        std::cerr << "vistrel: " << parsed.error << '\n';
        return 2;
    }
    switch (parsed.command->mode) {
        case ViewerCommand::Mode::Help:
            std::cout << ViewerApp::Usage();
            return EXIT_SUCCESS;
        case ViewerCommand::Mode::Version:
            std::cout << ViewerApp::Version();
            return EXIT_SUCCESS;
        case ViewerCommand::Mode::Show:
            break;
    }
    ViewerApp app(argc, argv);
    return app.Run(parsed.command->seed);
}
