#include "tools/common/OptionTable.h"

#include <map>
#include <set>
#include <utility>

#include "tools/common/CommandLine.h"

namespace vistrel {

namespace {

// A dash and a letter, as "-o".
bool IsShortSpelling(std::string_view spelling) {
    return spelling.size() == 2 && spelling[0] == '-' && spelling[1] != '-';
}

// The option's spellings as --help lists them, each with its value.
std::string HelpNames(const Option& option) {
    std::vector<std::string_view> names;
    switch (option.alias.empty() ? AliasInHelp::Hidden : option.aliasInHelp) {
        case AliasInHelp::After:
            names = {option.name, option.alias};
            break;
        case AliasInHelp::Before:
            names = {option.alias, option.name};
            break;
        case AliasInHelp::Instead:
            names = {option.alias};
            break;
        case AliasInHelp::Hidden:
            names = {option.name};
            break;
    }
    std::string text;
    for (const std::string_view name : names) {
        text += (text.empty() ? "" : ", ") + std::string(name);
        if (!option.value.empty()) {
            text += " " + std::string(option.value);
        }
    }
    return text;
}

}  // namespace

OptionTable::OptionTable(std::vector<Option> options, std::size_t helpColumn)
    : options(std::move(options)), helpColumn(helpColumn) {}

Refusal OptionTable::Read(std::span<const std::string> args, const Take& take) const {
    std::set<std::string_view> given;
    std::map<int, std::string_view> chosenOfGroup;
    for (std::size_t index = 0; index < args.size(); ++index) {
        const std::string& argument = args[index];
        const auto [option, attached] = Find(argument);
        if (option == nullptr) {
            return "unknown option " + Quoted(argument) + " (see --help)";
        }
        const std::string name(option->name);
        if (!given.insert(option->name).second) {
            return name + " given twice";
        }
        if (option->exclusiveGroup != 0) {
            const auto [chosen, first] =
                chosenOfGroup.emplace(option->exclusiveGroup, option->name);
            if (!first) {
                return "give only one of " + GroupNames(option->exclusiveGroup) + ", not " +
                       std::string(chosen->second) + " and " + name;
            }
        }
        std::string_view value;
        if (attached) {
            value = *attached;
        } else if (!option->value.empty()) {
            if (index + 1 == args.size()) {
                // The letter the user typed, or the option's name for any longer spelling.
                return (IsShortSpelling(argument) ? argument : name) + " needs a value";
            }
            value = args[++index];
        }
        if (auto refusal = take(option->name, value)) {
            return refusal;
        }
        if (option->endsCommandLine) {
            break;
        }
    }
    return std::nullopt;
}

std::string OptionTable::Help() const {
    std::string text;
    const std::string indent(helpColumn, ' ');
    for (const Option& option : options) {
        const std::string names = "  " + HelpNames(option);
        // At least two spaces between the names and the explanation.
        text += names.size() + 2 <= helpColumn ? names + std::string(helpColumn - names.size(), ' ')
                                               : names + "\n" + indent;
        for (const char c : option.help) {
            text += c == '\n' ? "\n" + indent : std::string(1, c);
        }
        text += '\n';
    }
    return text;
}

OptionTable::Match OptionTable::Find(std::string_view argument) const {
    for (const Option& option : options) {
        if (argument == option.name || (!option.alias.empty() && argument == option.alias)) {
            return {&option, std::nullopt};
        }
    }
    const std::size_t equals = argument.find('=');
    if (!argument.starts_with("--") || equals == std::string_view::npos) {
        return {};
    }
    const std::string_view spelling = argument.substr(0, equals);
    for (const Option& option : options) {
        if (!option.value.empty() && (spelling == option.name || spelling == option.alias)) {
            return {&option, argument.substr(equals + 1)};
        }
    }
    return {};
}

std::string OptionTable::GroupNames(int group) const {
    std::vector<std::string_view> names;
    for (const Option& option : options) {
        if (option.exclusiveGroup == group) {
            names.push_back(option.name);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + std::string(names[i]);
    }
    return text;
}

}  // namespace vistrel
