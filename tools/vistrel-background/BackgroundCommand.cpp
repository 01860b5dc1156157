#include "tools/vistrel-background/BackgroundCommand.h"

#include <algorithm>
#include <string_view>

#include "scene/Picture.h"
#include "tools/common/CommandLine.h"

namespace vistrel {
namespace {

struct VerbEntry {
    std::string_view word;
    BackgroundCommand::Verb verb;
    std::string_view method;  // on the agent's interface; empty for those it does not take
    std::string_view argument;
    std::string_view help;
};

// The verbs in the order --help explains them.
constexpr VerbEntry Verbs[] = {
    {"next", BackgroundCommand::Verb::Next, "Next", "", "set the next background now"},
    {"previous", BackgroundCommand::Verb::Previous, "Previous", "",
     "go back to the background before this one"},
    {"seed", BackgroundCommand::Verb::Seed, "Seed", "N",
     "set the picture of scene seed N (0..32767) now"},
    {"favourite", BackgroundCommand::Verb::Favourite, "Favourite", "",
     "mark the background on show as a favourite, or unmark it"},
    {"status", BackgroundCommand::Verb::Status, "Status", "",
     "say what is on show, the source, the schedule and the next change"},
    {"run", BackgroundCommand::Verb::Run, "", "",
     "keep the schedule as the session's agent (started at login)"},
    {"--help", BackgroundCommand::Verb::Help, "", "", "show this text"},
    {"--version", BackgroundCommand::Verb::Version, "", "", "show the version"},
};

}  // namespace

BackgroundParseResult ParseBackgroundCommand(const std::vector<std::string>& args) {
    if (args.empty()) {
        return {std::nullopt, "no verb given (see --help)"};
    }
    // Both views, so that the word never refers to a temporary string.
    const std::string_view word =
        args.front() == "-h" ? std::string_view("--help") : std::string_view(args.front());
    const auto entry = std::find_if(std::begin(Verbs), std::end(Verbs),
                                    [word](const VerbEntry& e) { return e.word == word; });
    if (entry == std::end(Verbs)) {
        return {std::nullopt, (word.starts_with('-') ? "unknown option " : "unknown verb ") +
                                  Quoted(args.front()) + " (see --help)"};
    }
    const std::size_t wanted = entry->argument.empty() ? 1 : 2;
    if (args.size() < wanted) {
        return {std::nullopt, std::string(entry->word) + " needs a seed from 0 to 32767"};
    }
    if (args.size() > wanted) {
        return {std::nullopt,
                std::string(entry->word) + " takes nothing more, not " + Quoted(args[wanted])};
    }
    BackgroundCommand command{entry->verb, 0, std::string(entry->method)};
    if (entry->verb == BackgroundCommand::Verb::Seed) {
        const auto seed = ParseWhole<std::uint32_t>(args[1]);
        if (!seed || *seed > LargestSceneSeed) {
            return {std::nullopt,
                    "seed takes a whole number from 0 to 32767, not " + Quoted(args[1])};
        }
        command.seed = *seed;
    }
    return {command, {}};
}

std::string BackgroundUsage() {
    std::string usage =
        "usage: vistrel-background VERB\n"
        "\n"
        "Sets the desktop background to Vistrel landscapes, by hand or on the schedule chosen\n"
        "in the viewer (Change Background Automatically...). When the agent runs, the verbs\n"
        "go to it, so a change by hand starts the interval again.\n"
        "\n";
    for (const VerbEntry& entry : Verbs) {
        std::string name(entry.word);
        if (!entry.argument.empty()) {
            name += ' ';
            name += entry.argument;
        }
        name.resize(std::max<std::size_t>(name.size() + 2, 14), ' ');
        usage += "  " + name + std::string(entry.help) + '\n';
    }
    usage +=
        "\n"
        "Exit status: 0 done, 1 the background, a file or the agent failed, 2 a bad command\n"
        "line.\n";
    return usage;
}

}  // namespace vistrel
