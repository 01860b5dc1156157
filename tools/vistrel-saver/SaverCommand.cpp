#include "tools/vistrel-saver/SaverCommand.h"

#include "tools/common/CommandLine.h"
#include "tools/common/OptionTable.h"

namespace vistrel {

namespace {

// Where the pictures go: one of these at the most.
constexpr int TargetGroup = 1;

// The options in the order --help explains them; -root and -window-id as xscreensaver spells
// them.
const OptionTable& SaverOptions() {
    static const OptionTable table(
        {
            {.name = "--root",
             .help = "paint into the window in XSCREENSAVER_WINDOW, or the root\n"
                     "window when that is unset",
             .alias = "-root",
             .exclusiveGroup = TargetGroup},
            {.name = "--window-id",
             .value = "ID",
             .help = "paint into the window ID (hex 0x... or decimal)",
             .alias = "-window-id",
             .exclusiveGroup = TargetGroup},
            {.name = "--window",
             .help = "open a window of its own (the default)",
             .exclusiveGroup = TargetGroup},
            {.name = "--delay",
             .value = "SECONDS",
             .help = "show each picture this long, 1..3600 (default 5)"},
            {.name = "--run-seed",
             .value = "R",
             .help = "show the series of viewer run R (0..4294967295); by\n"
                     "default the run of the clock's current second"},
            {.name = "--help",
             .help = "show this text",
             .alias = "-h",
             .aliasInHelp = AliasInHelp::Hidden,
             .endsCommandLine = true},
        },
        25);
    return table;
}

class Parser {
  public:
    explicit Parser(const char* xscreensaverWindow) : xscreensaverWindow(xscreensaverWindow) {}

    SaverParseResult Run(const std::vector<std::string>& args) {
        const auto take = [this](std::string_view name, std::string_view value) {
            return Take(name, value);
        };
        if (Refusal refusal = SaverOptions().Read(args, take)) {
            return {std::nullopt, std::move(*refusal)};
        }
        return {command, {}};
    }

  private:
    Refusal Take(std::string_view name, std::string_view value) {
        if (name == "--root") {
            return Root();
        }
        if (name == "--window-id") {
            return WindowId(value);
        }
        if (name == "--delay") {
            return Delay(value);
        }
        if (name == "--run-seed") {
            return RunSeed(value);
        }
        if (name == "--window") {
            command.target = SaverCommand::Target::OwnWindow;
        } else if (name == "--help") {
            command.mode = SaverCommand::Mode::Help;
        }
        return std::nullopt;
    }

    Refusal Root() {
        if (xscreensaverWindow == nullptr) {
            command.target = SaverCommand::Target::Root;
            return std::nullopt;
        }
        const auto id = ParseWindowId(xscreensaverWindow);
        if (!id) {
            return "XSCREENSAVER_WINDOW is not a window id: " + Quoted(xscreensaverWindow);
        }
        command.target = SaverCommand::Target::Window;
        command.windowId = *id;
        return std::nullopt;
    }

    Refusal WindowId(std::string_view v) {
        const auto id = ParseWindowId(v);
        if (!id) {
            return "--window-id takes a window id, hex 0x... or decimal, not " + Quoted(v);
        }
        command.target = SaverCommand::Target::Window;
        command.windowId = *id;
        return std::nullopt;
    }

    Refusal Delay(std::string_view v) {
        const auto seconds = ParseWhole<std::uint32_t>(v);
        if (!seconds || *seconds < 1 || *seconds > SaverCommand::LongestDelaySeconds) {
            return "--delay takes a whole number of seconds from 1 to 3600, not " + Quoted(v);
        }
        command.delaySeconds = static_cast<std::int32_t>(*seconds);
        return std::nullopt;
    }

    Refusal RunSeed(std::string_view v) {
        command.runSeed = ParseWhole<std::uint32_t>(v);
        if (!command.runSeed) {
            return "--run-seed takes a whole number from 0 to 4294967295, not " + Quoted(v);
        }
        return std::nullopt;
    }

    const char* xscreensaverWindow;
    SaverCommand command;
};

}  // namespace

std::string SaverUsage() {
    return "usage: vistrel-saver [--root | --window-id ID | --window] [--delay SECONDS]\n"
           "                     [--run-seed R]\n"
           "\n"
           "Shows Vistrel landscapes one after another, as a screensaver.\n" +
           SaverOptions().Help() +
           "\n"
           "Exit status: 0 ended by a signal or by its window's end, 1 no usable display or\n"
           "window visual, 2 a bad command line, environment or window id.\n";
}

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
    return Parser(xscreensaverWindow).Run(args);
}

}  // namespace vistrel
