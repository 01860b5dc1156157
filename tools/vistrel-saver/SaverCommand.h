#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// One invocation of the screensaver, as its command line and environment ask for it.
struct SaverCommand {
    enum class Mode { Help, Run };
    // Where the pictures go: a window of the saver's own, a window named by the caller, or the
    // root window.
    enum class Target { OwnWindow, Window, Root };

    static constexpr std::int32_t DefaultDelaySeconds = 5;
    static constexpr std::int32_t LongestDelaySeconds = 3600;

    Mode mode = Mode::Run;
    Target target = Target::OwnWindow;
    // The window with Target::Window (from --window-id, or --root with XSCREENSAVER_WINDOW).
    std::uint32_t windowId = 0;
    std::int32_t delaySeconds = DefaultDelaySeconds;
    // The run whose series is shown; none means the clock's, as the viewer takes it.
    std::optional<std::uint32_t> runSeed;
};

struct SaverParseResult {
    std::optional<SaverCommand> command;
    std::string error;  // one line, set when command is empty
};

// Parses the arguments (without the program name). xscreensaverWindow is the value of the
// XSCREENSAVER_WINDOW variable, or null when it is unset; only --root reads it.
SaverParseResult ParseSaverCommand(const std::vector<std::string>& args,
                                   const char* xscreensaverWindow);

// An X window id written as hex ("0x1a00003") or decimal, 1..0xFFFFFFFF; none when malformed.
std::optional<std::uint32_t> ParseWindowId(std::string_view text);

// What --help prints.
std::string SaverUsage();

}  // namespace vistrel
