#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "translations/ProgramTranslations.h"

namespace vistrel {

// What the program's command line asks for; read before the application is made, so that
// --help and --version answer without a display.
struct ViewerCommand {
    enum class Mode { Show, Help, Version };

    Mode mode = Mode::Show;
    // The scene seed to open on, as Show Seed shows it.
    std::optional<std::uint32_t> seed;
};

struct ViewerParseResult {
    std::optional<ViewerCommand> command;
    std::string error;  // one line, set when command is empty
};

// The application: shows the viewer as its one main window; the program ends when it closes.
class ViewerApp : public QApplication {
    Q_OBJECT

  public:
    explicit ViewerApp(int& argc, char** argv);

    // Reads the arguments (without the program's name).
    static ViewerParseResult ParseCommandLine(const std::vector<std::string>& args);
    // What --help prints.
    static std::string Usage();
    // What --version prints.
    static std::string Version();

    // Shows the viewer until the user closes it, on `seed`'s picture when one is given, the
    // series going on from there as after Show Seed. Returns the process exit status.
    int Run(std::optional<std::uint32_t> seed = std::nullopt);

  private:
    // The program keeps no settings, but Qt's own file dialog records its folder history in the
    // user's settings whenever it closes; Qt's settings go here instead, and go with the program.
    QTemporaryDir qtSettings;
    // Installed before the viewer is built, so that every window speaks the user's language.
    ProgramTranslations translations;
};

}  // namespace vistrel
