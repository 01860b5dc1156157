#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {

// One invocation of vistrel-background, as its command line asks for it.
struct BackgroundCommand {
    enum class Verb { Help, Version, Next, Previous, Seed, Favourite, Status, Run };

    Verb verb = Verb::Help;
    // The seed of Verb::Seed, 0..32767.
    std::uint32_t seed = 0;
    // The name the verb has on the agent's bus interface, as Next for "next".
    std::string method;
};

struct BackgroundParseResult {
    std::optional<BackgroundCommand> command;
    std::string error;  // one line, set when command is empty
};

// Parses the arguments (without the program name).
BackgroundParseResult ParseBackgroundCommand(const std::vector<std::string>& args);

// What --help prints.
std::string BackgroundUsage();

}  // namespace vistrel
