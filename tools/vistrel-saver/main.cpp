#include <csignal>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "tools/vistrel-saver/SaverCommand.h"
#include "tools/vistrel-saver/SaverLoop.h"

namespace {

int Fail(int status, const std::string& message) {
    std::cerr << "vistrel-saver: " << message << '\n';
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // A display that goes away in the middle of a write is reported as lost, rather than ending
    // the saver without a word.
    signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vistrel::SaverParseResult parsed =
        vistrel::ParseSaverCommand(args, std::getenv("XSCREENSAVER_WINDOW"));
    if (!parsed.command) {
        return Fail(vistrel::UsageError, parsed.error);
    }
    if (parsed.command->mode == vistrel::SaverCommand::Mode::Help) {
        std::cout << vistrel::SaverUsage();
        return 0;
    }
    try {
        return vistrel::RunSaver(*parsed.command);
    } catch (const vistrel::SaverFailure& failure) {
        return Fail(failure.Status(), failure.what());
    } catch (const std::bad_alloc&) {
        return Fail(vistrel::DisplayError, "not enough memory for the window's picture");
    }
}
