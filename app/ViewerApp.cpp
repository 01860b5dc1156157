#include "app/ViewerApp.h"

#include <QFileInfo>
#include <QSettings>
#include <cstdlib>

#include "app/ProgramWindows.h"
#include "res/ProgramIcon.h"
#include "res/ProgramIdentity.h"
#include "scene/Picture.h"
#include "tools/common/CommandLine.h"
#include "tools/common/OptionTable.h"
#include "userfiles/Favourites.h"
#include "viewer/Accessibility.h"
#include "viewer/SystemServices.h"
#include "viewer/ViewerDialog.h"

namespace vistrel {
namespace {

const OptionTable& ViewerOptions() {
    static const OptionTable table(
        {
            {.name = "--seed",
             .value = "N",
             .help = "open on the picture of scene seed N (0..32767); Next and\n"
                     "Previous go on with the series from there"},
            {.name = "--help",
             .help = "show this text",
             .alias = "-h",
             .aliasInHelp = AliasInHelp::Hidden,
             .endsCommandLine = true},
            {.name = "--version", .help = "show the version", .endsCommandLine = true},
        },
        18);
    return table;
}

}  // namespace

ViewerParseResult ViewerApp::ParseCommandLine(const std::vector<std::string>& args) {
    ViewerCommand command;
    const auto take = [&command](std::string_view name, std::string_view value) -> Refusal {
        if (name == "--help") {
            command.mode = ViewerCommand::Mode::Help;
        } else if (name == "--version") {
            command.mode = ViewerCommand::Mode::Version;
        } else {
            command.seed = ParseWhole<std::uint32_t>(value);
            if (!command.seed || *command.seed > LargestSceneSeed) {
                return "--seed takes a whole number from 0 to 32767, not " + Quoted(value);
            }
        }
        return std::nullopt;
    };
    if (Refusal refusal = ViewerOptions().Read(args, take)) {
        return {std::nullopt, std::move(*refusal)};
    }
    return {command, {}};
}

std::string ViewerApp::Usage() {
    return "usage: vistrel [--seed N]\n"
           "\n"
           "Shows landscapes, one after another, by hand or as a slide show.\n" +
           ViewerOptions().Help() +
           "\n"
           "Exit status: 0 closed, 2 a bad command line.\n";
}

std::string ViewerApp::Version() {
    return "vistrel " VISTREL_VERSION "\n";
}

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

int ViewerApp::Run(std::optional<std::uint32_t> seed) {
    SystemServices services;
    Favourites favourites;
    ViewerDialog viewer(services, favourites);
    if (seed) {
        // After the first scene the viewer posts itself, so the seed is what stays on show.
        QMetaObject::invokeMethod(
            &viewer, [&viewer, seed] { viewer.ShowSeed(*seed); }, Qt::QueuedConnection);
    }
    ProgramWindows windows(viewer, favourites);
    // An ordinary window rather than a modal run, so the full-screen picture can take input;
    // the program still ends with it.
    connect(&viewer, &QDialog::finished, this, &QCoreApplication::quit);
    viewer.show();
    exec();
    return EXIT_SUCCESS;
}

}  // namespace vistrel
