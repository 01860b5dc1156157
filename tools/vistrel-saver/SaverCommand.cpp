#include "tools/vistrel-saver/SaverCommand.h"

#include <limits>
#include <set>

#include "tools/common/CommandLine.h"

namespace vistrel {

std::string SaverUsage() {
    return "usage: vistrel-saver [--root | --window-id ID | --window] [--delay SECONDS]\n"
           "                     [--run-seed R]\n"
           "\n"
           "Shows Vistrel landscapes one after another, as a screensaver.\n"
           "  --root, -root          paint into the window in XSCREENSAVER_WINDOW, or the root\n"
           "                         window when that is unset\n"
           "  --window-id ID, -window-id ID\n"
           "                         paint into the window ID (hex 0x... or decimal)\n"
           "  --window               open a window of its own (the default)\n"
           "  --delay SECONDS        show each picture this long, 1..3600 (default 5)\n"
           "  --run-seed R           show the series of viewer run R (0..4294967295); by\n"
           "                         default the run of the clock's current second\n"
           "  --help                 show this text\n"
           "\n"
           "Exit status: 0 ended by a signal or by its window's end, 1 no usable display or\n"
           "window visual, 2 a bad command line, environment or window id.\n";
}

namespace {

// The names of an option, the first as messages use it.
constexpr std::pair<std::string_view, std::string_view> Aliases[] = {
    {"--root", "-root"},
    {"--window-id", "-window-id"},
    {"--help", "-h"},
};

class Parser {
  public:
    Parser(const std::vector<std::string>& args, const char* xscreensaverWindow)
        : args(args), xscreensaverWindow(xscreensaverWindow) {}

    SaverParseResult Run() {
        std::set<std::string> seen;
        std::optional<std::string> target;
        for (index = 0; index < args.size(); ++index) {
            const std::string name(CanonicalName(args[index], Aliases));
            if (!seen.insert(name).second) {
                return Fail(name + " given twice");
            }
            if (name == "--help") {
                command.mode = SaverCommand::Mode::Help;
                return {command, {}};
            }
            if (name == "--root" || name == "--window-id" || name == "--window") {
                if (target) {
                    return Fail("give only one of --root, --window-id and --window, not " +
                                *target + " and " + name);
                }
                target = name;
            }
            if (name == "--root") {
                if (!Root())
                    return Fail();
            } else if (name == "--window-id") {
                if (!WindowId())
                    return Fail();
            } else if (name == "--window") {
                command.target = SaverCommand::Target::OwnWindow;
            } else if (name == "--delay") {
                if (!Delay())
                    return Fail();
            } else if (name == "--run-seed") {
                if (!RunSeed())
                    return Fail();
            } else {
                return Fail("unknown option " + Quoted(args[index]) + " (see --help)");
            }
        }
        return {command, {}};
    }

  private:
    const std::string* Value(const std::string& option) {
        if (index + 1 >= args.size()) {
            error = option + " needs a value";
            return nullptr;
        }
        return &args[++index];
    }

    bool Root() {
        if (xscreensaverWindow == nullptr) {
            command.target = SaverCommand::Target::Root;
            return true;
        }
        const auto id = ParseWindowId(xscreensaverWindow);
        if (!id) {
            error = "XSCREENSAVER_WINDOW is not a window id: " + Quoted(xscreensaverWindow);
            return false;
        }
        command.target = SaverCommand::Target::Window;
        command.windowId = *id;
        return true;
    }

    bool WindowId() {
        const std::string* v = Value("--window-id");
        if (v == nullptr)
            return false;
        const auto id = ParseWindowId(*v);
        if (!id) {
            error = "--window-id takes a window id, hex 0x... or decimal, not " + Quoted(*v);
            return false;
        }
        command.target = SaverCommand::Target::Window;
        command.windowId = *id;
        return true;
    }

    bool Delay() {
        const std::string* v = Value("--delay");
        if (v == nullptr)
            return false;
        const auto seconds = ParseWhole<std::uint32_t>(*v);
        if (!seconds || *seconds < 1 || *seconds > SaverCommand::LongestDelaySeconds) {
            error = "--delay takes a whole number of seconds from 1 to 3600, not " + Quoted(*v);
            return false;
        }
        command.delaySeconds = static_cast<std::int32_t>(*seconds);
        return true;
    }

    bool RunSeed() {
        const std::string* v = Value("--run-seed");
        if (v == nullptr)
            return false;
        command.runSeed = ParseWhole<std::uint32_t>(*v);
        if (!command.runSeed) {
            error = "--run-seed takes a whole number from 0 to 4294967295, not " + Quoted(*v);
            return false;
        }
        return true;
    }

    SaverParseResult Fail(std::string message) {
        error = std::move(message);
        return Fail();
    }
    SaverParseResult Fail() { return {std::nullopt, error}; }

    const std::vector<std::string>& args;
    const char* xscreensaverWindow;
    std::size_t index = 0;
    SaverCommand command;
    std::string error;
};

}  // namespace

std::optional<std::uint32_t> ParseWindowId(std::string_view text) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const auto id =
        hex ? ParseWhole<std::uint32_t>(text.substr(2), 16) : ParseWhole<std::uint32_t>(text);
    // from_chars takes no sign, so "-1" and "0x-1" are malformed; 0 names no window.
    if (!id || *id == 0) {
        return std::nullopt;
    }
    return id;
}

SaverParseResult ParseSaverCommand(const std::vector<std::string>& args,
                                   const char* xscreensaverWindow) {
    return Parser(args, xscreensaverWindow).Run();
}

}  // namespace vistrel
